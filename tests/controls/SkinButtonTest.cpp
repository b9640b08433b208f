#include "ControlTestUtil.h"
#include "ui/controls/CSkinButton.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace ulv;
using ulv::test::Grab;

namespace {

std::vector<std::uint8_t> FaceBytes(const CDibImage& dib)
{
    const std::uint8_t* b = dib.GetBits();
    return b ? std::vector<std::uint8_t>(b, b + dib.GetHeader().biSizeImage) : std::vector<std::uint8_t>{};
}

} // namespace

TEST(SkinButton, PaletteFollowsTheShadowFaceHighlightRampAndTint)
{
    CSkinButton b;
    b.resize(75, 23);
    CrtSrand(1);
    b.BuildSkin(4, 8, 20, 5, 0xFF3737);
    const CDibImage& n = b.NormalFace();
    const CDibImage& h = b.HoverFace();
    ASSERT_EQ(n.GetNumColors(), 256);
    struct Entry { int index; COLORREF normal; COLORREF hover; };
    // shadow 160 / face 240 / highlight 255, 5 % toward (55, 55, 255), then 20 % toward white.
    const Entry entries[] = {
        {0, Rgb(154, 154, 164), Rgb(174, 174, 182)},
        {64, Rgb(192, 192, 202), Rgb(204, 204, 212)},
        {128, Rgb(230, 230, 240), Rgb(235, 235, 243)},
        {255, Rgb(245, 245, 255), Rgb(247, 247, 255)},
    };
    for (const auto& e : entries) {
        EXPECT_EQ(n.GetPaletteColor(e.index), e.normal) << e.index;
        EXPECT_EQ(h.GetPaletteColor(e.index), e.hover) << e.index;
    }
    EXPECT_EQ(FaceBytes(n), FaceBytes(h)) << "the hover face differs only in its palette";
}

TEST(SkinButton, HorizontalBumpPixelsWithTheRuntimeNoise)
{
    // 3 x 23, granularity 8: D = 2047, the first noises are -8, +1, -5, +4.
    CDibImage dib;
    ASSERT_NE(dib.Create(3, 23, 8), nullptr);
    std::thread([&] { CSkinButton::FillPattern(dib, 4, 8); }).join();
    struct Px { int x, yFromTop, index; };
    const Px px[] = {{0, 22, 3}, {1, 22, 12}, {2, 22, 6}, {0, 21, 43}};
    for (const auto& p : px)
        EXPECT_EQ(dib.GetPixelIndex(p.x, p.yFromTop), p.index) << p.x << "," << p.yFromTop;
    // The middle stays near the face, the top is light.
    EXPECT_NEAR(dib.GetPixelIndex(1, 11), 128, 9);
    EXPECT_NEAR(dib.GetPixelIndex(1, 0), 217, 9);
}

TEST(SkinButton, SameFacesOnEveryRun)
{
    auto build = [] {
        std::vector<std::uint8_t> bytes;
        std::thread([&] {
            CDibImage dib;
            dib.Create(75, 23, 8);
            CSkinButton::FillPattern(dib, 4, 8);
            bytes = FaceBytes(dib);
        }).join();
        return bytes;
    };
    const auto first = build();
    EXPECT_EQ(first, build());

    // And the button itself, from a freshly seeded generator.
    CSkinButton b;
    b.resize(75, 23);
    CrtSrand(1);
    b.BuildSkin(4, 8, 20, 5, 0xFF3737);
    EXPECT_EQ(FaceBytes(b.NormalFace()), first);
}

TEST(SkinButton, PaintsTheNormalFaceAndTheHoverFace)
{
    QWidget parent;
    auto* b = new CSkinButton(&parent);
    b->setGeometry(0, 0, 75, 23);
    parent.show();
    CrtSrand(1);
    b->BuildSkin(4, 8, 20, 5, 0xFF3737);
    const CDibImage& n = b->NormalFace();
    const CDibImage& h = b->HoverFace();

    QImage img = Grab(*b);
    for (QPoint p : {QPoint(0, 22), QPoint(40, 11), QPoint(74, 0), QPoint(10, 3)})
        EXPECT_EQ(img.pixel(p), n.GetPixelRgb(p.x(), p.y())) << p.x() << "," << p.y();
    // Bottom-left: index 3 = ((125 * 160 + 3 * 240) / 128) tinted.
    EXPECT_EQ(img.pixel(0, 22), qRgb(155, 155, 165));

    ulv::test::SendEnter(*b);
    img = Grab(*b);
    EXPECT_EQ(img.pixel(40, 11), h.GetPixelRgb(40, 11));
    EXPECT_EQ(img.pixel(0, 0), SysRgb(COLOR_BTNHIGHLIGHT)) << "hover border";
}

TEST(SkinButton, EveryPatternCopesWithTinyAndEmptyButtons)
{
    for (unsigned type = 0; type <= 9; ++type) {
        for (QSize size : {QSize(1, 1), QSize(5, 1), QSize(4, 2), QSize(0, 0), QSize(90, 0), QSize(75, 23)}) {
            QWidget parent;
            auto* b = new CSkinButton(&parent);
            b->setGeometry(QRect(QPoint(0, 0), size));
            b->BuildSkin(type, 8, 20, 5, 0xFF3737);
            EXPECT_EQ(b->NormalFace().IsEmpty(), size.isEmpty()) << type;
            EXPECT_EQ(b->NormalFace().GetWidth(), size.isEmpty() ? 0 : size.width());
            parent.show();
            Grab(*b);
        }
    }
}

TEST(SkinButton, DibImageSavesABitmapFile)
{
    CDibImage dib;
    ASSERT_NE(dib.Create(5, 3, 8), nullptr);
    EXPECT_EQ(dib.GetLineWidth(), 8);
    EXPECT_EQ(dib.GetSize(), 40 + 1024 + 24);
    dib.SetGrayPalette();
    EXPECT_EQ(dib.GetPaletteColor(7), Rgb(7, 7, 7));
    EXPECT_EQ(dib.GetPaletteColor(255), Rgb(255, 255, 255));
    dib.SetPixelIndex(4, 0, 200);
    dib.SetPixelIndex(5, 0, 1);  // outside: ignored
    EXPECT_EQ(dib.GetBits()[2 * 8 + 4], 200) << "top row is the last in memory";

    QTemporaryDir dir;
    const QString path = dir.filePath("face.bmp");
    ASSERT_TRUE(dib.SaveToFile(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 14 + dib.GetSize());
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(quint8(bytes[10]) | (quint8(bytes[11]) << 8), 14 + 40 + 1024);
    const QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixel(4, 0), qRgb(200, 200, 200));

    EXPECT_FALSE(dib.SaveToFile(""));
    CDibImage empty;
    EXPECT_FALSE(empty.SaveToFile(path));
    EXPECT_EQ(empty.BlendPalette(0, 50), 0);
}
