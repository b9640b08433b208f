#include "common/EventLoopWait.h"
#include "sim/SimFixture.h"

#include "common/ShownMainFrame.h"
#include "common/TestEnv.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CFlatSplitterWnd.h"
#include "shell/CMainFrame.h"
#include "shell/COutbarView.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/FrameStatusBar.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "ui/chrome/CCommandReBar.h"
#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/COutlookBar.h"
#include "ui/chrome/CPagerCtrl.h"
#include "ui/controls/CLogFileEdit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

void Pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(5ms);
    }
}

std::unique_ptr<CMainFrame> MakeFrame(int moduleType)
{
    return test::MakeShownMainFrame(moduleType);
}

QStringList Texts(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class MainFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = g_sysParams;
        theApp.m_nWidthMidView = 0; // nothing stored: the pages choose the width
        theApp.m_bWidthMidViewChanged = 0;
    }
    void TearDown() override
    {
        theApp.m_bLocatorContextActive = 0;
        theApp.m_bTcpContextActive = 0;
        theApp.PppLinkUp = 0;
        g_sysParams = saved;
        g_nModuleType = 0;
    }
    SysParams saved;
};

} // namespace

TEST_F(MainFrame, MenusFollowTheModuleFamily)
{
    struct Case {
        int moduleType;
        QStringList view;
        QString pane0;
    };
    const Case cases[] = {
        { 1,
            { "Show &Home page", "Show &SMS page", "Show &MMS page", "Show &Voice Call page", "Show &TCP/UDP page",
                "Show &PPP page", "Show Morv&Locator page", "Show &GNSS page", "Show &AT Command page",
                "Show &WEXO page" },
            "Ulvenscope_UMTS/HSPA" },
        { 0,
            { "Show &Home page", "Show &SMS page", "Show &Voice Call page", "Show &TCP/UDP page", "Show &PPP page",
                "Show Morv&Locator page", "Show &AT Command page", "Show &WEXO page" },
            "Ulvenscope_GSM" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moduleType);
        auto frame = MakeFrame(c.moduleType);
        const std::vector<QMenu*> menu = frame->CommandReBar()->MenuBar()->GetMenu();
        ASSERT_EQ(menu.size(), 5u);
        QStringList titles;
        for (QMenu* m : menu)
            titles << m->title();
        EXPECT_EQ(titles, QStringList({ "&File", "&Setting", "&Tool", "&View", "&Help" }));
        EXPECT_EQ(Texts(menu[3]), c.view);
        const QStringList setting = Texts(menu[1]);
        ASSERT_EQ(setting.size(), 9);
        EXPECT_EQ(setting.last(), QStringLiteral("&Map type"));
        QMenu* mapType = menu[1]->actions().last()->menu();
        ASSERT_NE(mapType, nullptr);
        EXPECT_EQ(Texts(mapType), QStringList({ "Google Map", "Baidu Map" }));
        EXPECT_EQ(frame->PaneText(0), c.pane0);
        EXPECT_EQ(Texts(menu[0]), QStringList({ "Save &Setting", "Save &Log", "-", "E&xit" }));
        EXPECT_EQ(Texts(menu[4]), QStringList({ "&Guidance", "Help" }));
    }
}

TEST_F(MainFrame, PageTableOfEachFamily)
{
    const PageIndexTable umts = PageIndexTable::ForModuleType(1);
    const PageIndexTable gsm = PageIndexTable::ForModuleType(0);
    EXPECT_EQ(umts.index, (std::array<int, 10> { 0, 1, 2, 3, 4, 5, 8, 6, 7, 9 }));
    EXPECT_EQ(gsm.index, (std::array<int, 10> { 0, 1, -1, 2, 3, 4, 6, 5, -1, 7 }));
    EXPECT_EQ(gsm.KeyOf(-1), kPageKeyCount);
    EXPECT_EQ(gsm.KeyOf(6), kPageAtCommand);
    EXPECT_EQ(PageIndexTable().index, (std::array<int, 10> { -1, -1, -1, -1, -1, -1, -1, -1, -1, -1 }));
}

