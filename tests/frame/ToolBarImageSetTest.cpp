#include "ui/chrome/CToolBarImageSet.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

QImage Strip(bool alpha, const std::vector<QRgb>& pixels)
{
    // One picture per pixel value, each 2 x 2.
    QImage img(int(pixels.size()) * 2, 2, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int i = 0; i < int(pixels.size()); ++i)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                img.setPixel(i * 2 + x, y, pixels[std::size_t(i)]);
    return img;
}

} // namespace

TEST(ToolBarImageSet, LoadBeforeCreateRefusesAndAddsNothing)
{
    CToolBarImageSet set;
    EXPECT_FALSE(set.Load(Strip(true, { 0xFF102030 })));
    EXPECT_EQ(set.Count(), 0);
    EXPECT_EQ(set.GetImageList(0), nullptr);
    EXPECT_EQ(set.ImageWidth(), -1);
}

TEST(ToolBarImageSet, HotIsDarkerAndDisabledIsLightGrey)
{
    struct Case {
        QRgb in;
        QRgb hot;
        QRgb disabled;
    };
    const Case cases[] = {
        { qRgb(128, 128, 128), qRgb(97, 97, 97), qRgb(180, 180, 180) },
        { qRgb(64, 64, 64), qRgb(36, 36, 36), qRgb(127, 127, 127) },
        { qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(255, 255, 255) },
        { qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0) },
        { qRgb(0, 129, 0), qRgb(0, 98, 0), qRgb(138, 138, 138) }, // next to the mask: an ordinary colour
    };
    std::vector<QRgb> pixels;
    for (const Case& c : cases)
        pixels.push_back(c.in);
    CToolBarImageSet set;
    ASSERT_TRUE(set.Create(2, 2, 1, 0));
    ASSERT_TRUE(set.Load(Strip(false, pixels)));
    ASSERT_EQ(set.Count(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((*set.GetImageList(0))[std::size_t(i)].pixel(1, 1), cases[i].in);
        EXPECT_EQ((*set.GetImageList(1))[std::size_t(i)].pixel(1, 1), cases[i].hot);
        EXPECT_EQ((*set.GetImageList(2))[std::size_t(i)].pixel(1, 1), cases[i].disabled);
    }
}

TEST(ToolBarImageSet, MaskColourIsTransparentInEveryListAndAlphaIsKept)
{
    CToolBarImageSet set;
    ASSERT_TRUE(set.Create(2, 2, 1, 0));
    ASSERT_TRUE(set.Load(Strip(false, { CToolBarImageSet::kMaskColor })));
    for (int state = 0; state < 3; ++state)
        EXPECT_EQ(qAlpha((*set.GetImageList(state))[0].pixel(0, 0)), 0) << state;

    CToolBarImageSet alpha;
    ASSERT_TRUE(alpha.Create(2, 2, 1, 0));
    ASSERT_TRUE(alpha.Load(Strip(true, { qRgba(0, 128, 0, 200) })));
    // With an alpha channel the mask colour is a colour like any other.
    EXPECT_EQ(qAlpha((*alpha.GetImageList(2))[0].pixel(0, 0)), 200);
    EXPECT_GT(qGreen((*alpha.GetImageList(2))[0].pixel(0, 0)), 0);
}

TEST(ToolBarImageSet, WithoutTrueColourOnlyTheNormalListExists)
{
    CToolBarImageSet set;
    ASSERT_TRUE(set.Create(2, 2, 0, 0));
    ASSERT_TRUE(set.Load(Strip(false, { qRgb(10, 20, 30) })));
    EXPECT_NE(set.GetImageList(0), nullptr);
    EXPECT_EQ(set.GetImageList(1), nullptr);
    EXPECT_EQ(set.GetImageList(2), nullptr);
}

TEST(ToolBarImageSet, DrawScalesIntoSixteenByFifteenAndRefusesBadStates)
{
    CToolBarImageSet set;
    ASSERT_TRUE(set.Create(24, 22, 1, 0));
    QImage strip(24, 22, QImage::Format_ARGB32);
    strip.fill(qRgb(200, 0, 0));
    ASSERT_TRUE(set.Load(strip));
    QImage target(30, 30, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter p(&target);
    EXPECT_FALSE(set.Draw(p, 2, 3, 3, 0));
    EXPECT_FALSE(set.Draw(p, 2, 3, -1, 0));
    EXPECT_TRUE(set.Draw(p, 2, 3, 0, 0));
    p.end();
    EXPECT_EQ(target.pixel(2, 3), qRgb(200, 0, 0));
    EXPECT_EQ(target.pixel(17, 17), qRgb(200, 0, 0));
    EXPECT_EQ(target.pixel(18, 17), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(17, 18), qRgb(255, 255, 255));
}
