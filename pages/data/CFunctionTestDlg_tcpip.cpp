#include "pages/data/CFunctionTestDlg_tcpip.h"

namespace ulv {

CFunctionTestDlg_tcpip::CFunctionTestDlg_tcpip(QWidget* parent)
    : PageDialog(QStringLiteral("CFunctionTestDlg_tcpip"), parent)
    , m_editApn(new QLineEdit(this))
{
    m_editApn->setObjectName(QStringLiteral("1169"));
}

} // namespace ulv

#include "serial/TimeStamp.h"

namespace ulv {

void CFunctionTestDlg_tcpip::AppendReceivedData(const QString& text)
{
    m_received << MakeTimeStamp() + ": " + text + "\n";
}

} // namespace ulv
