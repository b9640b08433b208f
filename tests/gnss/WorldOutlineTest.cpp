#include "core/gnss/WorldOutline.h"

#include <QTemporaryDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

using namespace ulv;

namespace {

// Builds outline file bytes: count, then per polygon N and its points.
class OutlineBytes {
public:
    OutlineBytes& Int(int32_t v)
    {
        Append(&v, 4);
        return *this;
    }
    OutlineBytes& Point(float lon, float lat)
    {
        Append(&lon, 4);
        Append(&lat, 4);
        return *this;
    }
    std::string bytes;

private:
    void Append(const void* p, size_t n)
    {
        // The file is little-endian, as this machine is.
        bytes.append(static_cast<const char*>(p), n);
    }
};

struct ProjectionCase {
    float lon;
    float lat;
    int x;
    int y;
};

TEST(WorldOutline, PointsAreProjectedEquirectangularly)
{
    const ProjectionCase cases[] = {
        {0, 0, 200, 135},
        {180, -90, 400, 270},
        {-180, 90, 0, 0},
        {90, 45, 300, 67}, // 67.5 truncated
        {-90.5f, -10, 99, 150},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WorldOutline::ProjectOutlinePoint(c.lon, c.lat, 400, 270), QPoint(c.x, c.y)) << c.lon << "," << c.lat;
        EXPECT_EQ(WorldOutline::ProjectPosition(c.lat, c.lon, 400, 270), QPoint(c.x, c.y)) << c.lon << "," << c.lat;
    }
}

struct MarkerCase {
    double lat;
    double lon;
    bool marked;
};

TEST(WorldOutline, OnlyPositionsOnTheMapAreMarked)
{
    const MarkerCase cases[] = {
        {0, 0, true},
        {90, 180, true},
        {-90, -180, true},
        {91, 0, false},
        {0, -1000, false},
        {-1000, -1000, false},
        {std::nan(""), 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WorldOutline::IsMarkedPosition(c.lat, c.lon), c.marked) << c.lat << "," << c.lon;
    EXPECT_EQ(WorldOutline::ProjectPosition(90, 0, 400, 270).y(), 0); // latitude 90 on the top edge
}

TEST(WorldOutline, LoadsPolygonsInFileOrder)
{
    OutlineBytes f;
    f.Int(3).Int(3).Point(0, 0).Point(180, -90).Point(-180, 90).Int(0).Int(1).Point(90, 45);
    WorldOutline o;
    ASSERT_TRUE(o.LoadFromBytes(f.bytes, 400, 270));
    ASSERT_EQ(o.PolygonCount(), 3);
    EXPECT_EQ(o.Polygons()[0], (std::vector<QPoint> {{200, 135}, {400, 270}, {0, 0}}));
    EXPECT_TRUE(o.Polygons()[1].empty());
    EXPECT_EQ(o.Polygons()[2], (std::vector<QPoint> {{300, 67}}));
}

struct LoadCase {
    const char* name;
    std::string bytes;
    bool ok;
    int polygons;
};

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(WorldOutline, DamagedOrOversizedFilesLoadNoLand)
{
    const std::string emptyPolygon = OutlineBytes().Int(0).bytes;
    const std::string onePoint = OutlineBytes().Int(1).Point(10, 10).bytes;
    const LoadCase cases[] = {
        {"550 polygons", OutlineBytes().Int(550).bytes + Repeat(emptyPolygon, 550), true, 550},
        {"551 polygons", OutlineBytes().Int(551).bytes + Repeat(emptyPolygon, 551), false, 0},
        {"no polygons", OutlineBytes().Int(0).bytes, true, 0},
        {"negative count", OutlineBytes().Int(-5).bytes, true, 0},
        {"empty file", "", false, 0},
        {"count cut short", std::string("\x02\x00", 2), false, 0},
        {"fewer polygons than counted", OutlineBytes().Int(2).bytes + onePoint, false, 0},
        {"points cut short", OutlineBytes().Int(1).Int(2).Point(1, 1).bytes + "\x01\x02", false, 0},
        {"negative point count", OutlineBytes().Int(1).Int(-1).bytes, false, 0},
        {"huge point count", OutlineBytes().Int(1).Int(0x7fffffff).Point(1, 1).bytes, false, 0},
        {"trailing bytes are ignored", OutlineBytes().Int(1).bytes + onePoint + "xyz", true, 1},
    };
    for (const auto& c : cases) {
        WorldOutline o;
        // Land from an earlier load must not survive a failed one.
        ASSERT_TRUE(o.LoadFromBytes(OutlineBytes().Int(1).bytes + onePoint, 400, 270));
        EXPECT_EQ(o.LoadFromBytes(c.bytes, 400, 270), c.ok) << c.name;
        EXPECT_EQ(o.PolygonCount(), c.polygons) << c.name;
    }
}

TEST(WorldOutline, NonsensePointsStayHarmless)
{
    const float inf = std::numeric_limits<float>::infinity();
    OutlineBytes f;
    f.Int(1).Int(3).Point(std::nanf(""), 0).Point(inf, -inf).Point(1e30f, -1e30f);
    WorldOutline o;
    ASSERT_TRUE(o.LoadFromBytes(f.bytes, 400, 270));
    EXPECT_EQ(o.Polygons()[0][0].x(), 0);
    EXPECT_GT(o.Polygons()[0][1].x(), 400);
    EXPECT_GT(o.Polygons()[0][1].y(), 270);
}

TEST(WorldOutline, AMissingFileLoadsNoLand)
{
    QTemporaryDir dir;
    WorldOutline o;
    EXPECT_FALSE(o.Load(dir.filePath("Morvane_world.dat"), 400, 270));
    EXPECT_EQ(o.PolygonCount(), 0);
}

TEST(WorldOutline, TheShippedOutlineLoadsInsideTheMap)
{
    WorldOutline o;
    ASSERT_TRUE(o.Load(ULV_WORLD_OUTLINE_FILE, 400, 270));
    ASSERT_GT(o.PolygonCount(), 0);
    EXPECT_LE(o.PolygonCount(), WorldOutline::kMaxPolygons);
    int points = 0;
    int south = 0;
    for (const auto& polygon : o.Polygons()) {
        for (const QPoint& p : polygon) {
            ++points;
            ASSERT_GE(p.x(), 0);
            ASSERT_LE(p.x(), 400);
            ASSERT_GE(p.y(), 0);
            ASSERT_LE(p.y(), 270);
            south += p.y() >= 260 ? 1 : 0;
        }
    }
    EXPECT_GT(points, 1000); // real coastlines, not a placeholder
    EXPECT_GT(south, 0);     // Antarctica reaches the bottom edge
}

} // namespace
