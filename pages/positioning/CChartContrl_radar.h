#pragma once

#include "core/gnss/SatelliteRecord.h"
#include "core/gnss/SkyPlotLayout.h"
#include "pages/positioning/ChartSkeleton.h"

namespace ulv {

// The GNSS page's "Sky view": the sky as a polar plot, horizon outside, zenith
// in the middle, north up and east right, each satellite in view a labelled
// ellipse coloured by constellation and by whether it is tracked or used.
class CChartContrl_radar : public ChartSkeleton {
    Q_OBJECT
public:
    explicit CChartContrl_radar(QWidget* parent = nullptr);

    // The page copies its whole table in, then repaints.
    SatelliteTable m_satellites {};

    // Fill and outline of a colour class (0..5).
    static QColor ClassColour(int colourClass);

protected:
    void DrawChart(QPainter& p) override;

private:
    void DrawGrid(QPainter& p, const ChartRect& rect);
    void DrawSatellites(QPainter& p, const ChartRect& rect);

    SkyItems m_items {};
    QImage m_gridLayer;
    QFont m_labelFont;
    QFont m_cardinalFont;
    QFont m_degreeFont;
};

} // namespace ulv