TEST_F(MainFrame, StatusBarPanesLogBoxAndClock)
{
    auto frame = MakeFrame(0);
    FrameStatusBar* bar = frame->StatusBar();
    EXPECT_EQ(frame->PaneText(3), QStringLiteral(" DSR[0] CTS[0] RI[0] DCD[0]"));
    EXPECT_EQ(frame->PaneText(2), QString());
    const int widths[] = { 250, 170, 180, 120 };
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(bar->PaneRect(i).width(), widths[i - 1]) << i;
    EXPECT_EQ(bar->PaneRect(4).right(), bar->width() - 1);
    EXPECT_GT(bar->PaneRect(0).width(), 300);
    EXPECT_EQ(frame->LogBox()->geometry(), bar->PaneRect(1).adjusted(1, 1, -1, -1));
    EXPECT_TRUE(frame->LogBox()->isReadOnly());
    EXPECT_EQ(frame->LogBox()->text(), QString()); // savelog off

    // The page host's modem-line pane is pane 3.
    ASSERT_TRUE(frame->TestView1()->m_statusLinePane);
    frame->TestView1()->m_statusLinePane(QStringLiteral(" DSR[1] CTS[1] RI[0] DCD[0]"));
    EXPECT_EQ(frame->PaneText(3), QStringLiteral(" DSR[1] CTS[1] RI[0] DCD[0]"));

    EXPECT_EQ(CMainFrame::ClockText(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))), "2026-01-02 03:04:05");
    EXPECT_EQ(frame->PaneText(4), QString());
    ASSERT_TRUE(ulv::test::RunEventsUntil([&] { return !frame->PaneText(4).isEmpty(); }, 20000));
    const QString clock = frame->PaneText(4);
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(clock).hasMatch())
        << clock.toStdString();
    const QDateTime shown = QDateTime::fromString(clock, "yyyy-MM-dd HH:mm:ss");
    EXPECT_LE(std::abs(shown.secsTo(QDateTime::currentDateTime())), 2);
    EXPECT_EQ(frame->StatusBar()->BkColor(), 0xCDCDCDu);
}

TEST_F(MainFrame, TheClockRestsWhileTheWindowIsMinimisedOrHidden)
{
    auto frame = MakeFrame(0);
    ASSERT_TRUE(frame->ClockRunning());
    frame->showMinimized();
    EXPECT_FALSE(frame->ClockRunning());
    frame->SetPaneText(4, QString());
    // Back on screen it shows the time at once, not a second later.
    frame->showNormal();
    EXPECT_TRUE(frame->ClockRunning());
    EXPECT_FALSE(frame->PaneText(4).isEmpty());
    frame->hide();
    EXPECT_FALSE(frame->ClockRunning());
    frame->show();
    EXPECT_TRUE(frame->ClockRunning());
}

TEST_F(MainFrame, MenuPromptsShowInTheFirstPaneWhileTheyLast)
{
    auto frame = MakeFrame(0);
    QMenu* file = frame->CommandReBar()->MenuBar()->GetMenu()[0];
    file->popup(frame->mapToGlobal(QPoint(10, 40)));
    QApplication::processEvents();
    file->setActiveAction(file->actions()[3]); // E&xit
    QApplication::processEvents();
    EXPECT_EQ(frame->StatusBar()->ShownText(0), QStringLiteral("Exit from system"));
    EXPECT_EQ(frame->PaneText(0), QStringLiteral("Ulvenscope_GSM"));
    file->close();
    frame->statusBar()->clearMessage();
    EXPECT_EQ(frame->StatusBar()->ShownText(0), QStringLiteral("Ulvenscope_GSM"));
}

