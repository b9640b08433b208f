#pragma once

#include "ui/controls/WinLook.h"

#include <QWidget>

namespace ulv {

// The colour picker's palette: 12 greys and the 216 colours of a six-level
// cube on a 10-pixel grid, a preview of the colour under the cursor with its
// "#RRGGBB" text, and a button for the full colour dialog. While it is open
// the cursor is a pipette: over any of the program's windows it picks the
// pixel under it.
class ColorPalettePopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 191;
    static constexpr int kHeight = 150;
    static constexpr int kColumns = 19;
    static constexpr int kRows = 12;

    ColorPalettePopup(COLORREF initial, const QPoint& pressGlobal, QWidget* owner);

    static COLORREF CellColor(int cell);
    // "#" and the red, green and blue bytes in upper-case hex.
    static QString ColorText(COLORREF color);
    // The cell under a point of the palette, or -1 (grid lines, bottom strip).
    static int CellAt(const QPoint& pos);
    static QRect DialogButtonRect() { return QRect(167, 126, 16, 16); }

    COLORREF CurrentColor() const { return m_current; }
    int SelectedCell() const { return m_selected; }

Q_SIGNALS:
    void Chosen(COLORREF color);
    void DialogRequested();
    void Cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Track(const QPoint& global);
    void Finish(bool choose);

    COLORREF m_initial;
    COLORREF m_current;
    QPoint m_pressPoint;
    bool m_moved = false;
    bool m_pressedHere = false;
    bool m_finished = false;
    bool m_dialogDown = false;
    int m_selected = -1;
};

} // namespace ulv
