#include "sim/SimFixture.h"

#include "EchoServer.h"
#include "atlib/core/DatabaseFiles.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "common/TaskWait.h"
#include "common/WireFence.h"
#include "core/at/CommandQueue.h"
#include "core/at/ModemSession.h"
#include "pages/data/CFunctionTestDlg_tcpip.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CSkinButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class TcpIpPage : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        savedParams = g_sysParams;
        g_sysParams.savelog = 0;
        std::string error;
        ASSERT_TRUE(server.Start(0, &error)) << error;
    }
    void TearDown() override
    {
        AppTaskGate().Stop();
        Until([] { return !AppTaskGate().Running(); });
        theApp.m_bTcpContextActive = 0;
        host.reset();
        terminal.reset();
        server.Stop();
        g_sysParams = savedParams;
        g_nModuleType = 0;
        sim::SimFixture::TearDown();
    }
    // The page of the family on show, the module's port open.
    void Begin(sim::Family family)
    {
        StartSim(family);
        g_nModuleType = family == sim::Family::Gsm ? 0 : 1;
        sim().With([&](sim::ModemEngine& e) { e.MapAddress(kEchoServerAddress, 6003, server.Port()); });
        terminal = std::make_unique<CTestView2>();
        StartCommandQueue();
        host = std::make_unique<CTestView1>();
        host->resize(450, 700);
        ASSERT_EQ(host->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
        host->SwitchPage(g_nModuleType == 1 ? 4 : 3);
        ASSERT_FALSE(page()->isHidden());
    }
    template <class Pred>
    static bool Until(Pred done, int ms = 20000)
    {
        return test::RunEventsUntil(done, ms);
    }
    CFunctionTestDlg_tcpip* page() { return host->TcpPage(); }
    static ModemSession& session() { return AppModemSession(); }
    template <class W>
    W* Child(const char* id)
    {
        W* w = page()->findChild<W*>(QString::fromLatin1(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    bool Click(const char* id)
    {
        return test::PressAndWaitForTask([&] { Child<QPushButton>(id)->click(); });
    }

    tools::EchoServer server;
    // A field set to a hostile value: the button shows the box and starts
    // nothing, and the module hears nothing.
    struct Hostile {
        const char* field;
        QString value;
        QString box;
    };
    void ExpectRefused(const char* button, const Hostile& c)
    {
        SCOPED_TRACE(std::string(c.field) + " = " + c.value.toStdString());
        QLineEdit* edit = Child<QLineEdit>(c.field);
        const QString kept = edit->text();
        edit->setText(c.value);
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), session(), c.box, [&] { Child<QPushButton>(button)->click(); }));
        edit->setText(kept);
    }
    // Every field a command is built from, with what would break the command
    // out of its quotes or its line, on the module family's page.
    void HostileFieldsAreRefused(sim::Family family)
    {
        Begin(family);
        const QString quote = "\"Access Point Name\" must not contain a double quote (\")!";
        const Hostile accessPoint[] = {
            {"1169", "CMNET\";+CFUN=0;+JICSGP=1,\"CMNET", quote},
            {"1169", "CMNET\r\nAT+CFUN=0", "\"Access Point Name\" must not contain a line break!"},
            {"1027", "user\x1A", "\"User name\" must not contain Ctrl-Z!"},
            {"1338", "pass\x1B", "\"Password\" must not contain Esc!"},
        };
        for (const Hostile& c : accessPoint)
            ExpectRefused("1112", c);
        ASSERT_TRUE(Click("1112"));
        ASSERT_EQ(theApp.m_bTcpContextActive.load(), 1);

        const QString address = "\"Server IP\" should be four numbers from 0 to 255 separated by dots!";
        const QString port = "\"Server port\" should be a number from 1 to 65535!";
        const Hostile server[] = {
            {"1154", "300.1.2.3", address},
            {"1154", "300.1.2", address},
            {"1154", "", address},
            {"1165", "70000", port},
            {"1165", "", port},
            {"1165", "6003;+CFUN=0", port},
            {"1165", "0", port},
        };
        for (const Hostile& c : server)
            ExpectRefused("1159", c);
        Child<QRadioButton>("1152")->click();
        const Hostile domain[] = {
            {"1155", "host\"x;+CFUN=0", "\"Server name\" must not contain a double quote (\")!"},
            {"1155", "host\rAT+CFUN=0", "\"Server name\" must not contain a line break!"},
            {"1155", "", "\"Server name\" is empty!"},
        };
        for (const Hostile& c : domain)
            ExpectRefused("1159", c);
        Child<QRadioButton>("1151")->click();

        ASSERT_TRUE(Click("1159"));
        ASSERT_TRUE(Until([&] { return Child<QPushButton>("1159")->text() == "Close"; }));
        Child<QTextEdit>("1158")->clear();
        EXPECT_TRUE(test::RefusedQuietly(boxes, sim(), session(), "Please input the sending data!",
            [&] { Child<QPushButton>("1160")->click(); }));
    }

    MessageBoxRecorder boxes;
    SysParams savedParams;
    std::unique_ptr<CTestView2> terminal;
    std::unique_ptr<CTestView1> host;
};

} // namespace

