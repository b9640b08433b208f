#include "pages/data/CFunctionTestDlg_tcpip.h"

namespace ulv {

CFunctionTestDlg_tcpip::CFunctionTestDlg_tcpip(QWidget* parent)
    : PageDialog(QStringLiteral("CFunctionTestDlg_tcpip"), parent)
    , m_editApn(new QLineEdit(this))
    , m_editUser(new QLineEdit(this))
    , m_editPassword(new QLineEdit(this))
{
    m_editApn->setObjectName(QStringLiteral("1169"));
    m_editUser->setObjectName(QStringLiteral("1027"));
    m_editPassword->setObjectName(QStringLiteral("1338"));
}

} // namespace ulv

#include "core/text/TimeStamp.h"

namespace ulv {

void CFunctionTestDlg_tcpip::AppendReceivedData(const QString& text)
{
    m_received << MakeTimeStamp() + ": " + text + "\n";
}

} // namespace ulv
