#include "ui/controls/WinLook.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace ulv;

TEST(WinLook, CrtRandFollowsTheRuntimeSequencePerThread)
{
    auto firstFour = [] {
        std::vector<int> v;
        for (int i = 0; i < 4; ++i)
            v.push_back(CrtRand());
        return v;
    };
    const std::vector<int> expected{41, 18467, 6334, 26500};
    std::vector<int> a, b;
    std::thread([&] { a = firstFour(); }).join();
    std::thread([&] { b = firstFour(); }).join();
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);

    std::vector<int> reseeded;
    std::thread([&] {
        CrtRand();
        CrtSrand(1);
        reseeded = firstFour();
    }).join();
    EXPECT_EQ(reseeded, expected);
}

TEST(WinLook, ColorRefRoundTrips)
{
    struct Case { COLORREF ref; QRgb rgb; };
    const Case cases[] = {
        {0x0000FF, qRgb(255, 0, 0)},
        {0xFF0000, qRgb(0, 0, 255)},
        {0xFF3737, qRgb(55, 55, 255)},
        {0xD8E9EC, qRgb(236, 233, 216)},
        {0x333399, qRgb(0x99, 0x33, 0x33)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorRefToRgb(c.ref), c.rgb) << std::hex << c.ref;
        EXPECT_EQ(ColorRefToQColor(c.ref).rgb(), c.rgb);
        EXPECT_EQ(ColorRefFromRgb(c.rgb), c.ref);
        EXPECT_EQ(ColorRefFromQColor(QColor::fromRgb(c.rgb)), c.ref);
    }
    EXPECT_EQ(Rgb(55, 55, 255), 0xFF3737u);
    EXPECT_EQ(GetRValue(0x123456), 0x56);
    EXPECT_EQ(GetBValue(0x123456), 0x12);
}

TEST(WinLook, SystemColoursAndMetricsAreTheWindowsDefaults)
{
    struct Case { int index; COLORREF color; };
    const Case colors[] = {
        {COLOR_BTNFACE, 0xF0F0F0}, {COLOR_BTNSHADOW, 0xA0A0A0}, {COLOR_BTNHIGHLIGHT, 0xFFFFFF},
        {COLOR_3DDKSHADOW, 0x696969}, {COLOR_3DLIGHT, 0xE3E3E3}, {COLOR_BTNTEXT, 0x000000},
        {COLOR_INFOBK, 0xE1FFFF}, {COLOR_HIGHLIGHT, 0xD77800}, {COLOR_WINDOW, 0xFFFFFF},
        {-1, 0}, {25, 0}, {999, 0},
    };
    for (const auto& c : colors)
        EXPECT_EQ(GetSysColor(c.index), c.color) << c.index;

    struct Metric { int index; int value; };
    const Metric metrics[] = {
        {SM_CXHTHUMB, 17}, {SM_CXVSCROLL, 17}, {SM_CXEDGE, 2}, {SM_CXBORDER, 1},
        {SM_CXCURSOR, 32}, {SM_CYCURSOR, 32}, {SM_CXSMICON, 16}, {-5, 0},
    };
    for (const auto& m : metrics)
        EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;
}

TEST(WinLook, Draw3dRectGivesTheSharedCornersToTheBottomRightColour)
{
    QImage img(6, 5, QImage::Format_RGB32);
    img.fill(Qt::gray);
    {
        QPainter p(&img);
        Draw3dRect(p, QRect(0, 0, 6, 5), 0xFFFFFF, 0x000000);
    }
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), gray = QColor(Qt::gray).rgb();
    struct Px { int x, y; QRgb c; };
    const Px px[] = {
        {0, 0, white}, {4, 0, white}, {5, 0, black}, {0, 3, white}, {0, 4, black},
        {5, 4, black}, {5, 2, black}, {2, 4, black}, {2, 2, gray},
    };
    for (const auto& e : px)
        EXPECT_EQ(img.pixel(e.x, e.y), e.c) << e.x << "," << e.y;
}

TEST(WinLook, DrawEdgeNestsOuterAndInnerBorders)
{
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::red);
    QRect inside;
    {
        QPainter p(&img);
        inside = DrawEdge(p, QRect(0, 0, 10, 10), EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    EXPECT_EQ(inside, QRect(2, 2, 6, 6));
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_3DLIGHT));
    EXPECT_EQ(img.pixel(9, 9), SysRgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(img.pixel(1, 1), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(img.pixel(8, 8), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(img.pixel(5, 5), SysRgb(COLOR_BTNFACE));

    QImage sunk(4, 4, QImage::Format_RGB32);
    sunk.fill(Qt::red);
    {
        QPainter p(&sunk);
        DrawEdge(p, QRect(0, 0, 4, 4), EDGE_SUNKEN, BF_RECT);
    }
    EXPECT_EQ(sunk.pixel(0, 0), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(sunk.pixel(3, 3), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(sunk.pixel(1, 1), SysRgb(COLOR_3DDKSHADOW));
    EXPECT_EQ(sunk.pixel(2, 2), SysRgb(COLOR_3DLIGHT));
}

TEST(WinLook, DisabledImageIsEmbossed)
{
    QImage src(3, 3, QImage::Format_ARGB32);
    src.fill(Qt::white);
    src.setPixel(1, 1, qRgb(0, 0, 0));
    const QImage out = DisabledImage(src);
    ASSERT_EQ(out.size(), QSize(4, 4));
    EXPECT_EQ(out.pixel(1, 1), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(out.pixel(2, 2), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(qAlpha(out.pixel(0, 0)), 0);
    EXPECT_TRUE(DisabledImage(QImage()).isNull());
}

TEST(WinLook, WindowsFacesResolveToTheInstalledFonts)
{
    InstallFontSubstitutions();
    struct Case { const char* face; const char* family; };
    const Case cases[] = {
        {"Arial Unicode MS", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Tahoma", "DejaVu Sans"},
        {"SimSun", "WenQuanYi Micro Hei"},
        {"宋体", "WenQuanYi Micro Hei"},
    };
    for (const auto& c : cases) {
        const QFontInfo info(LogFont(QString::fromUtf8(c.face), -13, 300));
        EXPECT_EQ(info.family(), QString::fromUtf8(c.family)) << c.face;
    }
    const QFont f = LogFont("Arial Unicode MS", -15, 600);
    EXPECT_EQ(f.pixelSize(), 15);
    EXPECT_EQ(f.weight(), 600);
}
