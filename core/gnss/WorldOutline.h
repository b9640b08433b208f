#pragma once

#include <QPoint>
#include <QString>

#include <string_view>
#include <vector>

namespace ulv {

// The land outlines of the world map, loaded from Morvane_world.dat and
// projected once to the chart's pixel size (equirectangular: longitude -180..180
// across the width, latitude 90..-90 down the height).
//
// File format, little-endian: int32 polygon count (at most 550), then per
// polygon an int32 point count N and N pairs of float32 longitude, latitude.
class WorldOutline {
public:
    static constexpr int kMaxPolygons = 550;

    // Loads and projects the file for a chart of width x height pixels. False,
    // with no land kept, when the file is missing, holds more than 550
    // polygons, or is cut short or malformed.
    bool Load(const QString& path, int width, int height);
    bool LoadFromBytes(std::string_view data, int width, int height);

    int PolygonCount() const { return static_cast<int>(m_polygons.size()); }
    const std::vector<std::vector<QPoint>>& Polygons() const { return m_polygons; }

    // The pixel of an outline point (single precision, as the points are stored).
    static QPoint ProjectOutlinePoint(float longitude, float latitude, int width, int height);
    // The pixel of the position marker.
    static QPoint ProjectPosition(double latitude, double longitude, int width, int height);
    // Whether the position marker is drawn: -90..90 and -180..180 (the page
    // passes -1000.0 for an unknown hemisphere).
    static bool IsMarkedPosition(double latitude, double longitude);

private:
    std::vector<std::vector<QPoint>> m_polygons;
};

} // namespace ulv
