#include "common/EventLoopWait.h"
#include "shell/COutbarView.h"
#include "ui/chrome/COutlookBar.h"
#include "ui/chrome/CPagerCtrl.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct View {
    explicit View(int moduleType)
        : view(moduleType)
    {
        EXPECT_TRUE(view.OnCreate());
        view.SetPageSwitcher([this](int page) { pages.push_back(page); });
        view.resize(107, 900);
        view.show();
        QApplication::processEvents();
    }
    QPoint LineCentre(int index) const
    {
        const QRect r = view.Bar()->ItemRect(index);
        return r.center();
    }
    void Click(int index) { QTest::mouseClick(view.Bar(), Qt::LeftButton, {}, LineCentre(index)); }
    COutbarView view;
    std::vector<int> pages;
};

QStringList Captions(const COutlookBar* bar)
{
    QStringList out;
    for (int i = 0; i < bar->GetCount(); ++i)
        out << bar->GetItem(i)->text;
    return out;
}

} // namespace

TEST(OutbarView, EachFamilyListsItsPagesWithIcons)
{
    View umts(1);
    EXPECT_EQ(Captions(umts.view.Bar()),
        QStringList(
            { "Home", "SMS", "MMS", "Voice Call", "TCP/UDP", "PPP", "MorvLocator", "GNSS", "AT Command", "WEXO" }));
    View gsm(0);
    EXPECT_EQ(Captions(gsm.view.Bar()),
        QStringList({ "Home", "SMS", "Voice Call", "TCP/UDP", "PPP", "MorvLocator", "AT Command", "WEXO" }));
    for (int i = 0; i < umts.view.Bar()->GetCount(); ++i) {
        EXPECT_FALSE(umts.view.Bar()->GetItem(i)->icon.isNull()) << i;
        EXPECT_EQ(umts.view.Bar()->GetItem(i)->icon.size(), QSize(32, 32)) << i;
    }
    EXPECT_EQ(umts.view.Bar()->GetItem(10), nullptr);
    EXPECT_EQ(umts.view.Bar()->GetItem(-1), nullptr);
    EXPECT_EQ(umts.view.Bar()->LineHeight(), 64);
}

TEST(OutbarView, PressAndReleaseOnALineAsksForItsPage)
{
    struct Case {
        int moduleType;
        int line;
    };
    // GSM "AT Command" is page 6; UMTS "GNSS" 7, "AT Command" 8, "WEXO" 9.
    for (const Case& c : { Case { 0, 6 }, Case { 0, 7 }, Case { 1, 7 }, Case { 1, 8 }, Case { 1, 9 }, Case { 1, 0 } }) {
        View v(c.moduleType);
        v.Click(c.line);
        EXPECT_EQ(v.pages, std::vector<int> { c.line }) << c.moduleType << " " << c.line;
    }
}

TEST(OutbarView, ReleaseOverNoLineOrFromAnotherControlDoesNothing)
{
    View v(0);
    // Below the last of the eight lines, nothing selected yet: the bar reports -1.
    std::vector<long> reported;
    QObject::connect(v.view.Bar(), &COutlookBar::OutlookBarClick, [&](long w, long) { reported.push_back(w); });
    QTest::mouseClick(v.view.Bar(), Qt::LeftButton, {}, QPoint(50, 8 * 64 + 100));
    EXPECT_EQ(reported, std::vector<long> { -1 });
    EXPECT_TRUE(v.pages.empty());

    v.view.OnOutlookBarClick(3, 50050);
    v.view.OnOutlookBarClick(99, COutbarView::kBarId);
    EXPECT_TRUE(v.pages.empty());
}

TEST(OutbarView, ReleaseOutsideAfterAPressStillReportsThePressedLine)
{
    View v(1);
    QTest::mousePress(v.view.Bar(), Qt::LeftButton, {}, v.LineCentre(4));
    QTest::mouseRelease(v.view.Bar(), Qt::LeftButton, {}, QPoint(500, -40));
    EXPECT_EQ(v.pages, std::vector<int> { 4 });
    // A release without a press on the bar sends nothing.
    QTest::mouseRelease(v.view.Bar(), Qt::LeftButton, {}, v.LineCentre(2));
    EXPECT_EQ(v.pages, std::vector<int> { 4 });
}

TEST(OutbarView, PagerArrowsAppearOnlyWhenTheLinesDoNotFit)
{
    View v(1); // ten lines: 640 pixels
    CPagerCtrl* pager = v.view.Pager();
    EXPECT_FALSE(pager->ButtonsShown());
    v.view.resize(107, 640);
    QApplication::processEvents();
    EXPECT_FALSE(pager->ButtonsShown());
    v.view.resize(107, 400);
    QApplication::processEvents();
    ASSERT_TRUE(pager->ButtonsShown());
    EXPECT_EQ(pager->UpButton()->height(), 15);
    EXPECT_EQ(pager->DownButton()->height(), 15);
    EXPECT_FALSE(pager->UpButton()->isEnabled());
    EXPECT_TRUE(pager->DownButton()->isEnabled());

    // Scrolled to the end, the last line lies in view and a click on it still
    // asks for its page.
    pager->SetPosition(10000);
    EXPECT_EQ(pager->Position(), 640 - (400 - 30));
    EXPECT_FALSE(pager->DownButton()->isEnabled());
    const QPoint last = v.view.Bar()->mapTo(&v.view, v.LineCentre(9));
    EXPECT_GT(last.y(), 15);
    EXPECT_LT(last.y(), 400 - 15);
    v.Click(9);
    EXPECT_EQ(v.pages, std::vector<int> { 9 });

    v.view.resize(107, 700);
    QApplication::processEvents();
    EXPECT_FALSE(pager->ButtonsShown());
    EXPECT_EQ(pager->Position(), 0);
}

TEST(OutbarView, HoverSelectsTheLineUnderTheMouseAndKeepsItBelowTheLast)
{
    View v(0);
    COutlookBar* bar = v.view.Bar();
    QTest::mouseMove(bar, v.LineCentre(3));
    // The hover timer picks the line up on its next tick.
    EXPECT_TRUE(test::RunEventsUntil([&] { return bar->GetCurSel() == 3; }, 10000));
    QTest::mouseMove(bar, QPoint(50, 8 * 64 + 60)); // the empty area below the last line
    QTest::qWait(40);
    EXPECT_EQ(bar->GetCurSel(), 3);
    // A press and release there reports the line the mouse left.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(50, 8 * 64 + 60));
    EXPECT_EQ(v.pages, std::vector<int> { 3 });
}