TEST_F(TcpIpPage, GsmHostileFieldsAreRefusedAndTheModuleHearsNothing)
{
    HostileFieldsAreRefused(sim::Family::Gsm);
}

TEST_F(TcpIpPage, UmtsHostileFieldsAreRefusedAndTheModuleHearsNothing)
{
    HostileFieldsAreRefused(sim::Family::Umts);
}

TEST_F(TcpIpPage, TheAddressBoxTurnsATypedOctetAbove255Into255)
{
    Begin(sim::Family::Gsm);
    QLineEdit* box = Child<QLineEdit>("1154");
    box->clear();
    box->setFocus();
    for (QChar c : QStringLiteral("999.1.1.1"))
        QTest::keyClick(box, c.toLatin1());
    EXPECT_EQ(box->text(), "255.1.1.1");
}

TEST_F(TcpIpPage, UmtsActivateConnectSendReceiveAndTheFarEndClosing)
{
    Begin(sim::Family::Umts);
    Child<QLineEdit>("1169")->setText(" cm net ");
    Child<QLineEdit>("1027")->setText("u");
    Child<QLineEdit>("1338")->setText("p");
    Child<QComboBox>("1432")->setCurrentIndex(2);
    ASSERT_TRUE(Click("1112"));
    ASSERT_TRUE(Until([&] { return Child<QLineEdit>("1339")->text() == "10.1.2.3"; }));
    EXPECT_EQ(theApp.m_bTcpContextActive.load(), 1);
    EXPECT_TRUE(Child<QPushButton>("1159")->isEnabled());

    // Another page cannot be shown while the context is up.
    host->SwitchPage(0);
    EXPECT_FALSE(page()->isHidden());
    EXPECT_EQ(boxes.Texts(), QStringList({"Please switch view after deacting the TCP/UDP context!"}));
    boxes.Clear();

    Child<QLineEdit>("1154")->setText("127.0.0.1");
    Child<QLineEdit>("1165")->setText(QString::number(server.Port()));
    ASSERT_TRUE(Click("1159"));
    ASSERT_TRUE(Until([&] { return Child<QPushButton>("1159")->text() == "Close"; }));
    const std::string open = "AT+JIOPEN=1,0,\"TCP\",\"127.0.0.1\"," + std::to_string(server.Port()) + ",0,1";
    EXPECT_TRUE(WaitForCommand(open, 30s)) << open;

    Child<QTextEdit>("1158")->setPlainText("typed by the user");
    ASSERT_TRUE(Click("1160"));
    ASSERT_TRUE(Until([&] { return server.Received() == "typed by the user"; }));
    ASSERT_TRUE(Until([&] { return page()->ReceivedText().contains("typed by the user"); }));
    EXPECT_EQ(page()->ReceivedText().count("typed by the user"), 1);
    EXPECT_TRUE(page()->ReceivedText().contains("MORVANE ECHO SERVER")) << "no echo test: the banner stays";

    server.DropClients();
    ASSERT_TRUE(Until([&] { return boxes.Count() == 1; }, 10000));
    EXPECT_EQ(boxes.Texts(), QStringList({"The TCP/UDP connection is closed!"}));
    EXPECT_EQ(Child<QPushButton>("1159")->text(), "Connect");
    EXPECT_FALSE(Child<QPushButton>("1160")->isEnabled());

    ASSERT_TRUE(Click("1167"));
    EXPECT_EQ(theApp.m_bTcpContextActive.load(), 0);
    EXPECT_TRUE(Child<QLineEdit>("1339")->text().isEmpty());
    EXPECT_TRUE(Child<QPushButton>("1112")->isEnabled());
}

