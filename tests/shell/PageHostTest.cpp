#include "sim/SimFixture.h"

#include "pages/data/CFunctionTestDlg_tcpip.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/CTestItemDlg_home.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CSerialPort.h"
#include "serial/CommPortSettings.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/SendAndWait.h"
#include "core/at/TerminalOutput.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView1.h"
#include "core/text/TimeStamp.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class PageHostView : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        saved = g_sysParams;
        g_sysParams.showtime = 1;
        g_sysParams.showsenddata = 1;
        g_sysParams.savelog = 1;
        const QString dir = test::TempHome() + "/host-logs-"
            + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        QDir().mkpath(dir);
        g_sysParams.logpath = dir;
        g_sysParams.logname_prefix = "host";
        g_nModuleType = 0;
        terminal = std::make_unique<CTestView2>();
        terminal->SetClock([] { return QDateTime(QDate(2026, 12, 10), QTime(14, 0, 0, 5)); });
        terminal->ChooseLogFile();
        host = std::make_unique<CTestView1>();
        host->resize(450, 700);
    }
    void TearDown() override
    {
        host.reset();
        terminal.reset();
        g_sysParams = saved;
        g_nModuleType = 0;
        sim::SimFixture::TearDown();
    }
    bool Open()
    {
        return host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048) == 1;
    }
    template <class Pred>
    bool Until(Pred done, int ms = 30000)
    {
        return test::RunEventsUntil(done, ms);
    }
    QByteArray Log()
    {
        QFile f(terminal->Log().Path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void Type(int key, Qt::KeyboardModifiers mods, const QString& text)
    {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(terminal->Terminal(), &e);
    }

    SysParams saved;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<CTestView1> host;
};

const QByteArray S = "[2026-12-10 14:00:00:005_S:] ";
const QByteArray R = "[2026-12-10 14:00:00:005_R:] ";

} // namespace

TEST_F(PageHostView, TypingInTheTerminalSendsBytesAndTheEchoShows)
{
    ASSERT_TRUE(Open());
    Type(Qt::Key_A, Qt::NoModifier, "a");
    Type(Qt::Key_T, Qt::NoModifier, "t");
    Type(Qt::Key_Return, Qt::NoModifier, "\r");
    ASSERT_TRUE(WaitForCommand("at", 2000ms));
    Type(Qt::Key_Left, Qt::NoModifier, "");
    EXPECT_EQ(QByteArray::fromStdString(Received()).toHex(' '), "61 74 0d");
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().contains("OK"); }));
    EXPECT_EQ(terminal->TerminalText(), R + "at\r\r\n" + R + "OK\r\n");
}

TEST_F(PageHostView, SentAndReceivedTextIsStampedAndLoggedByteForByte)
{
    ASSERT_TRUE(Open());
    host->SendToModule("ATE0", 0, true);
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().endsWith("OK\r\n"); }));
    host->SendToModule("AT", 0, true);
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().count("OK\r\n") == 2; }));
    const QByteArray expected = S + "ATE0\r\n" + R + "ATE0\r\r\n" + R + "OK\r\n" + S + "AT\r\n\r\n" + R + "OK\r\n";
    EXPECT_EQ(terminal->TerminalText(), expected);
    EXPECT_EQ(Log(), expected);
}

TEST_F(PageHostView, WorkersWaitForRepliesThroughThePageHost)
{
    ASSERT_TRUE(Open());
    AddFault("AT+CSQ | split 3,9");
    AppReceiveBuffers().ClearReceivedText();
    std::atomic<int> rc{-1};
    std::thread worker([&] { rc = SendAndWait([] { return true; }, "AT+CSQ", nullptr, nullptr, "OK", "ERROR", 3000); });
    ASSERT_TRUE(Until([&] { return rc.load() != -1; }, 5000));
    worker.join();
    EXPECT_EQ(rc.load(), 0);
    EXPECT_TRUE(WaitForCommand("AT+CSQ", 100ms));
}

TEST_F(PageHostView, LineListenersHearEveryLineInOrder)
{
    QStringList heard;
    host->AddLineListener([&](const QString& l) { heard << "first:" + l; });
    host->AddLineListener([&](const QString& l) { heard << "second:" + l; });
    ASSERT_TRUE(Open());
    host->SendToModule("ATE0", 0, true);
    ASSERT_TRUE(Until([&] { return heard.size() >= 4; }));
    EXPECT_EQ(heard, QStringList({"first:ATE0\r", "second:ATE0\r", "first:OK", "second:OK"}));
}

