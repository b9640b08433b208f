#include "ui/controls/CFlatHeaderCtrl.h"

#include "ui/controls/CHeaderDragWnd.h"
#include "ui/controls/CHeaderDropWnd.h"
#include "ui/controls/GdiLines.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace ulv {

namespace {

constexpr int kMaxLabel = 79;

} // namespace

CFlatHeaderCtrl::CFlatHeaderCtrl(QWidget* parent)
    : ListHeaderView(parent)
    , m_highlight(GetSysColor(COLOR_BTNHIGHLIGHT))
    , m_shadow(GetSysColor(COLOR_BTNSHADOW))
    , m_text(GetSysColor(COLOR_BTNTEXT))
{
    setMouseTracking(true);
    connect(this, &QHeaderView::sectionResized, this, [this](int logical, int, int) { ApplyLimits(logical); });
}

CFlatHeaderCtrl::~CFlatHeaderCtrl()
{
    // The model outlives this part of the header while the base destructors run.
    disconnect(m_inserted);
    disconnect(m_removed);
    disconnect(m_reset);
    delete m_pDropWnd.data();
    delete m_pDragWnd.data();
}

void CFlatHeaderCtrl::setModel(QAbstractItemModel* model)
{
    disconnect(m_inserted);
    disconnect(m_removed);
    disconnect(m_reset);
    QHeaderView::setModel(model);
    m_limits.assign(model ? model->columnCount() : 0, HeaderColumnLimits{});
    if (!model)
        return;
    m_inserted = connect(model, &QAbstractItemModel::columnsInserted, this, &CFlatHeaderCtrl::OnColumnsInserted);
    m_removed = connect(model, &QAbstractItemModel::columnsRemoved, this, &CFlatHeaderCtrl::OnColumnsRemoved);
    m_reset = connect(model, &QAbstractItemModel::modelReset, this,
                      [this] { m_limits.resize(this->model()->columnCount()); });
}

void CFlatHeaderCtrl::OnColumnsInserted(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid())
        return;
    first = std::clamp(first, 0, static_cast<int>(m_limits.size()));
    m_limits.insert(m_limits.begin() + first, last - first + 1, HeaderColumnLimits{});
}

void CFlatHeaderCtrl::OnColumnsRemoved(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || first < 0 || first >= static_cast<int>(m_limits.size()))
        return;
    last = std::min(last, static_cast<int>(m_limits.size()) - 1);
    m_limits.erase(m_limits.begin() + first, m_limits.begin() + last + 1);
    if (m_sortColumn > last)
        m_sortColumn -= last - first + 1;
    else if (m_sortColumn >= first)
        m_sortColumn = -1;
}

void CFlatHeaderCtrl::SetSortColumn(int column, bool ascending)
{
    m_sortColumn = column;
    m_sortAscending = ascending;
    viewport()->update();
}

int CFlatHeaderCtrl::GetSortColumn(bool* ascending) const
{
    if (ascending)
        *ascending = m_sortAscending;
    return m_sortColumn;
}

bool CFlatHeaderCtrl::GetColumnLimits(int index, HeaderColumnLimits* limits) const
{
    if (index < 0 || index >= static_cast<int>(m_limits.size()) || !limits)
        return false;
    *limits = m_limits[index];
    return true;
}

bool CFlatHeaderCtrl::SetColumnLimits(int index, const HeaderColumnLimits& limits)
{
    if (index < 0 || index >= static_cast<int>(m_limits.size()) || index >= count())
        return false;
    m_limits[index] = limits;
    if (limits.flags & HCL_FITCONTENT)
        resizeSection(index, CalcContentWidth(index, limits.flags & HCL_FITWITHARROW));
    setSectionResizeMode(index, limits.flags & HCL_FIXED ? QHeaderView::Fixed : QHeaderView::Interactive);
    ApplyLimits(index);
    return true;
}

void CFlatHeaderCtrl::ApplyLimits(int logical)
{
    if (logical < 0 || logical >= static_cast<int>(m_limits.size()))
        return;
    const HeaderColumnLimits& l = m_limits[logical];
    if ((l.flags & HCL_FIXED) || l.minWidth > l.maxWidth)
        return;
    const int width = sectionSize(logical);
    const int clamped = std::clamp(width, l.minWidth, l.maxWidth);
    if (clamped != width)
        resizeSection(logical, clamped);
}

