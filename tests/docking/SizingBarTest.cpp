#include "platform/ProfileStore.h"
#include "ui/chrome/CSizingControlBar.h"

#include "DockingTestUtil.h"

#include <QMainWindow>
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

} // namespace
