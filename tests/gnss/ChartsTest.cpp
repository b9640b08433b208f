// The three GNSS charts as a user sees them: pixels at known places for a
// fixed satellite table and fixed window sizes.

#include "core/gnss/SignalBarLayout.h"
#include "core/gnss/WorldOutline.h"
#include "pages/positioning/CChartContrl.h"
#include "pages/positioning/CChartContrl_columnar.h"
#include "pages/positioning/CChartContrl_radar.h"
#include "ui/controls/WinLook.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace ulv;

namespace {

constexpr unsigned kWsChild = 0x40000000;
constexpr unsigned kWsVisible = 0x10000000;

const QRgb kGrey = ColorRefToRgb(0xCDCDCD);
const QRgb kLand = ColorRefToRgb(0x7D7D7D);
const QRgb kGreen = ColorRefToRgb(0x00FF00);
const QRgb kBlack = qRgb(0, 0, 0);

template <class Chart>
void Make(Chart& chart, int w, int h)
{
    chart.Create(QString(), kWsChild | kWsVisible, QRect(0, 0, w, h), nullptr, 0xFFFE);
}

SatelliteRecord Sat(int inView, int tracked, int used, double elevation, double azimuth, double snr)
{
    return {inView, tracked, used, 0, elevation, azimuth, snr};
}

// ---- World map

TEST(WorldMapChart, PositionMarkerSitsOnTheProjectedPoint)
{
    struct Case {
        double lat, lon;
        QPoint centre;
    };
    // 400 x 270: (0,0) in the middle, 90 N 180 E at the top right edge.
    const Case cases[] = {
        {0, 0, {200, 135}},
        {45, -90, {100, 67}},
        {-45, 90, {300, 202}},
    };
    for (const Case& c : cases) {
        CChartContrl chart;
        Make(chart, 400, 270);
        chart.SetPosition(c.lat, c.lon);
        const QImage img = chart.Render();
        const QPoint p = c.centre;
        SCOPED_TRACE(testing::Message() << c.lat << "," << c.lon);
        EXPECT_EQ(img.pixel(p), kGreen) << "the cross";
        EXPECT_EQ(img.pixel(p + QPoint(13, 0)), kGreen) << "right arm";
        EXPECT_EQ(img.pixel(p + QPoint(0, -13)), kGreen) << "upper arm";
        EXPECT_EQ(img.pixel(p + QPoint(7, 0)), kGreen) << "the circle";
        EXPECT_EQ(img.pixel(p + QPoint(4, 4)), kGrey) << "inside the circle, off the cross";
        EXPECT_EQ(img.pixel(p + QPoint(15, 0)), kGrey) << "past the arm";
    }
}

TEST(WorldMapChart, PositionOutOfRangeDrawsNoMarker)
{
    for (auto [lat, lon] : {std::pair {91.0, 0.0}, {0.0, -1000.0}, {-1000.0, -1000.0}, {NAN, 0.0}}) {
        CChartContrl chart;
        Make(chart, 400, 270);
        chart.SetPosition(lat, lon);
        const QImage img = chart.Render();
        bool green = false;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                green = green || img.pixel(x, y) == kGreen;
        EXPECT_FALSE(green) << lat << "," << lon;
    }
}

TEST(WorldMapChart, LandFromTheOutlineFileFillsTheContinents)
{
    CChartContrl chart;
    Make(chart, 720, 360); // two pixels per degree
    chart.SetPosition(-1000, -1000);
    ASSERT_TRUE(chart.LoadOutline(QStringLiteral(ULV_WORLD_OUTLINE_FILE)));
    const QImage img = chart.Render();
    struct Place {
        const char* name;
        double lat, lon;
        bool land;
    };
    const Place places[] = {
        {"Sahara", 23, 12, true},
        {"Siberia", 62, 100, true},
        {"Brazil", -10, -55, true},
        {"mid Atlantic", 0, -30, false},
        {"mid Pacific", 0, -150, false},
        {"Indian Ocean", -30, 80, false},
    };
    for (const Place& p : places) {
        const QPoint px = WorldOutline::ProjectPosition(p.lat, p.lon, 720, 360);
        EXPECT_EQ(img.pixel(px), p.land ? kLand : kGrey) << p.name;
    }
}

TEST(WorldMapChart, BadOutlineFilesDrawNoLand)
{
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    QByteArray tooMany(4, '\0');
    tooMany[0] = char(551 & 0xFF);
    tooMany[1] = char(551 >> 8);
    const QString files[] = {dir.filePath("missing.dat"), write("empty.dat", {}), write("toomany.dat", tooMany),
        write("cut.dat", QByteArray::fromHex("01000000" "05000000" "00000000"))};
    for (const QString& path : files) {
        CChartContrl chart;
        Make(chart, 400, 270);
        chart.SetPosition(-1000, -1000);
        EXPECT_FALSE(chart.LoadOutline(path)) << path.toStdString();
        EXPECT_EQ(chart.PolygonCount(), 0);
        const QImage img = chart.Render();
        EXPECT_EQ(img.pixel(222, 100), kGrey);
    }
}

TEST(WorldMapChart, SaveAsBitmapWritesAPictureAViewerOpens)
{
    QTemporaryDir dir;
    CChartContrl chart;
    Make(chart, 401, 270); // a width whose rows need padding
    chart.SetPosition(0, 0);
    chart.LoadOutline(QStringLiteral(ULV_WORLD_OUTLINE_FILE));
    const QString path = dir.filePath("map.bmp");
    ASSERT_TRUE(chart.SaveAsBitmap(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    const int stride = ((24 * 401 + 31) / 32) * 4;
    EXPECT_EQ(bytes.size(), 54 + 270 * stride);
    QImage read;
    ASSERT_TRUE(read.load(path, "BMP"));
    const QImage shown = chart.Render();
    ASSERT_EQ(read.size(), shown.size());
    for (QPoint p : {QPoint(200, 135), QPoint(0, 0), QPoint(400, 269), QPoint(222, 100)})
        EXPECT_EQ(read.pixel(p), shown.pixel(p)) << p.x() << "," << p.y();

    // Written anew over an older file; an unwritable place gives false.
    ASSERT_TRUE(chart.SaveAsBitmap(path));
    EXPECT_EQ(QFileInfo(path).size(), 54 + 270 * stride);
    EXPECT_FALSE(chart.SaveAsBitmap(dir.filePath("no/such/folder/map.bmp")));
}

// ---- Signal bars

TEST(SignalBarChart, BarsStandInTheirSlotsAgainstTheFullScale)
{
    struct Case {
        const char* name;
        std::vector<double> snrs; // GPS ids 1.., tracked
        int slots;
        int fullScale;
    };
    const Case cases[] = {
        {"13 bars, strongest 40", std::vector<double>(13, 40.0), 14, 50},
        {"14 bars, strongest 40.5", [] { std::vector<double> v(14, 30.0); v[3] = 40.5; return v; }(), 18, 60},
        {"18 bars, strongest 70", [] { std::vector<double> v(18, 20.0); v[0] = 70; return v; }(), 24, 80},
        {"3 bars, strongest 71", {71, 10, 35}, 14, 110},
    };
    const int W = 600, H = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CChartContrl_columnar chart;
        Make(chart, W, H);
        for (size_t i = 0; i < c.snrs.size(); ++i)
            chart.m_satellites[i] = Sat(1, 1, i == 0 ? 1 : 0, 30, 100, c.snrs[i]);
        const QImage img = chart.Render();
        const int x0 = 50, y0 = 25, x1 = W - 30, y1 = H - 50;
        const double dx = double(x1 - x0) / (c.slots + 1);
        for (size_t i = 0; i < c.snrs.size(); ++i) {
            const int centre = int(x0 + (i + 1) * dx);
            const int top = int(y1 - (y1 - y0) * c.snrs[i] / c.fullScale);
            const QRgb fill = ColorRefToRgb(i == 0 ? 0xCE975A : 0x00A5FD);
            SCOPED_TRACE(testing::Message() << "bar " << i);
            EXPECT_EQ(img.pixel(centre - 2, y1 - 2), fill) << "foot of the bar";
            EXPECT_EQ(img.pixel(centre - 2, top + 2), fill) << "top of the bar";
            EXPECT_NE(img.pixel(centre - 2, top - 1), fill) << "above the top";
        }
        // The next free slot holds no bar.
        const int free = int(x0 + (c.snrs.size() + 1) * dx);
        if (c.snrs.size() < size_t(c.slots)) {
            for (int y = y0 + 1; y < y1; y += 7)
                EXPECT_NE(img.pixel(free - 2, y), ColorRefToRgb(0x00A5FD)) << "empty slot, y " << y;
        }
    }
}

TEST(SignalBarChart, ConstellationsTakeTheirLegendColours)
{
    const int W = 600, H = 300;
    CChartContrl_columnar chart;
    Make(chart, W, H);
    chart.m_satellites[4] = Sat(1, 1, 0, 30, 100, 40);   // GPS 5 tracked
    chart.m_satellites[69] = Sat(1, 1, 1, 30, 100, 40);  // GLONASS 70 used
    chart.m_satellites[70] = Sat(1, 1, 0, 30, 100, 40);  // GLONASS 71 tracked
    chart.m_satellites[33] = Sat(1, 1, 1, 30, 100, 40);  // SBAS 121
    chart.m_satellites[7] = Sat(1, 1, 0, 30, 100, 0);    // S/N 0: a slot, no bar
    chart.m_satellites[8] = Sat(1, 0, 1, 30, 100, -1);   // used, not tracked: nothing
    const QImage img = chart.Render();
    const int x0 = 50, x1 = W - 30, y1 = H - 50;
    const double dx = double(x1 - x0) / 15;
    // Order: GPS 5, GPS 8 (no bar), GLONASS 70, 71, SBAS 121.
    const COLORREF expected[] = {0x00A5FD, 0xCDCDCD, 0xFF5C5C, 0x5C5CFF, 0x52A86A};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(img.pixel(int(x0 + (i + 1) * dx) - 2, y1 - 5), ColorRefToRgb(expected[i])) << "slot " << i + 1;
    EXPECT_NE(img.pixel(int(x0 + 6 * dx) - 2, y1 - 5), ColorRefToRgb(0xCE975A)) << "used without S/N";
    // Legend boxes: at their given places, or further right where the text
    // before them needs the room.
    const auto legend = chart.LegendPlaces();
    ASSERT_EQ(legend.size(), 5u);
    size_t i = 0;
    for (auto [left, colour] : {std::pair {15, 0x00A5FDu}, {105, 0xCE975Au}, {180, 0x5C5CFFu}, {280, 0xFF5C5Cu},
             {370, 0x52A86Au}}) {
        const QRect box = legend[i].box;
        EXPECT_GE(box.left(), left) << i;
        if (i > 0)
            EXPECT_GT(box.left(), legend[i - 1].textRect.right()) << legend[i - 1].text.toStdString() << " runs into the next box";
        EXPECT_EQ(img.pixel(box.left() + 7, 8), ColorRefToRgb(colour)) << left;
        ++i;
    }
    EXPECT_EQ(legend[0].box.left(), 15);
}

TEST(SignalBarChart, SaturatedSignalsStayInTheWindow)
{
    CChartContrl_columnar chart;
    Make(chart, 500, 260);
    chart.m_satellites[0] = Sat(1, 1, 0, 30, 100, 1e300);
    chart.m_satellites[1] = Sat(1, 1, 0, 30, 100, 150);
    const QImage img = chart.Render(); // must not crash; bars are clipped at the window
    EXPECT_EQ(img.size(), QSize(500, 260));
}

// ---- Sky plot

bool Contains(const QImage& img, QRgb colour)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == colour)
                return true;
    return false;
}

