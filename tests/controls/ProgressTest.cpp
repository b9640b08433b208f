#include "ControlTestUtil.h"
#include "ui/controls/CTextProgressCtrl.h"

#include <gtest/gtest.h>

#include <thread>

using namespace ulv;
using ulv::test::Grab;

namespace {

struct ProgressFixture {
    QWidget parent;
    CTextProgressCtrl* bar;
    explicit ProgressFixture(int width = 255)
    {
        parent.resize(width + 20, 40);
        bar = new CTextProgressCtrl(&parent);
        bar->setGeometry(0, 0, width, 20);
        parent.show();
    }
};

} // namespace

TEST(TextProgress, DefaultsAndReturnedPreviousValues)
{
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.GetLower(), 0);
    EXPECT_EQ(bar.GetUpper(), 100);
    EXPECT_EQ(bar.GetStep(), 10);
    EXPECT_EQ(bar.SetPos(40), 0);
    EXPECT_EQ(bar.StepIt(), 40);
    EXPECT_EQ(bar.GetPos(), 50);
    EXPECT_EQ(bar.SetStep(5), 10);
    EXPECT_EQ(bar.SetRange(10, 101), 0 | (100 << 16));
    EXPECT_EQ(bar.GetPos(), 10) << "a new range resets the position to its lower bound";
}

TEST(TextProgress, GradientBandsEndAtTheBandCrossingTheDonePart)
{
    // Red to blue over 255 pixels: one pixel per band, red falling, blue rising.
    ProgressFixture f;
    CTextProgressCtrl& bar = *f.bar;
    bar.SetBkColor(0x00FF00);
    bar.SetPos(50);
    EXPECT_EQ(bar.FillWidth(255), 127);
    const QImage img = Grab(bar);
    struct Px { int x; QRgb c; };
    const Px px[] = {
        {0, qRgb(255, 0, 0)},
        {100, qRgb(155, 0, 100)},
        {127, qRgb(128, 0, 127)},  // the band that crosses the fill width is drawn whole
        {128, qRgb(0, 255, 0)},
        {254, qRgb(0, 255, 0)},
    };
    for (const auto& p : px)
        EXPECT_EQ(img.pixel(p.x, 10), p.c) << p.x;
}

TEST(TextProgress, EmptyFaceAtOrOutsideTheBounds)
{
    struct Case { int lower, upper, pos; int fill; };
    const Case cases[] = {
        {0, 100, 0, 0}, {0, 100, 100, 0}, {0, 100, 150, 0}, {0, 101, 100, 252},
        {50, 100, 75, 191},  // 75 / 100 of the width: the lower bound is not subtracted
    };
    for (const auto& c : cases) {
        ProgressFixture f;
        CTextProgressCtrl& bar = *f.bar;
        bar.SetRange(c.lower, c.upper);
        bar.SetShowText(true);
        bar.SetCaption("XXXX");
        bar.SetTextColor(0x000000);
        bar.SetPos(c.pos);
        EXPECT_EQ(bar.FillWidth(255), c.fill) << c.lower << ".." << c.upper << " @" << c.pos;
        if (c.fill == 0) {
            const QImage img = Grab(bar);
            EXPECT_EQ(img.pixel(0, 10), SysRgb(COLOR_BTNFACE));
            EXPECT_FALSE(ulv::test::HasPixel(img, img.rect(), qRgb(0, 0, 0))) << "no caption";
        }
    }
}

TEST(TextProgress, CaptionOnlyWhenSwitchedOn)
{
    ProgressFixture f;
    CTextProgressCtrl& bar = *f.bar;
    bar.SetBarColors(0x98FB98, 0x009300);
    bar.SetBkColor(0xD8E9EC);
    bar.SetTextColor(0x000000);
    bar.SetCaption("4096 Bytes");
    bar.SetPos(60);
    QFont font = bar.font();
    font.setPixelSize(16);
    font.setBold(true);
    bar.setFont(font);
    EXPECT_FALSE(ulv::test::HasPixel(Grab(bar), bar.rect(), qRgb(0, 0, 0)));
    bar.SetShowText(true);
    EXPECT_TRUE(ulv::test::HasPixel(Grab(bar), bar.rect(), qRgb(0, 0, 0)));
}

TEST(TextProgress, FaultyRangesAndColoursDrawSoundly)
{
    {
        // An upper bound of 0 would divide by zero: measured from the lower bound.
        ProgressFixture f;
        CTextProgressCtrl& bar = *f.bar;
        bar.SetRange(-100, 0);
        bar.SetPos(-50);
        EXPECT_EQ(bar.FillWidth(255), 127);
        Grab(bar);
    }
    {
        // Equal start and end colours: the done part in that colour, the rest background.
        ProgressFixture f;
        CTextProgressCtrl& bar = *f.bar;
        bar.SetBarColors(0x3333FF, 0x3333FF);
        bar.SetBkColor(0x00FF00);
        bar.SetPos(50);
        const QImage img = Grab(bar);
        EXPECT_EQ(img.pixel(10, 10), ColorRefToRgb(0x3333FF));
        EXPECT_EQ(img.pixel(126, 10), ColorRefToRgb(0x3333FF));
        EXPECT_EQ(img.pixel(127, 10), qRgb(0, 255, 0));
    }
    {
        ProgressFixture f(0);
        f.bar->SetPos(50);
        f.bar->repaint();
    }
}

TEST(TextProgress, WorkerUpdatesAreQueuedToTheUiThread)
{
    ProgressFixture f;
    CTextProgressCtrl& bar = *f.bar;
    std::thread([&] {
        bar.SetCaption("12 Bytes");
        bar.SetShowText(true);
        bar.SetPos(30);
    }).join();
    EXPECT_EQ(bar.GetPos(), 30);
    QApplication::processEvents();
    EXPECT_EQ(bar.Caption(), "12 Bytes");
    EXPECT_TRUE(bar.ShowsText());
    EXPECT_EQ(bar.value(), 30);
}
