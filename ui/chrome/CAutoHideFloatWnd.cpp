#include "ui/chrome/CAutoHideFloatWnd.h"

#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CDockPageBar.h"
#include "ui/controls/WinLook.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace ulv {

CAutoHideFloatWnd::CAutoHideFloatWnd(QWidget* parent)
    : QWidget(parent)
    , m_Title(QStringLiteral("AutoHideFloatWnd"))
    , m_font(LogFont(QStringLiteral("Tahoma"), -11))
{
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_slideTimer.setInterval(kStepMs);
    m_hideTimer.setInterval(kHideCheckMs);
    connect(&m_slideTimer, &QTimer::timeout, this, &CAutoHideFloatWnd::OnSlideTimer);
    connect(&m_hideTimer, &QTimer::timeout, this, &CAutoHideFloatWnd::OnHideCheck);
}

QMargins CAutoHideFloatWnd::Borders() const
{
    const int frame = GetSystemMetrics(SM_CXFRAME);
    if (m_dwStyle & CBRS_ALIGN_LEFT)
        return {0, 2, frame, 0};
    if (m_dwStyle & CBRS_ALIGN_TOP)
        return {0, 2, 1, 3};
    if (m_dwStyle & CBRS_ALIGN_RIGHT)
        return {frame, 2, 1, 0};
    if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        return {0, 2, 1, 2};
    return {};
}

QRect CAutoHideFloatWnd::ClientRect() const
{
    const QMargins b = Borders();
    return rect().adjusted(b.left() + 1, 2 * b.top() + 17, -(b.right() + 1), -(b.bottom() + 1));
}

QRect CAutoHideFloatWnd::CaptionRect() const
{
    const QMargins b = Borders();
    return QRect(b.left(), b.top(), ClientRect().width() + 2, kCaptionBand);
}

bool CAutoHideFloatWnd::ShowsButtons() const
{
    return width() >= QFontMetrics(m_font).horizontalAdvance(m_Title) + 30;
}

void CAutoHideFloatWnd::PlaceButtons()
{
    const QRect caption = CaptionRect();
    m_closeButton.Move(caption.right() + 1 - 15, caption.top() + 2);
    m_pinButton.Move(caption.right() + 1 - 32, caption.top() + 2);
}

int CAutoHideFloatWnd::HitTest(const QPoint& pos)
{
    PlaceButtons();
    if (ShowsButtons()) {
        if (m_closeButton.GetRect().contains(pos))
            return HTCLOSEBUTTON;
        if (m_pinButton.GetRect().contains(pos))
            return HTPINBUTTON;
    }
    if (CaptionRect().contains(pos))
        return HTCAPTIONBAND;
    const int fx = GetSystemMetrics(SM_CXFRAME);
    const int fy = GetSystemMetrics(SM_CYFRAME);
    if (rect().contains(pos)) {
        if ((m_dwStyle & CBRS_ALIGN_LEFT) && pos.x() >= width() - fx)
            return HTRIGHT;
        if ((m_dwStyle & CBRS_ALIGN_TOP) && pos.y() >= height() - fy)
            return HTBOTTOM;
        if ((m_dwStyle & CBRS_ALIGN_RIGHT) && pos.x() < fx)
            return HTLEFT;
        if ((m_dwStyle & CBRS_ALIGN_BOTTOM) && pos.y() < fy)
            return HTTOP;
    }
    return ClientRect().contains(pos) ? HTCLIENT : HTNOWHERE;
}

void CAutoHideFloatWnd::StartSlide(int direction, int duration)
{
    m_bSliding = true;
    m_nSteps = std::max(1, duration / kStepMs);
    if (direction == kSlideIn) {
        m_nStep = m_nSteps - 1;
        if (m_pShowing)
            m_pShowing->m_rcSlideOut = geometry();
        m_hideTimer.stop();
    } else {
        m_nStep = 0;
        m_hideTimer.start();
    }
    m_direction = direction;
    m_slideTimer.stop();
    m_slideTimer.start();
}

void CAutoHideFloatWnd::PlaceStep()
{
    const int w = m_rcFull.width();
    const int h = m_rcFull.height();
    QPoint offset;
    if (m_dwStyle & CBRS_ALIGN_LEFT)
        offset.setX(w * (m_nStep + 1) / m_nSteps - w);
    else if (m_dwStyle & CBRS_ALIGN_TOP)
        offset.setY(h * (m_nStep + 1) / m_nSteps - h);
    else if (m_dwStyle & CBRS_ALIGN_RIGHT)
        offset.setX(w - w * (m_nStep + 1) / m_nSteps);
    else
        offset.setY(h - h * (m_nStep + 1) / m_nSteps);
    setGeometry(m_rcFull.translated(offset));
    show();
    update();
}

void CAutoHideFloatWnd::OnSlideTimer()
{
    if (m_direction == kSlideIn) {
        if (m_nStep >= 0) {
            --m_nStep;
            PlaceStep();
            return;
        }
        m_slideTimer.stop();
        hide();
        m_nStep = m_nSteps - 1;
        m_bSliding = false;
        return;
    }
    if (m_nStep < m_nSteps - 1) {
        ++m_nStep;
        PlaceStep();
        return;
    }
    setGeometry(m_rcFull);
    show();
    m_slideTimer.stop();
    m_nStep = 0;
    m_bSliding = false;
}

void CAutoHideFloatWnd::OnHideCheck()
{
    const bool inside = QRect(mapToGlobal(QPoint(0, 0)), size()).contains(QCursor::pos());
    if (inside || m_bHoverLock || QWidget::mouseGrabber())
        return;
    m_hideTimer.stop();
    StartSlide(kSlideIn, 300);
}

void CAutoHideFloatWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(SysRgb(COLOR_BTNFACE)));
    p.setPen(QColor(CDockPageBar::kPageFrame));
    p.drawRect(ClientRect().adjusted(-1, -1, 0, 0));
    // The edge that faces the frame's centre.
    const QRect r = rect();
    auto edge = [&](QColor outer, QColor inner) {
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            p.setPen(outer);
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            p.setPen(inner);
            p.drawLine(r.right() - 1, r.top(), r.right() - 1, r.bottom());
        } else if (m_dwStyle & CBRS_ALIGN_TOP) {
            p.setPen(outer);
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            p.setPen(inner);
            p.drawLine(r.left(), r.bottom() - 1, r.right(), r.bottom() - 1);
        } else if (m_dwStyle & CBRS_ALIGN_RIGHT) {
            p.setPen(outer);
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(inner);
            p.drawLine(r.left() + 1, r.top(), r.left() + 1, r.bottom());
        } else {
            p.setPen(outer);
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.setPen(inner);
            p.drawLine(r.left(), r.top() + 1, r.right(), r.top() + 1);
        }
    };
    if (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP))
        edge(Qt::black, QColor(CDockPageBar::kPageFrame));
    else
        edge(QColor(SysRgb(COLOR_BTNFACE)), Qt::white);

    const QRect caption = CaptionRect();
    if (m_bActive) {
        p.fillRect(caption, QColor(CDockPageBar::kActiveCaption));
        p.setPen(Qt::white);
    } else {
        p.fillRect(caption, QColor(CDockPageBar::kInactiveCaption));
        p.setPen(Qt::black);
        p.drawRect(caption.adjusted(0, 0, -1, -1));
    }
    p.setFont(m_font);
    const QString title = CDockPageBar::ElideTitle(QFontMetrics(m_font), m_Title, caption.width() - 30);
    p.drawText(QRect(caption.left() + 4, caption.top() + 1, std::max(0, caption.width() - 34), kCaptionBand - 1),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
    if (ShowsButtons()) {
        PlaceButtons();
        m_closeButton.Paint(p, m_bActive);
        m_pinButton.Paint(p, m_bActive);
    }
}

void CAutoHideFloatWnd::resizeEvent(QResizeEvent*)
{
    const auto kids = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    if (!kids.isEmpty())
        kids.first()->setGeometry(ClientRect());
    update();
}

void CAutoHideFloatWnd::mousePressEvent(QMouseEvent* event)
{
    m_bActive = true;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const int code = HitTest(pos);
    if (event->button() == Qt::LeftButton && !m_bSliding
        && (code == HTLEFT || code == HTRIGHT || code == HTTOP || code == HTBOTTOM)) {
        m_sizing = code;
        m_sizeFrom = event->globalPosition().toPoint();
        m_sizeStart = geometry();
        update();
        return;
    }
    if (ShowsButtons()) {
        m_closeButton.m_bPushed = m_closeButton.GetRect().contains(pos);
        m_pinButton.m_bPushed = m_pinButton.GetRect().contains(pos);
    }
    update();
}

void CAutoHideFloatWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_sizing) {
        m_sizing = 0;
        return;
    }
    const QPoint pos = event->position().toPoint();
    m_closeButton.m_bPushed = m_pinButton.m_bPushed = false;
    update();
    if (!ShowsButtons())
        return;
    if (m_closeButton.GetRect().contains(pos)) {
        hide();
    } else if (m_pinButton.GetRect().contains(pos) && m_pGroup) {
        m_pGroup->RestoreBar(); // deletes this window later; touch nothing after
    }
}

void CAutoHideFloatWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool down = (event->buttons() & Qt::LeftButton) != 0;
    if (m_sizing && down) {
        // The edge at the frame's side stays; the inner edge follows the
        // cursor, and the window slides out at its new size from now on.
        const QPoint d = event->globalPosition().toPoint() - m_sizeFrom;
        constexpr int kMin = 5;
        QRect r = m_sizeStart;
        switch (m_sizing) {
        case HTRIGHT:
            r.setRight(std::max(r.left() + kMin - 1, r.right() + d.x()));
            break;
        case HTBOTTOM:
            r.setBottom(std::max(r.top() + kMin - 1, r.bottom() + d.y()));
            break;
        case HTLEFT:
            r.setLeft(std::min(r.right() - kMin + 1, r.left() + d.x()));
            break;
        default:
            r.setTop(std::min(r.bottom() - kMin + 1, r.top() + d.y()));
            break;
        }
        setGeometry(r);
        m_rcFull = r;
        return;
    }
    m_sizing = 0;
    switch (HitTest(pos)) {
    case HTLEFT:
    case HTRIGHT:
        setCursor(Qt::SizeHorCursor);
        break;
    case HTTOP:
    case HTBOTTOM:
        setCursor(Qt::SizeVerCursor);
        break;
    default:
        unsetCursor();
        break;
    }
    bool changed = false;
    for (CCaptionButton* b : {static_cast<CCaptionButton*>(&m_closeButton), static_cast<CCaptionButton*>(&m_pinButton)}) {
        const bool on = ShowsButtons() && b->GetRect().contains(pos);
        changed |= b->m_bPushed != (on && down) || b->m_bHot != (on && !down);
        b->m_bPushed = on && down;
        b->m_bHot = on && !down;
    }
    m_bHoverLock = false;
    if (changed)
        update();
}

} // namespace ulv
