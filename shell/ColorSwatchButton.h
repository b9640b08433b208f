#pragma once

#include "ui/controls/WinLook.h"

#include <QPushButton>

namespace ulv {

// A push button that shows a colour and lets the user pick another.
class ColorSwatchButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorSwatchButton(QWidget* parent = nullptr);

    COLORREF Color() const { return m_color; }
    void SetColor(COLORREF color);

Q_SIGNALS:
    void ColorChanged(COLORREF color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Pick();
    COLORREF m_color = 0;
};

} // namespace ulv
