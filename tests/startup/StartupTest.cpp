#include "shell/AppStartup.h"
#include "common/TestEnv.h"
#include "platform/DataFolder.h"
#include "platform/MessageBox.h"
#include "platform/ProfileStore.h"
#include "platform/TempLog.h"
#include "serial/CommPortSettings.h"
#include "shell/CFlatSplitterWnd.h"
#include "shell/CGuidanceDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CPortParamDlg.h"
#include "shell/CTestView1.h"
#include "shell/DropDownComboBox.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "shell/core/WindowPlacement.h"
#include "ui/controls/CFontButton.h"
#include "ui/controls/CSkinButton.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

using test::ReadAll;

void WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(path.section('/', 0, -2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// Drives the start's dialogs the way a user would, and records what was shown.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A first start: nothing in the data folder, nothing in the profile.
        QDir(DataFolder()).removeRecursively();
        QSettings("Ulvenscope", "Ulvenscope").clear();
        QSettings("Ulvenscope", "Ulvenscope").sync();
        g_nModuleType = 0;
        g_sysParams = SysParams{};
        g_commPortSettings = CommPortSettings{};
        SetStartupPort({});
        previousLister = CPortParamDlg::SetPortLister([] { return QStringList({"/dev/ttyUSB2", "/dev/ttyS0"}); });
        previousRunner = SetStartupDialogRunner([this](QDialog& d) { return Run(d); });
    }
    void TearDown() override
    {
        DestroyAppMainWindow();
        SetStartupDialogRunner(previousRunner);
        CPortParamDlg::SetPortLister(previousLister);
        SetStartupPort({});
    }

    int Run(QDialog& d)
    {
        d.show();
        mainWindowDuringDialogs = mainWindowDuringDialogs || AppMainWindow() != nullptr;
        if (auto* guide = qobject_cast<CGuidanceDlg*>(&d)) {
            shown << "guide";
            guidePreset = guide->m_nModuleType;
            guideMode = guide->m_bStartupMode;
            if (onGuide)
                return onGuide(*guide);
            for (int i = 0; i < 5; ++i)
                guide->OnNext();
            QTest::mouseClick(guide->m_btnStart, Qt::LeftButton);
            return guide->result();
        }
        if (auto* ports = qobject_cast<CPortParamDlg*>(&d)) {
            shown << "port";
            if (onPorts)
                return onPorts(*ports);
            ports->m_comboPort->setCurrentText("/dev/ttyUSB2");
            QTest::mouseClick(ports->m_btnOk, Qt::LeftButton);
            return ports->result();
        }
        shown << d.metaObject()->className();
        return QDialog::Rejected;
    }

    QStringList shown;
    int guidePreset = -1;
    int guideMode = -1;
    bool mainWindowDuringDialogs = false;
    std::function<int(CGuidanceDlg&)> onGuide;
    std::function<int(CPortParamDlg&)> onPorts;
    CPortParamDlg::PortLister previousLister;
    DialogRunner previousRunner;
    MessageBoxRecorder boxes;
};

} // namespace