TEST_F(MainFrame, AltAndTheAccessKeyOpensThePopup)
{
    auto frame = MakeFrame(1);
    frame->activateWindow();
    QApplication::setActiveWindow(frame.get());
    QApplication::processEvents();
    QTest::keyClick(frame.get(), Qt::Key_V, Qt::AltModifier);
    QApplication::processEvents();
    QMenu* view = frame->CommandReBar()->MenuBar()->GetMenu()[3];
    EXPECT_TRUE(view->isVisible());
    view->close();
}

TEST_F(MainFrame, LogBoxShowsTheChosenLogFile)
{
    g_sysParams.savelog = 1;
    g_sysParams.logpath = test::TempHome() + "/frame-logs";
    QDir().mkpath(g_sysParams.logpath);
    g_sysParams.logname_prefix = "frametest";
    auto frame = MakeFrame(1);
    EXPECT_TRUE(frame->LogBox()->text().startsWith(" Log file: ")) << frame->LogBox()->text().toStdString();
}

TEST_F(MainFrame, SplitterWidthsAndSmallestWindow)
{
    auto frame = MakeFrame(1);
    CFlatSplitterWnd* splitter = frame->Splitter();
    EXPECT_EQ(splitter->handleWidth(), 4);
    QList<int> sizes = splitter->sizes();
    ASSERT_EQ(sizes.size(), 3);
    const int mid = theApp.m_nWidthMidView.load();
    EXPECT_EQ(mid, frame->TestView1()->NeededWidth());
    EXPECT_EQ(sizes[0], 107);
    EXPECT_EQ(sizes[1], mid);
    EXPECT_EQ(sizes[2], splitter->width() - 107 - mid - 8);

    frame->resize(1400, 900);
    QApplication::processEvents();
    sizes = splitter->sizes();
    EXPECT_EQ(sizes[0], 107);
    EXPECT_EQ(sizes[1], mid);

    EXPECT_EQ(frame->minimumSize(), QSize(1100, 740));
    frame->resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(frame->size(), QSize(1100, 740));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Ulvenscope_V1.4"));
}

TEST_F(MainFrame, FirstBarStaysAndANarrowPageHostComesBack)
{
    auto frame = MakeFrame(1);
    CFlatSplitterWnd* splitter = frame->Splitter();
    QSplitterHandle* first = splitter->handle(1);
    QSplitterHandle* second = splitter->handle(2);
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(first, QPoint(60, 100));
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(60, 100));
    QApplication::processEvents();
    EXPECT_EQ(splitter->sizes()[0], 107);
    EXPECT_TRUE(splitter->Pressed());

    // Drag the second bar 200 pixels left: the page host gets narrower...
    QTest::mousePress(second, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(second, QPoint(-198, 100));
    QTest::mouseRelease(second, Qt::LeftButton, {}, QPoint(-198, 100));
    QApplication::processEvents();
    const int mid = theApp.m_nWidthMidView.load();
    EXPECT_LT(splitter->sizes()[1], mid);
    // ...until the mouse passes over a bar left of the limit. (Two moves: a
    // move to where the pointer already is would be dropped.)
    QTest::mouseMove(splitter->handle(2), QPoint(1, 130));
    QTest::mouseMove(splitter->handle(2), QPoint(2, 120));
    QApplication::processEvents();
    EXPECT_EQ(splitter->sizes()[0], 107);
    EXPECT_EQ(splitter->sizes()[1], mid);
}

TEST_F(MainFrame, NavigationAndViewCommandsSwitchThePage)
{
    auto frame = MakeFrame(0);
    COutlookBar* bar = frame->OutbarView()->Bar();
    EXPECT_EQ(frame->TestView1()->CurrentPage(), 0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->ItemRect(6).center()); // "AT Command"
    QApplication::processEvents();
    EXPECT_EQ(frame->TestView1()->CurrentPage(), 6);

    frame->UpdatePageChecks();
    EXPECT_TRUE(frame->CommandAction(32847)->isChecked());
    EXPECT_FALSE(frame->CommandAction(32842)->isChecked());

    frame->CommandAction(32843)->trigger(); // Show SMS page
    EXPECT_EQ(frame->TestView1()->CurrentPage(), 1);
    EXPECT_TRUE(frame->CommandAction(32843)->isChecked());
    EXPECT_FALSE(frame->CommandAction(32847)->isChecked());

    // A refused switch leaves the mark on the page that stays.
    auto token = AppTaskGate().TryStart();
    ASSERT_TRUE(token.has_value());
    frame->CommandAction(32848)->trigger();
    EXPECT_EQ(frame->TestView1()->CurrentPage(), 1);
    EXPECT_FALSE(frame->CommandAction(32848)->isChecked());
    EXPECT_TRUE(frame->CommandAction(32843)->isChecked());
}

