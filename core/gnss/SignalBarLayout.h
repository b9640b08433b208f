#pragma once

#include "core/gnss/ChartRect.h"
#include "core/gnss/SatelliteRecord.h"

#include <QString>

#include <array>
#include <vector>

namespace ulv {

// One bar of the signal bar chart.
struct SignalBar {
    int valid = 0; // 1 for a bar to consider
    int used = 0;
    int prn = 0; // the number printed under the bar
    int unused = 0;
    double snr = 0.0;
};

inline constexpr int kMaxSignalBars = 24;
using SignalBars = std::array<SignalBar, kMaxSignalBars>;

// The legend's five fills.
enum class BarBrush { GpsTracked, GpsUsed, GlonassTracked, GlonassUsed, Sbas };

// Tracked satellites in chart order, GPS first, then GLONASS, then SBAS, at most 24.
SignalBars BuildBars(const SatelliteTable& table);
int CountBars(const SignalBars& bars);
// The strongest S/N among valid bars, at least 0.
double MaxBarSnr(const SignalBars& bars);

struct BarSlots {
    int slots = 0;
    int halfWidth = 0;
};
// Fewer bars get wider slots: <14 bars 14 slots of half-width 8, <18 bars 18 of
// 7, else 24 of 6.
BarSlots SlotsForBars(int barCount);
// The scale's full value for the strongest signal: 50, 60, 80 or 110 dB-Hz.
int FullScale(double maxSnr);

// Everything the bar chart draws that depends on the data or the size, in
// pixels of the chart's client rectangle.
struct SignalBarChartLayout {
    ChartRect plot; // X0, Y0, X1, Y1
    BarSlots slots;
    double slotSpacing = 0.0;
    std::vector<int> gridX; // one vertical grid line per slot
    int fullScale = 0;
    struct Tick {
        int y = 0;
        QString label; // empty for the top tick
        ChartRect labelBox; // left of the axis
    };
    std::vector<Tick> ticks;
    struct Bar {
        ChartRect rect;
        BarBrush brush = BarBrush::GpsTracked;
        QString value; // the S/N, truncated
        ChartRect valueBox;
        QString prn;
        ChartRect prnBox;
    };
    std::vector<Bar> bars; // only the bars that are drawn
};

SignalBarChartLayout LayOutSignalBarChart(const SatelliteTable& table, const ChartRect& client);

} // namespace ulv
