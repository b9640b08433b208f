#include "platform/ProfileStore.h"
#include "ui/chrome/CSizingControlBar.h"
#include "ui/chrome/DockRowLayout.h"

#include "DockingTestUtil.h"
#include "common/EventLoopWait.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

struct Frame {
    Frame()
    {
        window.setCentralWidget(new QLabel(QStringLiteral("work")));
        window.resize(800, 600);
        window.show();
        QApplication::processEvents();
    }
    CSizingControlBar* Bar(int id)
    {
        auto* bar = new CSizingControlBar;
        EXPECT_TRUE(bar->Create(QStringLiteral("Bar"), &window, id));
        bar->setWidget(new QLabel(QStringLiteral("content")));
        return bar;
    }
    // A bar whose content does not hold it wider than its title does.
    CSizingControlBar* BareBar(int id, QSize horz)
    {
        auto* bar = new CSizingControlBar;
        EXPECT_TRUE(bar->Create(QStringLiteral("Bar %1").arg(id), &window, id));
        bar->setWidget(new QWidget);
        bar->m_szHorz = horz;
        return bar;
    }
    // Docks the bars one after another in one row of a side and shows them.
    void Row(Qt::DockWidgetArea area, const std::vector<CSizingControlBar*>& bars)
    {
        window.addDockWidget(area, bars.front());
        for (size_t i = 1; i < bars.size(); ++i)
            EXPECT_TRUE(bars[i]->DockBeside(bars[i - 1]));
        for (CSizingControlBar* bar : bars)
            bar->show();
    }
    QMainWindow window;
};

TEST(SizingControlBar, ReportsTheSideItIsDockedOnAndFloatsAndComesBack)
{
    Frame f;
    CSizingControlBar* bar = f.Bar(100);
    const struct {
        Qt::DockWidgetArea area;
        unsigned side;
    } cases[] = {
        {Qt::TopDockWidgetArea, AFX_IDW_DOCKBAR_TOP},
        {Qt::LeftDockWidgetArea, AFX_IDW_DOCKBAR_LEFT},
        {Qt::RightDockWidgetArea, AFX_IDW_DOCKBAR_RIGHT},
        {Qt::BottomDockWidgetArea, AFX_IDW_DOCKBAR_BOTTOM},
    };
    for (const auto& c : cases) {
        f.window.addDockWidget(c.area, bar);
        bar->show();
        QApplication::processEvents();
        EXPECT_EQ(bar->DockSide(), c.side);
        EXPECT_EQ(bar->IsHorzDocked(), c.area == Qt::TopDockWidgetArea || c.area == Qt::BottomDockWidgetArea);
        EXPECT_EQ(bar->IsVertDocked(), c.area == Qt::LeftDockWidgetArea || c.area == Qt::RightDockWidgetArea);
    }
    bar->setFloating(true);
    QApplication::processEvents();
    EXPECT_EQ(bar->DockSide(), AFX_IDW_DOCKBAR_FLOAT);
    EXPECT_EQ(bar->size(), QSize(200, 200)) << "a floating bar takes its floating size";
    bar->setFloating(false);
    QApplication::processEvents();
    EXPECT_EQ(bar->DockSide(), AFX_IDW_DOCKBAR_BOTTOM) << "re-docked where it was";
}

TEST(SizingControlBar, DockedBarTakesItsRememberedSizeForTheOrientation)
{
    Frame f;
    CSizingControlBar* bar = f.Bar(101);
    bar->m_szVert = {150, 300};
    bar->m_szHorz = {300, 120};
    f.window.addDockWidget(Qt::LeftDockWidgetArea, bar);
    bar->show();
    QApplication::processEvents();
    bar->ApplyRememberedSize();
    QApplication::processEvents();
    EXPECT_EQ(bar->width(), 150);
    f.window.addDockWidget(Qt::BottomDockWidgetArea, bar);
    QApplication::processEvents();
    EXPECT_EQ(bar->height(), 120);
}

