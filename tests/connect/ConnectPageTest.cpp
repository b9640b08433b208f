#include "sim/SimFixture.h"

#include "atlib/core/DatabaseFiles.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "common/TaskWait.h"
#include "pages/data/CFunctionTestDlg_tcpip.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "pages/module/CTestItemDlg_home.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "pages/module/core/EnvCheckScript.h"
#include "pages/module/core/ModuleScripts.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CommPortSettings.h"
#include "core/at/CommandQueue.h"
#include "core/at/ModemSession.h"
#include "serial/SerialMessages.h"
#include "core/at/WaitClock.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CPageTitleStrip.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

const char* const kGsmSequence[] = {"AT", "ATV1", "ATE1", "AT+CMEE=2", "AT+IPR?", "AT+IPR=115200", "AT&W", "ATI",
    "AT+GSN", "ATI", "AT+CPIN?", "AT+CIMI", "AT+JCCID", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+COPS?"};

class ConnectPage : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        savedPort = g_commPortSettings;
        g_sysParams.savelog = 0;
        g_nModuleType = 0;
        g_nModuleSubModel = 0;
        theApp.m_bModuleConnected = 0;
        terminal = std::make_unique<CTestView2>();
        StartCommandQueue();
        host = std::make_unique<CTestView1>();
        host->resize(450, 700);
        UsePort();
    }
    void TearDown() override
    {
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        host.reset();
        terminal.reset();
        g_sysParams = savedParams;
        g_commPortSettings = savedPort;
        g_nModuleType = 0;
        theApp.m_bModuleConnected = 0;
        SetWaitClockSpeed(1);
        sim::SimFixture::TearDown();
    }
    void UsePort()
    {
        g_commPortSettings.port = QString::fromStdString(SlavePath());
        g_commPortSettings.baud = 115200;
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 20000)
    {
        return test::RunEventsUntil(done, ms);
    }
    CTestItemDlg_home* Home() { return host->HomePage(); }
    // Clicks a button and waits until the worker it starts has ended.
    bool RunTask(QPushButton* button)
    {
        return test::PressAndWaitForTask([button] { button->click(); });
    }
    // The command lines the module received, in order.
    QStringList Commands()
    {
        QStringList lines = QString::fromStdString(Received()).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    static QStringList List(std::initializer_list<const char*> items)
    {
        QStringList out;
        for (const char* s : items)
            out << s;
        return out;
    }

    MessageBoxRecorder boxes;
    SysParams savedParams;
    CommPortSettings savedPort;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<CTestView1> host;
};

} // namespace

// Counts the events of one type that reach a widget.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == m_type)
            ++count;
        return false;
    }
    int count = 0;

private:
    QEvent::Type m_type;
};

TEST_F(ConnectPage, GsmModuleIsSynchronisedIdentifiedAndItsValuesShown)
{
    EventCounter identified(MessageEventType(WM_MODULE_IDENTIFIED));
    host->VoicePage()->installEventFilter(&identified);
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    EXPECT_EQ(identified.count, 1);
    QStringList expected;
    for (const char* c : kGsmSequence)
        expected << c;
    EXPECT_EQ(Commands(), expected);
    EXPECT_TRUE(QString::fromStdString(Received()).endsWith("AT+COPS?\r\n"));
    EXPECT_EQ(boxes.Texts(), QStringList());
    EXPECT_EQ(Home()->ValueText(kValueManufacturer), "Ulvenscope Simulated Modules");
    EXPECT_EQ(Home()->ValueText(kValueDeviceModule), "TZ20");
    EXPECT_EQ(Home()->ValueText(kValueFirmware), "TZ20A01");
    EXPECT_EQ(Home()->ValueText(kValueImsi), "001010123456789");
    EXPECT_EQ(Home()->ValueText(kValueIccid), "89860012345678901234");
    EXPECT_EQ(Home()->ValueText(kValueNetworkReg), "Registered");
    EXPECT_EQ(Home()->ValueText(kValueGprsReg), "Registered");
    EXPECT_EQ(Home()->ValueText(kValueOperator), "Test PLMN 1-1");
    EXPECT_EQ(host->TitleStrip()->SignalBars(), CPageTitleStrip::SignalBarsFor(0, 20));
    EXPECT_GT(host->TitleStrip()->SignalBars(), 0);
    EXPECT_EQ(IsTzFamily(), 1);
    EXPECT_EQ(theApp.m_bModuleConnected.load(), 1);
    EXPECT_TRUE(Home()->DisconnectButton()->isVisibleTo(Home()));
    EXPECT_FALSE(Home()->ConnectButton()->isVisibleTo(Home()));
    EXPECT_TRUE(terminal->TerminalText().contains("/* Use ATI to get module information of Manufacturer ID, Device "
                                                  "module and Firmware version */"));
}

