#pragma once

#include "core/gnss/SatelliteRecord.h"
#include "pages/positioning/ChartSkeleton.h"

#include <QRect>
#include <vector>

namespace ulv {

// The GNSS page's "Signal column chart": one bar per tracked satellite, its
// height the S/N, coloured by constellation and use, on a scale that adapts to
// the strongest signal.
class CChartContrl_columnar : public ChartSkeleton {
    Q_OBJECT
public:
    explicit CChartContrl_columnar(QWidget* parent = nullptr);

    // The page copies its whole table in, then repaints.
    SatelliteTable m_satellites {};

    // Where the legend draws each entry: its colour box and its text, in
    // client coordinates; a box never starts before the text left of it ends.
    struct LegendPlace {
        QString text;
        QRect box;
        QRect textRect;
    };
    std::vector<LegendPlace> LegendPlaces() const;
    // The legend font, smaller when the chart is too narrow for the row.
    QFont LegendFont() const;

protected:
    void DrawChart(QPainter& p) override;

private:
    std::vector<LegendPlace> PlaceLegend(const QFont& font) const;

    QFont m_axisFont;
    QFont m_verticalFont;
    QFont m_prnFont;
    QFont m_valueFont;
    QFont m_legendFont;
};

} // namespace ulv