TEST_F(TcpIpPage, BufferedDataAreReadAndShownOnce)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Click("1112"));
    Child<QComboBox>("1434")->setCurrentIndex(0); // Buffer: the page reads after each notice
    ASSERT_TRUE(Click("1159"));
    // The button's new text comes as a queued change after the task.
    ASSERT_TRUE(Until([&] { return Child<QPushButton>("1159")->text() == "Close"; }));
    EXPECT_TRUE(WaitForCommand("AT+JIOPEN=1,0,\"TCP\",\"" + std::string(kEchoServerAddress) + "\",6003,0,0", 30s));
    Child<QTextEdit>("1158")->setPlainText("read back");
    ASSERT_TRUE(Click("1160"));
    ASSERT_TRUE(Until([&] { return page()->ReceivedText().contains("read back"); }));
    EXPECT_TRUE(WaitForCommand("AT+JIRD=0", 5s));
    // Whatever else comes (further notices, the read's reply) shows nothing more.
    ASSERT_TRUE(Until([&] { return !AppTaskGate().Running() && session().Queue().Pending() == 0; }));
    EXPECT_EQ(page()->ReceivedText().count("read back"), 1);
}

TEST_F(TcpIpPage, NetworkDeactivationResetsThePage)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Click("1112"));
    ASSERT_EQ(theApp.m_bTcpContextActive.load(), 1);
    InjectLine("+JIURC: \"PDPdeact\",0");
    EXPECT_TRUE(Until([&] { return theApp.m_bTcpContextActive.load() == 0; }, 10000));
    EXPECT_TRUE(Child<QPushButton>("1112")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>("1159")->isEnabled());
}

TEST_F(TcpIpPage, GsmEchoGuideThenEchoModeSendsCrLfAndHidesTheBanner)
{
    Begin(sim::Family::Gsm);
    ASSERT_TRUE(Click("1112"));
    ASSERT_EQ(theApp.m_bTcpContextActive.load(), 1);
    // The user goes through the guide: Next until the last step, then Exit.
    QStringList titles;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* guide = qobject_cast<CEchoShowDlg*>(QApplication::activeModalWidget());
        if (!guide)
            return;
        if (titles.isEmpty() || titles.last() != guide->Title())
            titles << guide->Title();
        if (guide->Counter() >= 3 && guide->ExitButton()->isEnabled())
            guide->ExitButton()->click();
        else if (guide->NextButton()->isEnabled())
            guide->NextButton()->click();
    });
    driver.start(20);
    Child<QCheckBox>("1103")->click(); // returns once the guide is closed
    driver.stop();
    EXPECT_EQ(titles, QStringList({"Step 1", "Step 2", "Step 3", "Step 4"}));
    EXPECT_TRUE(Child<QCheckBox>("1103")->isChecked());
    EXPECT_TRUE(page()->EchoMode());
    EXPECT_EQ(server.Received(), "$ECHO&IMEI=356938035643809\r\n");
    EXPECT_EQ(Child<QPushButton>("1159")->text(), "Close");
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('|').toStdString();

    Child<QPushButton>("1047")->click();
    Child<QTextEdit>("1158")->setPlainText("after the guide");
    ASSERT_TRUE(Click("1160"));
    ASSERT_TRUE(Until([&] { return server.Received().find("after the guide\r\n") != std::string::npos; }));
    ASSERT_TRUE(Until([&] { return page()->ReceivedText().contains("after the guide"); }));
    EXPECT_FALSE(page()->ReceivedText().contains("MORVANE"));
    EXPECT_TRUE(page()->ReceivedText().trimmed().endsWith(": after the guide"));
}

