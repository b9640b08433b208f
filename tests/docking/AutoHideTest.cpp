#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CAutoHideFloatWnd.h"
#include "ui/controls/WinLook.h"

#include "../common/EventLoopWait.h"
#include "../controls/ControlTestUtil.h"
#include "DockingTestUtil.h"

#include <QCursor>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;
using ulv::test::DockFrame;
using ulv::test::RunEventsUntil;

namespace {

struct Pinned {
    explicit Pinned(Qt::DockWidgetArea area = Qt::LeftDockWidgetArea, int stripId = kAutoHideLeftId)
    {
        bar = f.AddBar(300, area, {"Log", "Data"});
        bar->HideToEdge();
        QApplication::processEvents();
        strip = f.frame.Strip(stripId);
        group = strip->Group(0);
        wnd = group->m_pFloatWnd;
    }
    // Parks the cursor far from every window.
    void CursorAway() { QCursor::setPos(f.frame.mapToGlobal(QPoint(-500, -500))); }
    // Waits until the window is all the way out. The hide check would slide it
    // back as soon as it is out when the cursor is away, and a busy machine
    // may not look in between: the window is held out (as a press on its tab
    // holds it) while the test waits, then let go as it was.
    bool WaitOut()
    {
        const bool locked = wnd->m_bHoverLock;
        wnd->m_bHoverLock = true;
        const bool out = RunEventsUntil([&] { return !wnd->IsSliding() && wnd->isVisible(); }, 30000);
        wnd->m_bHoverLock = locked;
        return out;
    }
    DockFrame f;
    CDockPageBar* bar = nullptr;
    CAutoHideBar* strip = nullptr;
    AutoHideGroup* group = nullptr;
    CAutoHideFloatWnd* wnd = nullptr;
};

TEST(AutoHideBar, StripsStayHiddenUntilABarIsPinnedAndTakeTheirDepth)
{
    DockFrame f;
    for (int id : {kAutoHideTopId, kAutoHideBottomId, kAutoHideLeftId, kAutoHideRightId}) {
        ASSERT_NE(f.frame.Strip(id), nullptr);
        EXPECT_FALSE(f.frame.Strip(id)->isVisible());
    }
    EXPECT_EQ(f.frame.Strip(kAutoHideTopId)->height(), 24);
    EXPECT_EQ(f.frame.Strip(kAutoHideBottomId)->height(), 22);
    EXPECT_EQ(f.frame.Strip(kAutoHideLeftId)->width(), 24);
    EXPECT_EQ(f.frame.Strip(kAutoHideRightId)->width(), 24);
    // Enabling again makes no second strip.
    f.frame.EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(f.frame.findChildren<CAutoHideBar*>().size(), 4);
}

TEST(AutoHideBar, OnlyTheEnabledEdgesGetStrips)
{
    CAutoHideFrame frame;
    frame.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_BOTTOM);
    EXPECT_NE(frame.Strip(kAutoHideLeftId), nullptr);
    EXPECT_NE(frame.Strip(kAutoHideBottomId), nullptr);
    EXPECT_EQ(frame.Strip(kAutoHideTopId), nullptr);
    EXPECT_EQ(frame.Strip(kAutoHideRightId), nullptr);
}

TEST(AutoHideBar, PinnedBarLeavesTabsInTheStrip)
{
    Pinned p;
    EXPECT_TRUE(p.strip->isVisible());
    EXPECT_FALSE(p.bar->isVisible());
    EXPECT_EQ(p.group->m_nActiveTab, 0);
    p.strip->repaint();
    const QImage img = test::Grab(*p.strip);
    EXPECT_TRUE(test::HasPixel(img, p.strip->rect(), CAutoHideBar::kBackground));
    // The active tab is long enough for its title, the other one is 21 long.
    const QRect active = p.group->m_tabs[0]->m_rect;
    const QRect other = p.group->m_tabs[1]->m_rect;
    EXPECT_GT(active.height(), 21 + 48);
    EXPECT_EQ(other.height(), 21);
    EXPECT_EQ(other.top(), active.bottom() + 1);
    EXPECT_TRUE(p.group->m_tabs[0]->m_bShowText);
    EXPECT_FALSE(p.group->m_tabs[1]->m_bShowText);
}

TEST(AutoHideFloatWnd, SlidesOutInSixStepsAndBackWhenTheCursorLeaves)
{
    Pinned p;
    p.CursorAway();
    p.group->ShowTab(1);
    EXPECT_TRUE(p.wnd->IsSliding());
    EXPECT_EQ(p.wnd->StepCount(), 6);
    ASSERT_TRUE(p.WaitOut());
    EXPECT_EQ(p.wnd->geometry(), p.wnd->m_rcFull);
    // Out of the left strip, beside it, as tall as the strip.
    EXPECT_EQ(p.wnd->m_rcFull.left(), p.strip->geometry().left() + 24);
    EXPECT_EQ(p.wnd->m_rcFull.height(), p.strip->height());
    EXPECT_EQ(p.wnd->m_Title, "Data");
    QWidget* page = p.group->m_tabs[1]->m_pWnd;
    EXPECT_EQ(page->parentWidget(), p.wnd);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(p.group->m_tabs[1]->m_bShowText);

    // The cursor is away: the hide check slides it back and hides it.
    ASSERT_TRUE(RunEventsUntil([&] { return !p.wnd->isVisible(); }, 10000));
    EXPECT_FALSE(p.wnd->IsSliding());
    EXPECT_EQ(p.group->m_tabs[1]->m_rcSlideOut.size(), p.wnd->m_rcFull.size()) << "size remembered";
}

