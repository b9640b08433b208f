// The module unplugged in the middle of a page's task: the task ends at once
// with its failure, nothing more goes to the port, the page shows what it held
// as ended, and the connection page and status bar show the module gone.

#include "common/EventLoopWait.h"
#include "common/SimPageHost.h"
#include "atlib/CCycleSettingDlg.h"
#include "atlib/CTestItemDlg_script.h"
#include "core/at/ModemSession.h"
#include "pages/data/CFunctionTestDlg_tcpip.h"
#include "pages/data/CTestitemDlg_MMS.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "pages/module/CTestItemDlg_home.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "pages/positioning/CTestitemDlg_position.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CommPortSettings.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/CDialRichEdit.h"
#include "ui/controls/CSkinButton.h"

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

// How long after the hang-up the task may still run. Each case hangs up where
// the task would otherwise wait 10 s or more for the module (a step's time-out,
// or the steps and cycles still to come), so a task that does not notice the
// loss overruns it; the margin is for a busy machine.
constexpr auto kEndBound = 4s;

class PortLostSim : public test::PageHostSim {
protected:
    void TearDown() override
    {
        AppTaskGate().Stop();
        test::RunEventsUntil([] { return !AppTaskGate().Running(); }, 30000);
        host.reset();
        g_commPortSettings = savedPort;
        theApp.m_bTcpContextActive = 0;
        theApp.m_bLocatorContextActive = 0;
        theApp.PppLinkUp = 0;
        test::PageHostSim::TearDown();
    }

    // A module of the family, connected through the connection page.
    void Connect(sim::Family family, const char* revision, int moduleType, int subModel)
    {
        host.reset();
        terminal.reset();
        terminal = std::make_unique<CTestView2>();
        StartSim(family, revision);
        g_sysParams.showsenddata = 1;
        g_nModuleType = moduleType;
        SetModuleSubModel(subModel);
        host = std::make_unique<CTestView1>();
        host->resize(900, 700);
        g_commPortSettings.port = QString::fromStdString(SlavePath());
        hungUpAt = std::chrono::steady_clock::time_point{};
        sim().SetHangUpHandler([this] { hungUpAt = std::chrono::steady_clock::now(); });
        host->HomePage()->AutoInitCheck()->setChecked(false);
        host->HomePage()->ConnectButton()->click();
        ASSERT_TRUE(host->PortOpen());
        ASSERT_EQ(theApp.m_bModuleConnected.load(), 1);
        boxes.Clear();
    }

    // The terminal's text after the note that the device closed the port.
    QByteArray AfterTheLoss()
    {
        const QByteArray text = terminal->TerminalText();
        const qsizetype at = text.indexOf("was closed by the device");
        return at < 0 ? QByteArray() : text.mid(at);
    }

    CommPortSettings savedPort = g_commPortSettings;
    std::unique_ptr<CTestView1> host;
    MessageBoxRecorder boxes;
    std::atomic<std::chrono::steady_clock::time_point> hungUpAt{};
};

struct Case {
    const char* name;
    sim::Family family;
    const char* revision;
    int moduleType;
    int subModel;
    // Faults that make the module hang up mid-task (after what must succeed first).
    std::vector<const char*> faults;
    // Sets the page up and starts its task.
    std::function<void(PortLostSim&, CTestView1&)> start;
    // The page shows what it held as ended.
    std::function<bool(CTestView1&)> pageIdle;
    // The failure the task ends with; empty: the page shows it without a box.
    QString failure;
};

} // namespace

