#include "ReBarWindow.h"
#include "ui/chrome/CCommandReBar.h"
#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/CTrueColorToolBar.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ulv;

TEST(CommandReBar, GradientRowsRunFromTheBottomColourUpwards)
{
    const QImage band = CCommandReBar::CreateGradientBitmap(1, 45, 0xCDCDCD, 0x646464);
    ASSERT_EQ(band.size(), QSize(1, 45));
    struct Row {
        int y;
        int level;
    };
    // Row y is i = 44 - y rows above the bottom: 100 + i * 105 / 45, truncated.
    for (const Row& r : { Row { 44, 100 }, Row { 43, 102 }, Row { 22, 151 }, Row { 1, 200 }, Row { 0, 202 } })
        EXPECT_EQ(band.pixel(0, r.y), qRgb(r.level, r.level, r.level)) << r.y;

    const QImage flat = CCommandReBar::CreateGradientBitmap(1, 45, 0xCDCDCD, 0xCDCDCD);
    for (int y = 0; y < 45; ++y)
        ASSERT_EQ(flat.pixel(0, y), qRgb(0xCD, 0xCD, 0xCD)) << y;
    EXPECT_TRUE(CCommandReBar::CreateGradientBitmap(1, 0, 0, 0).isNull());
}

TEST_F(ReBarWindow, ToolbarButtonsComeInOrderAtThirtyTwoPixels)
{
    CTrueColorToolBar* bar = rebar.ToolBar();
    ASSERT_NE(bar, nullptr);
    std::vector<unsigned> ids;
    for (QAction* a : bar->actions())
        ids.push_back(a->isSeparator() ? 0u : a->data().toUInt());
    const std::vector<unsigned> expected { 32807, 32775, 32856, 0, 32839, 0, 32851, 32776, 32837, 0, 32799, 57670 };
    EXPECT_EQ(ids, expected);
    for (unsigned id : expected) {
        if (id == 0)
            continue;
        QWidget* button = bar->Button(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->size(), QSize(32, 32)) << id;
    }
    EXPECT_EQ(bar->Button(32799)->toolTip(), QStringLiteral("Contact us"));
    EXPECT_EQ(bar->Button(32776)->toolTip(), QStringLiteral("Clear data"));
}

TEST_F(ReBarWindow, BandsShowTheirBackgroundsWhereNoBarCovers)
{
    QWidget* menuBand = rebar.Band(0);
    QWidget* toolBand = rebar.Band(1);
    ASSERT_NE(menuBand, nullptr);
    ASSERT_NE(toolBand, nullptr);
    EXPECT_LT(menuBand->geometry().bottom(), toolBand->geometry().top());
    const QImage menuPixels = menuBand->grab().toImage();
    const QImage toolPixels = toolBand->grab().toImage();
    const QImage gradient = CCommandReBar::CreateGradientBitmap(1, 45, 0xCDCDCD, 0x646464);
    const int x = toolPixels.width() - 3; // right of the last button
    for (int y = 0; y < toolPixels.height(); ++y)
        ASSERT_EQ(toolPixels.pixel(x, y), gradient.pixel(0, y % 45)) << y;
    for (int y = 0; y < menuPixels.height(); ++y)
        ASSERT_EQ(menuPixels.pixel(menuPixels.width() - 3, y), qRgb(0xCD, 0xCD, 0xCD)) << y;
}

TEST_F(ReBarWindow, MenuBarHoldsTheProgramMenuAndOpensByAccessKey)
{
    CMenuBarCtrl* bar = rebar.MenuBar();
    QStringList titles;
    for (QMenu* m : bar->GetMenu())
        titles << m->title();
    EXPECT_EQ(titles, QStringList({ "&File", "&Setting", "&Tool", "&View", "&Help" }));

    EXPECT_FALSE(bar->OpenMenuByKey(QLatin1Char('q')));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    ASSERT_TRUE(bar->OpenMenuByKey(QLatin1Char('s')));
    QMenu* setting = bar->GetMenu()[1];
    EXPECT_TRUE(setting->isVisible());
    ASSERT_NE(setting->activeAction(), nullptr);
    EXPECT_EQ(setting->activeAction()->text(), QStringLiteral("&System parameters set"));
    setting->close();
    QApplication::processEvents();
}

TEST_F(ReBarWindow, AClickOnAPopupItemReportsItsCommand)
{
    CMenuBarCtrl* bar = rebar.MenuBar();
    std::vector<unsigned> chosen;
    QObject::connect(bar, &CMenuBarCtrl::Command, [&](unsigned id) { chosen.push_back(id); });
    ASSERT_TRUE(bar->OpenMenuByKey(QLatin1Char('t')));
    QMenu* tool = bar->GetMenu()[2];
    ASSERT_TRUE(tool->isVisible());
    QAction* notebook = tool->actions()[1];
    QTest::mouseClick(tool, Qt::LeftButton, {}, tool->actionGeometry(notebook).center());
    QApplication::processEvents();
    EXPECT_EQ(chosen, std::vector<unsigned> { 32789 });
    EXPECT_FALSE(tool->isVisible());
}

TEST(CommandReBarCreate, NullFrameFailsAndZeroIdsLeaveBarsOut)
{
    CCommandReBar none;
    EXPECT_FALSE(none.Create(nullptr, 128, 128, 0, 0, 0, 0, 45, 0));

    QMainWindow window;
    CCommandReBar menuOnly;
    ASSERT_TRUE(menuOnly.Create(&window, 128, 0, 0xCDCDCD, 0xCDCDCD, 0xCDCDCD, 0x646464, 45, 0));
    EXPECT_EQ(menuOnly.ToolBar(), nullptr);
    ASSERT_NE(menuOnly.MenuBar(), nullptr);
    EXPECT_EQ(menuOnly.MenuBar()->Images().Count(), 0); // no toolbar, no popup pictures

    QMainWindow other;
    CCommandReBar badMenu;
    EXPECT_FALSE(badMenu.Create(&other, 77, 128, 0, 0, 0, 0, 45, 0));
}