TEST(SizingControlBar, BarsInOneRowShareItsLengthAndKeepTheirMinimums)
{
    struct Case {
        Qt::DockWidgetArea area;
        Qt::Orientation along;
        int minimum;
    };
    for (const Case& c : { Case { Qt::TopDockWidgetArea, Qt::Horizontal, 33 },
             Case { Qt::LeftDockWidgetArea, Qt::Vertical, 32 } }) {
        SCOPED_TRACE(int(c.area));
        Frame f;
        CSizingControlBar* first = f.Bar(110);
        CSizingControlBar* second = f.Bar(111);
        f.window.addDockWidget(c.area, first);
        first->show();
        QApplication::processEvents();
        const auto length = [&](QWidget* w) { return c.along == Qt::Horizontal ? w->width() : w->height(); };
        const int whole = length(first);
        ASSERT_TRUE(second->DockBeside(first));
        second->show();
        QApplication::processEvents();
        EXPECT_EQ(first->RowBars(), (std::vector<CSizingControlBar*> { first, second }));
        EXPECT_EQ(second->RowBars(), first->RowBars());
        EXPECT_LT(length(first), whole);
        EXPECT_GE(length(first) + length(second), whole - 10) << "the two share the row";

        f.window.resizeDocks({ first }, { 5 }, c.along);
        QApplication::processEvents();
        EXPECT_GE(length(first), c.minimum) << "never below the minimum length";
        EXPECT_GE(length(first) + length(second), whole - 10);
    }
}

TEST(SizingControlBar, DockingBesideNeedsADockedBarOfTheSameWindow)
{
    Frame f;
    Frame other;
    CSizingControlBar* bar = f.Bar(120);
    CSizingControlBar* floating = f.Bar(121);
    CSizingControlBar* elsewhere = other.Bar(122);
    f.window.addDockWidget(Qt::BottomDockWidgetArea, floating);
    floating->setFloating(true);
    other.window.addDockWidget(Qt::BottomDockWidgetArea, elsewhere);
    EXPECT_FALSE(bar->DockBeside(floating));
    EXPECT_FALSE(bar->DockBeside(elsewhere));
    EXPECT_FALSE(bar->DockBeside(bar));
    EXPECT_FALSE(bar->DockBeside(nullptr));
    EXPECT_TRUE(bar->RowBars().empty()) << "not docked";
}

TEST(SizingControlBar, StateRoundTripsThroughTheProfileSection)
{
    Frame f;
    CSizingControlBar* bar = f.Bar(7);
    bar->m_szHorz = {310, 90};
    bar->m_szVert = {120, 400};
    bar->m_szFloat = {250, 180};
    bar->SaveState(QStringLiteral("Docking"));
    const QString section = QStringLiteral("Docking-SCBar-7");
    EXPECT_EQ(CSizingControlBar::StateSection(QStringLiteral("Docking"), 7), section);
    EXPECT_EQ(ProfileStore::GetInt(section, "sizeHorzCX", 0), 310);
    EXPECT_EQ(ProfileStore::GetInt(section, "sizeHorzCY", 0), 90);
    EXPECT_EQ(ProfileStore::GetInt(section, "sizeVertCX", 0), 120);
    EXPECT_EQ(ProfileStore::GetInt(section, "sizeVertCY", 0), 400);
    EXPECT_EQ(ProfileStore::GetInt(section, "sizeFloatCX", 0), 250);
    EXPECT_EQ(ProfileStore::GetInt(section, "sizeFloatCY", 0), 180);

    // A second bar with the same id reads the same section; values below the
    // minimums come back raised.
    CSizingControlBar* twin = f.Bar(7);
    ProfileStore::WriteInt(section, "sizeVertCX", 5);
    ProfileStore::WriteInt(section, "sizeFloatCY", -40);
    twin->LoadState(QStringLiteral("Docking"));
    EXPECT_EQ(twin->m_szHorz, QSize(310, 90));
    EXPECT_EQ(twin->m_szVert, QSize(33, 400));
    EXPECT_EQ(twin->m_szFloat, QSize(250, 32));
}