bool CFlatHeaderCtrl::SetHeaderProperty(int property, quintptr value)
{
    switch (property) {
    case FH_PROPERTY_SPACING:
        m_spacing = static_cast<int>(value);
        break;
    case FH_PROPERTY_ARROW:
        m_arrowSize = QSize(static_cast<int>(value & 0xFFFF), static_cast<int>((value >> 16) & 0xFFFF));
        break;
    case FH_PROPERTY_STATICBORDER:
        m_bStaticBorder = value != 0;
        updateGeometry();
        break;
    case FH_PROPERTY_DONTDROPCURSOR:
        // The id names a cursor resource; the system's "no" cursor shows for it.
        m_noDropCursor = static_cast<unsigned>(value);
        break;
    case FH_PROPERTY_DROPTARGET:
        m_dropTarget = reinterpret_cast<QWidget*>(value);
        break;
    default:
        return false;
    }
    viewport()->update();
    return true;
}

CFlatHeaderCtrl::HeaderItem CFlatHeaderCtrl::ItemOf(int logical) const
{
    HeaderItem item;
    if (!model())
        return item;
    item.text = model()->headerData(logical, orientation(), Qt::DisplayRole).toString().left(kMaxLabel);
    const QVariant align = model()->headerData(logical, orientation(), Qt::TextAlignmentRole);
    item.alignment = align.isValid() ? Qt::Alignment(align.toInt()) & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
    const QVariant deco = model()->headerData(logical, orientation(), Qt::DecorationRole);
    if (deco.canConvert<QPixmap>())
        item.image = deco.value<QPixmap>();
    return item;
}

int CFlatHeaderCtrl::CalcContentWidth(int index, bool withArrow) const
{
    const HeaderItem item = ItemOf(index);
    int width = m_spacing;
    if (!item.image.isNull())
        width += m_spacing + item.image.width();
    if (withArrow)
        width += m_spacing + m_arrowSize.width();
    if (!item.text.isEmpty())
        width += fontMetrics().horizontalAdvance(item.text) + m_spacing;
    return width;
}

int CFlatHeaderCtrl::DrawImage(QPainter& p, const QRect& r, const HeaderItem& item, bool atRight)
{
    if (item.image.isNull() || r.width() <= 0)
        return 0;
    const int w = std::min(item.image.width(), r.width());
    const int x = atRight ? r.left() + r.width() - w : r.left();
    const int y = r.top() + r.height() / 2 - item.image.height() / 2;
    p.drawPixmap(QPoint(x, y), item.image, QRect(0, 0, w, item.image.height()));
    return item.image.width();
}

