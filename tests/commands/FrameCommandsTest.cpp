#include "sim/SimFixture.h"

#include "atlib/CApnListDlg.h"
#include "atlib/CAtcManageDlg.h"
#include "common/ShownMainFrame.h"
#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "pages/data/CDomainParseDlg.h"
#include "pages/module/CPduGenerateDlg.h"
#include "pages/module/CTextToHexDlg.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "pages/positioning/CTestitemDlg_position.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CommPortSettings.h"
#include "core/at/TerminalOutput.h"
#include "shell/CGuidanceDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CPortParamDlg.h"
#include "shell/CSysParamDlg.h"
#include "shell/CTerminalRichEdit.h"
#include "ui/maps/CWebBrowser2.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/FrameCommands.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CFlatComboBox.h"
#include "ui/maps/CWebBrowser2.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

using namespace ulv;

namespace {

constexpr unsigned kSaveLog = 32851, kSysParam = 32775, kPortParam = 32856, kSendPanel = 32839, kClearInfo = 32776,
                   kHexDisplay = 32837, kReloadAtLog = 32866, kGoogleMap = 32872, kBaiduMap = 32873,
                   kCalculator = 32788, kNotebook = 32789, kDeviceManager = 32790, kCommandLine = 32791,
                   kGuidance = 32867, kHelp = 57670;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class FrameCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedParams = g_sysParams;
        savedPort = g_commPortSettings;
        savedHooks = FrameCommands::DesktopHooks();
        theApp.m_nWidthMidView = 0; // nothing stored: the pages choose the width
        // Nothing here may block on a dialog or start a program.
        FrameCommands::Hooks& h = FrameCommands::DesktopHooks();
        h.saveLogPath = [](QWidget*, const QString&) { return QString(); };
        h.reloadLogPath = [](QWidget*) { return QString(); };
        h.runDialog = [](QDialog&) { return int(QDialog::Rejected); };
        h.startProgram = [](const QString&) { return false; };
        g_sysParams.showtime = 0;
        g_sysParams.showCRLF = 0;
        g_sysParams.savelog = 0;
    }
    void TearDown() override
    {
        frame.reset();
        qunsetenv("ULV_NO_WEBENGINE");
        FrameCommands::DesktopHooks() = savedHooks;
        g_sysParams = savedParams;
        g_commPortSettings = savedPort;
        g_nModuleType = 0;
    }
    CMainFrame& MakeFrame(int moduleType)
    {
        frame = test::MakeShownMainFrame(moduleType);
        return *frame;
    }
    void Trigger(unsigned id) { frame->CommandAction(id)->trigger(); }
    CTestView2& Terminal() { return *frame->TestView2(); }
    QByteArray Shown()
    {
        Terminal().FlushPending();
        return Terminal().TerminalText();
    }

    SysParams savedParams;
    CommPortSettings savedPort;
    FrameCommands::Hooks savedHooks;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(FrameCommandsTest, MapTypeIsWrittenAndAnnouncedOnlyWhenItChanges)
{
    // The announcement is seen in the map views; they need no browser engine.
    qputenv("ULV_NO_WEBENGINE", "1");
    MakeFrame(1);
    g_sysParams.UseGoogleMap = 0;
    CTestitemDlg_position* locator = frame->TestView1()->LocatorPage();
    CTestItemDlg_gnss* gnss = frame->TestView1()->GnssPage();
    // The locator's browsers, without a browser engine: which one shows is what
    // the announcement changes.
    qputenv("ULV_NO_WEBENGINE", "1");
    locator->NavigateMap(QString());
    qunsetenv("ULV_NO_WEBENGINE");
    ASSERT_NE(locator->FirstBrowser(), nullptr);
    const QString ini = SysParamIniPath();
    QFile::remove(ini);

    struct Views {
        QWidget* page;
        CWebBrowser2* first;
        CWebBrowser2* second;
    };
    const auto views = [&] {
        return std::vector<Views> { { locator, locator->FirstBrowser(), locator->SecondBrowser() },
            { gnss, gnss->FirstBrowser(), gnss->SecondBrowser() } };
    };
    struct Step {
        unsigned command;
        const char* stored; // what the file holds afterwards
        bool told;          // the pages heard of a change
        bool googleChecked;
    };
    const Step steps[] = {
        { kBaiduMap, "<none>", false, false }, // already the map type: nothing written, nobody told
        { kGoogleMap, "1", true, true },
        { kGoogleMap, "1", false, true },
        { kBaiduMap, "0", true, false },
    };
    for (const Step& s : steps) {
        // A page that is told shows the chosen provider's view again.
        for (const Views& v : views()) {
            for (CWebBrowser2* b : { v.first, v.second })
                if (b)
                    b->hide();
        }
        Trigger(s.command);
        SCOPED_TRACE(s.command);
        EXPECT_EQ(IniGetString(ini, "function", "GoogleMap", "<none>"), s.stored);
        for (const Views& v : views()) {
            if (!s.told) {
                for (CWebBrowser2* b : { v.first, v.second })
                    EXPECT_TRUE(!b || !b->isVisibleTo(v.page));
                continue;
            }
            ASSERT_NE(v.first, nullptr);
            ASSERT_NE(v.second, nullptr);
            EXPECT_EQ(v.first->isVisibleTo(v.page), s.googleChecked);
            EXPECT_EQ(v.second->isVisibleTo(v.page), !s.googleChecked);
        }
        EXPECT_EQ(g_sysParams.UseGoogleMap, s.googleChecked ? 1 : 0);
        EXPECT_EQ(frame->CommandAction(kGoogleMap)->isChecked(), s.googleChecked);
        EXPECT_EQ(frame->CommandAction(kBaiduMap)->isChecked(), !s.googleChecked);
    }
}

