// The PPP page as a user drives it, against slirp behind a module's AT
// preamble (the PPP bridge, and the simulated module's own data call): Dial
// brings the link up and shows the addresses, a typed datagram comes back from
// a loopback echo server into the UDP pane, Terminate ends it.
#include "core/at/ModemSession.h"
#include "core/ppp/PppDialClient.h"
#include "pages/PageHost.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "shell/core/CUlvenscopeApp.h"
#include "sim/SimModule.h"
#include "sim/SlirpBridge.h"

#include "SlirpHome.h"
#include "common/EventLoopWait.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

using namespace ulv;

namespace {

class SessionHost : public PageHost {
public:
    ModemSession& Session() const override { return AppModemSession(); }
    int OpenCommport(const QString&, int, int, int, int, int, int) override { return 0; }
    void CloseCommport() override {}
    bool PortOpen() const override { return AppModemSession().IsOpen(); }
    void ShowConnectionText(const QString&) override {}
    void ModuleIdentified() override {}
};

// The user's whole session on the page against the module at slavePath; with
// a user name the page authenticates with PAP.
void DialSendUdpAndTerminate(const std::string& slavePath, const QString& user, const QString& password)
{
    PppDebugLog::SetPath((test::TempHome() + "/ulvenscoper.log").toStdString());
    test::UdpEchoServer echo;
    ASSERT_NE(echo.Port(), 0);
    ModemSession& session = AppModemSession();
    ASSERT_EQ(session.Open(QString::fromStdString(slavePath), 115200, 8, 1, 'N', 0, 2048),
        ModemSession::OpenResult::Opened);
    SessionHost host;
    SetPageHost(&host);
    CTestitemDlg_pppdial page;
    QStringList messages;
    page.m_showMessage = [&](const QString& m) { messages << m; };
    session.m_pppRawReceiver = [&](const QByteArray& chunk) {
        if (theApp.PppLinkUp.load())
            page.PppRawChunk(chunk);
    };
    if (!user.isEmpty()) {
        page.UserEdit()->setText(user);
        page.PasswordEdit()->setText(password);
        page.AuthCombo()->setCurrentIndex(2); // PAP
    }
    // Both servers asked for; slirp gives one.
    page.DnsNumberCombo()->setCurrentIndex(2);

    page.DialButton()->click();
    EXPECT_FALSE(page.DialButton()->isEnabled());
    ASSERT_TRUE(test::RunEventsUntil([&] { return page.TerminateButton()->isEnabled(); }, 60000)) << messages.join('|').toStdString();
    EXPECT_EQ(theApp.PppLinkUp.load(), 1);
    EXPECT_EQ(PppDialInProgress.load(), 0);
    EXPECT_EQ(page.IpLabel()->text(), "10.0.2.15");
    EXPECT_NE(page.Dns1Label()->text(), "- - -");
    EXPECT_EQ(page.Dns2Label()->text(), "- - -");

    page.SelectTab(2);
    page.SourcePortEdit()->setText("4321");
    page.DestIpEdit()->setText("10.0.2.2");
    page.DestPortEdit()->setText(QString::number(echo.Port()));
    page.SendDataEdit()->setPlainText("hello slirp");
    page.OnButtonSendUdp();
    EXPECT_TRUE(test::RunEventsUntil([&] { return page.UdpPane()->toPlainText().contains("echo:hello slirp"); }, 20000))
        << "datagrams at the echo server: " << echo.Echoed() << "; pane: " << page.UdpPane()->toPlainText().toStdString()
        << "; log pane: " << page.LogPane()->toPlainText().right(2000).toStdString();

    page.TerminateButton()->click();
    ASSERT_TRUE(test::RunEventsUntil([&] { return page.DialButton()->isEnabled(); }, 60000));
    EXPECT_EQ(theApp.PppLinkUp.load(), 0);
    EXPECT_EQ(page.IpLabel()->text(), "- - -");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    session.m_pppRawReceiver = nullptr;
    session.Close();
    SetPageHost(nullptr);
}

TEST(PppPagePeer, DialSendUdpAndTerminateFromThePage)
{
    if (sim::SlirpBridge::SlirpProgram().empty())
        GTEST_SKIP() << "slirp is not installed (Debian package slirp): no PPP peer to dial";
    sim::SlirpBridge bridge(test::PrepareSlirpHome("page-pap", ".pap-secrets", "ulvuser * ulvpass\n").toStdString(),
        {"+pap"});
    ASSERT_TRUE(bridge.Started());
    DialSendUdpAndTerminate(bridge.SlavePath(), "ulvuser", "ulvpass");
}

// What scripts/run --simulated offers: the page's Dial on the simulated
// module of each family, whose data call ends in slirp.
TEST(PppPagePeer, DialSendUdpAndTerminateOnTheSimulatedModule)
{
    if (sim::SlirpBridge::SlirpProgram().empty())
        GTEST_SKIP() << "slirp is not installed (Debian package slirp): the simulated module's dial has no peer";
    for (const sim::Family family : {sim::Family::Gsm, sim::Family::Umts}) {
        SCOPED_TRACE(family == sim::Family::Gsm ? "gsm" : "umts");
        sim::SimModule module(family, "");
        module.SetSlirp({test::PrepareSlirpHome(QString("page-sim-%1").arg(int(family)), nullptr, nullptr).toStdString(),
            {}, {}});
        std::string error;
        ASSERT_TRUE(module.Start(&error)) << error;
        DialSendUdpAndTerminate(module.SlavePath(), {}, {});
        int cid = -1;
        module.With([&](sim::ModemEngine& e) { cid = e.State().dataCallCid; });
        EXPECT_EQ(cid, 0);
    }
}

} // namespace