TEST(AutoHideFloatWnd, StaysOutWhileTheCursorIsOverItOrLocked)
{
    Pinned p;
    p.group->ShowTab(0);
    ASSERT_TRUE(p.WaitOut());
    QCursor::setPos(p.wnd->mapToGlobal(p.wnd->rect().center()));
    // Three hide checks pass with the cursor over the window.
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(RunEventsUntil([&] { return t.elapsed() > 3 * CAutoHideFloatWnd::kHideCheckMs; }, 10000));
    EXPECT_TRUE(p.wnd->isVisible());
    EXPECT_FALSE(p.wnd->IsSliding());
    // Over the group's tabs in the strip the window is hover-locked.
    p.wnd->m_bHoverLock = true;
    p.CursorAway();
    t.restart();
    ASSERT_TRUE(RunEventsUntil([&] { return t.elapsed() > 3 * CAutoHideFloatWnd::kHideCheckMs; }, 10000));
    EXPECT_TRUE(p.wnd->isVisible());
    p.wnd->m_bHoverLock = false;
    ASSERT_TRUE(RunEventsUntil([&] { return !p.wnd->isVisible(); }, 10000));
}

TEST(AutoHideFloatWnd, ShortSlidesTakeOneStep)
{
    QWidget frame;
    frame.resize(300, 300);
    frame.show();
    CAutoHideFloatWnd wnd(&frame);
    wnd.SetSide(CBRS_ALIGN_TOP);
    wnd.m_rcFull = QRect(0, 0, 100, 80);
    wnd.StartSlide(CAutoHideFloatWnd::kSlideOut, 30);
    EXPECT_EQ(wnd.StepCount(), 1);
    ASSERT_TRUE(RunEventsUntil([&] { return !wnd.IsSliding(); }, 10000));
    EXPECT_EQ(wnd.geometry(), wnd.m_rcFull);
}

TEST(AutoHideFloatWnd, ANarrowWindowShowsNoCaptionButtons)
{
    CAutoHideFloatWnd wnd;
    wnd.SetSide(CBRS_ALIGN_LEFT);
    wnd.m_Title = QStringLiteral("A fairly long page title");
    const int full = QFontMetrics(LogFont(QStringLiteral("Tahoma"), -11)).horizontalAdvance(wnd.m_Title);
    wnd.resize(full + 29, 200);
    EXPECT_FALSE(wnd.ShowsButtons());
    wnd.resize(full + 30, 200);
    EXPECT_TRUE(wnd.ShowsButtons());
    // The left side: no left border, the frame's width on the right.
    EXPECT_EQ(wnd.Borders(), QMargins(0, 2, GetSystemMetrics(SM_CXFRAME), 0));
    EXPECT_EQ(wnd.ClientRect().top(), 2 * 2 + 17);
}

TEST(AutoHideGroup, PinButtonOfTheWindowRestoresTheBar)
{
    Pinned p;
    p.CursorAway();
    p.group->ShowTab(0);
    ASSERT_TRUE(p.WaitOut());
    p.wnd->m_bHoverLock = true; // keep it out while we click
    p.wnd->repaint();
    ASSERT_TRUE(p.wnd->ShowsButtons());
    QTest::mouseClick(p.wnd, Qt::LeftButton, {}, p.wnd->m_pinButton.GetRect().center());
    QApplication::processEvents();
    EXPECT_EQ(p.strip->GroupCount(), 0);
    EXPECT_FALSE(p.strip->isVisible());
    EXPECT_TRUE(p.bar->isVisible());
    ASSERT_EQ(p.bar->GetPageCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(p.bar->GetPageItem(i)->m_pWnd->parentWidget(), p.bar->Body()) << i;
}

TEST(AutoHideBar, DestroyingAStripGivesThePagesBack)
{
    Pinned p;
    p.CursorAway();
    p.group->ShowTab(1);
    ASSERT_TRUE(p.WaitOut());
    QPointer<QWidget> page = p.bar->GetPageItem(1)->m_pWnd;
    delete p.strip;
    ASSERT_TRUE(page);
    EXPECT_EQ(page->parentWidget(), p.bar->Body());
    EXPECT_TRUE(p.bar->isVisible());
}

TEST(AutoHideBar, PressingATabShowsItsPageAndLocksTheWindow)
{
    Pinned p(Qt::TopDockWidgetArea, kAutoHideTopId);
    p.CursorAway();
    p.strip->LayoutGroups();
    const QRect tab = p.group->m_tabs[1]->m_rect;
    QTest::mousePress(p.strip, Qt::LeftButton, {}, tab.center());
    EXPECT_EQ(p.strip->HoveredGroup(), p.group);
    EXPECT_TRUE(p.wnd->m_bHoverLock);
    ASSERT_TRUE(p.WaitOut());
    EXPECT_EQ(p.group->m_nActiveTab, 1);
    EXPECT_EQ(p.wnd->m_rcFull.top(), p.strip->geometry().top() + 22);
    QTest::mouseRelease(p.strip, Qt::LeftButton, {}, tab.center());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(p.strip, &leave);
    EXPECT_FALSE(p.wnd->m_bHoverLock);
}

} // namespace
