#include "pages/module/CTestItemDlg_home.h"

#include "serial/CommPortSettings.h"
#include "shell/CTestView1.h"
#include "shell/core/SysParams.h"

#include <QPushButton>

namespace ulv {

namespace {
const char* const kConnect = "  Connect to module";
const char* const kDisconnect = "  Disconnect";
} // namespace

CTestItemDlg_home::CTestItemDlg_home(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_home"), parent)
    , m_connect(new QPushButton(QString::fromLatin1(kConnect), this))
{
    m_connect->setGeometry(20, 20, 180, 30);
    connect(m_connect, &QPushButton::clicked, this, &CTestItemDlg_home::OnButtonConnect);
}

void CTestItemDlg_home::OnButtonConnect()
{
    CTestView1* host = g_pTestView1;
    if (!host)
        return;
    if (host->Port()) {
        host->CloseCommport();
        m_connect->setText(QString::fromLatin1(kConnect));
        return;
    }
    const CommPortSettings& s = g_commPortSettings;
    if (host->OpenCommport(s.port, s.baud, s.dataBits, s.stopBits, s.parity, s.flowCtrl, g_sysParams.portbuffer))
        m_connect->setText(QString::fromLatin1(kDisconnect));
    UpdatePortTip();
}

void CTestItemDlg_home::UpdatePortTip()
{
    m_connect->setToolTip(g_commPortSettings.port);
}

} // namespace ulv
