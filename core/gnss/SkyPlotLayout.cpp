#include "core/gnss/SkyPlotLayout.h"

#include "core/gnss/ChartMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace ulv {

namespace {

// Degrees to radians with pi to seven decimals, the precision the elevation
// label angle below is given in, so that satellites, spokes and labels agree
// to the pixel.
constexpr double kRadiansPerDegree = 3.1415926 / 180.0;
// The elevation labels sit 8.5 degrees east of north.
constexpr double kElevationLabelAngle = 0.1483529838888889;

ChartRect BoxAround(int x, int y, int halfWidth, int halfHeight)
{
    return {x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight};
}

// One quadrant of spokes: azimuths start + 15, + 30, ..., + 75. dir(b) gives the
// unit direction for the angle b (radians) measured from the quadrant's start.
template <typename Direction>
void AddSpokes(SkyGridLayout& grid, const SkyFrame& f, int start, double push, int halfWidth, int halfHeight,
    Direction dir)
{
    for (int a = start + 15; a < start + 90; a += 15) {
        const auto [ux, uy] = dir((a - start) * kRadiansPerDegree);
        const int ex = TruncToInt(f.cx + f.radius * ux);
        const int ey = TruncToInt(f.cy + f.radius * uy);
        const int ax = TruncToInt(ex + push * ux);
        const int ay = TruncToInt(ey + push * uy);
        grid.spokes.push_back({QPoint(ex, ey), QString::number(a), BoxAround(ax, ay, halfWidth, halfHeight), false});
    }
}

} // namespace

SkyFrame SkyPlotFrame(const ChartRect& rect)
{
    const int w = rect.Width();
    const int h = rect.Height();
    SkyFrame f;
    f.cx = rect.left + w / 2;
    f.cy = rect.top + h / 2;
    f.radius = (std::min(w, h) - 20) * 0.5 - 10;
    return f;
}

QPoint SkyPosition(const ChartRect& rect, double elevation, double azimuth)
{
    const SkyFrame f = SkyPlotFrame(rect);
    if (elevation == 90.0 || !(azimuth >= 0.0 && azimuth <= 360.0))
        return QPoint(f.cx, f.cy);
    const double t = f.radius * 0.011111111111111112 * (90.0 - elevation);
    // Quadrant by quadrant, the angle measured from the quadrant's start; the
    // four straight directions take exact offsets.
    double dx = 0.0;
    double dy = 0.0;
    if (azimuth == 0.0 || azimuth == 360.0) {
        dy = -t;
    } else if (azimuth == 90.0) {
        dx = t;
    } else if (azimuth == 180.0) {
        dy = t;
    } else if (azimuth == 270.0) {
        dx = -t;
    } else if (azimuth < 90.0) {
        const double b = azimuth * kRadiansPerDegree;
        dx = t * std::sin(b);
        dy = -t * std::cos(b);
    } else if (azimuth < 180.0) {
        const double b = (azimuth - 90.0) * kRadiansPerDegree;
        dx = t * std::cos(b);
        dy = t * std::sin(b);
    } else if (azimuth < 270.0) {
        const double b = (azimuth - 180.0) * kRadiansPerDegree;
        dx = -t * std::sin(b);
        dy = t * std::cos(b);
    } else {
        const double b = (azimuth - 270.0) * kRadiansPerDegree;
        dx = -t * std::cos(b);
        dy = -t * std::sin(b);
    }
    return QPoint(TruncToInt(f.cx + dx), TruncToInt(f.cy + dy));
}

SkyGridLayout LayOutSkyGrid(const ChartRect& rect)
{
    SkyGridLayout grid;
    if (rect.Width() <= 20 || rect.Height() <= 20)
        return grid;
    const SkyFrame f = SkyPlotFrame(rect);
    const double R = f.radius;

    for (int k = 0; k <= 8; ++k) {
        const double r = R - k * R / 9;
        const int lx = TruncToInt(f.cx + (r + 5) * std::sin(kElevationLabelAngle));
        const int ly = TruncToInt(f.cy - (r + 5) * std::cos(kElevationLabelAngle));
        grid.circles.push_back({{TruncToInt(f.cx - r), TruncToInt(f.cy - r), TruncToInt(f.cx + r), TruncToInt(f.cy + r)},
            QString::number(10 * k), BoxAround(lx, ly, 7, 7)});
    }

    const auto cardinal = [&](int ex, int ey, const char* name, int ax, int ay) {
        grid.spokes.push_back({QPoint(ex, ey), QString::fromLatin1(name), BoxAround(ax, ay, 7, 7), true});
    };
    using Dir = std::pair<double, double>;
    cardinal(f.cx, TruncToInt(f.cy - R), "N", f.cx, TruncToInt(f.cy - R - 10));
    AddSpokes(grid, f, 0, 10, 7, 9, [](double b) { return Dir {std::sin(b), -std::cos(b)}; });
    cardinal(TruncToInt(f.cx + R), f.cy, "E", TruncToInt(f.cx + R + 10), f.cy);
    AddSpokes(grid, f, 90, 15, 13, 13, [](double b) { return Dir {std::cos(b), std::sin(b)}; });
    cardinal(f.cx, TruncToInt(f.cy + R), "S", f.cx, TruncToInt(f.cy + R + 7));
    AddSpokes(grid, f, 180, 15, 13, 13, [](double b) { return Dir {-std::sin(b), std::cos(b)}; });
    cardinal(TruncToInt(f.cx - R), f.cy, "W", TruncToInt(f.cx - R - 10), f.cy);
    AddSpokes(grid, f, 270, 12, 13, 7, [](double b) { return Dir {-std::cos(b), -std::sin(b)}; });
    return grid;
}

void BuildSkyItems(const SatelliteTable& table, SkyItems& items)
{
    for (size_t i = 0; i < table.size(); ++i) {
        const SatelliteRecord& e = table[i];
        SkyItem& item = items[i];
        // Below the horizon or past the zenith there is no place on the plot.
        const bool placeable = e.azimuth >= 0.0 && e.azimuth <= 360.0 && e.elevation >= 0.0 && e.elevation <= 90.0;
        if (!e.inView || !placeable) {
            item.active = 0;
            continue;
        }
        item.active = 1;
        item.elevation = e.elevation;
        item.azimuth = e.azimuth;
        std::snprintf(item.label, sizeof item.label, "G%d", SatelliteNumber(static_cast<int>(i)));
        const int system = i < 32 ? 0 : i < 64 ? 1 : 2; // GPS, SBAS, GLONASS
        if (e.used)
            item.colourClass = system == 0 ? kSkyGpsUsed : system == 1 ? kSkySbas : kSkyGlonassUsed;
        else if (e.tracked)
            item.colourClass = system == 0 ? kSkyGpsTracked : system == 1 ? kSkySbas : kSkyGlonassTracked;
        else
            item.colourClass = kSkyInViewOnly;
    }
}

} // namespace ulv
