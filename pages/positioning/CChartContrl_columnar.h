#pragma once

#include "core/gnss/SatelliteRecord.h"
#include "pages/positioning/ChartSkeleton.h"

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

protected:
    void DrawChart(QPainter& p) override;

private:
    QFont m_axisFont;
    QFont m_verticalFont;
    QFont m_prnFont;
    QFont m_valueFont;
    QFont m_legendFont;
};

} // namespace ulv
