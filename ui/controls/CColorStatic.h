#pragma once

#include <QLabel>

namespace ulv {

// Static text in blue (COLORREF 0xFF0000) on a light beige box (0xD8E9EC).
class CColorStatic : public QLabel {
    Q_OBJECT
public:
    explicit CColorStatic(QWidget* parent = nullptr);
    explicit CColorStatic(const QString& text, QWidget* parent = nullptr);

private:
    void Init();
};

} // namespace ulv