TEST_F(MainFrame, CloseIsRefusedWhileWorkIsUnderway)
{
    struct Case {
        std::function<void()> set;
        const char* message;
    };
    const Case cases[] = {
        { [] { theApp.m_bLocatorContextActive = 1; }, "Please exit after deacting the Morvlocator context!" },
        { [] { theApp.m_bTcpContextActive = 1; }, "Please exit after deacting the TCP/UDP context!" },
        { [] { theApp.PppLinkUp = 1; }, "Please exit after disconnecting the PPP dial!" },
    };
    auto frame = MakeFrame(1);
    {
        // The task comes first, whatever else is set.
        auto token = AppTaskGate().TryStart();
        theApp.PppLinkUp = 1;
        MessageBoxRecorder boxes(IDYES);
        EXPECT_FALSE(frame->close());
        EXPECT_EQ(boxes.Texts(), QStringList { "Program is running!" });
        EXPECT_TRUE(frame->isVisible());
        theApp.PppLinkUp = 0;
    }
    for (const Case& c : cases) {
        theApp.m_bLocatorContextActive = 0;
        theApp.m_bTcpContextActive = 0;
        theApp.PppLinkUp = 0;
        c.set();
        MessageBoxRecorder boxes(IDYES);
        EXPECT_FALSE(frame->close());
        EXPECT_EQ(boxes.Texts(), QStringList { QString::fromLatin1(c.message) });
        EXPECT_TRUE(frame->isVisible());
    }
    // A call that is up or ringing keeps the window too.
    theApp.m_bLocatorContextActive = 0;
    theApp.m_bTcpContextActive = 0;
    theApp.PppLinkUp = 0;
    frame->TestView1()->VoicePage()->OnReceivedLine("RING");
    {
        MessageBoxRecorder boxes(IDYES);
        EXPECT_FALSE(frame->close());
        EXPECT_EQ(boxes.Texts(), QStringList { "Please hung up the call process or wait for end!" });
        EXPECT_TRUE(frame->isVisible());
    }
    frame->TestView1()->VoicePage()->OnReceivedLine("NO CARRIER");
    // Locator before TCP/UDP before PPP: with all three set the locator's text comes.
    for (const Case& c : cases)
        c.set();
    MessageBoxRecorder boxes(IDYES);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(boxes.Texts(), QStringList { "Please exit after deacting the Morvlocator context!" });
}

