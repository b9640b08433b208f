#include "pages/positioning/core/SkyPlotLayout.h"

#include "pages/positioning/core/ChartMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ulv {

namespace {

// The sky plot's own degree-to-radian factor, kept so that every point lands on
// the same pixel as on the charts this one replaces.
constexpr double kRadiansPerDegree = 3.1415926 / 180.0;

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

void BuildSkyItems(const SatelliteTable& table, SkyItems& items)
{
    for (size_t i = 0; i < table.size(); ++i) {
        const SatelliteRecord& e = table[i];
        SkyItem& item = items[i];
        const bool placeable = e.azimuth >= 0.0 && e.azimuth <= 360.0 && !std::isnan(e.elevation);
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