TEST_F(FrameCommandsTest, PortParametersRefusedWhileConnected)
{
    MakeFrame(0);
    MessageBoxRecorder boxes;
    int dialogs = 0;
    FrameCommands::DesktopHooks().runDialog = [&](QDialog&) { ++dialogs; return int(QDialog::Accepted); };
    frame->SetPaneText(2, QStringLiteral("/dev/ttyUSB0 115200"));
    Trigger(kPortParam);
    EXPECT_EQ(boxes.Texts(), QStringList{ "Please close the serial port before this operation!" });
    EXPECT_EQ(dialogs, 0);
}

class FrameCommandsWithModule : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        theApp.m_nWidthMidView = 0; // nothing stored: the pages choose the width
        savedHooks = FrameCommands::DesktopHooks();
    }
    void TearDown() override
    {
        FrameCommands::DesktopHooks() = savedHooks;
        sim::SimFixture::TearDown();
    }
    FrameCommands::Hooks savedHooks;
};

TEST_F(FrameCommandsWithModule, PortParametersWaitForThePortToClose)
{
    CMainFrame frame(0);
    ASSERT_TRUE(frame.Create());
    MessageBoxRecorder boxes;
    int dialogs = 0;
    FrameCommands::DesktopHooks().runDialog = [&](QDialog&) { ++dialogs; return int(QDialog::Rejected); };
    ASSERT_EQ(frame.TestView1()->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
    frame.CommandAction(kPortParam)->trigger();
    EXPECT_EQ(boxes.Texts(), QStringList{ "Please close the serial port before this operation!" });
    EXPECT_EQ(dialogs, 0);

    frame.TestView1()->CloseCommport();
    frame.CommandAction(kPortParam)->trigger();
    EXPECT_EQ(boxes.Count(), 1);
    EXPECT_EQ(dialogs, 1);
}

TEST_F(FrameCommandsTest, PortParametersCopiedBackOnlyOnOk)
{
    MakeFrame(0);
    MessageBoxRecorder boxes;
    g_commPortSettings = { "/dev/ttyS3", 9600, 8, 1, 0, 0 };
    const CommPortSettings chosen{ "/dev/ttyUSB1", 921600, 7, 2, 2, 1 };
    for (int result : { int(QDialog::Rejected), int(QDialog::Accepted) }) {
        SCOPED_TRACE(result);
        const CommPortSettings before = g_commPortSettings;
        FrameCommands::DesktopHooks().runDialog = [&](QDialog& dlg) {
            auto* port = qobject_cast<CPortParamDlg*>(&dlg);
            EXPECT_NE(port, nullptr);
            if (port) {
                EXPECT_EQ(port->m_settings, before);
                EXPECT_EQ(port->m_bPortSelectable, 1);
                port->m_settings = chosen;
            }
            return result;
        };
        Trigger(kPortParam);
        EXPECT_EQ(g_commPortSettings, result == QDialog::Accepted ? chosen : before);
    }
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(FrameCommandsTest, PortDialogChoiceReachesSettingsAndFile)
{
    MakeFrame(0);
    MessageBoxRecorder boxes;
    const auto previousLister = CPortParamDlg::SetPortLister([] { return QStringList{ "/dev/ttyS3", "/dev/ttyUSB1" }; });
    g_commPortSettings = { "/dev/ttyS3", 115200, 8, 1, 0, 0 };
    FrameCommands::DesktopHooks().runDialog = [&](QDialog& dlg) {
        auto* port = qobject_cast<CPortParamDlg*>(&dlg);
        if (!port)
            return int(QDialog::Rejected);
        port->show();
        port->m_comboBaud->setCurrentIndex(port->m_comboBaud->findText("9600"));
        port->accept();
        return port->result();
    };
    Trigger(kPortParam);
    CPortParamDlg::SetPortLister(previousLister);
    EXPECT_EQ(g_commPortSettings.port, "/dev/ttyS3");
    EXPECT_EQ(g_commPortSettings.baud, 9600);
    EXPECT_EQ(ReadCommPortSettings(CommPortIniPath()), g_commPortSettings);
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(FrameCommandsTest, HexDisplayFlipsTerminalAndKeepsMarksInStep)
{
    MakeFrame(1);
    WriteOutputLine(kTerminalSent, QByteArray("AT\r\n"));
    WriteOutputLine(kTerminalReceived, QByteArray("OK\r\n"));
    const QByteArray text = Shown();
    ASSERT_EQ(text, "AT\r\nOK\r\n");

    Trigger(kHexDisplay);
    const QByteArray hex = Shown();
    EXPECT_TRUE(hex.startsWith("41 54 0d 0a")) << hex.constData();
    EXPECT_TRUE(hex.contains("4f 4b 0d 0a")) << hex.constData();
    EXPECT_EQ(Terminal().m_bHexMode.load(), 1);
    EXPECT_EQ(frame->TestView1()->m_bHexDisplay.load(), 1);
    EXPECT_TRUE(frame->CommandAction(kHexDisplay)->isChecked());

    Trigger(kHexDisplay);
    EXPECT_EQ(Shown(), text);
    EXPECT_EQ(Terminal().m_bHexMode.load(), 0);
    EXPECT_EQ(frame->TestView1()->m_bHexDisplay.load(), 0);
    EXPECT_FALSE(frame->CommandAction(kHexDisplay)->isChecked());
}

TEST_F(FrameCommandsTest, HexDisplayRefusedWhileATaskRuns)
{
    MakeFrame(0);
    MessageBoxRecorder boxes;
    WriteOutputLine(kTerminalSent, QByteArray("AT\r\n"));
    auto token = AppTaskGate().TryStart();
    ASSERT_TRUE(token.has_value());
    Trigger(kHexDisplay);
    EXPECT_EQ(boxes.Texts(), QStringList{ "The current program is running, please wait for it finished!" });
    EXPECT_EQ(Shown(), "AT\r\n");
    EXPECT_EQ(Terminal().m_bHexMode.load(), 0);
    // The click toggled the item; the refusal puts the mark back.
    EXPECT_FALSE(frame->CommandAction(kHexDisplay)->isChecked());
}

TEST_F(FrameCommandsTest, SaveLogProposesTimedNameAndWritesTerminal)
{
    EXPECT_EQ(FrameCommands::LogFileName(QTime(14, 30, 5)), "log143005.txt");
    EXPECT_EQ(FrameCommands::LogFileName(QTime(0, 0, 0)), "log000000.txt");

    MakeFrame(0);
    WriteOutputLine(kTerminalSent, QByteArray("AT+CSQ\r\n"));
    WriteOutputLine(kTerminalReceived, QByteArray("+CSQ: 20,99\r\n\r\nOK\r\n"));
    const QString target = QDir(test::TempHome()).filePath("saved.txt");
    QFile::remove(target);
    QString proposed;
    FrameCommands::DesktopHooks().saveLogPath = [&](QWidget*, const QString& p) {
        proposed = p;
        return QString();
    };
    Trigger(kSaveLog);
    EXPECT_TRUE(QRegularExpression("/log\\d{6}\\.txt$").match(proposed).hasMatch()) << proposed.toStdString();
    EXPECT_FALSE(QFile::exists(target));

    MessageBoxRecorder boxes;
    FrameCommands::DesktopHooks().saveLogPath = [&](QWidget*, const QString&) { return target; };
    Trigger(kSaveLog);
    EXPECT_EQ(ReadAll(target), "AT+CSQ\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
    EXPECT_EQ(boxes.Count(), 0);

    // A file that cannot be written is said so, not passed over.
    FrameCommands::DesktopHooks().saveLogPath = [&](QWidget*, const QString&) { return target + "/missing/log.txt"; };
    Trigger(kSaveLog);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Texts()[0].startsWith("Cannot write the file")) << boxes.Texts()[0].toStdString();
}

TEST_F(FrameCommandsTest, ReloadedLineKinds)
{
    struct Case {
        const char* line;
        int kind;
    };
    const Case cases[] = {
        { "[2026-12-10 14:30:05:123_S:] AT+CSQ\r\n", kTerminalSent },
        { "[2026-12-10 14:30:05:180_R:] +CSQ: 20,99\r\n", kTerminalReceived },
        { "[2026-12-10 14:30:06:001_R:] +CMGS: 5\r\n", kTerminalReceived },
        { "/* Module identified */\r\n", kTerminalSent },
        { "[2026-12-10 14:30:06:001_R:] /* note */\r\n", kTerminalSent },
        { "AT+COPS?\r\n", kTerminalReceived },
        { "SMS ready\r\n", kTerminalReceived },
        { "\r\n", kTerminalReceived },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameCommands::ReloadedLineKind(c.line), c.kind) << c.line;
}

TEST_F(FrameCommandsTest, ReloadShowsEachLineOnceAndRestoresShowTime)
{
    MakeFrame(0);
    const QByteArray saved = "[2026-12-10 14:30:05:123_S:] AT+CSQ\r\n"
                             "[2026-12-10 14:30:05:180_R:] +CSQ: 20,99\r\n"
                             "/* Module identified */\r\n"
                             "[2026-12-10 14:30:05:190_R:] "
        + QByteArray(700, 'x') + "\r\n";
    const QString path = QDir(test::TempHome()).filePath("at.txt");
    WriteFile(path, saved);
    FrameCommands::DesktopHooks().reloadLogPath = [&](QWidget*) { return path; };
    for (int showTime : { 1, 0 }) {
        SCOPED_TRACE(showTime);
        Trigger(kClearInfo);
        g_sysParams.showtime = showTime;
        Trigger(kReloadAtLog);
        EXPECT_EQ(Shown(), saved);
        EXPECT_EQ(g_sysParams.showtime, showTime);
    }
}

TEST_F(FrameCommandsTest, ReloadColoursLinesAsSentOrReceived)
{
    g_sysParams.SetSentColor(0x0000FF);     // red
    g_sysParams.SetReceivedColor(0xFF0000); // blue
    MakeFrame(0);
    const QString path = QDir(test::TempHome()).filePath("kinds.txt");
    WriteFile(path, "[2026-12-10 14:30:05:123_S:] AT+CMGS=5\r\n"
                    "[2026-12-10 14:30:05:180_R:] +CMGS: 5\r\n"
                    "/* Message sent */\r\n"
                    "RING\r\n");
    FrameCommands::DesktopHooks().reloadLogPath = [&](QWidget*) { return path; };
    Trigger(kReloadAtLog);
    Terminal().FlushPending();

    const QColor sent(255, 0, 0), received(0, 0, 255);
    const QColor expected[] = { sent, received, sent, received };
    QTextDocument* doc = Terminal().Terminal()->document();
    ASSERT_GE(doc->blockCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const QTextBlock block = doc->findBlockByNumber(i);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(cursor.charFormat().foreground().color().rgb(), expected[i].rgb()) << block.text().toStdString();
    }
}

TEST_F(FrameCommandsTest, ReloadOfUnreadableFileChangesNothing)
{
    MakeFrame(0);
    MessageBoxRecorder boxes;
    // A folder passes for an existing name but cannot be read as a file.
    const QString path = QDir(test::TempHome()).filePath("folder.txt");
    ASSERT_TRUE(QDir().mkpath(path));
    FrameCommands::DesktopHooks().reloadLogPath = [&](QWidget*) { return path; };
    g_sysParams.showtime = 1;
    Trigger(kReloadAtLog);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(g_sysParams.showtime, 1);
    EXPECT_EQ(boxes.Count(), 1);
}

TEST_F(FrameCommandsTest, ClearInformationEmptiesTerminal)
{
    MakeFrame(0);
    WriteOutputLine(kTerminalReceived, QByteArray("RING\r\n"));
    ASSERT_FALSE(Shown().isEmpty());
    Trigger(kClearInfo);
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(Terminal().Terminal()->toPlainText().isEmpty());
}

TEST_F(FrameCommandsTest, SendPanelToggleFollowsPanel)
{
    MakeFrame(0);
    const bool initial = Terminal().SendPanelVisible();
    for (bool expected : { !initial, initial }) {
        Trigger(kSendPanel);
        EXPECT_EQ(Terminal().SendPanelVisible(), expected);
        EXPECT_EQ(frame->CommandAction(kSendPanel)->isChecked(), expected);
    }
}

TEST_F(FrameCommandsTest, SystemParametersRecolourTerminalAndChooseLogAfterSave)
{
    MakeFrame(0);
    const QString logFolder = QDir(test::TempHome()).filePath("logs");
    QDir().mkpath(logFolder);
    FrameCommands::DesktopHooks().runDialog = [&](QDialog& dlg) {
        auto* params = qobject_cast<CSysParamDlg*>(&dlg);
        EXPECT_NE(params, nullptr);
        g_sysParams.SetBackgroundColor(0x00302010); // red 0x10, green 0x20, blue 0x30
        g_sysParams.savelog = 1;
        g_sysParams.logpath = logFolder;
        if (params)
            Q_EMIT params->ParametersSaved();
        return int(QDialog::Rejected);
    };
    Trigger(kSysParam);
    EXPECT_EQ(Terminal().Terminal()->palette().color(QPalette::Base).rgb(), QColor(0x10, 0x20, 0x30).rgb());
    EXPECT_TRUE(Terminal().Log().Path().startsWith(logFolder)) << Terminal().Log().Path().toStdString();
}

TEST_F(FrameCommandsTest, GuideOpensInMenuModeForTheFamily)
{
    for (int moduleType : { 0, 1 }) {
        SCOPED_TRACE(moduleType);
        MakeFrame(moduleType);
        int startupMode = -1, presetType = -1;
        FrameCommands::DesktopHooks().runDialog = [&](QDialog& dlg) {
            if (auto* guide = qobject_cast<CGuidanceDlg*>(&dlg)) {
                startupMode = guide->m_bStartupMode;
                presetType = guide->m_nModuleType;
            }
            return int(QDialog::Accepted);
        };
        Trigger(kGuidance);
        EXPECT_EQ(startupMode, 0);
        EXPECT_EQ(presetType, moduleType);
    }
}

TEST_F(FrameCommandsTest, ToolAndSettingItemsOpenTheirDialogs)
{
    MakeFrame(1);
    QString opened;
    int fromMenu = -1;
    FrameCommands::DesktopHooks().runDialog = [&](QDialog& dlg) {
        opened = QString::fromLatin1(dlg.metaObject()->className());
        if (auto* hex = qobject_cast<CTextToHexDlg*>(&dlg))
            fromMenu = hex->m_bFromMenu;
        // Really shown, then closed as Escape would.
        QTimer::singleShot(30, &dlg, &QDialog::reject);
        return dlg.exec();
    };
    const struct {
        unsigned command;
        const char* dialog;
    } cases[] = {
        { 32805, "ulv::CAtcManageDlg" },   { 32868, "ulv::CApnListDlg" },
        { 32835, "ulv::CDomainParseDlg" }, { 32863, "ulv::CTextToHexDlg" },
        { 32864, "ulv::CPduGenerateDlg" },
    };
    for (const auto& c : cases) {
        opened.clear();
        Trigger(c.command);
        EXPECT_EQ(opened, QString::fromLatin1(c.dialog)) << c.command;
    }
    // From the menu the hex tool stands alone: both codings, nothing to append to.
    EXPECT_EQ(fromMenu, 1);
}

TEST_F(FrameCommandsTest, HelpContextsAndPages)
{
    struct Case {
        int moduleType;
        int page;
        int context;
        const char* file;
    };
    const Case cases[] = {
        { 1, 0, 1001, "home" },
        { 1, 2, 1003, "mms" },
        { 1, 8, 1009, "atcommand" },
        { 1, 9, 1010, "wexo" },
        { 1, 10, 1001, "home" },
        { 0, 2, 1003, "voice" },
        { 0, 6, 1007, "atcommand" },
        { 0, 7, 1008, "wexo" },
        { 0, 8, 1001, "home" },
        { 0, -1, 1001, "home" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.moduleType << "/" << c.page);
        const int context = FrameCommands::HelpContext(c.moduleType, c.page);
        EXPECT_EQ(context, c.context);
        const QUrl page = FrameCommands::HelpPage(c.moduleType, context);
        EXPECT_EQ(page.toString(), QStringLiteral("qrc:/help/%1.html").arg(c.file));
    }
}

TEST_F(FrameCommandsTest, HelpShowsThePageOnShow)
{
    MakeFrame(1);
    Trigger(kHelp);
    QTextBrowser* help = frame->Commands()->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->source().toString(), "qrc:/help/home.html");
    EXPECT_TRUE(help->toPlainText().contains("Home page")) << help->toPlainText().toStdString();
}

TEST_F(FrameCommandsTest, EscapeClosesTheHelpWindowAndHelpOpensItAgain)
{
    MakeFrame(0);
    for (int round = 0; round < 2; ++round) {
        Trigger(kHelp);
        QPointer<QTextBrowser> help = frame->Commands()->HelpWindow();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(help->isVisible());
        // Other keys leave it open.
        QTest::keyClick(help, Qt::Key_Down);
        EXPECT_TRUE(help->isVisible());
        QTest::keyClick(help, Qt::Key_Escape);
        EXPECT_TRUE(test::RunEventsUntil([&] { return help.isNull() || !help->isVisible(); }, 10000));
    }
}

TEST_F(FrameCommandsTest, ToolsStartFirstInstalledCandidate)
{
    MakeFrame(0);
    EXPECT_FALSE(frame->CommandAction(kDeviceManager)->isEnabled());
    for (unsigned id : { kCalculator, kNotebook, kCommandLine }) {
        SCOPED_TRACE(id);
        const QStringList candidates = FrameCommands::ToolCandidates(id);
        ASSERT_GE(candidates.size(), 2);
        QStringList tried;
        // None installed: each tried once, in order, and nothing is said.
        MessageBoxRecorder boxes;
        FrameCommands::DesktopHooks().startProgram = [&](const QString& p) { tried << p; return false; };
        Trigger(id);
        EXPECT_EQ(tried, candidates);
        EXPECT_EQ(boxes.Count(), 0);
        // The second one installed: the search ends there.
        tried.clear();
        FrameCommands::DesktopHooks().startProgram = [&](const QString& p) { tried << p; return p == candidates[1]; };
        Trigger(id);
        EXPECT_EQ(tried, candidates.mid(0, 2));
    }
}

} // namespace
