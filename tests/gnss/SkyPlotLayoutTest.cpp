#include "core/gnss/SkyPlotLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ulv;

namespace {

const ChartRect kClient {0, 0, 400, 320}; // centre (200, 160), horizon radius 140

struct PositionCase {
    double elevation;
    double azimuth;
    int x;
    int y;
};

TEST(SkyPlotLayout, SkyPositionsFollowElevationAndAzimuth)
{
    const PositionCase cases[] = {
        {0, 90, 340, 160},
        {45, 180, 200, 230},
        {0, 0, 200, 20},
        {0, 360, 200, 20},
        {0, 270, 60, 160},
        {90, 123, 200, 160}, // the zenith, whatever the azimuth
        {30, 45, 265, 94},   // 93.33 px out, north-east
        {30, 135, 265, 225},
        {30, 225, 134, 225},
        {30, 315, 134, 94},
        {60, 10, 208, 114},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SkyPosition(kClient, c.elevation, c.azimuth), QPoint(c.x, c.y)) << c.elevation << "/" << c.azimuth;
}

TEST(SkyPlotLayout, TheFrameUsesTheShorterSide)
{
    const SkyFrame f = SkyPlotFrame(kClient);
    EXPECT_EQ(f.cx, 200);
    EXPECT_EQ(f.cy, 160);
    EXPECT_DOUBLE_EQ(f.radius, 140.0);
    const SkyFrame offset = SkyPlotFrame({10, 20, 311, 421});
    EXPECT_EQ(offset.cx, 160);
    EXPECT_EQ(offset.cy, 220);
    EXPECT_DOUBLE_EQ(offset.radius, 130.5);
}

SatelliteRecord Sat(int inView, int tracked, int used, double elevation = 30, double azimuth = 100, double snr = 30)
{
    return {inView, tracked, used, 0, elevation, azimuth, snr};
}

struct ItemCase {
    const char* name;
    int id;
    SatelliteRecord record;
    int active;
    int colourClass;
    const char* label;
};

TEST(SkyPlotLayout, ItemsCarryLabelAndColourClass)
{
    const ItemCase cases[] = {
        {"GPS used", 12, Sat(1, 1, 1), 1, kSkyGpsUsed, "G12"},
        {"GPS tracked", 32, Sat(1, 1, 0), 1, kSkyGpsTracked, "G32"},
        {"SBAS used", 34, Sat(1, 1, 1), 1, kSkySbas, "G121"},
        {"SBAS tracked", 34, Sat(1, 1, 0), 1, kSkySbas, "G121"},
        {"GLONASS used", 71, Sat(1, 1, 1), 1, kSkyGlonassUsed, "G71"},
        {"GLONASS tracked", 71, Sat(1, 1, 0), 1, kSkyGlonassTracked, "G71"},
        {"used wins over tracked and over no S/N", 5, Sat(1, 0, 1), 1, kSkyGpsUsed, "G5"},
        {"in view only", 96, Sat(1, 0, 0, 30, 100, -1), 1, kSkyInViewOnly, "G96"},
        {"empty elevation", 7, Sat(0, 1, 0, -1, 100), 0, 0, "0"},
        {"azimuth past 360", 8, Sat(1, 1, 0, 30, 361), 0, 0, "0"},
        {"below the horizon though listed in view", 10, Sat(1, 1, 0, -5, 100), 0, 0, "0"},
        {"past the zenith", 11, Sat(1, 1, 0, 95, 100), 0, 0, "0"},
        {"elevation not a number", 9, Sat(1, 1, 0, std::numeric_limits<double>::quiet_NaN(), 10), 0, 0, "0"},
    };
    for (const auto& c : cases) {
        SatelliteTable t {};
        t[static_cast<size_t>(c.id - 1)] = c.record;
        SkyItems items;
        BuildSkyItems(t, items);
        const SkyItem& item = items[static_cast<size_t>(c.id - 1)];
        EXPECT_EQ(item.active, c.active) << c.name;
        if (c.active) {
            EXPECT_EQ(item.colourClass, c.colourClass) << c.name;
            EXPECT_EQ(item.elevation, c.record.elevation) << c.name;
            EXPECT_EQ(item.azimuth, c.record.azimuth) << c.name;
        }
        EXPECT_STREQ(item.label, c.label) << c.name;
        int active = 0;
        for (const SkyItem& i : items)
            active += i.active;
        EXPECT_EQ(active, c.active) << c.name << ": other items became active";
    }
}

TEST(SkyPlotLayout, AnItemLeavesWhenItsSatelliteIsNoLongerInView)
{
    SatelliteTable t {};
    t[3] = Sat(1, 1, 0);
    SkyItems items;
    BuildSkyItems(t, items);
    EXPECT_EQ(items[3].active, 1);
    t[3] = {};
    BuildSkyItems(t, items);
    EXPECT_EQ(items[3].active, 0);
}

} // namespace

namespace {

TEST(SkyPlotLayout, ElevationCirclesShrinkFromTheHorizonInwards)
{
    const SkyGridLayout grid = LayOutSkyGrid(kClient);
    ASSERT_EQ(grid.circles.size(), 9u);
    EXPECT_EQ(grid.circles[0].box, (ChartRect {60, 20, 340, 300}));
    EXPECT_EQ(grid.circles[0].label, "0");
    EXPECT_EQ(grid.circles[0].labelBox, (ChartRect {214, 9, 228, 23})); // 145 px out, 8.5 degrees east of north
    EXPECT_EQ(grid.circles[8].box, (ChartRect {184, 144, 215, 175})); // r = 140 / 9
    EXPECT_EQ(grid.circles[8].label, "80");
}

struct SpokeCase {
    const char* label;
    QPoint end;
    ChartRect labelBox;
};

TEST(SkyPlotLayout, SpokesEveryFifteenDegreesWithTheirLabels)
{
    const SkyGridLayout grid = LayOutSkyGrid(kClient);
    ASSERT_EQ(grid.spokes.size(), 24u);
    const SpokeCase cases[] = {
        {"N", {200, 20}, {193, 3, 207, 17}},
        {"45", {298, 61}, {298, 44, 312, 62}},
        {"E", {340, 160}, {343, 153, 357, 167}},
        {"135", {298, 258}, {295, 255, 321, 281}},
        {"S", {200, 300}, {193, 300, 207, 314}},
        {"W", {60, 160}, {43, 153, 57, 167}},
        {"315", {101, 61}, {79, 45, 105, 59}},
    };
    for (const auto& c : cases) {
        const auto it = std::find_if(grid.spokes.begin(), grid.spokes.end(),
            [&](const SkyGridLayout::Spoke& s) { return s.label == c.label; });
        ASSERT_NE(it, grid.spokes.end()) << c.label;
        EXPECT_EQ(it->end, c.end) << c.label;
        EXPECT_EQ(it->labelBox, c.labelBox) << c.label;
        EXPECT_EQ(it->cardinal, QString(c.label).size() == 1) << c.label;
    }
}

TEST(SkyPlotLayout, ASmallWindowHasNoGrid)
{
    for (const ChartRect& r : {ChartRect {0, 0, 20, 300}, ChartRect {0, 0, 300, 20}, ChartRect {5, 5, 5, 5}}) {
        const SkyGridLayout grid = LayOutSkyGrid(r);
        EXPECT_TRUE(grid.circles.empty());
        EXPECT_TRUE(grid.spokes.empty());
    }
    EXPECT_EQ(LayOutSkyGrid({0, 0, 21, 21}).circles.size(), 9u);
}

} // namespace
