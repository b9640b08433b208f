#include "ui/controls/SortableReportList.h"

#include "ui/core/ListSort.h"

namespace ulv {

SortableReportList::SortableReportList(QWidget* parent)
    : ReportListView(parent)
{
}

int SortableReportList::AddRow(const QStringList& texts)
{
    if (m_columnCount < 1 || texts.size() != m_columnCount)
        return -1;
    const int row = Model()->InsertRow(GetItemCount(), texts);
    ReportListModel::Row* r = Model()->RowAt(row);
    r->stored = texts;
    r->value = 0;
    return row;
}

bool SortableReportList::SetCellText(int row, int column, const QString& text)
{
    if (!SetItemText(row, column, text))
        return false;
    ReportListModel::Row* r = Model()->RowAt(row);
    if (column < r->stored.size())
        r->stored[column] = text;
    return true;
}

bool SortableReportList::SetRowValue(int row, int value)
{
    ReportListModel::Row* r = Model()->RowAt(row);
    if (!r)
        return false;
    r->value = value;
    return true;
}

int SortableReportList::GetRowValue(int row) const
{
    const ReportListModel::Row* r = Model()->RowAt(row);
    return r ? r->value : 0;
}

QStringList SortableReportList::GetRowStrings(int row) const
{
    const ReportListModel::Row* r = Model()->RowAt(row);
    return r ? r->stored : QStringList();
}

bool SortableReportList::DeleteRow(int row)
{
    return DeleteItem(row);
}

bool SortableReportList::DeleteAllRows()
{
    return DeleteAllItems();
}

void SortableReportList::SortByColumn(int column, bool ascending)
{
    m_sortColumn = column;
    m_ascending = ascending;
    ShowSortMark(column, ascending);
    Model()->SortByStored(column, ascending);
}

void SortableReportList::OnColumnClick(int column)
{
    SortByColumn(column, NextSortAscending(column, m_sortColumn, m_ascending));
    ReportListView::OnColumnClick(column);
}

} // namespace ulv
