#include "ui/chrome/CAutoHideBar.h"
#include "ui/chrome/CAutoHideFloatWnd.h"
#include "ui/controls/WinLook.h"

#include "../common/EventLoopWait.h"
#include "../controls/ControlTestUtil.h"
#include "DockingTestUtil.h"

#include <QCursor>
#include <QMouseEvent>
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

// A mouse event at a screen point (the window may move under it).
void SendMouse(QWidget& w, QEvent::Type type, QPoint global, Qt::MouseButtons buttons)
{
    const QPointF local(w.mapFromGlobal(global));
    QMouseEvent e(type, local, QPointF(global), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
        buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

TEST(AutoHideFloatWnd, OnlyTheInnerEdgeSizesTheWindow)
{
    struct Case {
        unsigned side;
        QPoint inner; // on the edge facing the frame's centre
        int code;
        QPoint outer; // on the edge along the frame's side
        QPoint drag;
        QRect sized;
    };
    // The window rests at (50, 50), 200 x 150; the frame border is 4 pixels.
    const Case cases[] = {
        { CBRS_ALIGN_LEFT, { 198, 100 }, CAutoHideFloatWnd::HTRIGHT, { 0, 100 }, { 30, 0 }, { 50, 50, 230, 150 } },
        { CBRS_ALIGN_TOP, { 100, 147 }, CAutoHideFloatWnd::HTBOTTOM, { 100, 0 }, { 0, 20 }, { 50, 50, 200, 170 } },
        { CBRS_ALIGN_RIGHT, { 1, 100 }, CAutoHideFloatWnd::HTLEFT, { 199, 100 }, { -30, 0 }, { 20, 50, 230, 150 } },
        { CBRS_ALIGN_BOTTOM, { 100, 1 }, CAutoHideFloatWnd::HTTOP, { 100, 149 }, { 0, -20 }, { 50, 30, 200, 170 } },
    };
    QWidget frame;
    frame.resize(400, 400);
    frame.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        CAutoHideFloatWnd wnd(&frame);
        wnd.SetSide(c.side);
        wnd.m_Title = QStringLiteral("Log");
        wnd.m_rcFull = QRect(50, 50, 200, 150);
        wnd.setGeometry(wnd.m_rcFull);
        wnd.show();
        EXPECT_EQ(wnd.HitTest(c.inner), c.code);
        EXPECT_EQ(wnd.HitTest(c.outer), CAutoHideFloatWnd::HTNOWHERE);
        EXPECT_EQ(wnd.HitTest(QPoint(10, 8)), CAutoHideFloatWnd::HTCAPTIONBAND);
        EXPECT_EQ(wnd.HitTest(wnd.ClientRect().center()), CAutoHideFloatWnd::HTCLIENT);

        // The outer edge sizes nothing.
        const QPoint outer = wnd.mapToGlobal(c.outer);
        SendMouse(wnd, QEvent::MouseButtonPress, outer, Qt::LeftButton);
        SendMouse(wnd, QEvent::MouseMove, outer + QPoint(7, 7), Qt::LeftButton);
        SendMouse(wnd, QEvent::MouseButtonRelease, outer + QPoint(7, 7), Qt::NoButton);
        EXPECT_EQ(wnd.geometry(), QRect(50, 50, 200, 150));

        const QPoint inner = wnd.mapToGlobal(c.inner);
        SendMouse(wnd, QEvent::MouseButtonPress, inner, Qt::LeftButton);
        SendMouse(wnd, QEvent::MouseMove, inner + c.drag / 2, Qt::LeftButton);
        SendMouse(wnd, QEvent::MouseMove, inner + c.drag, Qt::LeftButton);
        SendMouse(wnd, QEvent::MouseButtonRelease, inner + c.drag, Qt::NoButton);
        EXPECT_EQ(wnd.geometry(), c.sized);
        EXPECT_EQ(wnd.m_rcFull, c.sized) << "it slides out at the new size";
    }
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
