#pragma once

#include "ui/controls/ReportListView.h"

namespace ulv {

// Rows that keep their own copy of their texts and a free value, sorted by
// those copies when a column title is clicked: digits as numbers, dd/mm/yyyy
// as dates, the rest as text. Every row must come in through AddRow.
class SortableReportList : public ReportListView {
    Q_OBJECT
public:
    explicit SortableReportList(QWidget* parent = nullptr);

    // Appends a row of exactly the column count of texts; the new row's index,
    // or -1 for another number of texts.
    int AddRow(const QStringList& texts);
    bool SetCellText(int row, int column, const QString& text);
    bool SetRowValue(int row, int value);
    int GetRowValue(int row) const;
    QStringList GetRowStrings(int row) const;
    bool DeleteRow(int row);
    bool DeleteAllRows();

    void SortByColumn(int column, bool ascending);
    int GetSortColumn() const { return m_sortColumn; }
    bool IsSortAscending() const { return m_ascending; }

protected:
    // Called by SortByColumn before the rows move, so the header shows the mark.
    virtual void ShowSortMark(int column, bool ascending) = 0;
    void OnColumnClick(int column) override;

    int m_columnCount = 0;

private:
    int m_sortColumn = -1;
    bool m_ascending = true;
};

} // namespace ulv