TEST_F(PortLostSim, AHangUpMidTaskEndsTheTaskAndEveryPageShowsTheModuleGone)
{
    const Case cases[] = {
        {"connection page: registration information", sim::Family::Umts, "RX70B03", 1, 0, {"AT+CSQ | hangup"},
            // Ten signal queries of a second each would follow a module that does not answer.
            [](PortLostSim&, CTestView1& h) { h.HomePage()->RegInfoButton()->click(); },
            [](CTestView1&) { return true; }, "Fail to query current signal quality!"},
        {"SMS page: the message body sent, the module gone before its result", sim::Family::Gsm, "TZ20A01", 0, 0,
            {"<sms> | hangup"},
            [](PortLostSim&, CTestView1& h) {
                h.SmsPage()->m_editReceiver->setText("12345");
                h.SmsPage()->m_btnSend->click();
            },
            [](CTestView1& h) { return h.SmsPage()->m_labelStatus->text() != "Sending......"; },
            "Fail to send message!"},
        {"voice call page: the call polled", sim::Family::Gsm, "TZ20A01", 0, 0, {"AT+CLCC | hangup"},
            [](PortLostSim&, CTestView1& h) {
                h.VoicePage()->NumberBox()->setPlainText("12345");
                h.VoicePage()->CallButton()->click();
            },
            [](CTestView1& h) {
                return h.VoicePage()->IsCallIdle() && !h.VoicePage()->CallPolling()
                    && h.VoicePage()->CallButton()->isEnabled();
            },
            {}},
        {"AT script page: a 100-cycle script", sim::Family::Gsm, "TZ20A01", 0, 0, {"ATI | hangup"},
            [](PortLostSim&, CTestView1& h) {
                CTestItemDlg_script* page = h.ScriptPage();
                page->OnButtonClearAll();
                page->SetRow(0, {"1", "AT", "0", "1", "300", "", ""});
                page->SetRow(1, {"1", "ATI", "0", "1", "300", "", ""});
                page->SetCycleDialogRunner([](CCycleSettingDlg& d) {
                    d.m_nCycleTimes = 100;
                    d.m_nIntervalTime = 0;
                    return int(IDOK);
                });
                page->RunButton()->click();
            },
            [](CTestView1& h) { return h.ScriptPage()->RunButton()->isEnabled(); }, "Fail to execute the command!"},
        {"TCP/UDP page: the context up, the module gone while connecting", sim::Family::Umts, "RX70B03", 1, 0,
            {"AT+JIOPEN | hangup"},
            [](PortLostSim&, CTestView1& h) {
                CFunctionTestDlg_tcpip* page = h.TcpPage();
                page->ApnEdit()->setText("cmnet");
                page->OnButtonPdpAct();
                ASSERT_TRUE(test::RunEventsUntil([] { return theApp.m_bTcpContextActive.load() == 1 && !AppTaskGate().Running(); }, 30000));
                QCoreApplication::sendPostedEvents();
                page->OnButtonConnect();
            },
            [](CTestView1&) { return theApp.m_bTcpContextActive.load() == 0; }, "Fail to connect to server!"},
        {"PPP page: the module gone in the dial's preamble", sim::Family::Umts, "RX70B03", 1, 0, {"AT+CGDCONT | hangup"},
            [](PortLostSim&, CTestView1& h) { h.PppPage()->DialButton()->click(); },
            [](CTestView1& h) { return theApp.PppLinkUp.load() == 0 && h.PppPage()->DialButton()->isEnabled(); },
            "Failed to PPP dial!"},
        {"MMS page: the module gone while activating", sim::Family::Umts, "RX70B03", 1, 0, {"AT+JIACT=1 | hangup"},
            [](PortLostSim&, CTestView1& h) {
                CTestitemDlg_MMS* page = h.MmsPage();
                const auto set = [page](const char* id, const QString& text) {
                    page->findChild<QLineEdit*>(QString::fromLatin1(id))->setText(text);
                };
                set("1468", "cmwap");
                set("1032", "http://mmsc.test/mms");
                set("1033", "10.0.0.172");
                set("1034", "80");
                set("1029", "5550100");
                set("1035", "4D4D53");
                set("1036", "");
                set("1037", "");
                page->SendButton()->click();
            },
            [](CTestView1& h) { return h.MmsPage()->SendButton()->isEnabled(); }, "Fail to send message!"},
        {"cell locator page: the module gone while activating", sim::Family::Umts, "RX70B03", 1, 0,
            {"AT+JIACT=1 | hangup"},
            [](PortLostSim&, CTestView1& h) {
                h.LocatorPage()->ApnEdit()->setText("cmnet");
                h.LocatorPage()->PdpActButton()->click();
            },
            [](CTestView1& h) {
                return theApp.m_bLocatorContextActive.load() == 0 && h.LocatorPage()->PdpActButton()->isEnabled();
            },
            {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect(c.family, c.revision, c.moduleType, c.subModel);
        for (const char* fault : c.faults)
            AddFault(fault);
        c.start(*this, *host);
        ASSERT_TRUE(test::RunEventsUntil([&] { return sim().HungUp(); }, 60000)) << Received();
        ASSERT_TRUE(test::RunEventsUntil([&] { return hungUpAt.load() != std::chrono::steady_clock::time_point{}; }, 10000));
        const auto hungUp = hungUpAt.load();
        // The task ends, and the window hears of the loss.
        ASSERT_TRUE(test::RunEventsUntil([&] { return !AppTaskGate().Running(); }, 60000));
        const auto ended = std::chrono::steady_clock::now();
        EXPECT_LT(ended - hungUp, kEndBound) << "the task went on after the module had gone";
        ASSERT_TRUE(test::RunEventsUntil([&] { return !host->PortOpen() && c.pageIdle(*host); }, 30000));
        QCoreApplication::sendPostedEvents();

        // The connection page and the status bar show the module disconnected.
        EXPECT_EQ(theApp.m_bModuleConnected.load(), 0);
        EXPECT_TRUE(host->HomePage()->ConnectButton()->isVisibleTo(host->HomePage()));
        EXPECT_FALSE(host->HomePage()->DisconnectButton()->isVisibleTo(host->HomePage()));
        EXPECT_EQ(host->Session().Transmitter().Port(), nullptr);
        // Nothing was sent after the loss (sent commands are echoed, notes are not).
        ASSERT_TRUE(test::RunEventsUntil([&] { return !AfterTheLoss().isEmpty(); }, 10000)) << "the loss was not noted";
        const QByteArray after = AfterTheLoss();
        for (const QByteArray& line : after.split('\n')) {
            const QByteArray t = line.trimmed();
            EXPECT_FALSE(t.startsWith("AT") || t.startsWith("+++")) << "sent after the loss: " << t.toStdString();
        }
        if (!c.failure.isEmpty())
            EXPECT_EQ(boxes.Texts().value(0), c.failure) << boxes.Texts().join('|').toStdString();
    }
}

TEST_F(PortLostSim, ALogFailureBoxOpensOnlyOnceTheSenderHasLetGo)
{
    Connect(sim::Family::Gsm, "TZ20A01", 0, 0);
    // A log folder below a plain file: no log file can be made there, not even by root.
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    g_sysParams.savelog = 1;
    g_sysParams.logpath = dir.filePath("plain/logs");
    // The box learns whether the send that wrote the log had returned by then;
    // a box opened inside it would hold every other sender (and a send from the
    // box's own event loop would never get the transmitter).
    std::atomic<bool> returned{false};
    std::atomic<int> shownBeforeReturn{0};
    class Watch : public MessageBoxService {
    public:
        Watch(std::atomic<bool>& returned, std::atomic<int>& early) : m_returned(returned), m_early(early)
        {
            m_previous = GetMessageBoxService();
            SetMessageBoxService(this);
        }
        ~Watch() override { SetMessageBoxService(m_previous); }
        int Show(const QString& text, const QString&, unsigned) override
        {
            m_texts << text;
            if (!m_returned.load())
                ++m_early;
            return IDOK;
        }
        QStringList m_texts;

    private:
        std::atomic<bool>& m_returned;
        std::atomic<int>& m_early;
        MessageBoxService* m_previous = nullptr;
    } watch(returned, shownBeforeReturn);
    host->SendToModule("AT", 0, true);
    returned = true;
    ASSERT_TRUE(test::RunEventsUntil([&] { return !watch.m_texts.isEmpty(); }, 10000));
    EXPECT_EQ(watch.m_texts.value(0), "Fail to create the log file , system will not save log!");
    EXPECT_EQ(shownBeforeReturn.load(), 0);
    EXPECT_TRUE(WaitForCommand("AT", 5s));
}

TEST_F(PortLostSim, AnEnvironmentCheckCutShortByTheLossIsNotReady)
{
    Connect(sim::Family::Umts, "RX70B03", 1, 0);
    // The check's last step, whose answer it does not judge: without a word
    // from the module about the loss, the check would end as ready.
    AddFault("AT+JIDEACT=1 | hangup");
    host->SwitchPage(4);
    EXPECT_EQ(host->CurrentTitle(), "TCP/UDP");
    EXPECT_TRUE(sim().HungUp());
    EXPECT_EQ(boxes.Texts(), QStringList({"Testing environment is not ready,it will lead to abnormal results!"}));
    ASSERT_TRUE(test::RunEventsUntil([&] { return !host->PortOpen(); }, 10000));
    EXPECT_EQ(theApp.m_bModuleConnected.load(), 0);
}
