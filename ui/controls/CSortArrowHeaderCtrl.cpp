#include "ui/controls/CSortArrowHeaderCtrl.h"

#include "ui/controls/GdiLines.h"
#include "ui/core/ListHeadings.h"

#include <QMouseEvent>
#include <QPainter>

namespace ulv {

namespace {

constexpr int kMaxLabel = 254;

} // namespace

CSortArrowHeaderCtrl::CSortArrowHeaderCtrl(QWidget* parent)
    : ListHeaderView(parent)
{
}

void CSortArrowHeaderCtrl::SetSortMark(int column, bool ascending)
{
    m_sortColumn = column;
    m_ascending = ascending;
    if (column >= 0)
        m_ownerDrawn.insert(column);
    viewport()->update();
}

QByteArray CSortArrowHeaderCtrl::SaveWidths() const
{
    std::vector<int> widths;
    for (int i = 0; i < count(); ++i)
        widths.push_back(sectionSize(i));
    return EncodeColumnLayout(widths);
}

bool CSortArrowHeaderCtrl::LoadWidths(const QByteArray& bytes)
{
    const auto widths = DecodeColumnLayout(bytes, count());
    if (!widths)
        return false;
    for (int i = 0; i < count(); ++i)
        resizeSection(i, (*widths)[i]);
    return true;
}

void CSortArrowHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!IsOwnerDrawn(logicalIndex)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    DrawItem(*painter, rect, logicalIndex, logicalIndex == m_pressed);
}

void CSortArrowHeaderCtrl::DrawItem(QPainter& p, const QRect& rect, int logical, bool pressed) const
{
    p.save();
    p.setClipRect(rect);
    FillSolidRect(p, rect, kFace);

    const QString text = model() ? model()->headerData(logical, orientation()).toString().left(kMaxLabel) : QString();
    const QVariant alignValue = model() ? model()->headerData(logical, orientation(), Qt::TextAlignmentRole) : QVariant();
    const Qt::Alignment align = alignValue.isValid() ? Qt::Alignment(alignValue.toInt()) : Qt::AlignLeft;
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    if (align & Qt::AlignHCenter)
        flags |= Qt::AlignHCenter;
    else if (align & Qt::AlignRight)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;

    // Edges as the platform counts them: right and bottom just outside.
    const int R = rect.left() + rect.width();
    const int B = rect.top() + rect.height();
    int left = rect.left(), right = R, top = rect.top();
    if (pressed) {
        left += 1;
        right += 1;
        top += 2;
    }
    const int off = rect.height() / 4;
    const bool sorted = logical == m_sortColumn;
    if (sorted)
        right -= 3 * off;
    left += off;
    right -= off;
    if (left < right) {
        p.setPen(ColorRefToQColor(GetSysColor(COLOR_BTNTEXT)));
        p.setFont(font());
        const QString shown = fontMetrics().elidedText(text, Qt::ElideRight, right - left);
        p.drawText(QRect(left, top, right - left, B - top), flags, shown);
    }
    if (sorted) {
        const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), sh = GetSysColor(COLOR_BTNSHADOW);
        const int t = rect.top();
        if (m_ascending) {
            DrawLineTo(p, {R - 2 * off, t + off}, {R - off, B - off - 1}, hi);
            DrawLineTo(p, {R - off, B - off - 1}, {R - 3 * off - 2, B - off - 1}, hi);
            DrawLineTo(p, {R - 3 * off - 1, B - off - 1}, {R - 2 * off, t + off - 1}, sh);
        } else {
            DrawLineTo(p, {R - off - 1, t + off}, {R - 2 * off - 1, B - off}, hi);
            DrawLineTo(p, {R - 2 * off - 2, B - off}, {R - 3 * off - 1, t + off}, sh);
            DrawLineTo(p, {R - 3 * off - 1, t + off}, {R - off - 1, t + off}, sh);
        }
    }
    p.restore();
}

void CSortArrowHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = logicalIndexAt(event->position().toPoint());
        viewport()->update();
    }
    QHeaderView::mousePressEvent(event);
}

void CSortArrowHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = -1;
        viewport()->update();
    }
    QHeaderView::mouseReleaseEvent(event);
}

} // namespace ulv