TEST_F(StartupTest, FirstStartShowsTheGuideThenThePortDialogThenTheMainWindow)
{
    ASSERT_FALSE(QDir(DataFolder() + "/param").exists());
    ASSERT_TRUE(theApp.InitInstance());

    EXPECT_EQ(shown, QStringList({"guide", "port"}));
    EXPECT_EQ(guidePreset, 0);
    EXPECT_EQ(guideMode, 1);
    EXPECT_FALSE(mainWindowDuringDialogs);
    EXPECT_TRUE(QDir(DataFolder() + "/param").exists());
    EXPECT_TRUE(QFile::exists(TempLog::Path()));
    EXPECT_EQ(theApp.m_strGoogleMapFile, DataFolder() + "/morvane_google.html");
    EXPECT_EQ(theApp.m_strBaiduMapFile, DataFolder() + "/morvane_baidu.html");
    const QByteArray google = ReadAll(theApp.m_strGoogleMapFile);
    for (const char* fn : {"function ggetposition(", "function ggetzoom(", "function ggetMapTypeId("})
        EXPECT_TRUE(google.contains(fn)) << fn;
    EXPECT_FALSE(google.contains("function addMark("));
    const QByteArray baidu = ReadAll(theApp.m_strBaiduMapFile);
    for (const char* fn : {"function ggetposition(", "function addMark("})
        EXPECT_TRUE(baidu.contains(fn)) << fn;

    EXPECT_EQ(g_commPortSettings.port, "/dev/ttyUSB2");
    EXPECT_EQ(ReadCommPortSettings(CommPortIniPath()).port, "/dev/ttyUSB2");
    EXPECT_EQ(g_sysParams, SysParams{});
    // Nothing stored: the pane is as wide as the family's widest page needs.
    ASSERT_NE(g_pTestView1, nullptr);
    EXPECT_EQ(theApp.m_nWidthMidView.load(), g_pTestView1->NeededWidth());
    EXPECT_EQ(theApp.m_strNmeaFilter, "NMEA");
    EXPECT_EQ(theApp.m_strAtcDbPath, DataFolder() + "/param/ATC.db");
    EXPECT_EQ(theApp.m_strApnDbPath, DataFolder() + "/param/APN.db");
    for (const char* db : {"ATC.db", "ATC_RX70.db", "APN.db"})
        EXPECT_GT(QFileInfo(DataFolder() + "/param/" + db).size(), 0) << db;
    EXPECT_EQ(theApp.m_bModuleConnected.load(), 0);

    QMainWindow* window = AppMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Ulvenscope_V1.4");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(boxes.Texts().isEmpty());

    theApp.ExitInstance();
    EXPECT_EQ(ProfileStore::GetInt("sysparam", "moduletype", -1), 0);
}

TEST_F(StartupTest, TheGuidesChoiceSurvivesEscapeAndAPortDialogCancel)
{
    onGuide = [](CGuidanceDlg& g) {
        g.OnNext();
        QTest::mouseClick(g.m_btnUmts, Qt::LeftButton);
        QTest::keyClick(&g, Qt::Key_Escape);
        return g.result();
    };
    onPorts = [](CPortParamDlg& p) {
        QTest::mouseClick(p.m_btnCancel, Qt::LeftButton);
        return p.result();
    };
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(shown, QStringList({"guide", "port"}));
    EXPECT_EQ(AppMainWindow(), nullptr);
    EXPECT_EQ(GetModuleType(), 1);
    EXPECT_EQ(theApp.m_strAtcDbPath, DataFolder() + "/param/ATC_RX70.db");
    EXPECT_EQ(theApp.m_strApnDbPath, DataFolder() + "/param/APN.db");
    EXPECT_FALSE(QFile::exists(CommPortIniPath()));
    // The user is told why the program goes.
    EXPECT_EQ(boxes.Texts(), QStringList { QString::fromLatin1(kNoPortChosenText) });

    theApp.ExitInstance();
    EXPECT_EQ(ProfileStore::GetInt("sysparam", "moduletype", -1), 1);

    // The next start presets the guide with it.
    shown.clear();
    onGuide = nullptr;
    onPorts = nullptr;
    g_nModuleType = 0;
    ASSERT_TRUE(theApp.InitInstance());
    EXPECT_EQ(guidePreset, 1);
    EXPECT_EQ(GetModuleType(), 1);
}

TEST_F(StartupTest, AStoredPortSkipsThePortDialog)
{
    const std::pair<const char*, bool> cases[] = {
        {"[commport]\nport=/dev/ttyS0\n", false},
        {"[commport]\nport=-1\n", true},
        {"[commport]\nport=\n", true},
    };
    for (const auto& [file, dialog] : cases) {
        WriteFile(CommPortIniPath(), file);
        shown.clear();
        ASSERT_TRUE(theApp.InitInstance()) << file;
        EXPECT_EQ(shown.contains("port"), dialog) << file;
        DestroyAppMainWindow();
    }
}

