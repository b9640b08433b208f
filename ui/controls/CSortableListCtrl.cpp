#include "ui/controls/CSortableListCtrl.h"

#include "platform/ProfileStore.h"

namespace ulv {

CSortableListCtrl::CSortableListCtrl(QWidget* parent)
    : SortableReportList(parent)
    , m_header(new CFlatHeaderCtrl(this))
{
    InstallHeader(m_header);
}

void CSortableListCtrl::ShowSortMark(int column, bool ascending)
{
    m_header->SetSortColumn(column, ascending);
}

bool CSortableListCtrl::LoadLayout()
{
    const QByteArray bytes = ProfileStore::GetBinary(QStringLiteral("ListCtrls"), QString::number(GetDlgCtrlID()));
    if (!bytes.isEmpty())
        viewport()->update();
    return true;
}

bool CSortableListCtrl::SaveLayout()
{
    return ProfileStore::WriteBinary(QStringLiteral("ListCtrls"), QString::number(GetDlgCtrlID()), QByteArray());
}

} // namespace ulv
