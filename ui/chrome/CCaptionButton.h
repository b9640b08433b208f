#pragma once

#include <QRect>

class QPainter;

namespace ulv {

// The 13 x 13 buttons of a page bar's caption: a frame that is sunken while
// pushed and raised while hot; the owner places the button before each paint.
class CCaptionButton {
public:
    virtual ~CCaptionButton() = default;
    virtual QRect GetRect() const { return QRect(m_x, m_y, 13, 13); }
    virtual void Paint(QPainter& p, bool active) const;
    void Move(int x, int y)
    {
        m_x = x;
        m_y = y;
    }

    bool m_bPushed = false;
    bool m_bHot = false;
    int m_x = 0;
    int m_y = 0;
};

// The close button: the frame and an "x".
class CCaptionCloseButton : public CCaptionButton {
public:
    void Paint(QPainter& p, bool active) const override;
};

// The pin button: the frame and a pin, standing or lying flat when pinned.
class CCaptionFlatButton : public CCaptionButton {
public:
    void Paint(QPainter& p, bool active) const override;
    bool m_bPinned = false;
};

} // namespace ulv
