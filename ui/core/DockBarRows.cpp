#include "ui/core/DockBarRows.h"

#include <algorithm>
#include <cstdlib>

namespace ulv {

namespace {

int WindowLength(const DockRowBar& bar, bool horz)
{
    const QRect r = bar.RowRect();
    return horz ? r.width() : r.height();
}

// The edge bits a neighbour gives (the values of the bar's edge style).
constexpr unsigned kEdgeLeft = 0x01;
constexpr unsigned kEdgeRight = 0x02;
constexpr unsigned kEdgeTop = 0x04;
constexpr unsigned kEdgeBottom = 0x08;

} // namespace

// --- DockBarRows ---

DockBarRows::DockBarRows(unsigned side)
    : m_side(side)
    , m_arrBars(2)
{
}

void DockBarRows::AddBar(DockRowBar* bar, bool newRow)
{
    if (!bar || FindBar(bar) >= 0)
        return;
    // The array always ends with a row end; a new row gets its own.
    const bool lastRowEmpty = m_arrBars.size() == 2;
    if (newRow && !lastRowEmpty)
        m_arrBars.push_back({});
    m_arrBars.insert(m_arrBars.end() - 1, Entry{bar, 0});
}

bool DockBarRows::AddPlaceholder(unsigned id, bool newRow)
{
    if (id == 0 || id >= kPlaceholderLimit)
        return false;
    if (newRow && m_arrBars.size() > 2)
        m_arrBars.push_back({});
    m_arrBars.insert(m_arrBars.end() - 1, Entry{nullptr, id});
    return true;
}

void DockBarRows::InsertRowBreak(int index)
{
    if (index < 0 || index > int(m_arrBars.size()))
        return;
    m_arrBars.insert(m_arrBars.begin() + index, Entry{});
    m_bRowsChanged = true;
}

bool DockBarRows::RemoveBar(const DockRowBar* bar)
{
    const int at = FindBar(bar);
    if (at < 0)
        return false;
    m_arrBars.erase(m_arrBars.begin() + at);
    // Two row ends in a row make an empty row: drop one (an empty array
    // keeps its opening and closing row ends).
    if (m_arrBars.size() > 2 && at > 0 && at < int(m_arrBars.size()) && m_arrBars[at].IsRowEnd() && m_arrBars[at - 1].IsRowEnd())
        m_arrBars.erase(m_arrBars.begin() + at);
    return true;
}

int DockBarRows::FindBar(const DockRowBar* bar) const
{
    if (!bar)
        return -1;
    for (int i = 0; i < int(m_arrBars.size()); ++i)
        if (m_arrBars[i].bar == bar)
            return i;
    return -1;
}

void DockBarRows::Clear()
{
    m_arrBars.assign(2, Entry{});
}

std::vector<std::vector<DockRowBar*>> DockBarRows::Rows() const
{
    std::vector<std::vector<DockRowBar*>> rows;
    std::vector<DockRowBar*> row;
    bool inRow = false;
    for (const Entry& e : m_arrBars) {
        if (e.IsRowEnd()) {
            if (inRow)
                rows.push_back(std::move(row));
            row.clear();
            inRow = false;
            continue;
        }
        inRow = true;
        if (e.bar)
            row.push_back(e.bar);
    }
    if (inRow)
        rows.push_back(std::move(row));
    return rows;
}

// --- SizingBarState ---

bool SizingBarState::s_bDragging = false;

SizingBarState::SizingBarState()
{
    s_bDragging = false;
}

SizingBarState::~SizingBarState()
{
    if (m_bDragOwner)
        s_bDragging = false;
    if (m_pDockBar)
        m_pDockBar->RemoveBar(this);
}

bool SizingBarState::IsRowVisible() const
{
    // A deferred show counts as shown and a deferred hide as hidden: the
    // layout is for the state the frame is about to show.
    if (m_pendingShow == PendingShow::Hide)
        return false;
    return m_pendingShow == PendingShow::Show || IsWindowShown();
}

bool SizingBarState::IsHorzDocked() const
{
    return m_nDockBarID == AFX_IDW_DOCKBAR_TOP || m_nDockBarID == AFX_IDW_DOCKBAR_BOTTOM;
}

bool SizingBarState::IsVertDocked() const
{
    return m_nDockBarID == AFX_IDW_DOCKBAR_LEFT || m_nDockBarID == AFX_IDW_DOCKBAR_RIGHT;
}

void SizingBarState::SetLengthIn(bool horz, int length)
{
    if (horz)
        m_szHorz.setWidth(length);
    else
        m_szVert.setHeight(length);
}

void SizingBarState::SetCrossIn(bool horz, int cross)
{
    if (horz)
        m_szHorz.setHeight(cross);
    else
        m_szVert.setWidth(cross);
}

SizingBarState::RowBounds SizingBarState::FindRowBounds() const
{
    RowBounds b;
    if (!m_pDockBar)
        return b;
    const auto& arr = m_pDockBar->Entries();
    b.self = m_pDockBar->FindBar(this);
    if (b.self < 0)
        return b;
    b.first = b.self;
    while (b.first > 0 && !arr[b.first - 1].IsRowEnd())
        --b.first;
    b.last = b.self;
    while (b.last + 1 < int(arr.size()) && !arr[b.last + 1].IsRowEnd())
        ++b.last;
    return b;
}

std::vector<SizingBarState*> SizingBarState::CollectRowBars(int* thisIndex) const
{
    std::vector<SizingBarState*> bars;
    if (thisIndex)
        *thisIndex = -1;
    const RowBounds b = FindRowBounds();
    if (b.self < 0)
        return bars;
    const auto& arr = m_pDockBar->Entries();
    for (int i = b.first; i <= b.last; ++i) {
        DockRowBar* bar = arr[i].bar;
        if (!bar || !bar->IsRowVisible())
            continue;
        SizingBarState* sizing = bar->AsSizingBar();
        if (!sizing)
            continue;
        if (sizing == this && thisIndex)
            *thisIndex = int(bars.size());
        bars.push_back(sizing);
    }
    return bars;
}

QSize SizingBarState::CalcFixedLayout(bool stretch, bool horz)
{
    if (stretch)
        return horz ? QSize(32767, m_szHorz.height()) : QSize(m_szVert.width(), 32767);

    if (m_pDockBar) {
        // Deferred shows and hides of the row take effect before its length
        // is shared, so a bar about to appear gets its part.
        if (!m_pDockBar->m_bLayoutQuery) {
            const RowBounds b = FindRowBounds();
            const auto& arr = m_pDockBar->Entries();
            for (int i = b.first; b.self >= 0 && i <= b.last; ++i)
                if (SizingBarState* s = arr[i].bar ? arr[i].bar->AsSizingBar() : nullptr)
                    s->ApplyPendingShow();
        }
        QRect rect = m_pDockBar->m_rectLayout;
        if (rect.isEmpty())
            rect = m_pDockBar->m_rectSiteClient;
        const int total = horz ? rect.width() + 2 : rect.height() - 2;
        int at = -1;
        CollectRowBars(&at);
        const bool docked = IsHorzDocked() || IsVertDocked();
        if (IsRowVisible() && docked && m_bParentSizing && at == 0) {
            if (ShareRowLength(total, horz))
                LineUpRow(horz);
        }
    }
    m_bParentSizing = false;
    const QSize size = horz ? m_szHorz : m_szVert;
    const QSize minimum = horz ? m_szMinHorz : m_szMinVert;
    return {std::max(size.width(), minimum.width()), std::max(size.height(), minimum.height())};
}

bool SizingBarState::ShareRowLength(int totalLength, bool horz)
{
    RowBounds b = FindRowBounds();
    if (b.self < 0)
        return false;
    const auto& arr = m_pDockBar->Entries();

    int lengthMin = 2;
    int lengthActual = 0;
    int lengthAvail = totalLength;
    int widthMax = 0;
    std::vector<SizingBarState*> sizing;
    for (int i = b.first; i <= b.last; ++i) {
        DockRowBar* bar = arr[i].bar;
        if (!bar || !bar->IsRowVisible())
            continue;
        SizingBarState* s = bar->AsSizingBar();
        const int count = s ? s->MinLengthIn(horz) : WindowLength(*bar, horz);
        lengthMin += count - 2;
        if (lengthMin > totalLength) {
            if (i < b.self) {
                // This bar and those after it go to a row of their own.
                m_pDockBar->InsertRowBreak(i + 1);
                return false;
            }
            if (i == b.self) {
                SetLengthIn(horz, MinLengthIn(horz));
                return true;
            }
            // The bars from this one on go to the next row.
            m_pDockBar->InsertRowBreak(i);
            break;
        }
        if (s) {
            lengthActual += s->LengthIn(horz);
            widthMax = std::max(widthMax, s->CrossIn(horz));
            sizing.push_back(s);
        } else {
            lengthAvail -= count - 2;
        }
    }

    int diff = lengthAvail - lengthActual;
    if (sizing.empty())
        return true;
    if (sizing.size() == 1) {
        SizingBarState* only = sizing.front();
        only->SetLengthIn(horz, only->LengthIn(horz) + diff);
        // Alone in its row a bar has nothing to keep its length against;
        // a mark left here would hold it still when a neighbour joins later.
        only->m_bKeepSize = false;
        return true;
    }

    for (SizingBarState* s : sizing)
        s->SetCrossIn(horz, widthMax);

    // One pixel at a time in row order, so that a difference ends up spread
    // evenly with the first bars taking the odd pixels. Bars marked to keep
    // their length sit out until the others can take no more.
    bool honourKeepSize = true;
    while (diff != 0) {
        bool changed = false;
        for (SizingBarState* s : sizing) {
            if (diff == 0)
                break;
            if (honourKeepSize && s->m_bKeepSize)
                continue;
            if (diff < 0 && s->LengthIn(horz) <= s->MinLengthIn(horz))
                continue;
            const int step = diff > 0 ? 1 : -1;
            s->SetLengthIn(horz, s->LengthIn(horz) + step);
            diff -= step;
            changed = true;
        }
        if (changed)
            continue;
        if (!honourKeepSize)
            break; // every bar at its minimum: the rest stays unabsorbed
        honourKeepSize = false;
        for (SizingBarState* s : sizing)
            s->m_bKeepSize = false;
    }
    for (SizingBarState* s : sizing)
        s->m_bKeepSize = false;
    return true;
}

void SizingBarState::LineUpRow(bool horz)
{
    const RowBounds b = FindRowBounds();
    if (b.self < 0)
        return;
    const auto& arr = m_pDockBar->Entries();
    int pos = 0;
    for (int i = b.first; i <= b.last; ++i) {
        DockRowBar* bar = arr[i].bar;
        if (!bar || !bar->IsRowVisible())
            continue;
        QRect r = bar->RowRect();
        if (const SizingBarState* s = bar->AsSizingBar())
            r.setSize(horz ? s->m_szHorz : s->m_szVert);
        // A vertical row starts 2 pixels above the dock bar; a bar already
        // there is in place and is not moved (and laid out) again.
        const int target = horz ? pos : pos - 2;
        if ((horz ? r.left() : r.top()) != target) {
            if (horz) {
                r.moveLeft(pos);
                if (m_pDockBar->Side() == AFX_IDW_DOCKBAR_TOP)
                    r.translate(0, -2);
            } else {
                r.moveTop(target);
            }
            if (!s_bDragging) {
                bar->MoveInRow(r);
                m_pDockBar->m_bDelayedLayout = true;
            }
        }
        pos += (horz ? r.width() : r.height()) - 2;
    }
}

unsigned SizingBarState::RowSizingEdges() const
{
    int at = -1;
    const std::vector<SizingBarState*> row = CollectRowBars(&at);
    unsigned edges = 0;
    if (at < 0 || !(IsHorzDocked() || IsVertDocked()))
        return edges;
    const bool horz = IsHorzDocked();
    if (at > 0)
        edges |= horz ? kEdgeLeft : kEdgeTop;
    if (at + 1 < int(row.size()))
        edges |= horz ? kEdgeRight : kEdgeBottom;
    return edges;
}

bool SizingBarState::IsDragAlongRow() const
{
    const bool leftRight = m_htEdge == HTLEFT || m_htEdge == HTRIGHT;
    const bool topBottom = m_htEdge == HTTOP || m_htEdge == HTBOTTOM;
    return (leftRight && IsHorzDocked()) || (topBottom && IsVertDocked());
}

void SizingBarState::BeginEdgeDrag(int hitCode, const QPoint& point, int edgeCentre)
{
    m_htEdge = hitCode;
    s_bDragging = true;
    m_bDragOwner = true;
    const bool onX = hitCode == HTLEFT || hitCode == HTRIGHT;
    m_nTrackPosOld = onX ? point.x() : point.y();
    m_nTrackEdgeOfs = m_nTrackPosOld - edgeCentre;
    m_nTrackPosMin = m_nTrackPosMax = m_nTrackPosOld;

    int at = -1;
    const std::vector<SizingBarState*> row = CollectRowBars(&at);
    const bool horz = IsHorzDocked();
    if (IsDragAlongRow()) {
        const bool edgeAfterThis = hitCode == HTRIGHT || hitCode == HTBOTTOM;
        const int edgeIndex = at + (edgeAfterThis ? 1 : 0);
        for (int i = 0; i < int(row.size()); ++i) {
            const int spare = row[i]->LengthIn(horz) - row[i]->MinLengthIn(horz);
            if (i < edgeIndex)
                m_nTrackPosMin -= spare;
            else
                m_nTrackPosMax += spare;
        }
        return;
    }
    int crossMin = horz ? m_szMinHorz.height() : m_szMinVert.width();
    for (const SizingBarState* s : row)
        crossMin = std::max(crossMin, horz ? s->m_szMinHorz.height() : s->m_szMinVert.width());
    const int excess = CrossIn(horz) - crossMin;
    const QRect freeArea = m_pDockBar ? m_pDockBar->m_rectFreeClient : QRect();
    const int room = (horz ? freeArea.height() : freeArea.width()) - 2;
    if (hitCode == HTTOP || hitCode == HTLEFT) {
        m_nTrackPosMin -= room;
        m_nTrackPosMax += excess;
    } else {
        m_nTrackPosMin -= excess;
        m_nTrackPosMax += room;
    }
}

void SizingBarState::DragEdgeTo(const QPoint& point)
{
    // Only the bar that began the drag follows the mouse.
    if (!m_bDragOwner || !s_bDragging)
        return;
    const bool onX = m_htEdge == HTLEFT || m_htEdge == HTRIGHT;
    const int pos = std::clamp(onX ? point.x() : point.y(), m_nTrackPosMin, std::max(m_nTrackPosMin, m_nTrackPosMax));
    if (pos == m_nTrackPosOld)
        return;
    const int change = pos - m_nTrackPosOld;
    m_nTrackPosOld = pos;

    int at = -1;
    const std::vector<SizingBarState*> row = CollectRowBars(&at);
    const bool horz = IsHorzDocked();
    if (!IsDragAlongRow()) {
        QSize& size = horz ? m_szHorz : m_szVert;
        switch (m_htEdge) {
        case HTLEFT: size.rwidth() -= change; break;
        case HTRIGHT: size.rwidth() += change; break;
        case HTTOP: size.rheight() -= change; break;
        case HTBOTTOM: size.rheight() += change; break;
        default: break;
        }
        const int cross = CrossIn(horz);
        for (SizingBarState* s : row)
            s->SetCrossIn(horz, cross);
        return;
    }
    if (at < 0)
        return;
    const bool edgeAfterThis = m_htEdge == HTRIGHT || m_htEdge == HTBOTTOM;
    const int edgeIndex = at + (edgeAfterThis ? 1 : 0);
    // Moving the edge forward grows the bar before it, backward the bar
    // after it; the bars beyond the edge give way, nearest first.
    const int grow = change > 0 ? edgeIndex - 1 : edgeIndex;
    const int step = change > 0 ? 1 : -1;
    if (grow < 0 || grow >= int(row.size()))
        return;
    int wanted = std::abs(change);
    int taken = 0;
    for (int i = change > 0 ? edgeIndex : edgeIndex - 1; i >= 0 && i < int(row.size()) && taken < wanted; i += step) {
        const int spare = std::max(0, row[i]->LengthIn(horz) - row[i]->MinLengthIn(horz));
        const int give = std::min(spare, wanted - taken);
        row[i]->SetLengthIn(horz, row[i]->LengthIn(horz) - give);
        taken += give;
    }
    // What the others gave is all the growing bar gets: the row keeps its
    // length even when the limits were set on lengths since changed.
    row[grow]->SetLengthIn(horz, row[grow]->LengthIn(horz) + taken);
}

void SizingBarState::EndEdgeDrag()
{
    if (!m_bDragOwner)
        return;
    m_bDragOwner = false;
    s_bDragging = false;
    if (m_pDockBar)
        m_pDockBar->m_bDelayedLayout = true;
}

void SizingBarState::OnPositionChanging(unsigned dockBarId, bool showing)
{
    m_nDockBarID = dockBarId;
    const bool docked = IsHorzDocked() || IsVertDocked();
    if (docked && showing)
        m_bKeepSize = true;
}

void SizingBarState::ApplyPendingShow()
{
    const PendingShow pending = m_pendingShow;
    m_pendingShow = PendingShow::None;
    if (pending == PendingShow::None)
        return;
    const bool show = pending == PendingShow::Show;
    if (show && !IsWindowShown())
        OnPositionChanging(m_nDockBarID, true);
    SetWindowShown(show);
}

} // namespace ulv
