#include "ui/controls/ReportListView.h"

#include "ui/controls/CFlatHeaderCtrl.h"

#include <QHeaderView>
#include <QStyle>
#include <QMouseEvent>

namespace ulv {

namespace {

Qt::Alignment AlignmentOf(int format)
{
    switch (format & 3) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

// The column titles every report list shows: clickable, left-aligned, no
// highlighted titles and no stretched last column.
void PrepareHeader(QHeaderView* header)
{
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

ReportListView::ReportListView(QWidget* parent)
    : QTableView(parent)
    , m_model(new ReportListModel(this))
{
    setModel(m_model);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    PrepareHeader(horizontalHeader());
    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setTextElideMode(Qt::ElideRight);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &ReportListView::OnColumnClick);
}

void ReportListView::InstallHeader(QHeaderView* header)
{
    PrepareHeader(header);
    setHorizontalHeader(header);
    connect(header, &QHeaderView::sectionClicked, this, &ReportListView::OnColumnClick);
}

void ReportListView::OnColumnClick(int column)
{
    Q_EMIT ColumnClicked(column);
}

int ReportListView::InsertColumn(int column, const QString& heading, int format, int width)
{
    if (column < 0)
        return -1;
    const int at = m_model->InsertColumn(column, heading, AlignmentOf(format));
    if (width >= 0)
        horizontalHeader()->resizeSection(at, width);
    return at;
}

bool ReportListView::DeleteColumn(int column)
{
    return m_model->RemoveColumn(column);
}

int ReportListView::GetColumnCount() const
{
    return m_model->columnCount();
}

bool ReportListView::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= GetColumnCount() || width < 0)
        return false;
    horizontalHeader()->resizeSection(column, width);
    return true;
}

int ReportListView::GetColumnWidth(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return 0;
    return horizontalHeader()->sectionSize(column);
}

int ReportListView::TitleWidthNeeded(int column) const
{
    if (column < 0 || column >= GetColumnCount())
        return 0;
    // Text widths are measured in whole pixels but laid out in fractions: a
    // pixel more keeps the last letter from being cut.
    // The flat header keeps room for its sort mark beside the title.
    if (const auto* flat = qobject_cast<const CFlatHeaderCtrl*>(horizontalHeader()))
        return flat->CalcContentWidth(column, true) + 1;
    const QHeaderView* header = horizontalHeader();
    const QString title = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return header->fontMetrics().horizontalAdvance(title)
           + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header)
           + header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + 1;
}

int ReportListView::CellWidthNeeded(int column) const
{
    if (column < 0 || column >= GetColumnCount() || GetItemCount() == 0)
        return 0;
    return sizeHintForColumn(column) + 1;
}

void ReportListView::FitColumnsToTexts()
{
    for (int c = 0; c < GetColumnCount(); ++c) {
        const int needed = std::max(TitleWidthNeeded(c), CellWidthNeeded(c));
        if (GetColumnWidth(c) < needed)
            SetColumnWidth(c, needed);
    }
}

void ReportListView::SetExtendedStyle(unsigned style)
{
    m_exStyle = style;
    setShowGrid(style & LVS_EX_GRIDLINES);
    setSelectionBehavior(style & LVS_EX_FULLROWSELECT ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

int ReportListView::InsertItem(int row, const QString& text)
{
    if (row < 0)
        return -1;
    return m_model->InsertRow(row, {text});
}

bool ReportListView::SetItemText(int row, int column, const QString& text)
{
    return m_model->SetText(row, column, text);
}

QString ReportListView::GetItemText(int row, int column) const
{
    return m_model->Text(row, column);
}

bool ReportListView::DeleteItem(int row)
{
    const bool done = m_model->RemoveRow(row);
    if (done && m_hot >= GetItemCount())
        m_hot = -1;
    return done;
}

bool ReportListView::DeleteAllItems()
{
    m_model->Clear();
    m_hot = -1;
    return true;
}

int ReportListView::GetItemCount() const
{
    return m_model->rowCount();
}

bool ReportListView::SetItemData(int row, quintptr data)
{
    ReportListModel::Row* r = m_model->RowAt(row);
    if (!r)
        return false;
    r->itemData = data;
    return true;
}

quintptr ReportListView::GetItemData(int row) const
{
    const ReportListModel::Row* r = m_model->RowAt(row);
    return r ? r->itemData : 0;
}

int ReportListView::GetSelectionMark() const
{
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int ReportListView::SetSelectionMark(int row)
{
    const int previous = GetSelectionMark();
    if (m_model->IsRow(row))
        selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    else
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    return previous;
}

int ReportListView::GetNextItem(int start, int flags) const
{
    for (int row = start < 0 ? 0 : start + 1; row < GetItemCount(); ++row) {
        if ((flags & LVNI_SELECTED) && !IsItemSelected(row))
            continue;
        if ((flags & LVNI_FOCUSED) && GetSelectionMark() != row)
            continue;
        return row;
    }
    return -1;
}

int ReportListView::GetSelectedCount() const
{
    int n = 0;
    for (int row = 0; row < GetItemCount(); ++row)
        n += IsItemSelected(row) ? 1 : 0;
    return n;
}

bool ReportListView::SetItemSelected(int row, bool selected)
{
    if (!m_model->IsRow(row) || GetColumnCount() == 0)
        return false;
    const QItemSelection rowRange(m_model->index(row, 0), m_model->index(row, GetColumnCount() - 1));
    selectionModel()->select(rowRange, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    return true;
}

bool ReportListView::IsItemSelected(int row) const
{
    if (!m_model->IsRow(row))
        return false;
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (selectionModel()->isSelected(m_model->index(row, c)))
            return true;
    }
    return false;
}

bool ReportListView::EnsureVisible(int row)
{
    if (!m_model->IsRow(row))
        return false;
    scrollTo(m_model->index(row, 0));
    return true;
}

void ReportListView::mouseMoveEvent(QMouseEvent* event)
{
    m_hot = indexAt(event->position().toPoint()).row();
    QTableView::mouseMoveEvent(event);
}

void ReportListView::leaveEvent(QEvent* event)
{
    m_hot = -1;
    QTableView::leaveEvent(event);
}

} // namespace ulv
