#include "shell/CFlatSplitterWnd.h"

#include "shell/core/SysParams.h"
#include "ui/chrome/ChromeResources.h"
#include "ui/controls/WinLook.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>

namespace ulv {

namespace {

    class FlatSplitterHandle : public QSplitterHandle {
    public:
        FlatSplitterHandle(Qt::Orientation o, CFlatSplitterWnd* parent)
            : QSplitterHandle(o, parent)
            , m_owner(parent)
        {
            setMouseTracking(true);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            p.setBrushOrigin(-mapTo(m_owner, QPoint(0, 0)));
            p.fillRect(rect(), m_owner->BarBrush());
        }
        void mousePressEvent(QMouseEvent* e) override
        {
            if (m_owner->HandlePress(mapTo(m_owner, e->position().toPoint()).x()))
                QSplitterHandle::mousePressEvent(e);
            else
                e->accept();
        }
        void mouseMoveEvent(QMouseEvent* e) override
        {
            m_owner->HandleMove(mapTo(m_owner, e->position().toPoint()).x());
            QSplitterHandle::mouseMoveEvent(e);
        }

    private:
        CFlatSplitterWnd* m_owner;
    };

} // namespace

CFlatSplitterWnd::CFlatSplitterWnd(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
{
    setHandleWidth(kBarWidth);
    setChildrenCollapsible(false);
    setOpaqueResize(false);
    setFrameShape(QFrame::NoFrame);
    const QPixmap pattern(SplitterPatternPath());
    m_barBrush = pattern.isNull() ? QBrush(QColor(SysRgb(COLOR_BTNFACE))) : QBrush(pattern);
}

int CFlatSplitterWnd::MidWidth() const { return m_midWidth ? m_midWidth() : 440; }

void CFlatSplitterWnd::SetDefaultWidths()
{
    if (count() < 3)
        return;
    // The stored width is the user's; once shown, the pane never gets more than
    // the window has (before that the splitter scales whatever it is given).
    const int room = std::max(0, width() - kLeftWidth - 2 * kBarWidth);
    const int mid = std::clamp(MidWidth(), 0, isVisible() ? room : kMaxStoredSize);
    const int rest = std::max(0, room - mid);
    setSizes({ kLeftWidth, mid, rest });
}

bool CFlatSplitterWnd::HandlePress(int x)
{
    m_bPressed = true;
    // Left of the page host's width lies only the first bar, which stays put.
    return x >= MidWidth();
}

void CFlatSplitterWnd::HandleMove(int x)
{
    if (m_bPressed && x < MidWidth() + kLeftWidth)
        SetDefaultWidths();
}

QSplitterHandle* CFlatSplitterWnd::createHandle() { return new FlatSplitterHandle(orientation(), this); }

} // namespace ulv