int CFlatHeaderCtrl::DrawLabel(QPainter& p, const QRect& r, const HeaderItem& item, Qt::Alignment alignment)
{
    if (item.text.isEmpty() || r.width() <= 0)
        return 0;
    const QString shown = fontMetrics().elidedText(item.text, Qt::ElideRight, r.width());
    p.setPen(ColorRefToQColor(m_text));
    p.drawText(r, int(alignment | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    return std::min(fontMetrics().horizontalAdvance(item.text), r.width());
}

int CFlatHeaderCtrl::DrawSortArrow(QPainter& p, const QRect& r, bool ascending, bool atRight)
{
    const int a = m_arrowSize.width(), cy = m_arrowSize.height();
    if (r.width() < a)
        return 0;
    const int x0 = atRight ? r.left() + r.width() - a : r.left();
    const int y = r.top() + (r.height() - cy - 1) / 2;
    const int mid = (a - 1) / 2;
    if (ascending) {
        DrawLineTo(p, {x0 + mid + 1, y}, {x0 + a - 1, y + cy - 1}, m_highlight);
        DrawLineTo(p, {x0 + a - 1, y + cy - 1}, {x0, y + cy - 1}, m_highlight);
        DrawLineTo(p, {x0 + mid, y}, {x0, y + cy - 1}, m_shadow);
    } else {
        DrawLineTo(p, {x0 + mid + 1, y + cy - 1}, {x0 + a - 1, y}, m_highlight);
        DrawLineTo(p, {x0 + mid, y + cy - 1}, {x0, y}, m_shadow);
        DrawLineTo(p, {x0, y}, {x0 + a, y}, m_shadow);
    }
    return a;
}

void CFlatHeaderCtrl::DrawHeaderItem(QPainter& p, const QRect& rect, const HeaderItem& item, bool sorted, bool ascending)
{
    const int s = m_spacing, a = m_arrowSize.width();
    int left = rect.left(), right = rect.left() + rect.width();
    auto area = [&] { return QRect(left, rect.top(), right - left, rect.height()); };
    auto advanceLeft = [&](int used) {
        if (used > 0)
            left += used + s;
    };
    const bool wantsImage = !item.image.isNull();
    const Qt::Alignment h = item.alignment & Qt::AlignHorizontal_Mask;

    const int image = DrawImage(p, area(), item, false);
    if (wantsImage && image == 0)
        return;
    advanceLeft(image);

    if (h & (Qt::AlignRight | Qt::AlignHCenter)) {
        // The arrow takes the right end first; the label is placed in what is left.
        if (sorted) {
            const int arrow = DrawSortArrow(p, area(), ascending, true);
            if (arrow > 0)
                right -= arrow + 2 * s;
        }
        DrawLabel(p, area(), item, (h & Qt::AlignRight) ? Qt::AlignRight : Qt::AlignHCenter);
    } else {
        // The arrow's room stays free at the right while the label is placed.
        const QRect labelArea(left, rect.top(), std::max(0, right - left - (a + s)), rect.height());
        advanceLeft(DrawLabel(p, labelArea, item, Qt::AlignLeft));
        if (sorted)
            DrawSortArrow(p, area(), ascending, false);
    }
}

void CFlatHeaderCtrl::paintEvent(QPaintEvent*)
{
    const QRect client = viewport()->rect();
    QImage buffer(client.size(), QImage::Format_RGB32);
    buffer.fill(ColorRefToRgb(kFace));
    {
        QPainter p(&buffer);
        p.setFont(font());
        int sum = 0;
        const int n = count();
        for (int i = 0; i < n; ++i) {
            const int logical = logicalIndex(i);
            if (logical < 0 || isSectionHidden(logical))
                continue;
            const int w = sectionSize(logical);
            const QRect r(sectionViewportPosition(logical), 0, w, client.height());
            DrawHeaderItem(p, r.adjusted(m_spacing, 0, -m_spacing, 0), ItemOf(logical), logical == m_sortColumn,
                           m_sortAscending);
            if (logical == m_pressed && logical == m_hot) {
                p.end();
                InvertImageRect(buffer, r);
                p.begin(&buffer);
                p.setFont(font());
            }
            if (i < n - 1) {
                const int right = r.left() + w;
                DrawLineTo(p, {right - 1, r.top() + 2}, {right - 1, r.bottom() - 1}, m_shadow);
                DrawLineTo(p, {right, r.top() + 2}, {right, r.bottom() - 1}, m_highlight);
            }
            sum += w;
        }
        if (sum > 0)
            Draw3dRect(p, QRect(-offset(), 0, sum, client.height()), m_highlight, m_shadow);
    }
    QPainter screen(viewport());
    screen.drawImage(0, 0, buffer);
}

bool CFlatHeaderCtrl::OnDivider(const QPoint& pos, int* logical) const
{
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int hit = logicalIndexAt(pos);
    if (logical)
        *logical = hit;
    if (hit < 0)
        return false;
    const int left = sectionViewportPosition(hit);
    const int right = left + sectionSize(hit);
    if (pos.x() >= right - grip)
        return true;
    if (pos.x() < left + grip && visualIndex(hit) > 0) {
        if (logical)
            *logical = logicalIndex(visualIndex(hit) - 1);
        return true;
    }
    return false;
}

void CFlatHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    int logical = -1;
    const bool divider = OnDivider(event->position().toPoint(), &logical);
    if (event->button() == Qt::LeftButton) {
        m_pressed = divider ? -1 : logical;
        m_hot = logical;
        m_pressPoint = event->position().toPoint();
        viewport()->update();
        if (m_bDragDrop && !divider && logical >= 0) {
            // Qt's own section moving stays off: the drag is ours.
            event->accept();
            return;
        }
    }
    QHeaderView::mousePressEvent(event);
}

void CFlatHeaderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_bDragging) {
        TrackColumnDrag(pos);
        return;
    }
    if (m_bDragDrop && (event->buttons() & Qt::LeftButton) && m_pressed >= 0) {
        const QPoint moved = pos - m_pressPoint;
        if (std::abs(moved.x()) > GetSystemMetrics(SM_CXDRAG) / 2 || std::abs(moved.y()) > GetSystemMetrics(SM_CYDRAG) / 2) {
            StartColumnDrag();
            TrackColumnDrag(pos);
        }
        return;
    }
    if (event->buttons() & Qt::LeftButton) {
        const int hot = logicalIndexAt(event->position().toPoint());
        if (hot != m_hot && m_pressed >= 0)
            viewport()->update();
        m_hot = hot;
    }
    QHeaderView::mouseMoveEvent(event);
}

void CFlatHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bDragging) {
        TrackColumnDrag(event->position().toPoint());
        EndColumnDrag();
        m_pressed = m_hot = -1;
        viewport()->update();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_pressed = -1;
        m_hot = -1;
        viewport()->update();
    }
    QHeaderView::mouseReleaseEvent(event);
}

void CFlatHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    int logical = -1;
    // A fixed column's divider takes no double click (which would fit its width).
    if (OnDivider(event->position().toPoint(), &logical) && logical >= 0
        && logical < static_cast<int>(m_limits.size()) && (m_limits[logical].flags & HCL_FIXED)) {
        event->accept();
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event);
}

QSize CFlatHeaderCtrl::sizeHint() const
{
    QSize size = ListHeaderView::sizeHint();
    if (m_bStaticBorder)
        size.rwidth() += 2 * GetSystemMetrics(SM_CXBORDER);
    return size;
}

CHeaderDragWnd* CFlatHeaderCtrl::DragWindow() const
{
    return m_pDragWnd;
}

CHeaderDropWnd* CFlatHeaderCtrl::DropMarker() const
{
    return m_pDropWnd;
}

void CFlatHeaderCtrl::StartColumnDrag()
{
    const int item = logicalIndexAt(m_pressPoint);
    m_dragItem = item;
    bool refuse = false;
    Q_EMIT HeaderDragNotify(HDN_BEGINDRAG, item, &refuse);
    m_bDragRefused = refuse;
    if (!refuse && item >= 0) {
        const QRect r(viewport()->mapToGlobal(QPoint(sectionViewportPosition(item), 0)),
            QSize(sectionSize(item), viewport()->height()));
        auto* drag = new CHeaderDragWnd;
        drag->Create(r, this, item);
        m_pDragWnd = drag;
        const bool targetShown = m_dropTarget && m_dropTarget->isVisible();
        m_rcDropTarget = targetShown ? QRect(m_dropTarget->mapToGlobal(QPoint(0, 0)), m_dropTarget->size()) : QRect();
    }
    m_bDragging = true;
}

void CFlatHeaderCtrl::TrackColumnDrag(const QPoint& pos)
{
    const QPoint global = viewport()->mapToGlobal(pos);
    if (m_pDragWnd)
        m_pDragWnd->move(global - QPoint(m_pDragWnd->width() / 2, m_pDragWnd->height() / 2));
    int position = -1;
    const int item = viewport()->rect().contains(pos) ? logicalIndexAt(pos) : -1;
    if (item >= 0) {
        unsetCursor();
        m_iDropResult = 0;
        const int left = sectionViewportPosition(item);
        position = visualIndex(item) + (pos.x() > left + sectionSize(item) / 2 ? 1 : 0);
    } else if (m_rcDropTarget.contains(global)) {
        unsetCursor();
        m_iDropResult = 1;
    } else {
        setCursor(Qt::ForbiddenCursor);
        m_iDropResult = -1;
    }
    const int from = m_dragItem >= 0 ? visualIndex(m_dragItem) : -1;
    if (position == from || position == from + 1)
        position = -1;
    if (m_bDragRefused)
        position = -1;
    if (position != m_iDropPos)
        OnSetHotDivider(false, position);
}

int CFlatHeaderCtrl::OnSetHotDivider(bool byPoint, int value)
{
    int position = value;
    if (byPoint) {
        const QPoint pos(value & 0xFFFF, (value >> 16) & 0xFFFF);
        const int item = logicalIndexAt(pos);
        position = item < 0 ? -1
                            : visualIndex(item) + (pos.x() > sectionViewportPosition(item) + sectionSize(item) / 2 ? 1 : 0);
    }
    m_iDropPos = position;
    if (position < 0) {
        delete m_pDropWnd.data();
        return position;
    }
    if (!m_pDropWnd) {
        auto* marker = new CHeaderDropWnd(m_crDropMarker);
        marker->Create(viewport()->height());
        m_pDropWnd = marker;
    }
    int x;
    if (position >= count()) {
        const int last = logicalIndex(count() - 1);
        x = sectionViewportPosition(last) + sectionSize(last);
    } else {
        x = sectionViewportPosition(logicalIndex(position)) - 1;
    }
    const QPoint at = viewport()->mapToGlobal(QPoint(x, viewport()->height() / 2));
    m_pDropWnd->SetPosition(at.x(), at.y());
    return position;
}

void CFlatHeaderCtrl::EndColumnDrag()
{
    bool refuse = false;
    Q_EMIT HeaderDragNotify(HDN_ENDDRAG, m_dragItem, &refuse);
    const int drop = m_iDropPos;
    if (!refuse && drop >= 0 && m_dragItem >= 0) {
        const int from = visualIndex(m_dragItem);
        moveSection(from, from > drop ? drop : drop - 1);
    }
    delete m_pDragWnd.data();
    m_bDragging = false;
    m_bDragRefused = false;
    m_dragItem = -1;
    unsetCursor();
    OnSetHotDivider(false, -1);
    viewport()->update();
}

} // namespace ulv
