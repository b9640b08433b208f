#pragma once

#include "core/gnss/WorldOutline.h"
#include "pages/positioning/ChartSkeleton.h"

#include <array>

namespace ulv {

// A labelled marker of the world map.
struct MapMarker {
    int active = 0;
    int x = 0;
    int y = 0;
    int colour = 0; // 0..4
    char text[12] = "0";
};

// The GNSS page's "World map": the continents in an equirectangular
// projection and the receiver's position as a green circle with a cross.
class CChartContrl : public ChartSkeleton {
    Q_OBJECT
public:
    explicit CChartContrl(QWidget* parent = nullptr);

    // Loads Morvane_world.dat and projects it once to the current client size.
    // False, with no land drawn, when the file is missing, cut short,
    // malformed or holds more than 550 polygons.
    bool LoadOutline(const QString& path);
    // Signed degrees, north and east positive; a value out of range (the page
    // passes -1000.0 for an unknown hemisphere) hides the marker. The caller
    // repaints.
    void SetPosition(double latitude, double longitude);
    void SetMarker(int index, int active, int x, int y, int colour, const QString& text);

    double Latitude() const { return m_dLatitude; }
    double Longitude() const { return m_dLongitude; }
    int PolygonCount() const { return m_outline.PolygonCount(); }

protected:
    void DrawChart(QPainter& p) override;

private:
    void DrawLand(QPainter& p);
    void DrawPositionMarker(QPainter& p);
    void DrawMarkers(QPainter& p);

    std::array<MapMarker, 10> m_markers {};
    WorldOutline m_outline;
    QImage m_landLayer;
    bool m_landLayerStale = true;
    QFont m_labelFont;
    double m_dLatitude;
    double m_dLongitude;
};

} // namespace ulv