TEST(SizingControlBar, AllBarsOfAFrameSaveAndLoadTogether)
{
    Frame f;
    CSizingControlBar* a = f.Bar(21);
    CSizingControlBar* b = f.Bar(22);
    a->m_szFloat = {111, 112};
    b->m_szFloat = {221, 222};
    CSizingControlBar::SaveAllBarStates(&f.window, QStringLiteral("All"));
    a->m_szFloat = b->m_szFloat = {50, 50};
    CSizingControlBar::LoadAllBarStates(&f.window, QStringLiteral("All"));
    EXPECT_EQ(a->m_szFloat, QSize(111, 112));
    EXPECT_EQ(b->m_szFloat, QSize(221, 222));
    // Without a stored section the current sizes stay.
    CSizingControlBar* c = f.Bar(23);
    c->m_szHorz = {140, 60};
    c->LoadState(QStringLiteral("Nothing stored"));
    EXPECT_EQ(c->m_szHorz, QSize(140, 60));
}

TEST(SizingControlBar, FloatingLayoutKeepsItsMinimums)
{
    Frame f;
    CSizingControlBar* bar = f.Bar(30);
    EXPECT_EQ(bar->CalcDynamicLayout(10, CSizingControlBar::LM_LENGTHY), QSize(200, 32));
    EXPECT_EQ(bar->CalcDynamicLayout(5, 0), QSize(37, 32));
    EXPECT_EQ(bar->CalcDynamicLayout(400, 0), QSize(400, 32));
    EXPECT_EQ(bar->CalcDynamicLayout(0, CSizingControlBar::LM_MRUWIDTH), QSize(400, 32));
    EXPECT_EQ(bar->CalcFixedLayout(true, true), QSize(32767, 200));
    EXPECT_EQ(bar->CalcFixedLayout(true, false), QSize(200, 32767));
}

TEST(SizingControlBar, CloseRequestsDoNothing)
{
    Frame f;
    CSizingControlBar* bar = f.Bar(40);
    f.window.addDockWidget(Qt::LeftDockWidgetArea, bar);
    bar->show();
    QApplication::processEvents();
    EXPECT_FALSE(bar->close());
    EXPECT_TRUE(bar->isVisible());
}

// The pixels a difference gives the first of two bars when shared one at a
// time, the first taking the odd one.
int FirstShare(int difference)
{
    return difference >= 0 ? (difference + 1) / 2 : difference / 2;
}

