#include "ControlTestUtil.h"
#include "ui/controls/CImageButton.h"
#include "ui/controls/CSkinDialog.h"

#include <gtest/gtest.h>

using namespace ulv;
using ulv::test::Grab;

namespace {

QImage Quadrants(int w, int h)
{
    // Red top-left, green top-right, blue bottom-left, yellow bottom-right.
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, y < h / 2 ? (x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                         : (x < w / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
    return img;
}

class HookDialog : public CSkinDialog {
public:
    int hookCalls = 0;
    QImage seen;
    CImageButton* button = nullptr;

protected:
    void OnDrawBackground(QImage& composed) override
    {
        ++hookCalls;
        seen = composed;
        if (button)
            button->CaptureBackground(&composed);
    }
};

} // namespace

TEST(SkinDialog, PlacementModes)
{
    const QSize client(100, 60), bmp(40, 20);
    struct Case { int mode; QRect r; };
    const Case cases[] = {
        {1, QRect(30, 20, 40, 20)}, {2, QRect(0, 0, 100, 60)}, {7, QRect(0, 0, 40, 20)},
        {8, QRect(60, 0, 40, 20)},  {9, QRect(30, 0, 40, 20)}, {10, QRect(0, 40, 40, 20)},
        {11, QRect(60, 40, 40, 20)}, {12, QRect(30, 40, 40, 20)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSkinDialog::PlacementRect(c.mode, client, bmp), c.r) << c.mode;
    // A larger picture centred with negative offsets.
    EXPECT_EQ(CSkinDialog::PlacementRect(1, QSize(20, 10), QSize(40, 30)), QRect(-10, -10, 40, 30));

    CSkinDialog d;
    EXPECT_EQ(d.SetBitmapMode(13), 2);
    EXPECT_EQ(d.GetBitmapMode(), 0);
    EXPECT_EQ(d.SetBitmapMode(11), 0);
    EXPECT_EQ(d.GetBitmapMode(), 11);
}

TEST(SkinDialog, PaintsThePictureAndHandsTheComposedBackgroundToTheHook)
{
    HookDialog d;
    d.resize(100, 60);
    QPalette pal = d.palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(0xCDCDCD));
    d.setPalette(pal);
    d.button = new CImageButton(&d);
    d.button->setGeometry(60, 40, 30, 15);
    d.button->SetTransparent(false);
    d.show();

    Grab(d);
    EXPECT_EQ(d.hookCalls, 0) << "without a picture the hook is not called";

    ASSERT_EQ(d.SetBitmap(Quadrants(40, 20)), 0);
    d.SetBitmapMode(0);
    const QImage tiled = Grab(d);
    EXPECT_EQ(tiled.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(tiled.pixel(45, 5), qRgb(255, 0, 0)) << "second tile";
    EXPECT_EQ(tiled.pixel(65, 35), qRgb(255, 255, 0));
    EXPECT_GT(d.hookCalls, 0);
    EXPECT_EQ(d.seen.pixel(65, 35), qRgb(255, 255, 0));
    // The transparent button took the composed background at its place.
    const QImage button = Grab(*d.button);
    EXPECT_EQ(button.pixel(2, 2), d.seen.pixel(62, 42));

    d.SetBitmapMode(11);
    const QImage corner = Grab(d);
    EXPECT_EQ(corner.pixel(5, 5), ColorRefToRgb(0xCDCDCD));
    EXPECT_EQ(corner.pixel(62, 42), qRgb(255, 0, 0));
    EXPECT_EQ(corner.pixel(99, 59), qRgb(255, 255, 0));
}

TEST(SkinDialog, WindowShapeFromTheTransparentColour)
{
    QImage img(10, 4, QImage::Format_RGB32);
    img.fill(qRgb(0, 255, 0));
    img.setPixel(2, 1, qRgb(255, 0, 255));
    img.setPixel(9, 0, qRgb(255, 0, 255));
    const QRegion region = CSkinDialog::RegionFromBitmap(img, 0xFF00FF);
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 8, 4)) << "width rounded down to a multiple of 4";
    EXPECT_FALSE(region.contains(QPoint(2, 1)));
    EXPECT_TRUE(region.contains(QPoint(3, 1)));
    // A colour found nowhere leaves the rounded rectangle.
    EXPECT_EQ(CSkinDialog::RegionFromBitmap(img, 0x123456), QRegion(0, 0, 8, 4));

    CSkinDialog d;
    EXPECT_EQ(d.SetBitmap(img, 0xFF00FF), 0);
    EXPECT_FALSE(d.mask().contains(QPoint(2, 1)));
    QImage all(4, 4, QImage::Format_RGB32);
    all.fill(qRgb(255, 0, 255));
    EXPECT_EQ(d.SetBitmap(all, 0xFF00FF), 3) << "nothing left of the window";
    EXPECT_FALSE(d.HasBitmap());
    EXPECT_EQ(d.SetBitmap(123456), 0) << "a missing picture leaves the dialog plain";
    EXPECT_FALSE(d.HasBitmap());
    EXPECT_EQ(d.SetBitmap(QImage()), 1);
    EXPECT_EQ(d.OnReceivedLine("RING"), 1);
}

TEST(SkinDialog, SizeToBitmapCentresAndFits)
{
    CSkinDialog d;
    d.SetBitmap(Quadrants(64, 32));
    EXPECT_EQ(d.SizeToBitmap(), 0);
    EXPECT_EQ(d.GetBitmapMode(), 1);
    EXPECT_EQ(d.size(), QSize(64, 32));
}
