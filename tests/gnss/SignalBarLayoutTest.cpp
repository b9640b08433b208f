#include "core/gnss/SignalBarLayout.h"

#include <gtest/gtest.h>

using namespace ulv;

namespace {

const ChartRect kClient {0, 0, 500, 300}; // plot box (50, 25, 470, 250)

void Track(SatelliteTable& t, int id, double snr, int used = 0)
{
    SatelliteRecord& e = t[static_cast<size_t>(id - 1)];
    e.inView = 1;
    e.tracked = 1;
    e.used = used;
    e.elevation = 30;
    e.azimuth = 100;
    e.snr = snr;
}

SatelliteTable TrackedGps(int count)
{
    SatelliteTable t {};
    for (int id = 1; id <= count; ++id)
        Track(t, id, 30);
    return t;
}

struct SlotCase {
    int tracked;
    int slots;
    int halfWidth;
};

TEST(SignalBarLayout, MoreBarsGetNarrowerSlots)
{
    const SlotCase cases[] = {{0, 14, 8}, {13, 14, 8}, {14, 18, 7}, {17, 18, 7}, {18, 24, 6}, {30, 24, 6}};
    for (const auto& c : cases) {
        const SignalBarChartLayout l = LayOutSignalBarChart(TrackedGps(c.tracked), kClient);
        EXPECT_EQ(l.slots.slots, c.slots) << c.tracked;
        EXPECT_EQ(l.slots.halfWidth, c.halfWidth) << c.tracked;
        EXPECT_EQ(l.gridX.size(), static_cast<size_t>(c.slots)) << c.tracked;
    }
}

struct ScaleCase {
    double strongest;
    int fullScale;
};

TEST(SignalBarLayout, TheScaleFollowsTheStrongestSignal)
{
    const ScaleCase cases[] = {{0, 50}, {40, 50}, {40.5, 60}, {50, 60}, {50.1, 80}, {70, 80}, {71, 110}, {500, 110}};
    for (const auto& c : cases) {
        SatelliteTable t {};
        Track(t, 3, 12);
        Track(t, 7, c.strongest);
        EXPECT_EQ(LayOutSignalBarChart(t, kClient).fullScale, c.fullScale) << c.strongest;
    }
}

TEST(SignalBarLayout, TicksDivideThePlotHeightAndTheTopTickHasNoLabel)
{
    SatelliteTable t {};
    Track(t, 1, 71);
    const SignalBarChartLayout l = LayOutSignalBarChart(t, kClient);
    ASSERT_EQ(l.ticks.size(), 12u); // 0..110 in steps of 10
    EXPECT_EQ(l.ticks.front().y, 250);
    EXPECT_EQ(l.ticks.front().label, "0");
    EXPECT_EQ(l.ticks[10].label, "100");
    EXPECT_EQ(l.ticks[10].y, 45); // trunc(250 - 10 * 225 / 11)
    EXPECT_EQ(l.ticks[10].labelBox, (ChartRect {34, 37, 48, 53}));
    EXPECT_EQ(l.ticks.back().y, 25);
    EXPECT_TRUE(l.ticks.back().label.isEmpty());
}

TEST(SignalBarLayout, ABarStandsOnItsSlot)
{
    SatelliteTable t {};
    Track(t, 5, 25);
    const SignalBarChartLayout l = LayOutSignalBarChart(t, kClient);
    EXPECT_EQ(l.plot, (ChartRect {50, 25, 470, 250}));
    EXPECT_DOUBLE_EQ(l.slotSpacing, 28.0); // 420 / 15
    EXPECT_EQ(l.gridX.front(), 78);
    ASSERT_EQ(l.bars.size(), 1u);
    const auto& b = l.bars[0];
    EXPECT_EQ(b.rect, (ChartRect {70, 137, 86, 250})); // top: 250 - 225 * 25 / 50 = 137.5
    EXPECT_EQ(b.value, "25");
    EXPECT_EQ(b.valueBox, (ChartRect {65, 122, 91, 135}));
    EXPECT_EQ(b.prn, "5");
    EXPECT_EQ(b.prnBox, (ChartRect {65, 252, 91, 265}));
}

TEST(SignalBarLayout, GpsComesFirstAndLaterSystemsAreCutAtTwentyFourBars)
{
    SatelliteTable t = TrackedGps(30);
    for (int id = 65; id < 70; ++id)
        Track(t, id, 30);
    const SignalBars bars = BuildBars(t);
    EXPECT_EQ(CountBars(bars), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(bars[static_cast<size_t>(i)].prn, i + 1);

    SatelliteTable mixed {};
    Track(mixed, 40, 30);
    Track(mixed, 70, 30);
    Track(mixed, 2, 30);
    const SignalBars order = BuildBars(mixed);
    EXPECT_EQ(order[0].prn, 2);
    EXPECT_EQ(order[1].prn, 70);
    EXPECT_EQ(order[2].prn, 127); // SBAS id 40 is PRN 127
}

struct BrushCase {
    int id;
    int used;
    BarBrush brush;
};

TEST(SignalBarLayout, BarsAreColouredBySystemAndUse)
{
    const BrushCase cases[] = {
        {1, 0, BarBrush::GpsTracked},
        {32, 1, BarBrush::GpsUsed},
        {65, 0, BarBrush::GlonassTracked},
        {96, 1, BarBrush::GlonassUsed},
        {33, 0, BarBrush::Sbas},
        {64, 1, BarBrush::Sbas},
    };
    for (const auto& c : cases) {
        SatelliteTable t {};
        Track(t, c.id, 30, c.used);
        const SignalBarChartLayout l = LayOutSignalBarChart(t, kClient);
        ASSERT_EQ(l.bars.size(), 1u) << c.id;
        EXPECT_EQ(l.bars[0].brush, c.brush) << c.id;
    }
}

TEST(SignalBarLayout, SatellitesWithoutSignalTakeASlotOrNothing)
{
    SatelliteTable t {};
    Track(t, 1, 0);                 // tracked at 0 dB-Hz: a slot, no bar
    Track(t, 2, 30);
    t[2] = {1, 0, 1, 0, 10, 10, -1}; // used in the fix but not tracked: no slot
    const SignalBars bars = BuildBars(t);
    EXPECT_EQ(CountBars(bars), 2);
    const SignalBarChartLayout l = LayOutSignalBarChart(t, kClient);
    ASSERT_EQ(l.bars.size(), 1u);
    EXPECT_EQ(l.bars[0].prn, "2");
    EXPECT_EQ(l.bars[0].rect.left, 98); // second slot: trunc(50 + 2 * 28 - 8)
}

TEST(SignalBarLayout, AnSnrAboveTheScaleReachesAboveThePlot)
{
    SatelliteTable t {};
    Track(t, 1, 220);
    const SignalBarChartLayout l = LayOutSignalBarChart(t, kClient);
    ASSERT_EQ(l.bars.size(), 1u);
    EXPECT_EQ(l.bars[0].rect.top, -200); // 250 - 225 * 220 / 110
    EXPECT_EQ(l.bars[0].value, "220");
}

} // namespace