TEST_F(MainFrame, ExitAsksAndNoKeepsTheWindow)
{
    auto frame = MakeFrame(0);
    {
        MessageBoxRecorder boxes(IDNO);
        EXPECT_FALSE(frame->close());
        ASSERT_EQ(boxes.Count(), 1);
        EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("Please make sure to exit?"));
        EXPECT_EQ(boxes.Boxes()[0].flags & MB_YESNO, unsigned(MB_YESNO));
        EXPECT_TRUE(frame->isVisible());
    }
    MessageBoxRecorder boxes(IDYES);
    frame->CommandAction(57665)->trigger(); // File / Exit
    EXPECT_EQ(boxes.Texts(), QStringList { "Please make sure to exit?" });
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrame, APaneStoredTooNarrowForThePagesIsWidenedSavedAndARestartAsked)
{
    struct Case {
        int stored;
        bool tooNarrow;
    };
    // Nothing stored (0) takes the pages' width without a word; a stored
    // width at least as wide as the pages need is kept.
    for (const Case c : {Case{300, true}, Case{0, false}, Case{900, false}}) {
        SaveWidthMidView(c.stored);
        theApp.m_bWidthMidViewChanged = 0;
        theApp.m_nWidthMidView = c.stored;
        MessageBoxRecorder boxes;
        QElapsedTimer sinceCreation;
        sinceCreation.start();
        auto frame = MakeFrame(1);
        const int needed = frame->TestView1()->NeededWidth();
        EXPECT_EQ(theApp.m_nWidthMidView.load(), c.tooNarrow || c.stored == 0 ? needed : c.stored) << c.stored;
        EXPECT_EQ(theApp.m_bWidthMidViewChanged.load(), c.tooNarrow ? 1 : 0) << c.stored;
        if (!c.tooNarrow)
            continue;
        // One check, two seconds after the window was made (a coarse timer may be
        // up to 5 % early), whatever the machine's load.
        ASSERT_TRUE(test::RunEventsUntil([&] { return boxes.Count() > 0; }, 30000));
        EXPECT_GE(sinceCreation.elapsed(), 1900);
        EXPECT_EQ(
            boxes.Texts(), QStringList { "The width of the middle view is unsuitable,please restart this program !" });
        EXPECT_EQ(ReadSysParams(SysParamIniPath()).widthMidView, needed);
    }
}

class MainFrameWithModule : public sim::SimFixture {
protected:
    void SetUp() override
    {
        sim::SimFixture::SetUp();
        theApp.m_nWidthMidView = 0; // nothing stored: the pages choose the width
    }
};

TEST_F(MainFrameWithModule, YesStopsThePortAndClosesWithinASecondWhileDataStreams)
{
    auto frame = MakeFrame(0);
    ASSERT_EQ(frame->TestView1()->OpenCommport(QString::fromStdString(SlavePath()), 115200, 8, 1, 0, 0, 2048), 1);
    std::atomic<bool> streaming { true };
    std::thread feeder([&] {
        const std::string chunk(512, 'x');
        while (streaming.load()) {
            sim().InjectBytes(chunk + "\r\n");
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(ulv::test::RunEventsUntil([&] { return frame->TestView2()->RecordedBytes() > 0; }, 20000));

    MessageBoxRecorder boxes(IDYES);
    QElapsedTimer timer;
    timer.start();
    const bool closed = frame->close();
    const qint64 elapsed = timer.elapsed();
    streaming = false;
    feeder.join();
    EXPECT_TRUE(closed);
    EXPECT_LT(elapsed, 1000);
    EXPECT_EQ(frame->TestView1()->Port(), nullptr);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrame, ScreenshotsOfBothFamilies)
{
    for (int type : { 0, 1 }) {
        auto frame = MakeFrame(type);
        frame->resize(1280, 800);
        Pump(1200);
        const QImage shot = frame->grab().toImage();
        const QString name = QStringLiteral(ULV_FRAME_SHOT_DIR "/frame-%1.png").arg(type ? "umts" : "gsm");
        EXPECT_TRUE(shot.save(name)) << name.toStdString();
        CMenuBarCtrl* bar = frame->CommandReBar()->MenuBar();
        ASSERT_TRUE(bar->OpenMenuByKey(QLatin1Char('s')));
        QMenu* setting = bar->GetMenu()[1];
        frame->CommandAction(32837)->setChecked(true);
        Pump(100);
        EXPECT_TRUE(setting->grab().toImage().save(
            QStringLiteral(ULV_FRAME_SHOT_DIR "/frame-%1-setting-menu.png").arg(type ? "umts" : "gsm")));
        setting->close();
        // The toolbar band's bottom row is the dark end of its gradient.
        QWidget* band = frame->CommandReBar()->Band(1);
        const QImage bandPixels = band->grab().toImage();
        EXPECT_EQ(bandPixels.pixel(bandPixels.width() - 3, 0), qRgb(202, 202, 202));
        MessageBoxRecorder boxes(IDYES);
        frame->close();
    }
}
