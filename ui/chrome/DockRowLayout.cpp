#include "ui/chrome/DockRowLayout.h"

#include "ui/chrome/CSizingControlBar.h"

#include <QDockWidget>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <map>

namespace ulv {

namespace {

constexpr Qt::DockWidgetArea kAreas[4] = {
    Qt::TopDockWidgetArea, Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea};
constexpr unsigned kSideIds[4] = {
    AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT, AFX_IDW_DOCKBAR_BOTTOM};

int Along(const QRect& r, bool horz)
{
    return horz ? r.width() : r.height();
}

// Whatever gives up the layout loop: a row the dock layout cannot split as
// asked is laid out as it stands rather than forever.
constexpr int kMaxRearrangePasses = 8;

} // namespace

// A dock widget that is not a sizing bar: it keeps its own length.
struct DockRowLayout::PlainBar : DockRowBar {
    explicit PlainBar(QDockWidget* w, const QRect& r)
        : widget(w)
        , rect(r)
    {
    }
    bool IsRowVisible() const override { return widget && widget->isVisible(); }
    QRect RowRect() const override { return rect; }
    void MoveInRow(const QRect& r) override { rect = r; }
    QPointer<QDockWidget> widget;
    QRect rect;
};

namespace {

// Where the dragged edge will go: a halftone strip over the frame that takes
// no mouse input, so the drag's moves and release still reach the frame.
class DragLineWidget : public QWidget {
public:
    explicit DragLineWidget(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("ulvDragLine"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }
};

} // namespace

DockRowLayout::DockRowLayout(QMainWindow* frame)
    : QObject(frame)
    , m_frame(frame)
    , m_sides{DockBarRows(kSideIds[0]), DockBarRows(kSideIds[1]), DockBarRows(kSideIds[2]), DockBarRows(kSideIds[3])}
{
    setObjectName(QStringLiteral("DockRowLayout"));
    frame->installEventFilter(this);
}

DockRowLayout::~DockRowLayout()
{
    // Bars that outlive the layout must not reach for its dock bars.
    for (DockBarRows& side : m_sides)
        for (const auto& e : side.Entries())
            if (SizingBarState* s = e.bar ? e.bar->AsSizingBar() : nullptr)
                s->m_pDockBar = nullptr;
}

DockRowLayout* DockRowLayout::Of(QMainWindow* frame)
{
    if (!frame)
        return nullptr;
    if (auto* existing = frame->findChild<DockRowLayout*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new DockRowLayout(frame);
}

DockBarRows& DockRowLayout::Side(unsigned id)
{
    for (int i = 0; i < 4; ++i)
        if (kSideIds[i] == id)
            return m_sides[i];
    return m_sides[0];
}

void DockRowLayout::DelayRecalcLayout()
{
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, [this] { RecalcLayout(); }, Qt::QueuedConnection);
}

void DockRowLayout::ReadRows()
{
    for (DockBarRows& side : m_sides) {
        for (const auto& e : side.Entries())
            if (SizingBarState* s = e.bar ? e.bar->AsSizingBar() : nullptr)
                s->m_pDockBar = nullptr;
        side.Clear();
        side.m_bRowsChanged = false;
        side.m_bDelayedLayout = false;
    }
    m_plain.clear();
    if (QLayout* l = m_frame->layout())
        l->activate();
    for (int i = 0; i < 4; ++i)
        ReadSide(i);
}

void DockRowLayout::ReadSide(int index)
{
    DockBarRows& side = m_sides[index];
    const bool horz = side.IsHorz();
    // A row is the bars the dock area put side by side: the same top on a
    // horizontal side, the same left on a vertical one.
    std::map<int, std::vector<QDockWidget*>> rows;
    std::vector<CSizingControlBar*> hidden;
    QPoint origin(INT_MAX, INT_MAX);
    for (QDockWidget* w : m_frame->findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w->isFloating() || m_frame->dockWidgetArea(w) != kAreas[index])
            continue;
        auto* sizing = qobject_cast<CSizingControlBar*>(w);
        if (!w->isVisible()) {
            if (sizing) {
                sizing->m_nDockBarID = kSideIds[index];
                hidden.push_back(sizing);
            }
            continue;
        }
        const QRect g = w->geometry();
        rows[horz ? g.top() : g.left()].push_back(w);
        origin.setX(std::min(origin.x(), g.left()));
        origin.setY(std::min(origin.y(), g.top()));
    }
    bool newRow = false;
    for (auto& [cross, row] : rows) {
        std::sort(row.begin(), row.end(), [horz](const QDockWidget* a, const QDockWidget* b) {
            return horz ? a->x() < b->x() : a->y() < b->y();
        });
        for (QDockWidget* w : row) {
            const QRect rect = w->geometry().translated(-origin);
            if (auto* sizing = qobject_cast<CSizingControlBar*>(w)) {
                sizing->m_pDockBar = &side;
                sizing->m_nDockBarID = kSideIds[index];
                sizing->m_rcRow = rect;
                side.AddBar(sizing, newRow);
            } else {
                m_plain.push_back(std::make_unique<PlainBar>(w, rect));
                side.AddBar(m_plain.back().get(), newRow);
            }
            newRow = false;
        }
        newRow = true;
    }
    // Hidden bars keep a place in the last row by their ids.
    for (CSizingControlBar* bar : hidden)
        side.AddPlaceholder(unsigned(bar->GetDlgCtrlID()));
    if (QWidget* work = m_frame->centralWidget())
        side.m_rectFreeClient = work->geometry();
    else
        side.m_rectFreeClient = m_frame->rect();
}

bool DockRowLayout::ShareSide(int index)
{
    DockBarRows& side = m_sides[index];
    const bool horz = side.IsHorz();
    for (const std::vector<DockRowBar*>& row : side.Rows()) {
        int room = 0;
        int plain = 0;
        CSizingControlBar* first = nullptr;
        for (DockRowBar* bar : row) {
            if (!bar->IsRowVisible())
                continue;
            QDockWidget* w = WidgetOf(bar);
            room += w ? Along(w->geometry(), horz) : 0;
            if (auto* sizing = qobject_cast<CSizingControlBar*>(w)) {
                if (!first)
                    first = sizing;
            } else {
                ++plain;
            }
        }
        if (!first)
            continue;
        // The total is what the sizing bars and the others' lengths less
        // their 2-pixel overlaps fill; the layout rectangle is that less
        // the border overhang the bars' layout adds back (2 pixels along a
        // horizontal row, -2 down a vertical one).
        const int total = room - 2 * plain;
        const QRect rect = horz ? QRect(0, 0, total - 2, 1) : QRect(0, 0, 1, total + 2);
        side.m_rectLayout = rect;
        side.m_rectSiteClient = rect;
        first->CalcDynamicLayout(-1,
            horz ? CSizingControlBar::LM_HORZDOCK | CSizingControlBar::LM_HORZ : CSizingControlBar::LM_VERTDOCK);
        if (side.m_bRowsChanged)
            return true;
    }
    // The row operations line the bars up in the array's own coordinates;
    // the dock layout places the widgets itself.
    side.m_bDelayedLayout = false;
    return false;
}

QDockWidget* DockRowLayout::WidgetOf(DockRowBar* bar) const
{
    if (SizingBarState* s = bar->AsSizingBar())
        return dynamic_cast<CSizingControlBar*>(s);
    for (const auto& p : m_plain)
        if (p.get() == bar)
            return p->widget;
    return nullptr;
}

void DockRowLayout::ApplyRow(const std::vector<DockRowBar*>& row, bool horz)
{
    QList<QDockWidget*> widgets;
    QList<int> lengths;
    bool differs = false;
    int cross = -1;
    for (DockRowBar* bar : row) {
        QDockWidget* w = WidgetOf(bar);
        if (!w || !bar->IsRowVisible())
            continue;
        int length = Along(w->geometry(), horz);
        if (SizingBarState* s = bar->AsSizingBar()) {
            length = s->LengthIn(horz);
            if (cross < 0)
                cross = s->CrossIn(horz);
        }
        differs = differs || length != Along(w->geometry(), horz);
        widgets.append(w);
        lengths.append(length);
    }
    if (widgets.isEmpty() || cross < 0)
        return;
    if (differs)
        m_frame->resizeDocks(widgets, lengths, horz ? Qt::Horizontal : Qt::Vertical);
    const QRect g = widgets.front()->geometry();
    if ((horz ? g.height() : g.width()) != cross)
        m_frame->resizeDocks({widgets.front()}, {cross}, horz ? Qt::Vertical : Qt::Horizontal);
}

void DockRowLayout::ApplyLengths(int index)
{
    DockBarRows& side = m_sides[index];
    for (const std::vector<DockRowBar*>& row : side.Rows())
        ApplyRow(row, side.IsHorz());
}

void DockRowLayout::Rearrange(int index)
{
    // The dock area takes the rows as the array now has them: the first row
    // along the side, each further row across it, and the bars of a row
    // split off one another along it.
    DockBarRows& side = m_sides[index];
    const Qt::Orientation along = side.IsHorz() ? Qt::Horizontal : Qt::Vertical;
    const Qt::Orientation across = side.IsHorz() ? Qt::Vertical : Qt::Horizontal;
    std::vector<std::vector<QDockWidget*>> rows;
    for (const std::vector<DockRowBar*>& row : side.Rows()) {
        std::vector<QDockWidget*> widgets;
        for (DockRowBar* bar : row)
            if (QDockWidget* w = WidgetOf(bar); w && bar->IsRowVisible())
                widgets.push_back(w);
        if (!widgets.empty())
            rows.push_back(std::move(widgets));
    }
    m_rearranging = true;
    for (const auto& row : rows)
        for (QDockWidget* w : row)
            m_frame->removeDockWidget(w);
    for (size_t r = 0; r < rows.size(); ++r) {
        m_frame->addDockWidget(kAreas[index], rows[r].front(), r == 0 ? along : across);
        rows[r].front()->show();
        for (size_t i = 1; i < rows[r].size(); ++i) {
            m_frame->splitDockWidget(rows[r][i - 1], rows[r][i], along);
            rows[r][i]->show();
        }
    }
    m_rearranging = false;
}

void DockRowLayout::RecalcLayout()
{
    m_pending = false;
    // A minimized frame's rows have no room to share: breaking them there
    // would outlast the restore.
    if (m_inLayout || !m_frame->isVisible() || m_frame->isMinimized())
        return;
    m_inLayout = true;
    for (int pass = 0; pass < kMaxRearrangePasses; ++pass) {
        ReadRows();
        bool rearranged = false;
        for (int i = 0; i < 4; ++i) {
            if (ShareSide(i)) {
                Rearrange(i);
                rearranged = true;
            }
        }
        if (rearranged && pass + 1 < kMaxRearrangePasses)
            continue;
        for (int i = 0; i < 4; ++i)
            ApplyLengths(i);
        break;
    }
    if (QLayout* l = m_frame->layout())
        l->activate();
    m_inLayout = false;
}

bool DockRowLayout::BeginRowDrag(const QPoint& pos)
{
    ReadRows();
    for (DockBarRows& side : m_sides) {
        const bool horz = side.IsHorz();
        for (const std::vector<DockRowBar*>& row : side.Rows()) {
            for (size_t i = 0; i + 1 < row.size(); ++i) {
                QDockWidget* a = WidgetOf(row[i]);
                QDockWidget* b = WidgetOf(row[i + 1]);
                if (!a || !b || !a->isVisible() || !b->isVisible())
                    continue;
                const QRect ga = a->geometry();
                const QRect gb = b->geometry();
                const bool inGap = horz
                    ? (pos.x() > ga.right() && pos.x() < gb.left() && pos.y() >= ga.top() && pos.y() <= ga.bottom())
                    : (pos.y() > ga.bottom() && pos.y() < gb.top() && pos.x() >= ga.left() && pos.x() <= ga.right());
                if (!inGap)
                    continue;
                // The gap is the edge after the bar before it, or the edge
                // before the bar after it when the first is no sizing bar.
                const int centre = horz ? (ga.right() + 1 + gb.left()) / 2 : (ga.bottom() + 1 + gb.top()) / 2;
                if (auto* before = qobject_cast<CSizingControlBar*>(a)) {
                    before->BeginEdgeDrag(horz ? HTRIGHT : HTBOTTOM, pos, centre);
                    m_dragBar = before;
                    MoveDragLine();
                    return true;
                }
                if (auto* after = qobject_cast<CSizingControlBar*>(b)) {
                    after->BeginEdgeDrag(horz ? HTLEFT : HTTOP, pos, centre);
                    m_dragBar = after;
                    MoveDragLine();
                    return true;
                }
                return false;
            }
        }
    }
    return false;
}

void DockRowLayout::MoveDragLine()
{
    if (!m_dragBar)
        return;
    if (!m_dragLine)
        m_dragLine = new DragLineWidget(m_frame);
    // The edge's strip across the bar, centred where the edge will be.
    const QRect bar = m_dragBar->geometry();
    const int at = m_dragBar->m_nTrackPosOld - m_dragBar->m_nTrackEdgeOfs - kEdgeWidth / 2;
    const bool alongX = m_dragBar->m_htEdge == HTLEFT || m_dragBar->m_htEdge == HTRIGHT;
    m_dragLine->setGeometry(alongX ? QRect(at, bar.top(), kEdgeWidth, bar.height())
                                   : QRect(bar.left(), at, bar.width(), kEdgeWidth));
    m_dragLine->raise();
    m_dragLine->show();
}

void DockRowLayout::EndRowDrag()
{
    CSizingControlBar* bar = m_dragBar;
    bar->EndEdgeDrag();
    m_dragBar = nullptr;
    delete m_dragLine;
    // The row takes the lengths the drag gave its bars.
    if (bar->m_pDockBar) {
        const DockBarRows& side = *bar->m_pDockBar;
        for (const auto& row : side.Rows())
            if (std::find(row.begin(), row.end(), static_cast<DockRowBar*>(bar)) != row.end())
                ApplyRow(row, side.IsHorz());
        if (QLayout* l = m_frame->layout())
            l->activate();
    }
    DelayRecalcLayout();
}

bool DockRowLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_frame)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        DelayRecalcLayout();
        break;
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        // Another button ends the drag where it is; so does a press while a
        // drag whose release never came (the window lost the mouse) runs.
        if (m_dragBar) {
            EndRowDrag();
            if (me->button() != Qt::LeftButton)
                return true;
        }
        if (me->button() == Qt::LeftButton && !SizingBarState::IsEdgeDragging()
            && BeginRowDrag(me->position().toPoint()))
            return true;
        break;
    }
    case QEvent::MouseMove:
        if (m_dragBar) {
            m_dragBar->DragEdgeTo(static_cast<QMouseEvent*>(event)->position().toPoint());
            MoveDragLine();
            return true;
        }
        break;
    case QEvent::WindowDeactivate:
    case QEvent::UngrabMouse:
        if (m_dragBar)
            EndRowDrag();
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragBar && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            EndRowDrag();
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace ulv
