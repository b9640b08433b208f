#pragma once

#include "core/gnss/ChartRect.h"
#include "core/gnss/SatelliteRecord.h"

#include <QPoint>
#include <QString>

#include <array>
#include <vector>

namespace ulv {

// One satellite of the sky plot.
struct SkyItem {
    int active = 0;
    int unused = 0;
    double elevation = 0.0; // degrees
    double azimuth = 0.0;   // degrees
    int colourClass = 0;    // SkyColourClass
    char label[12] = "0";   // "G12"
};
using SkyItems = std::array<SkyItem, kSatelliteCount>;

// Fills and outlines of the satellites, shared with the bar chart's legend.
enum SkyColourClass {
    kSkyGpsUsed = 0,
    kSkyGpsTracked = 1,
    kSkyGlonassUsed = 2,
    kSkyGlonassTracked = 3,
    kSkySbas = 4,
    kSkyInViewOnly = 5,
};

// The plot's centre and horizon radius for a client rectangle.
struct SkyFrame {
    int cx = 0;
    int cy = 0;
    double radius = 0.0; // pixels from the zenith to the horizon
};
SkyFrame SkyPlotFrame(const ChartRect& rect);

// The pixel of a sky position: the zenith (elevation 90) at the centre, north
// up, east right. Defined for azimuths 0..360; others give the centre.
QPoint SkyPosition(const ChartRect& rect, double elevation, double azimuth);

// One item per table entry: satellites in view become active with their label
// and colour class. Entries whose azimuth lies outside 0..360 or whose
// elevation lies outside 0..90 or is not a number (a malformed GSV sentence)
// are left out: they have no place on the plot.
void BuildSkyItems(const SatelliteTable& table, SkyItems& items);

// The grid under the satellites: elevation circles from the horizon inwards,
// each filled over the previous one, and spokes every 15 degrees of azimuth.
struct SkyGridLayout {
    struct Circle {
        ChartRect box; // the circle's bounding box
        QString label; // its elevation, "0" at the horizon
        ChartRect labelBox;
    };
    struct Spoke {
        QPoint end; // the spoke runs from the centre to here
        QString label; // "N", "E", "S", "W" or the azimuth
        ChartRect labelBox;
        bool cardinal = false;
    };
    std::vector<Circle> circles;
    std::vector<Spoke> spokes;
};
// Nothing when the rectangle is 20 pixels or less in either direction.
SkyGridLayout LayOutSkyGrid(const ChartRect& rect);

} // namespace ulv
