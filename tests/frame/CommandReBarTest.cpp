#include "ReBarWindow.h"
#include "ui/chrome/CCommandReBar.h"
#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/CTrueColorToolBar.h"
#include "ui/controls/WinLook.h"

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

TEST(CommandReBarBackgrounds, MulDivRoundsHalvesAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    };
    for (const Case& k : { Case { 7, 1, 2, 4 }, Case { -7, 1, 2, -4 }, Case { 5, 1, 3, 2 }, Case { 256, 44, 45, 250 },
             Case { -100, 3, 255, -1 }, Case { 1, 1, 0, -1 } })
        EXPECT_EQ(CCommandReBar::MulDiv(k.a, k.b, k.c), k.expected) << k.a << " " << k.b << " " << k.c;
}

TEST(CommandReBarBackgrounds, BlendColorsWeighsTowardsTheFirstColour)
{
    EXPECT_EQ(CCommandReBar::BlendColors(Rgb(200, 100, 0), Rgb(0, 100, 200), 0.25f), Rgb(50, 100, 150));
    EXPECT_EQ(CCommandReBar::BlendColors(Rgb(255, 255, 255), Rgb(0, 0, 0), 1.0f), Rgb(255, 255, 255));
    EXPECT_EQ(CCommandReBar::BlendColors(Rgb(255, 255, 255), Rgb(255, 255, 255), 1.5f), Rgb(255, 255, 255));
}

TEST(CommandReBarBackgrounds, PaletteGradientDirections)
{
    const COLORREF a = Rgb(0, 0, 0), b = Rgb(255, 255, 255);
    // Direction 0: bottom row entry 0 (a); top row entry MulDiv(4, 3, 4) = 3 (b) with 4 entries.
    const QImage up = CCommandReBar::CreatePaletteGradientBitmap(a, b, 2, 4, 0, 4);
    EXPECT_EQ(up.pixel(0, 3), qRgb(0, 0, 0));
    EXPECT_EQ(up.pixel(1, 2), qRgb(85, 85, 85));
    EXPECT_EQ(up.pixel(0, 0), qRgb(255, 255, 255));
    const QImage right = CCommandReBar::CreatePaletteGradientBitmap(a, b, 4, 2, 2, 4);
    EXPECT_EQ(right.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(right.pixel(3, 1), qRgb(255, 255, 255));
    const QImage diag = CCommandReBar::CreatePaletteGradientBitmap(a, b, 4, 4, 1, 4);
    EXPECT_EQ(diag.pixel(0, 3), qRgb(0, 0, 0)); // bottom left is a
    EXPECT_GT(qRed(diag.pixel(3, 0)), qRed(diag.pixel(0, 3)));
    const QImage back = CCommandReBar::CreatePaletteGradientBitmap(a, b, 4, 4, 3, 4);
    EXPECT_GT(qRed(back.pixel(0, 0)), qRed(back.pixel(3, 3))); // towards b at the top left
    EXPECT_TRUE(CCommandReBar::CreatePaletteGradientBitmap(a, b, 4, 4, 4, 4).isNull());
    EXPECT_TRUE(CCommandReBar::CreatePaletteGradientBitmap(a, b, 4, 4, 0, 1).isNull());
}

TEST(CommandReBarBackgrounds, NoiseStaysNearTheBlendedFace)
{
    const QImage noise = CCommandReBar::CreateNoiseBitmap(1, 45, Rgb(0xCD, 0xCD, 0xCD), 0, 0);
    ASSERT_EQ(noise.size(), QSize(1, 45));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int centre = (GetRValue(face) * 45 + 0xCD * 55) / 100;
    for (int y = 0; y < 45; ++y)
        EXPECT_LE(std::abs(qRed(noise.pixel(0, y)) - centre), 12) << y;
    const QImage ramp = CCommandReBar::CreateNoiseBitmap(1, 45, Rgb(0xCD, 0xCD, 0xCD), 0, 2);
    EXPECT_LT(qRed(ramp.pixel(0, 44)), qRed(ramp.pixel(0, 0))); // darker at the bottom
}

TEST(CommandReBarBackgrounds, ThreeColourGradientOnlyOnTwentyFourBitImages)
{
    QImage rows(1, 4, QImage::Format_RGB888);
    ASSERT_TRUE(
        CCommandReBar::FillThreeColorGradient(rows, false, Rgb(0, 0, 0), Rgb(100, 100, 100), Rgb(200, 200, 200)));
    // m = 2: bottom row 0, then 50, 100 at the middle, 150 above it.
    EXPECT_EQ(rows.pixel(0, 3), qRgb(0, 0, 0));
    EXPECT_EQ(rows.pixel(0, 2), qRgb(50, 50, 50));
    EXPECT_EQ(rows.pixel(0, 1), qRgb(100, 100, 100));
    EXPECT_EQ(rows.pixel(0, 0), qRgb(150, 150, 150));

    QImage columns(5, 1, QImage::Format_RGB888);
    ASSERT_TRUE(CCommandReBar::FillThreeColorGradient(columns, true, Rgb(0, 0, 0), Rgb(10, 20, 30), Rgb(10, 20, 30)));
    EXPECT_EQ(columns.pixel(1, 0), qRgb(5, 10, 15));
    EXPECT_EQ(columns.pixel(4, 0), qRgb(10, 20, 30));

    QImage other(1, 4, QImage::Format_RGB32);
    other.fill(qRgb(1, 2, 3));
    EXPECT_FALSE(CCommandReBar::FillThreeColorGradient(other, false, 0, 0, 0));
    EXPECT_EQ(other.pixel(0, 0), qRgb(1, 2, 3));
    QImage thin(1, 1, QImage::Format_RGB888);
    EXPECT_FALSE(CCommandReBar::FillThreeColorGradient(thin, false, 0, 0, 0));
}