TEST_F(TcpIpPage, LeavingTheGuideEarlyUnchecksEchoShow)
{
    Begin(sim::Family::Umts);
    ASSERT_TRUE(Click("1112"));
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (auto* guide = qobject_cast<CEchoShowDlg*>(QApplication::activeModalWidget()))
            guide->ExitButton()->click();
    });
    driver.start(20);
    Child<QCheckBox>("1103")->click();
    driver.stop();
    EXPECT_FALSE(Child<QCheckBox>("1103")->isChecked());
    EXPECT_FALSE(page()->EchoMode());
}

TEST_F(TcpIpPage, SettingsAreSavedAndTheEchoServerIsPresetAtLoad)
{
    Begin(sim::Family::Umts);
    Child<QLineEdit>("1169")->setText("my.apn");
    Child<QLineEdit>("1154")->setText("10.20.30.40");
    Child<QLineEdit>("1165")->setText("1234");
    page()->SaveSettings();
    const QString path = theApp.m_strParamDir + "/param_tcpip.ini";
    EXPECT_EQ(IniGetString(path, "APN", "apnname"), "my.apn");
    EXPECT_EQ(IniGetString(path, "TCPIP", "data_2"), "20");
    EXPECT_EQ(IniGetString(path, "PORTNUMBER", "server"), "1234");
    EXPECT_EQ(IniGetString(path, "APN", "MCC", "none"), "none") << "no network codes known";
    page()->LoadSettings();
    EXPECT_EQ(Child<QLineEdit>("1169")->text(), "my.apn");
    EXPECT_EQ(Child<QLineEdit>("1154")->text(), kEchoServerAddress);
    EXPECT_EQ(Child<QLineEdit>("1165")->text(), kEchoServerPort);
}

TEST_F(TcpIpPage, TheSimsNetworkFillsTheApnOfBothDataPages)
{
    Begin(sim::Family::Umts);
    InstallShippedDatabases();
    // As the connection page's SIM worker does, off the UI thread.
    std::thread worker([this] { host->LookupRecommendedApn("001", "01"); });
    worker.join();
    EXPECT_TRUE(Until([&] { return Child<QLineEdit>("1169")->text() == "internet.test"; }));
    EXPECT_EQ(Child<QLineEdit>("1027")->text(), "benchuser");
    EXPECT_EQ(Child<QLineEdit>("1338")->text(), "bench01");
    EXPECT_TRUE(Until([&] { return host->PppPage()->ApnEdit()->text() == "internet.test"; }));
    EXPECT_EQ(host->PppPage()->UserEdit()->text(), "benchuser");
    EXPECT_EQ(host->PppPage()->PasswordEdit()->text(), "bench01");
}

TEST_F(TcpIpPage, HiddenFileImportJoinsTheLinesIntoTheSendBox)
{
    Begin(sim::Family::Umts);
    const QString good = test::TempHome() + "/import.txt";
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("first\r\nsecond\n\nthird");
    }
    const QString readOnly = test::TempHome() + "/import-ro.txt";
    QFile::remove(readOnly);
    QFile::copy(good, readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
    const struct {
        QString path;
        const char* sendBox;
    } cases[] = {
        {good, "firstsecondthird"},
        {readOnly, "firstsecondthird"},
        {test::TempHome() + "/no-such-file", ""},
        {QString(), "kept"}, // the dialog cancelled: nothing changes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Child<QTextEdit>("1158")->setPlainText("kept");
        page()->m_choosePath = [&c] { return c.path; };
        page()->findChild<QPushButton*>("1045")->click();
        EXPECT_EQ(Child<QTextEdit>("1158")->toPlainText(), c.sendBox);
    }
    // The template's tools are there and stay out of sight.
    for (const char* id : {"1045", "1163", "1164", "1166", "1162", "1035", "1342", "recommendApn"})
        EXPECT_FALSE(Child<QWidget>(id)->isVisible()) << id;
    auto* unlimited = Child<QCheckBox>("1163");
    EXPECT_TRUE(unlimited->isChecked());
    EXPECT_FALSE(Child<QLineEdit>("1164")->isEnabled());
    unlimited->click();
    EXPECT_TRUE(Child<QLineEdit>("1164")->isEnabled());
}

