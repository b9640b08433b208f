#include "ControlTestUtil.h"
#include "common/EventLoopWait.h"
#include "ui/controls/CPageTitleStrip.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

using namespace ulv;
using ulv::test::Grab;

namespace {

bool HasNear(const QImage& img, const QRect& r, const std::function<bool(QRgb)>& match)
{
    return test::HasPixelMatching(img, r, match);
}

bool IsWhite(QRgb c) { return qRed(c) > 230 && qGreen(c) > 230 && qBlue(c) > 230; }
bool IsBlue(QRgb c) { return qBlue(c) > 200 && qRed(c) < 40 && qGreen(c) < 40; }
bool IsDark(QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }

struct StripFixture {
    QWidget host;
    CPageTitleStrip* strip = new CPageTitleStrip;
    StripFixture()
    {
        host.resize(600, 100);
        EXPECT_EQ(strip->Create(0, 0, &host), 1);
        strip->show();
        host.show();
    }
};

} // namespace

TEST(PageTitleStrip, SignalLevelToBars)
{
    struct Case { int quality; int gsm; int umts; };
    const Case cases[] = {
        {0, 0, 0}, {6, 0, 2}, {7, 1, 2}, {12, 1, 4}, {13, 2, 4}, {15, 2, 5}, {18, 2, 5},
        {20, 3, 5}, {21, 3, 5}, {24, 3, 5}, {25, 4, 5}, {30, 4, 5}, {31, 5, 5}, {32, 0, 0}, {99, 0, 0},
        // No reading at all: a lying reply must not count as bars (nor overflow).
        {-1, 0, 0}, {-1000000000, 0, 0}, {INT_MIN, 0, 0}, {INT_MAX, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CPageTitleStrip::SignalBarsFor(0, c.quality), c.gsm) << c.quality;
        EXPECT_EQ(CPageTitleStrip::SignalBarsFor(1, c.quality), c.umts) << c.quality;
    }
}

TEST(PageTitleStrip, CreatesOnceAndPaintsItsFullWidth)
{
    StripFixture f;
    CPageTitleStrip& s = *f.strip;
    EXPECT_EQ(s.geometry(), QRect(0, 0, 3000, 26));
    EXPECT_EQ(s.property("controlId").toInt(), 0xFFFF);
    EXPECT_EQ(s.Create(5, 5, &f.host), 0);
    EXPECT_EQ(s.geometry(), QRect(0, 0, 3000, 26));

    const QImage banner = s.ComposeBanner();
    ASSERT_EQ(banner.size(), QSize(3000, 26));
    EXPECT_EQ(banner.pixel(2999, 20), banner.pixel(2999 - 513, 20)) << "the pattern reaches the right end";
    EXPECT_NE(banner.pixel(2999, 20), qRgb(0, 0, 0));
}

TEST(PageTitleStrip, TitleSubtitleAndBarsAtTheirPlaces)
{
    StripFixture f;
    CPageTitleStrip& s = *f.strip;
    s.SetTitle("Home");
    std::thread([&] {
        s.SetSubtitle("Step 3 of 9");
        s.SetSignalLevel(0, 31);
    }).join();
    QApplication::processEvents();
    EXPECT_EQ(s.Subtitle(), "Step 3 of 9");
    EXPECT_EQ(s.SignalBars(), 5);

    QImage img = Grab(s);
    EXPECT_TRUE(HasNear(img, QRect(11, 4, 60, 20), IsWhite)) << "title";
    EXPECT_FALSE(HasNear(img, QRect(11, 4, 60, 20), IsBlue));
    EXPECT_TRUE(HasNear(img, QRect(151, 4, 90, 18), IsBlue)) << "subtitle";
    EXPECT_FALSE(HasNear(img, QRect(151, 4, 90, 18), IsWhite));

    // Bars: bar i is lit when i < count; they follow the pane width, not the strip's.
    auto litBars = [&](const QImage& im, int paneWidth) {
        int lit = 0;
        for (int i = 0; i < 5; ++i)
            if (im.pixel(paneWidth - 40 + 3 + i * 6 + 1, 3 + 17) == qRgb(96, 240, 96))
                ++lit;
        return lit;
    };
    EXPECT_EQ(litBars(img, 440), 5);
    struct Case { int mode, quality, bars; };
    for (const Case c : {Case{0, 15, 2}, Case{1, 15, 5}, Case{0, 99, 0}, Case{1, 7, 2}}) {
        s.SetSignalLevel(c.mode, c.quality);
        EXPECT_EQ(litBars(Grab(s), 440), c.bars) << c.mode << "/" << c.quality;
    }
    s.SetPaneWidth(520);
    s.SetSignalBars(3);
    img = Grab(s);
    EXPECT_EQ(litBars(img, 520), 3);
    EXPECT_EQ(litBars(img, 440), 0);
}