TEST_F(PageHostView, NewMessageNotificationsReachTheSmsQueue)
{
    ASSERT_TRUE(Open());
    host->SwitchPage(1);
    ASSERT_EQ(host->CurrentPage(), 1);
    InjectLine("+CMTI: \"SM\",5");
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().contains("index number is 5"); }));
    EXPECT_EQ(host->SmsPage()->TakeQueuedMessages(), std::vector<int>({5}));
}

TEST_F(PageHostView, ACharacterCutBetweenTwoChunksReachesTheReplyTextWhole)
{
    AppReceiveBuffers().ClearReceivedText();
    host->OnPortReceive("\r\n+COPS: 0,0,\"\xe4\xb8");
    host->OnPortReceive("\xad\xe5\x9b\xbd\"\r\n\r\nOK\r\n");
    EXPECT_EQ(AppReceiveBuffers().TakeReceivedText(), QString::fromUtf8("\r\n+COPS: 0,0,\"\xe4\xb8\xad\xe5\x9b\xbd\"\r\n\r\nOK\r\n"));
}

TEST_F(PageHostView, PageSwitchesAreRefusedInOrder)
{
    MessageBoxRecorder boxes;
    struct Case {
        const char* what;
        std::function<void()> set;
        const char* box;
    } cases[] = {
        {"locator context", [] { theApp.m_bLocatorContextActive = 1; theApp.m_bTcpContextActive = 1; },
            "Please switch view after deacting the PDP context!"},
        {"tcp context before ppp", [] { theApp.m_bTcpContextActive = 1; theApp.PppLinkUp = 1; },
            "Please switch view after deacting the TCP/UDP context!"},
        {"ppp link", [] { theApp.PppLinkUp = 1; }, "Please switch view after disconnecting PPP dial!"},
        {"call", [this] { host->VoicePage()->OnReceivedLine("RING"); }, "Please hung up the call process or wait for end!"},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        c.set();
        host->SwitchPage(3);
        EXPECT_EQ(host->CurrentPage(), 0) << c.what;
        EXPECT_EQ(boxes.Texts(), QStringList({c.box})) << c.what;
        theApp.m_bLocatorContextActive = 0;
        theApp.m_bTcpContextActive = 0;
        theApp.PppLinkUp = 0;
        host->VoicePage()->OnReceivedLine("NO CARRIER");
    }
    boxes.Clear();
    {
        auto token = AppTaskGate().TryStart();
        host->SwitchPage(3);
        EXPECT_EQ(host->CurrentPage(), 0);
        EXPECT_EQ(boxes.Count(), 0) << "a running task refuses silently";
    }
    host->OnSwitchPage(1, 3);
    EXPECT_EQ(host->CurrentPage(), 0);
    EXPECT_EQ(host->CurrentTitle(), "Home");
    host->OnSwitchPage(0, 3);
    EXPECT_EQ(host->CurrentPage(), 3);
    EXPECT_EQ(host->CurrentTitle(), "TCP/UDP");
    EXPECT_EQ(host->TcpPage()->ApnEdit()->text(), "CMNET");
    EXPECT_TRUE(host->TcpPage()->isVisible() || !host->isVisible());
    // Back home, the title reads as it did at start, as the navigation bar names it.
    host->OnSwitchPage(0, 0);
    EXPECT_EQ(host->CurrentPage(), 0);
    EXPECT_EQ(host->CurrentTitle(), "Home");
}

TEST_F(PageHostView, EnvironmentCheckRunsOnlyWhenConnectedAndNotForTheSamePage)
{
    MessageBoxRecorder boxes;
    std::vector<std::pair<int, int>> checks;
    host->m_envCheck = [&](int kind, int option) {
        checks.emplace_back(kind, option);
        return 0;
    };
    host->SwitchPage(1);
    EXPECT_TRUE(checks.empty());
    theApp.m_bModuleConnected = 1;
    host->SwitchPage(1);
    EXPECT_TRUE(checks.empty()) << "the page on show is not shown again";
    host->SwitchPage(2);
    host->SwitchPage(1);
    theApp.m_bModuleConnected = 0;
    EXPECT_EQ(checks, (std::vector<std::pair<int, int>>{{4, 0}, {2, 1}}));
    EXPECT_EQ(boxes.Texts(), QStringList({"Testing environment is not ready,it will lead to abnormal results!"}))
        << "the SMS page's check shows no box";
}