TEST(SizingControlBar, TwoBarsInARowGetTheLengthsTheirSharingComputes)
{
    for (const Qt::DockWidgetArea area : {Qt::TopDockWidgetArea, Qt::LeftDockWidgetArea}) {
        SCOPED_TRACE(int(area));
        const bool horz = area == Qt::TopDockWidgetArea;
        const auto length = [horz](const QWidget* w) { return horz ? w->width() : w->height(); };
        const auto cross = [horz](const QWidget* w) { return horz ? w->height() : w->width(); };
        const auto lead = [horz](const QWidget* w) { return horz ? w->y() : w->x(); };
        const auto computed = [horz](const CSizingControlBar* bar) { return bar->LengthIn(horz); };
        Frame f;
        CSizingControlBar* first = f.BareBar(200, {300, 90});
        CSizingControlBar* second = f.BareBar(201, {200, 90});
        first->m_szVert = {90, 300};
        second->m_szVert = {90, 200};
        f.Row(area, {first, second});
        // Both were shown while docked: both keep their lengths until neither
        // can, then the difference is shared out one pixel at a time.
        int room = 0;
        const auto shared = [&](int a, int b) {
            room = length(first) + length(second);
            const int diff = room - a - b;
            return length(first) == a + FirstShare(diff) && length(second) == b + diff - FirstShare(diff)
                && lead(first) == lead(second);
        };
        ASSERT_TRUE(test::RunEventsUntil([&] { return shared(300, 200); }, 10000))
            << length(first) << " + " << length(second);
        EXPECT_EQ(computed(first), length(first)) << "the widget's length is the computed one";
        EXPECT_EQ(computed(second), length(second));
        EXPECT_EQ(cross(first), 90);
        EXPECT_EQ(cross(second), 90);
        EXPECT_FALSE(first->m_bKeepSize);
        EXPECT_FALSE(second->m_bKeepSize);

        // A bigger frame: the row grows by as much, shared between the two.
        const int a = length(first);
        const int b = length(second);
        const int oldRoom = room;
        f.window.resize(f.window.size() + (horz ? QSize(201, 0) : QSize(0, 201)));
        ASSERT_TRUE(test::RunEventsUntil([&] { return shared(a, b) && room == oldRoom + 201; }, 10000))
            << length(first) << " + " << length(second);
        EXPECT_EQ(length(first), a + 101);
        EXPECT_EQ(length(second), b + 100);

        // Hidden, the second leaves the whole row to the first; shown again
        // it comes back at the length it had and the first gives way.
        const int kept = length(second);
        second->hide();
        ASSERT_TRUE(test::RunEventsUntil(
            [&] { return computed(first) == length(first) && length(first) > room; }, 10000));
        second->show();
        ASSERT_TRUE(test::RunEventsUntil(
            [&] {
                return second->isVisible() && length(second) == kept && length(first) + kept == room
                    && computed(first) == length(first);
            },
            10000))
            << length(first) << " + " << length(second) << " in " << room;
        EXPECT_EQ(computed(first), room - kept);
        EXPECT_FALSE(second->m_bKeepSize) << "the mark lasts one sharing";
    }
}