TEST(SkyPlotChart, SatellitesSitAtTheirElevationAndAzimuth)
{
    // 400 x 320: centre (200,160), horizon radius 140.
    struct Case {
        const char* name;
        int index;
        SatelliteRecord sat;
        QPoint at;
        int colourClass;
    };
    const Case cases[] = {
        {"horizon east", 4, Sat(1, 1, 1, 0, 90, 40), {340, 160}, 0},
        {"45 south", 70, Sat(1, 1, 0, 45, 180, 40), {200, 230}, 3},
        {"zenith whatever the azimuth", 33, Sat(1, 1, 0, 90, 123, 40), {200, 160}, 4},
        {"horizon north", 10, Sat(1, 0, 0, 0, 0, -1), {200, 20}, 5},
        {"horizon west", 65, Sat(1, 1, 1, 0, 270, 30), {60, 160}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CChartContrl_radar chart;
        Make(chart, 400, 320);
        chart.m_satellites[size_t(c.index)] = c.sat;
        const QImage img = chart.Render();
        const QRgb fill = CChartContrl_radar::ClassColour(c.colourClass).rgb();
        // Above and below the white label; the ellipse is 26 wide and 20 high.
        EXPECT_EQ(img.pixel(c.at + QPoint(0, -8)), fill);
        EXPECT_EQ(img.pixel(c.at + QPoint(0, 8)), fill);
        EXPECT_EQ(img.pixel(c.at + QPoint(-4, -8)), fill);
        for (QPoint outside : {QPoint(-15, 0), QPoint(15, 0), QPoint(0, -12), QPoint(0, 12)})
            EXPECT_NE(img.pixel(c.at + outside), fill) << outside.x() << "," << outside.y();
        EXPECT_TRUE(Contains(img, qRgb(255, 255, 255))) << "the label";
    }
}

TEST(SkyPlotChart, GridHasTheHorizonAndTheZenith)
{
    CChartContrl_radar chart;
    Make(chart, 400, 320);
    const QImage img = chart.Render();
    const double R = 140;
    // Along a ray between two spokes the horizon circle is crossed once, with
    // the grey fill inside and the grey background outside.
    for (double az : {52.5, 142.5, 232.5, 322.5}) {
        SCOPED_TRACE(az);
        const double s = std::sin(az * M_PI / 180), co = std::cos(az * M_PI / 180);
        const auto at = [&](double r) { return QPoint(int(200 + r * s), int(160 - r * co)); };
        EXPECT_EQ(img.pixel(at(R - 4)), kGrey);
        EXPECT_EQ(img.pixel(at(R + 4)), kGrey);
        bool crossed = false;
        for (double r = R - 2; r <= R + 2; r += 0.5)
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    crossed = crossed || img.pixel(at(r) + QPoint(dx, dy)) == kBlack;
        EXPECT_TRUE(crossed) << "the horizon circle";
    }
    // Every spoke meets the others at the zenith; north straight up to the horizon.
    EXPECT_EQ(img.pixel(200, 160), kBlack);
    EXPECT_EQ(img.pixel(200, 160 - 70), kBlack);
    EXPECT_EQ(img.pixel(200, 20), kBlack);
}

TEST(SkyPlotChart, ImpossiblePositionsAreLeftOut)
{
    // A malformed GSV sentence can leave any number in the table: nothing of
    // such a satellite may appear, inside the plot or out of it.
    const SatelliteRecord bad[] = {
        Sat(1, 1, 0, 30, 400, 40),
        Sat(1, 1, 0, 30, -10, 40),
        Sat(1, 1, 0, -5, 100, 40),
        Sat(1, 1, 0, -90, 100, 40),
        Sat(1, 1, 0, 1e300, 100, 40),
        Sat(1, 1, 0, NAN, 100, 40),
    };
    for (const SatelliteRecord& s : bad) {
        SCOPED_TRACE(testing::Message() << s.elevation << "/" << s.azimuth);
        CChartContrl_radar chart;
        Make(chart, 400, 320);
        chart.m_satellites[2] = s;
        const QImage img = chart.Render();
        EXPECT_FALSE(Contains(img, CChartContrl_radar::ClassColour(1).rgb()));
    }
}

TEST(SkyPlotChart, TinyWindowDrawsNoGrid)
{
    CChartContrl_radar chart;
    Make(chart, 20, 60);
    EXPECT_FALSE(Contains(chart.Render(), kBlack));
}

} // namespace
