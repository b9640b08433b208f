#include "ui/controls/CFlatHeaderListCtrl.h"

#include "ui/core/ListSort.h"

namespace ulv {

CFlatHeaderListCtrl::CFlatHeaderListCtrl(QWidget* parent)
    : ReportListView(parent)
    , m_header(new CFlatHeaderCtrl(this))
{
    InstallHeader(m_header);
}

void CFlatHeaderListCtrl::OnColumnClick(int column)
{
    bool ascending = false;
    const int sorted = m_header->GetSortColumn(&ascending);
    m_header->SetSortColumn(column, NextSortAscending(column, sorted, ascending));
    ReportListView::OnColumnClick(column);
}

} // namespace ulv