TEST(PageTitleStrip, ANewTitleOrSubtitleReplacesThePaintedOne)
{
    StripFixture f;
    CPageTitleStrip& s = *f.strip;
    s.SetTitle("Home");
    s.SetSubtitle("Step 1 of 2");
    ASSERT_TRUE(HasNear(Grab(s), QRect(151, 4, 90, 18), IsBlue));
    s.SetSubtitle("");
    s.SetTitle("");
    const QImage img = Grab(s);
    EXPECT_FALSE(HasNear(img, QRect(151, 4, 90, 18), IsBlue)) << "old subtitle left on screen";
    EXPECT_FALSE(HasNear(img, QRect(11, 4, 60, 20), IsWhite)) << "old title left on screen";
}

TEST(PageTitleStrip, RingStartsTheBlinkAndNoCarrierOrTheTimeoutEndsIt)
{
    StripFixture f;
    CPageTitleStrip& s = *f.strip;
    EXPECT_EQ(s.OnReceivedLine("ring"), 1);
    EXPECT_FALSE(s.IsRinging()) << "case-sensitive";
    s.OnReceivedLine("+CRING: VOICE");
    EXPECT_TRUE(s.IsRinging());
    EXPECT_EQ(s.BlinkTimer().interval(), 480);
    EXPECT_EQ(s.RingTimer().interval(), 6000);
    EXPECT_FALSE(s.IsBlinkVisible()) << "visible from the first tick";
    s.OnTimer(CPageTitleStrip::kBlinkTimer);
    EXPECT_TRUE(s.IsBlinkVisible());
    s.OnTimer(CPageTitleStrip::kBlinkTimer);
    EXPECT_FALSE(s.IsBlinkVisible());
    s.OnTimer(CPageTitleStrip::kBlinkTimer);
    s.OnTimer(CPageTitleStrip::kRingTimer);
    EXPECT_FALSE(s.IsBlinkVisible());
    EXPECT_FALSE(s.IsRinging());

    s.OnReceivedLine("RING");
    s.OnTimer(CPageTitleStrip::kBlinkTimer);
    s.OnReceivedLine("NO CARRIER");
    EXPECT_FALSE(s.IsBlinkVisible());
    EXPECT_FALSE(s.IsRinging());
    EXPECT_FALSE(s.RingTimer().isActive());
}

TEST(PageTitleStrip, BlinkingCallTextOnScreenAndStopsAfterTheLastRing)
{
    StripFixture f;
    CPageTitleStrip& s = *f.strip;
    s.SetRingTimings(20, 2000);
    const QRect callArea(440 - 200, 0, 200 - 80 + 10, 26);
    const QImage before = Grab(s);
    EXPECT_FALSE(HasNear(before, callArea, IsDark));

    QSignalSpy blink(&s, &CPageTitleStrip::BlinkChanged);
    s.OnReceivedLine("RING");
    ASSERT_TRUE(blink.wait(1000));
    ASSERT_TRUE(s.IsBlinkVisible());
    EXPECT_TRUE(HasNear(Grab(s), callArea, IsDark)) << "\"Incoming Call\" left of the pane's end";

    // Another ring restarts the wait for the last ring: once some of it has
    // passed, a ring gives back the whole of it.
    // (The timer is a coarse one: its remaining time is good to 5 %.)
    ASSERT_TRUE(test::RunEventsUntil([&] { return s.RingTimer().remainingTime() < 1200; }, 20000));
    s.OnReceivedLine("RING");
    EXPECT_TRUE(s.IsRinging());
    EXPECT_GE(s.RingTimer().remainingTime(), 1600);
    // Without another ring the end of that wait (as the timer brings it)
    // stops the blink, and nothing blinks after it.
    s.OnTimer(CPageTitleStrip::kRingTimer);
    EXPECT_FALSE(s.IsRinging());
    EXPECT_FALSE(s.IsBlinkVisible());
    EXPECT_FALSE(s.RingTimer().isActive());
}

TEST(PageTitleStrip, LinesFromTheReceiveThreadReachTheUiThread)
{
    StripFixture f;
    CPageTitleStrip& s = *f.strip;
    std::thread([&] { EXPECT_EQ(s.OnReceivedLine("RING"), 1); }).join();
    QApplication::processEvents();
    EXPECT_TRUE(s.IsRinging());
    std::thread([&] { s.OnReceivedLine("NO CARRIER"); }).join();
    QApplication::processEvents();
    EXPECT_FALSE(s.IsRinging());
}