TEST(SizingControlBar, DraggingTheGapBetweenBarsMovesLengthNearestFirst)
{
    Frame f;
    CSizingControlBar* a = f.BareBar(210, {200, 90});
    CSizingControlBar* b = f.BareBar(211, {200, 90});
    CSizingControlBar* c = f.BareBar(212, {200, 90});
    f.Row(Qt::TopDockWidgetArea, {a, b, c});
    ASSERT_TRUE(test::RunEventsUntil([&] { return a->m_szHorz.width() == a->width() && c->m_szHorz.width() == c->width() && b->x() > a->x() && c->x() > b->x(); }, 10000));
    const int la = a->width();
    const int lb = b->width();
    const int lc = c->width();
    // The least length: the bar's minimum of 33, or what its title needs.
    const int least = b->MinLengthIn(true);
    ASSERT_GE(least, 33);
    ASSERT_EQ(c->MinLengthIn(true), least);
    // The press lands on whatever lies in the gap (the dock layout's
    // separator, or the main window itself); the main window sees it as the
    // edge between the bars. Moves and the release go where the press went.
    ASSERT_GT(b->geometry().left(), a->geometry().right() + 1) << "a gap between the bars";
    const auto gapAfterA = [&] {
        return QPoint((a->geometry().right() + b->geometry().left()) / 2 + 1, a->geometry().center().y());
    };
    const QPoint gap = gapAfterA();
    QWidget* target = nullptr;
    const auto send = [&](QEvent::Type type, QPoint framePos, Qt::MouseButtons buttons) {
        if (type == QEvent::MouseButtonPress)
            target = f.window.childAt(framePos) ? f.window.childAt(framePos) : &f.window;
        ASSERT_NE(target, a);
        ASSERT_NE(target, b);
        const QPoint local = target->mapFrom(&f.window, framePos);
        QMouseEvent e(type, local, target->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    const auto length = [](CSizingControlBar* bar) { return bar->m_szHorz.width(); };
    // The halftone line stands where the edge will go; its centre as x.
    const auto line = [&] {
        QWidget* l = DockRowLayout::Of(&f.window)->DragLine();
        return l && l->isVisible() ? l->geometry().center().x() : -1;
    };
    send(QEvent::MouseButtonPress, gap, Qt::LeftButton);
    EXPECT_TRUE(SizingBarState::IsEdgeDragging());
    const int lineAtPress = line();
    ASSERT_GE(lineAtPress, a->geometry().right());
    EXPECT_LE(lineAtPress, b->geometry().left());
    send(QEvent::MouseMove, gap + QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(line(), lineAtPress + 40);
    EXPECT_EQ(length(a), la + 40) << "the bar before the edge grows";
    EXPECT_EQ(length(b), lb - 40);
    EXPECT_EQ(length(c), lc);
    EXPECT_EQ(a->width(), la) << "the row is laid out when the mouse is released";
    // Past the next bar's minimum the one after it gives way, and no
    // further than its own minimum.
    send(QEvent::MouseMove, gap + QPoint(lb - least + 50, 0), Qt::LeftButton);
    EXPECT_EQ(length(b), least);
    EXPECT_EQ(length(c), lc - 50);
    send(QEvent::MouseMove, gap + QPoint(5000, 0), Qt::LeftButton);
    EXPECT_EQ(length(b), least);
    EXPECT_EQ(length(c), least);
    EXPECT_EQ(length(a), la + lb + lc - 2 * least);
    EXPECT_EQ(line(), lineAtPress + lb + lc - 2 * least) << "the line stops where the lengths stop";
    send(QEvent::MouseButtonRelease, gap + QPoint(5000, 0), Qt::NoButton);
    EXPECT_FALSE(SizingBarState::IsEdgeDragging());
    EXPECT_EQ(line(), -1);
    EXPECT_EQ(a->width(), la + lb + lc - 2 * least);
    EXPECT_EQ(b->width(), least);
    EXPECT_EQ(c->width(), least);
    // Back along the row the bar after the edge grows and the bar before
    // gives way.
    const QPoint moved = gapAfterA();
    send(QEvent::MouseButtonPress, moved, Qt::LeftButton);
    ASSERT_TRUE(SizingBarState::IsEdgeDragging());
    send(QEvent::MouseMove, moved - QPoint(30, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, moved - QPoint(30, 0), Qt::NoButton);
    EXPECT_EQ(a->width(), la + lb + lc - 2 * least - 30);
    EXPECT_EQ(b->width(), least + 30);
    EXPECT_EQ(c->width(), least);
    // The lengths stay when the frame lays out again.
    ASSERT_TRUE(test::RunEventsUntil([&] { return a->m_szHorz.width() == a->width(); }, 10000));
    EXPECT_EQ(b->width(), least + 30);
    EXPECT_EQ(c->width(), least);
}

TEST(SizingControlBar, ARowTooShortForItsBarsMinimumsIsBrokenInTwo)
{
    Frame f;
    std::vector<CSizingControlBar*> bars;
    for (int id = 220; id < 223; ++id) {
        bars.push_back(f.BareBar(id, {300, 60}));
        bars.back()->m_szMinHorz = {300, 32};
    }
    f.Row(Qt::TopDockWidgetArea, bars);
    // 800 pixels hold two bars of at least 300, not three: the third starts
    // a row of its own, which it fills.
    ASSERT_TRUE(test::RunEventsUntil([&] { return bars[2]->y() > bars[0]->y() && bars[2]->m_szHorz.width() == bars[2]->width(); }, 10000));
    EXPECT_EQ(bars[0]->RowBars(), (std::vector<CSizingControlBar*>{bars[0], bars[1]}));
    EXPECT_EQ(bars[2]->RowBars(), (std::vector<CSizingControlBar*>{bars[2]}));
    EXPECT_EQ(bars[0]->y(), bars[1]->y());
    EXPECT_GE(bars[0]->width(), 300);
    EXPECT_GE(bars[1]->width(), 300);
    EXPECT_EQ(bars[2]->width(), f.window.width()) << "alone in its row";
    EXPECT_EQ(f.window.width(), 800) << "the frame did not grow to hold the bars";
}

} // namespace
