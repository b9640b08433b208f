#pragma once

#include "ui/controls/WinLook.h"

#include <QComboBox>

namespace ulv {

// The dialogs' combo box, drawn flat: the sunken border is painted over with
// the face colour, the drop button is a 0xCDCDCD square with a black arrow and
// a thin edge around it that is raised while the mouse is over the control and
// pressed while the left button is held on it. Auto-completion stays off
// unless switched on.
class CFlatComboBox : public QComboBox {
    Q_OBJECT
public:
    enum DrawState { FC_DRAWNORMAL = 1, FC_DRAWRAISED = 2, FC_DRAWPRESSED = 3, FC_DRAWFRAMEONLY = 4 };
    static constexpr COLORREF kButtonFace = 0xCDCDCD;

    explicit CFlatComboBox(QWidget* parent = nullptr);

    virtual bool EnableAutoComplete(bool enable = true);
    virtual bool IsCursorOver() const;
    virtual void DrawCombo(QPainter& p, int state, COLORREF topLeft, COLORREF bottomRight);

    // The state the last paint drew (1 flat, 2 raised, 3 pressed).
    int PaintedState() const { return m_paintedState; }
    // The drop button's grey square in widget coordinates.
    QRect ButtonInsideRect() const;

    void hidePopup() override;

    // Frames, drop-button frames, grey square, arrow and edge of one state, as
    // both flat combo classes draw them. Without buttonFace the square and the
    // arrow are left out.
    static void PaintFlatParts(QPainter& p, const QRect& client, int thumbWidth, int state, bool enabled,
                               bool buttonFace);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DropDefaultCompleter();

    int m_nThumbWidth;
    bool m_bLMouseDown = false;
    bool m_bHover = false;
    bool m_bAutoComplete = false;
    int m_paintedState = 0;
};

} // namespace ulv
