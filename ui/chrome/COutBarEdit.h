#pragma once

#include <QLineEdit>

namespace ulv {

class CGfxOutBarCtrl;

// The in-place edit of a folder name (kind 3) or an item caption (kind 2).
// Enter keeps the text, Esc cancels; losing the focus ends the edit, and the
// bar gets the text unless cancelled or empty. It deletes itself afterwards.
class COutBarEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kFolder = 3;
    static constexpr int kItem = 2;

    COutBarEdit(CGfxOutBarCtrl* bar, int kind, int index, int growMode);

    bool m_bEscapeKey = false;
    int m_iType;
    int m_iIndex;
    int m_growMode; // 1: a single-line caption widens with its text
    // Ends the edit once (Enter, Esc or the focus leaving).
    void Finish();
    // Ends the edit without reporting: the bar is going away.
    void Abandon() { m_done = true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Grow();

    CGfxOutBarCtrl* m_bar;
    bool m_done = false;
};

} // namespace ulv
