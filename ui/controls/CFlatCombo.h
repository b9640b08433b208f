#pragma once

#include "ui/controls/WinLook.h"

#include <QComboBox>

namespace ulv {

// The older flat combo of the family: an outer frame in the colours of the
// state, no grey button face and no arrow of its own, and focus counted like
// hover. Alt+key characters are swallowed.
class CFlatCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CFlatCombo(QWidget* parent = nullptr);

    void DrawCombo(QPainter& p, int state, COLORREF topLeft, COLORREF bottomRight);
    int PaintedState() const { return m_paintedState; }
    void hidePopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_nThumbWidth;
    bool m_bLMouseDown = false;
    bool m_bHover = false;
    bool m_bHasFocus = false;
    int m_paintedState = 0;
};

} // namespace ulv
