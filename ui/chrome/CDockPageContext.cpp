#include "ui/chrome/CDockPageContext.h"

#include "ui/chrome/CDockPageBar.h"

#include <QMainWindow>
#include <QRubberBand>

#include <algorithm>
#include <set>

namespace ulv {

namespace {

QRect GlobalRect(const QWidget* w)
{
    if (w->isWindow())
        return w->frameGeometry();
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

Qt::DockWidgetArea AreaOf(unsigned style)
{
    if (style & CBRS_ALIGN_LEFT)
        return Qt::LeftDockWidgetArea;
    if (style & CBRS_ALIGN_RIGHT)
        return Qt::RightDockWidgetArea;
    if (style & CBRS_ALIGN_BOTTOM)
        return Qt::BottomDockWidgetArea;
    return Qt::TopDockWidgetArea;
}

unsigned StyleOfSide(unsigned side)
{
    switch (side) {
    case AFX_IDW_DOCKBAR_LEFT:
        return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
        return CBRS_ALIGN_RIGHT;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return CBRS_ALIGN_BOTTOM;
    case AFX_IDW_DOCKBAR_TOP:
        return CBRS_ALIGN_TOP;
    default:
        return 0;
    }
}

} // namespace

CDockPageContext::CDockPageContext(CDockPageBar* bar)
    : m_pBar(bar)
{
}

CDockPageContext::~CDockPageContext()
{
    for (const QPointer<CDockPageBar>& created : m_createdBars)
        delete created.data();
}

void CDockPageContext::StartDrag(const QPoint& globalPos)
{
    m_bDragging = true;
    m_ptLast = globalPos;
    MoveDrag(globalPos);
}

bool CDockPageContext::FindMergeTarget(const QPoint& globalPos)
{
    m_bOverItself = GlobalRect(m_pBar).contains(globalPos) && m_pBar->isVisible();
    if (m_bOverItself)
        return false;
    QMainWindow* site = m_pBar->DockSite();
    if (!site)
        return false;
    for (CDockPageBar* other : site->findChildren<CDockPageBar*>()) {
        if (other == m_pBar || !other->isVisible())
            continue;
        const QRect r = GlobalRect(other);
        if (!r.contains(globalPos))
            continue;
        const bool onCaption = globalPos.y() < r.top() + CDockPageBar::kCaptionHeight;
        const bool onTabs = other->GetPageCount() > 1 && globalPos.y() > r.bottom() - CDockPageBar::kTabStripHeight;
        if (onCaption || onTabs) {
            m_pMergeTarget = other;
            m_rcMerge = r;
            return true;
        }
    }
    return false;
}

DockDropZone CDockPageContext::ComputeDropZone(const QRect& target, const QPoint& point, unsigned mode,
    const QSize& depthLimit, const QRect& frameRect, unsigned sideTargetStyle)
{
    DockDropZone zone;
    if (target.width() < 34 || target.height() < 66 || !target.contains(point))
        return zone;
    unsigned align = 0;
    if (point.x() < target.left() + 16) {
        align = CBRS_ALIGN_LEFT;
        zone.zoneBit = 0x100;
    } else if (point.x() > target.right() - 16) {
        align = CBRS_ALIGN_RIGHT;
        zone.zoneBit = 0x200;
    } else if (point.y() < target.top() + 32) {
        align = CBRS_ALIGN_TOP;
        zone.zoneBit = 0x400;
    } else if (point.y() > target.bottom() - 32) {
        align = CBRS_ALIGN_BOTTOM;
        zone.zoneBit = 0x800;
    } else {
        zone.zoneBit = 0;
        return zone;
    }
    QRect base = target;
    if (mode == kFrameEdge)
        base = target.adjusted(16, 32, -16, -32);
    QRect r = base;
    const bool across = align == CBRS_ALIGN_LEFT || align == CBRS_ALIGN_RIGHT;
    if (mode == kFrameEdge) {
        if (across) {
            r.setTop(frameRect.top());
            r.setBottom(frameRect.bottom());
        } else {
            r.setLeft(frameRect.left());
            r.setRight(frameRect.right());
        }
    }
    const int depth = across ? std::min(base.width() / 2, depthLimit.width())
                             : std::min(base.height() / 2, depthLimit.height());
    switch (align) {
    case CBRS_ALIGN_LEFT:
        r.setWidth(depth);
        break;
    case CBRS_ALIGN_RIGHT:
        r.setLeft(r.right() - depth + 1);
        break;
    case CBRS_ALIGN_TOP:
        r.setHeight(depth);
        break;
    default:
        r.setTop(r.bottom() - depth + 1);
        break;
    }
    zone.overDockStyle = mode == kBesideBar ? sideTargetStyle : align;
    zone.dropRect = r;
    if (mode != kBesideBar)
        zone.zoneBit = 0;
    return zone;
}

void CDockPageContext::MoveDrag(const QPoint& globalPos)
{
    m_pMergeTarget = nullptr;
    m_pSideTarget = nullptr;
    m_dwDropMode = kNone;
    m_bDropTarget = false;
    m_rcDrop = QRect();
    if (FindMergeTarget(globalPos)) {
        m_dwOverDockStyle = kMerge;
    } else {
        QMainWindow* site = m_pBar->DockSite();
        QRect target;
        unsigned sideStyle = 0;
        if (site) {
            const QRect frame = GlobalRect(site);
            const QWidget* work = site->centralWidget();
            const QRect workRect = work ? GlobalRect(work) : QRect();
            if (frame.contains(globalPos)) {
                for (CDockPageBar* other : site->findChildren<CDockPageBar*>()) {
                    if (other != m_pBar && other->isVisible() && !other->isFloating()
                        && GlobalRect(other).contains(globalPos)) {
                        m_dwDropMode = kBesideBar;
                        m_pSideTarget = other;
                        target = GlobalRect(other);
                        sideStyle = StyleOfSide(other->DockSide());
                        break;
                    }
                }
                if (m_dwDropMode == kNone && workRect.contains(globalPos)) {
                    m_dwDropMode = kWorkArea;
                    target = workRect;
                } else if (m_dwDropMode == kNone && workRect.adjusted(-16, -32, 16, 32).contains(globalPos)) {
                    m_dwDropMode = kFrameEdge;
                    target = workRect.adjusted(-16, -32, 16, 32);
                }
            } else if (frame.adjusted(-16, -32, 16, 32).contains(globalPos)) {
                m_dwDropMode = kFrameEdge;
                target = frame.adjusted(-16, -32, 16, 32);
            }
            const QSize limit = m_dwDropMode == kFrameEdge ? frame.size() : m_pBar->size();
            const DockDropZone zone = m_dwDropMode == kNone
                ? DockDropZone{}
                : ComputeDropZone(target, globalPos, m_dwDropMode, limit, frame, sideStyle);
            m_dwOverDockStyle = zone.overDockStyle;
            if (zone.overDockStyle != 0) {
                m_rcDrop = zone.dropRect;
                m_bDropTarget = true;
                m_dwDropMode |= zone.zoneBit;
            } else {
                m_dwDropMode = kNone;
                m_pSideTarget = nullptr;
            }
        }
    }
    m_ptLast = globalPos;
    ShowDragFrame();
}

void CDockPageContext::ShowDragFrame()
{
    if (!m_frame)
        m_frame = std::make_unique<QRubberBand>(QRubberBand::Rectangle);
    QRect r;
    if (m_bOverItself)
        r = QRect();
    else if (m_dwOverDockStyle == kMerge)
        r = m_rcMerge;
    else if (m_bDropTarget)
        r = m_rcDrop;
    else
        r = QRect(m_ptLast, m_pBar->m_szFloat);
    if (r.isEmpty()) {
        m_frame->hide();
        return;
    }
    m_frame->setGeometry(r);
    m_frame->show();
}

void CDockPageContext::CancelDrag()
{
    m_bDragging = false;
    m_bPageDrag = false;
    if (m_frame)
        m_frame->hide();
}

void CDockPageContext::DropBar()
{
    const bool pageDrag = m_bPageDrag;
    CancelDrag();
    if (m_bOverItself)
        return;
    QMainWindow* site = m_pBar->DockSite();
    if (m_dwOverDockStyle == kMerge && m_pMergeTarget) {
        if (pageDrag) {
            if (DockPageItem* item = m_pBar->RemoveActivePage()) {
                m_pMergeTarget->AttachPageItem(item);
                m_pMergeTarget->SetActivePage(m_pMergeTarget->GetPageCount() - 1);
            }
        } else {
            m_pMergeTarget->MergePagesFrom(m_pBar);
        }
        return;
    }
    CDockPageBar* place = pageDrag ? CreateBarForPage() : m_pBar;
    if (!place || !site)
        return;
    if (m_dwOverDockStyle != 0) {
        const Qt::DockWidgetArea area = AreaOf(m_dwOverDockStyle);
        const bool across = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        if (m_bDropTarget) {
            if (across)
                place->m_szVert = m_rcDrop.size();
            else
                place->m_szHorz = m_rcDrop.size();
        }
        place->setFloating(false);
        const unsigned zone = m_dwDropMode & 0xF00;
        if ((m_dwDropMode & 0xFF) == kBesideBar && m_pSideTarget) {
            const Qt::Orientation o = (zone == 0x100 || zone == 0x200) ? Qt::Horizontal : Qt::Vertical;
            site->addDockWidget(site->dockWidgetArea(m_pSideTarget), place);
            if (zone == 0x100 || zone == 0x400)
                site->splitDockWidget(place, m_pSideTarget, o);
            else
                site->splitDockWidget(m_pSideTarget, place, o);
        } else {
            site->addDockWidget(area, place);
        }
        place->show();
        place->ApplyRememberedSize();
        return;
    }
    place->setFloating(true);
    place->show();
    place->move(m_ptLast);
    place->ApplyRememberedSize();
}

CDockPageBar* CDockPageContext::CreateBarForPage()
{
    QMainWindow* site = m_pBar->DockSite();
    if (!site)
        return nullptr;
    DockPageItem* item = m_pBar->RemoveActivePage();
    if (!item)
        return nullptr;
    // Every torn-off bar gets its own id, so that saved states never share a
    // profile section.
    std::set<int> used;
    for (CSizingControlBar* bar : site->findChildren<CSizingControlBar*>())
        used.insert(bar->GetDlgCtrlID());
    int id = kTearOffFirstId;
    while (used.count(id))
        ++id;
    auto* bar = new CDockPageBar;
    bar->Create(QStringLiteral("New Bar"), site, id);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    bar->AttachPageItem(item);
    m_createdBars.emplace_back(bar);
    return bar;
}

} // namespace ulv
