#pragma once

#include "ui/controls/WinLook.h"

#include <QPointer>
#include <QPushButton>

namespace ulv {

class ColorPalettePopup;

// A button showing a colour well; pressing it opens the colour palette.
// Every colour change is reported through ColorChanged (and a linked text
// window receives the colour's "#RRGGBB" text).
class CColorPickerButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColorPickerButton(QWidget* parent = nullptr);
    ~CColorPickerButton() override;

    void SetColor(COLORREF color);
    COLORREF GetColor() const { return m_color; }
    // A widget with a "text" property (label, line edit); returns it.
    QWidget* SetBuddy(QWidget* buddy);
    void GetColorText(QString& out) const;
    QString ColorText() const;

    ColorPalettePopup* Palette() const { return m_palette; }
    bool IsPaletteOpen() const { return m_palette != nullptr; }
    // Where the palette opens for a button at this global rectangle.
    static QPoint PalettePosition(const QRect& buttonGlobal, const QRect& screen);

Q_SIGNALS:
    void ColorChanged(ulv::COLORREF color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OpenPalette(const QPoint& pressGlobal);
    void OnChosen(COLORREF color);
    void OnDialogRequested();

    QPointer<QWidget> m_buddy;
    COLORREF m_color;
    QPointer<ColorPalettePopup> m_palette;
};

} // namespace ulv
