#include "ui/controls/CColumnSortListCtrl.h"

#include "platform/ProfileStore.h"
#include "ui/core/ListHeadings.h"

namespace ulv {

namespace {

const QString kLayoutSection = QStringLiteral("ListCtrls");

} // namespace

CColumnSortListCtrl::CColumnSortListCtrl(QWidget* parent)
    : SortableReportList(parent)
    , m_header(new CSortArrowHeaderCtrl(this))
{
    InstallHeader(m_header);
}

bool CColumnSortListCtrl::SetHeadings(const QString& headings)
{
    for (const HeadingColumn& c : ParseHeadings(headings)) {
        if (InsertColumn(GetColumnCount(), c.label, LVCFMT_LEFT, c.width) < 0)
            return false;
        ++m_columnCount;
    }
    return true;
}

void CColumnSortListCtrl::LoadColumnLayout()
{
    const QByteArray bytes = ProfileStore::GetBinary(kLayoutSection, QString::number(GetDlgCtrlID()));
    if (!bytes.isEmpty() && m_header->LoadWidths(bytes))
        viewport()->update();
}

void CColumnSortListCtrl::SaveColumnLayout()
{
    ProfileStore::WriteBinary(kLayoutSection, QString::number(GetDlgCtrlID()), m_header->SaveWidths());
}

void CColumnSortListCtrl::ShowSortMark(int column, bool ascending)
{
    m_header->SetSortMark(column, ascending);
}

} // namespace ulv