TEST_F(ConnectPage, Rx70OnASerialPortSetsTheUnsolicitedPortAfterIdentification)
{
    StartSim(sim::Family::Umts, "RX70B03");
    UsePort();
    g_nModuleType = 1;
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    EXPECT_EQ(Commands(),
        List({"AT", "ATV1", "ATE1", "AT+CMEE=2", "AT+IPR?", "ATI", "AT+GSN", "ATI", "AT+JURCCFG=\"URCPORT\",\"uart1\"",
            "AT+CPIN?", "AT+CIMI", "AT+JCCID", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+COPS?"}));
    EXPECT_EQ(GetModuleSubModel(), 0);
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST_F(ConnectPage, FaultsEndTheScriptWithTheirMessage)
{
    const struct {
        const char* fault;
        const char* lastCommand;
        const char* note; // written before the box; empty: not checked
        const char* box;
    } cases[] = {
        {"AT+CPIN? | cme 10", "AT+CPIN?", "/* Make sure SIM card is inserted */", "SIM is not ready!"},
        {"AT+CPIN? | reply \\r\\n+CPIN: SIM PIN\\r\\n\\r\\nOK\\r\\n", "AT+CPIN?", "", "SIM is not ready!"},
        {"AT+CPIN? | error", "AT+CPIN?", "/* Make sure SIM card is unlocked */", "SIM is not ready!"},
        {"ATV1 | error", "ATV1", "", "Fail to set the response format!"},
        {"AT+IPR= | error", "AT+IPR=115200", "", "Fail to set the module baudrate!"},
        {"AT+CREG? | reply \\r\\n+CREG: 0,2\\r\\n\\r\\nOK\\r\\n", "AT+CGREG?",
            "/* Make sure the Antenna is connected and the network is normal */ ", "Fail to register the network !"},
    };
    SetWaitClockSpeed(10);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        StartSim(sim::Family::Gsm);
        UsePort();
        AddFault(c.fault);
        boxes.Clear();
        ASSERT_TRUE(RunTask(Home()->ConnectButton()));
        EXPECT_EQ(boxes.Texts(), QStringList{c.box});
        EXPECT_EQ(Commands().last(), c.lastCommand);
        EXPECT_FALSE(Commands().contains("AT+CIMI") && QString(c.lastCommand) == "AT+CPIN?");
        if (*c.note) {
            EXPECT_TRUE(terminal->TerminalText().contains(c.note));
        }
        Home()->DisconnectButton()->click();
    }
    SetWaitClockSpeed(1);
}

TEST_F(ConnectPage, SilentModuleGetsTenAtsAndTheSyncFailure)
{
    SetWaitClockSpeed(10);
    AddFault("AT | silent");
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    EXPECT_EQ(Commands(), QStringList(10, "AT"));
    EXPECT_EQ(boxes.Texts(), QStringList{"Fail to AT SYNC!"});
    EXPECT_TRUE(terminal->TerminalText().contains("/* No OK return after 10 times, will pop out error message of SYNC fail"));
    // Each echo ("AT" and its CR alone) ends its line on screen.
    terminal->FlushPending();
    const QString shown = terminal->Terminal()->toPlainText();
    EXPECT_TRUE(shown.contains("AT")) << shown.toStdString();
    EXPECT_FALSE(shown.contains("ATAT")) << shown.toStdString();
}

TEST_F(ConnectPage, UnsavedBaudRateIsNotedAndTheScriptGoesOn)
{
    AddFault("AT&W | error");
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    EXPECT_TRUE(terminal->TerminalText().contains("/* Fail to save baudrate parameter */ "));
    QStringList expected;
    for (const char* c : kGsmSequence)
        expected << c;
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST_F(ConnectPage, FixedBaudRateIsLeftAlone)
{
    AddFault("AT+IPR? | reply \\r\\n+IPR: 115200\\r\\n\\r\\nOK\\r\\n");
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    EXPECT_FALSE(Commands().contains("AT&W"));
    EXPECT_FALSE(Commands().join(' ').contains("AT+IPR="));
    EXPECT_EQ(Commands().last(), "AT+COPS?");
}

TEST_F(ConnectPage, FamilyMismatchIsShownOnceAndTheScriptGoesOn)
{
    StartSim(sim::Family::Umts, "RX50C01");
    UsePort();
    g_nModuleType = 0;
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    ASSERT_TRUE(boxes.WaitForCount(1, 3000));
    EXPECT_EQ(boxes.Texts(),
        QStringList{"The module model is not matching! Please restart, select correct model and try again!"});
    EXPECT_EQ(GetModuleSubModel(), 1);
    EXPECT_EQ(GetModuleType(), 0);
    EXPECT_EQ(Commands().last(), "AT+COPS?");
    EXPECT_FALSE(Commands().join(' ').contains("JURCCFG"));
}

TEST_F(ConnectPage, StopEndsTheWorkerWithoutAnotherCommandOrMessage)
{
    AddFault("AT+CSQ | delay 1500");
    Home()->ConnectButton()->click();
    // The worker's notes wait for this thread: keep it handling events.
    ASSERT_TRUE(Until([&] { return Commands().contains("AT+CSQ"); }, 5000));
    AppTaskGate().Stop();
    ASSERT_TRUE(Until([] { return !AppTaskGate().Running(); }));
    // The worker thread is gone, so nothing can follow; and the late reply
    // reaches the terminal without a step or a box of its own.
    ASSERT_TRUE(AppModemSession().Workers().WaitUntil([] { return AppModemSession().Workers().Running() == 0; }, 20000));
    ASSERT_TRUE(Until([&] { return terminal->TerminalText().contains("+CSQ: "); }, 20000));
    QCoreApplication::processEvents();
    EXPECT_EQ(Commands().last(), "AT+CSQ");
    EXPECT_EQ(Commands().count("AT+CSQ"), 1);
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST_F(ConnectPage, SimQueryFillsTheDataPagesFromTheApnDatabase)
{
    InstallShippedDatabases();
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    ASSERT_TRUE(host->Port());
    ASSERT_TRUE(RunTask(Home()->SimInfoButton()));
    EXPECT_EQ(Commands(), List({"AT+JCCID", "AT+CIMI"}));
    EXPECT_EQ(Home()->ValueText(kValueImsi), "001010123456789");
    EXPECT_EQ(Home()->ValueText(kValueIccid), "89860012345678901234");
    EXPECT_EQ(theApp.Mcc(), "001");
    EXPECT_EQ(theApp.Mnc(), "01");
    ASSERT_TRUE(Until([&] { return host->PppPage()->ApnEdit()->text() == "internet.test"; }, 3000));
    EXPECT_EQ(host->TcpPage()->ApnEdit()->text(), "internet.test");
    EXPECT_EQ(host->TcpPage()->UserEdit()->text(), "benchuser");
    EXPECT_EQ(host->TcpPage()->PasswordEdit()->text(), "bench01");
    EXPECT_EQ(host->PppPage()->UserEdit()->text(), "benchuser");
    EXPECT_EQ(host->PppPage()->PasswordEdit()->text(), "bench01");
}

TEST_F(ConnectPage, ModuleAndRegistrationQueriesFillTheirValues)
{
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    ASSERT_TRUE(RunTask(Home()->ModuleInfoButton()));
    EXPECT_EQ(Home()->ValueText(kValueManufacturer), "Ulvenscope Simulated Modules");
    EXPECT_EQ(Home()->ValueText(kValueDeviceModule), "TZ20");
    EXPECT_EQ(Home()->ValueText(kValueFirmware), "TZ20A01");
    ASSERT_TRUE(RunTask(Home()->RegInfoButton()));
    EXPECT_EQ(Commands(), List({"ATI", "AT+CPIN?", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+COPS?"}));
    EXPECT_EQ(Home()->ValueText(kValueOperator), "Test PLMN 1-1");
    EXPECT_EQ(Home()->ValueText(kValueNetworkReg), "Registered");
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST_F(ConnectPage, RegistrationErrorEndsTheQueryBeforeThePacketState)
{
    AddFault("AT+CREG? | error");
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    ASSERT_TRUE(RunTask(Home()->RegInfoButton()));
    EXPECT_EQ(Commands(), List({"AT+CPIN?", "AT+CSQ", "AT+CREG?"}));
    EXPECT_EQ(boxes.Texts(), QStringList{"Fail to get network information!"});
}

TEST_F(ConnectPage, DisconnectClosesAtOnceAndConnectWorksAgain)
{
    Home()->AutoInitCheck()->setChecked(false);
    g_commPortSettings.port.clear();
    Home()->ConnectButton()->click();
    EXPECT_EQ(boxes.Texts(), QStringList{"Please select a serial port!"});
    EXPECT_FALSE(host->Port());
    UsePort();
    boxes.Clear();
    {
        auto token = AppTaskGate().TryStart();
        Home()->ConnectButton()->click();
        EXPECT_FALSE(host->Port()) << "no connect while a task runs";
    }
    for (QPushButton* query : {Home()->ModuleInfoButton(), Home()->RegInfoButton(), Home()->SimInfoButton()}) {
        query->click();
        EXPECT_FALSE(AppTaskGate().Running()) << "no query without a port";
    }
    EXPECT_EQ(boxes.Texts(), QStringList());

    Home()->ConnectButton()->click();
    ASSERT_TRUE(host->Port());
    EXPECT_EQ(theApp.m_strPortName, g_commPortSettings.port);
    EXPECT_EQ(Commands(), QStringList()) << "no initialisation when it is not checked";
    {
        auto token = AppTaskGate().TryStart();
        Home()->DisconnectButton()->click();
        EXPECT_EQ(boxes.Texts(), QStringList{"The task is underway!"});
        EXPECT_TRUE(host->Port());
    }
    QElapsedTimer t;
    t.start();
    Home()->DisconnectButton()->click();
    EXPECT_LT(t.elapsed(), 3100);
    EXPECT_FALSE(host->Port());
    EXPECT_EQ(theApp.m_bModuleConnected.load(), 0);
    EXPECT_TRUE(Home()->ConnectButton()->isVisibleTo(Home()));
    EXPECT_EQ(host->TitleStrip()->SignalBars(), 0);

    Home()->ConnectButton()->click();
    ASSERT_TRUE(host->Port());
    host->SendToModule("AT", 0, true);
    EXPECT_TRUE(WaitForCommand("AT", 2000ms));
}

TEST_F(ConnectPage, APortThatCannotBeSetUpStopsTheConnectAndNothingIsSent)
{
    struct Case {
        int baud, dataBits, stopBits;
    } cases[] = {{115200, 9, 1}, {115200, 4, 1}, {-1, 8, 1}, {115200, 8, 3}};
    for (const Case& c : cases) {
        boxes.Clear();
        g_commPortSettings.baud = c.baud;
        g_commPortSettings.dataBits = c.dataBits;
        g_commPortSettings.stopBits = c.stopBits;
        Home()->ConnectButton()->click();
        const QString what = QString("%1,%2,%3").arg(c.baud).arg(c.dataBits).arg(c.stopBits);
        ASSERT_EQ(boxes.Texts().size(), 1) << qPrintable(what) << qPrintable(boxes.Texts().join("|"));
        EXPECT_TRUE(boxes.Texts()[0].startsWith("WARNING:  BuildCommDCB() Failed with the following error: "))
            << qPrintable(boxes.Texts()[0]);
        EXPECT_FALSE(host->Port()) << qPrintable(what);
        EXPECT_FALSE(AppTaskGate().Running()) << qPrintable(what);
        EXPECT_FALSE(theApp.m_bModuleConnected) << qPrintable(what);
    }
    // The port was let go each time: good settings connect, and the module's
    // first bytes are the start of the script, nothing from the refused tries.
    boxes.Clear();
    g_commPortSettings.baud = 115200;
    g_commPortSettings.dataBits = 8;
    g_commPortSettings.stopBits = 1;
    ASSERT_TRUE(RunTask(Home()->ConnectButton()));
    ASSERT_TRUE(host->Port());
    ASSERT_FALSE(Commands().isEmpty());
    EXPECT_EQ(Commands().first(), "AT");
}

TEST_F(ConnectPage, PortSettingsTextNamesThePortAndItsSuffixes)
{
    const struct {
        const char* port;
        int parity, flow;
        const char* text;
    } cases[] = {
        {"/dev/ttyUSB2", 0, 0, "/dev/ttyUSB2,115200,8,1,None,None"},
        {"/dev/ttyUSB2", 2, 1, "/dev/ttyUSB2,115200,8,1,Even,HW"},
        {"", 3, 2, "COM[?],115200,8,1,CRC,SW"},
        {"/dev/ttyS0", 4, 3, "/dev/ttyS0,115200,8,1"},
    };
    for (const auto& c : cases) {
        g_commPortSettings.port = c.port;
        g_commPortSettings.parity = c.parity;
        g_commPortSettings.flowCtrl = c.flow;
        EXPECT_EQ(CTestItemDlg_home::PortSettingsText(), c.text);
        Home()->UpdatePortTip();
        EXPECT_EQ(Home()->ConnectButton()->toolTip(), c.text);
    }
}

TEST_F(ConnectPage, SmsPageEnvironmentCheckLearnsTheStorageCapacity)
{
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    ASSERT_TRUE(host->Port());
    g_nSmsStorageCapacity = 0;
    host->SwitchPage(1);
    EXPECT_EQ(Commands(), List({"AT+CPIN?", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+JINISTAT", "AT+CSMP=17,167,0,0",
                              "AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CSCA?"}));
    EXPECT_EQ(g_nSmsStorageCapacity.load(), 50);
    EXPECT_EQ(host->TitleStrip()->SignalBars(), CPageTitleStrip::SignalBarsFor(0, 20));
    EXPECT_EQ(boxes.Texts(), QStringList());
    EXPECT_FALSE(AppTaskGate().Running());
    EXPECT_TRUE(terminal->TerminalText().contains("/* Use AT+JINISTAT to check SMS initial status */"));
}

TEST_F(ConnectPage, SmsInitialStatusIsReadAfterItsOwnPrefix)
{
    // A registration report that arrives with the answer must not be taken for the status.
    AddFault("AT+JINISTAT | reply \\r\\n+CREG: 1\\r\\n\\r\\n+JINISTAT: 3\\r\\n\\r\\nOK\\r\\n");
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    ASSERT_TRUE(host->Port());
    g_nSmsStorageCapacity = 0;
    host->SwitchPage(1);
    EXPECT_EQ(Commands(), List({"AT+CPIN?", "AT+CSQ", "AT+CREG?", "AT+CGREG?", "AT+JINISTAT", "AT+CSMP=17,167,0,0",
                              "AT+CPMS=\"SM\",\"SM\",\"SM\"", "AT+CSCA?"}));
    EXPECT_EQ(g_nSmsStorageCapacity.load(), 50);
}

TEST_F(ConnectPage, NotReadyEnvironmentWarnsOnOtherPagesOnly)
{
    AddFault("AT+CPIN? | cme 10");
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    host->SwitchPage(3); // TCP/UDP
    EXPECT_EQ(Commands(), List({"AT+CPIN?"}));
    EXPECT_EQ(boxes.Texts(), QStringList{"Testing environment is not ready,it will lead to abnormal results!"});
    EXPECT_TRUE(terminal->TerminalText().contains("/* Make sure SIM card is inserted */"));
    boxes.Clear();
    host->SwitchPage(1); // SMS
    EXPECT_EQ(boxes.Texts(), QStringList());

    Home()->DisconnectButton()->click();
    host->SwitchPage(3);
    EXPECT_EQ(Commands(), List({"AT+CPIN?", "AT+CPIN?"})) << "a closed port is not checked";
}

TEST_F(ConnectPage, UmtsPagesDeactivateAndSetTheAudioPathAfterRegistration)
{
    const struct {
        const char* revision;
        int subModel;
        int page; // index in the UMTS/HSPA page list
        QStringList tail;
    } cases[] = {
        {"RX70B03", 0, 4, {"AT+JIDEACT=1"}},              // TCP/UDP
        {"RX70B03", 0, 3, {"AT+JIDEACT=1", "AT+JDAI=2"}}, // Voice Call
        {"KV33D01", 2, 3, {"AT+JIDEACT=1", "AT+JDAC=3"}},
        {"RX50C01", 1, 3, {"AT+JIDEACT=1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.revision);
        StartSim(sim::Family::Umts, c.revision);
        UsePort();
        g_nModuleType = 1;
        g_nModuleSubModel = c.subModel;
        Home()->AutoInitCheck()->setChecked(false);
        Home()->ConnectButton()->click();
        host->SwitchPage(c.page);
        EXPECT_EQ(Commands(), List({"AT+CPIN?", "AT+CSQ", "AT+CREG?", "AT+CGREG?"}) + c.tail);
        EXPECT_EQ(boxes.Texts(), QStringList());
        host->SwitchPage(0);
        Home()->DisconnectButton()->click();
    }
}

TEST_F(ConnectPage, ClosingThePageWithAWorkerOnASilentModuleReturnsWithinTheBound)
{
    AddFault("AT+CSQ | silent");
    Home()->ConnectButton()->click();
    ASSERT_TRUE(Until([&] { return Commands().contains("AT+CSQ"); }, 5000));
    QElapsedTimer closing;
    closing.start();
    host.reset();
    EXPECT_LT(closing.elapsed(), TaskWorkers::kCloseWaitMs);
    EXPECT_FALSE(AppTaskGate().Running());
    // The worker has ended, not been left behind: nothing can follow its last command.
    EXPECT_EQ(AppModemSession().Workers().Running(), 0);
    EXPECT_EQ(Commands().last(), "AT+CSQ");
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST_F(ConnectPage, ShortIdentityReplyShowsDashesForWhatIsMissing)
{
    AddFault("ATI | reply \\r\\nMaker\\r\\n\\r\\nOK\\r\\n");
    Home()->AutoInitCheck()->setChecked(false);
    Home()->ConnectButton()->click();
    ASSERT_TRUE(RunTask(Home()->ModuleInfoButton()));
    EXPECT_EQ(Home()->ValueText(kValueManufacturer), "Maker");
    EXPECT_EQ(Home()->ValueText(kValueDeviceModule), "");
    EXPECT_EQ(Home()->ValueText(kValueFirmware), "---");
    EXPECT_EQ(boxes.Texts(), QStringList());
}
