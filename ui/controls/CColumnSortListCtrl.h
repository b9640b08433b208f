#pragma once

#include "ui/controls/CSortArrowHeaderCtrl.h"
#include "ui/controls/SortableReportList.h"

namespace ulv {

// The sortable report list with the sort-arrow header (AT classification
// dialog). Its columns come from one "label,width;..." text and its widths can
// be kept in the profile under "ListCtrls"/"<control id>".
class CColumnSortListCtrl : public SortableReportList {
    Q_OBJECT
public:
    explicit CColumnSortListCtrl(QWidget* parent = nullptr);

    // Appends one left-aligned column per pair; false at the first column that
    // cannot be inserted.
    bool SetHeadings(const QString& headings);

    // Applies the widths stored in the profile when they fit the columns.
    void LoadColumnLayout();
    void SaveColumnLayout();

    CSortArrowHeaderCtrl* GetHeaderCtrl() const { return m_header; }

protected:
    void ShowSortMark(int column, bool ascending) override;

private:
    CSortArrowHeaderCtrl* m_header;
};

} // namespace ulv