TEST_F(StartupTest, APortGivenForTheRunNeedsNoDialogAndIsNotStored)
{
    SetStartupPort("/tmp/ulvenscope-sim-gsm");
    ASSERT_TRUE(theApp.InitInstance());
    EXPECT_EQ(shown, QStringList({"guide"}));
    EXPECT_EQ(g_commPortSettings.port, "/tmp/ulvenscope-sim-gsm");
    EXPECT_FALSE(QFile::exists(CommPortIniPath()));
}

TEST_F(StartupTest, MapPagesAreRewrittenAndAnUnwritableOneDoesNotStopTheStart)
{
    WriteFile(DataFolder() + "/morvane_google.html", "edited by hand");
    QDir().mkpath(DataFolder() + "/morvane_baidu.html"); // a folder in the way
    ASSERT_TRUE(theApp.InitInstance());
    const QByteArray google = ReadAll(DataFolder() + "/morvane_google.html");
    EXPECT_NE(google, "edited by hand");
    EXPECT_TRUE(google.contains("function ggetposition("));
    EXPECT_NE(AppMainWindow(), nullptr);
    EXPECT_TRUE(ReadAll(TempLog::Path()).contains("morvane_baidu.html"));
}

TEST_F(StartupTest, TheWindowIsCentredAtTheStoredSize)
{
    WriteFile(DataFolder() + "/param/sysparam.ini", "[sysparam]\nnwidth=1200\nnheight=780\n");
    ASSERT_TRUE(theApp.InitInstance());
    QMainWindow* window = AppMainWindow();
    ASSERT_NE(window, nullptr);
    const QRect expected = PlaceMainWindow(QGuiApplication::primaryScreen()->availableGeometry(), 1200, 780);
    // The place is the whole window's, its frame included; the window is
    // never narrower than its smallest width.
    const int frameWidth = window->frameGeometry().width() - window->width();
    EXPECT_EQ(window->frameGeometry().topLeft(), expected.topLeft());
    EXPECT_EQ(window->frameGeometry().height(), expected.height());
    EXPECT_EQ(window->width(), std::max(kMainWindowMinWidth, expected.width() - frameWidth));
    EXPECT_FALSE(window->isMaximized());
}

TEST_F(StartupTest, ExtremeSizesInTheFileStartAtASaneSize)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const char* files[] = {
        "[sysparam]\nnwidth=2147483647\nnheight=2147483647\nwidth_midview=-2147483648\n",
        "[sysparam]\nnwidth=-2147483648\nnheight=99999999999\nwidth_midview=2147483647\n",
    };
    for (const char* file : files) {
        WriteFile(DataFolder() + "/param/sysparam.ini", file);
        ASSERT_TRUE(theApp.InitInstance()) << file;
        auto* frame = qobject_cast<CMainFrame*>(AppMainWindow());
        ASSERT_NE(frame, nullptr) << file;
        const QSize size = frame->size();
        EXPECT_LE(size.width(), std::max(screen.width(), kMainWindowMinWidth)) << file;
        EXPECT_LE(size.height(), std::max(screen.height(), kMainWindowMinHeight)) << file;
        EXPECT_GE(size.width(), kMainWindowMinWidth) << file;
        EXPECT_GE(size.height(), kMainWindowMinHeight) << file;
        ASSERT_NE(frame->Splitter(), nullptr);
        const QList<int> panes = frame->Splitter()->sizes();
        ASSERT_EQ(panes.size(), 3) << file;
        for (int pane : panes) {
            EXPECT_GE(pane, 0) << file;
            EXPECT_LE(pane, size.width()) << file;
        }
        EXPECT_GE(theApp.m_nWidthMidView.load(), 0) << file;
        EXPECT_LE(theApp.m_nWidthMidView.load(), kMaxStoredSize) << file;
        DestroyAppMainWindow();
    }
}

TEST_F(StartupTest, ShowMaximizedStartsMaximised)
{
    WriteFile(DataFolder() + "/param/sysparam.ini", "[sysparam]\nshowmaximized=1\n");
    ASSERT_TRUE(theApp.InitInstance());
    ASSERT_NE(AppMainWindow(), nullptr);
    EXPECT_TRUE(AppMainWindow()->windowState() & Qt::WindowMaximized);
}