TEST_F(PageHostView, ModemLineChangesUpdateThePaneAndNoteOnlyChanges)
{
    QString pane;
    host->m_statusLinePane = [&](const QString& p) { pane = p; };
    host->OnDcdChanged(1);
    EXPECT_EQ(pane, " DSR[0] CTS[0] RI[0] DCD[1]");
    EXPECT_TRUE(terminal->TerminalText().endsWith("DSR:0 CTS:0 RI:0 (DCD:1)\r\n"));
    const QByteArray before = terminal->TerminalText();
    host->OnDcdChanged(1);
    EXPECT_EQ(terminal->TerminalText(), before);
}

TEST_F(PageHostView, NotificationsOfAClosedPortAreDropped)
{
    ASSERT_TRUE(Open());
    const auto oldPort = host->Port();
    host->SendToModule("ATI", 0, true);
    ASSERT_TRUE(WaitForCommand("ATI", 2000ms));
    std::this_thread::sleep_for(100ms); // the reply is now queued as an event
    // What was read before the close is part of the record; the port's own
    // notification of it comes too late and changes nothing.
    FlushTerminalOutput();
    const QByteArray before = terminal->TerminalText();
    host->CloseCommport();
    QCoreApplication::processEvents();
    EXPECT_EQ(terminal->TerminalText(), before);
    EXPECT_EQ(host->Port(), nullptr);
    EXPECT_TRUE(Open()) << "the port reopens at once";
}

TEST_F(PageHostView, OpeningAMissingPortSaysSo)
{
    MessageBoxRecorder boxes;
    EXPECT_EQ(host->OpenCommport("/dev/ulv-none", 115200, 8, 1, 0, 0, 2048), 0);
    EXPECT_EQ(boxes.Texts(), QStringList({"This serial port '/dev/ulv-none' is not connected to module or has been used !\n"
                                          "Please check the module and serial cable!"}));
}

TEST(FormatSmsTimestamp, OnlyFourteenCharacterStampsAreFormatted)
{
    EXPECT_EQ(FormatSmsTimestamp("26121013050708"), "2026/12/10  13:05:07+08");
    EXPECT_EQ(FormatSmsTimestamp("2612101305070"), "2612101305070");
    EXPECT_EQ(FormatSmsTimestamp("261210130507089"), "261210130507089");
}

TEST_F(PageHostView, TheHomePageButtonOpensAndClosesTheConfiguredPort)
{
    const CommPortSettings saved = g_commPortSettings;
    g_commPortSettings.port = QString::fromStdString(SlavePath());
    host->HomePage()->AutoInitCheck()->setChecked(false);
    host->HomePage()->ConnectButton()->click();
    ASSERT_NE(host->Port(), nullptr);
    EXPECT_TRUE(host->HomePage()->DisconnectButton()->isVisibleTo(host->HomePage()));
    EXPECT_EQ(host->HomePage()->DisconnectButton()->text(), "  Disconnect to module");
    host->SendToModule("AT", 0, true);
    EXPECT_TRUE(WaitForCommand("AT", 2000ms));
    host->HomePage()->DisconnectButton()->click();
    EXPECT_EQ(host->Port(), nullptr);
    EXPECT_TRUE(host->HomePage()->ConnectButton()->isVisibleTo(host->HomePage()));
    EXPECT_EQ(host->HomePage()->ConnectButton()->text(), "  Connect to module");
    g_commPortSettings = saved;
}

TEST_F(PageHostView, AnUnpluggedModuleIsReportedInTheTerminal)
{
    ASSERT_TRUE(Open());
    AddFault("ATI | hangup");
    host->SendToModule("ATI", 0, true);
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().contains("was closed by the device"); }, 5000));
    EXPECT_TRUE(terminal->TerminalText().endsWith(
        QString("\r\n/* The serial port '%1' was closed by the device */\r\n").arg(QString::fromStdString(SlavePath())).toUtf8()));
}
