#include "core/gnss/SignalBarLayout.h"

#include "core/gnss/ChartMath.h"

namespace ulv {

namespace {

BarBrush BrushFor(const SignalBar& bar)
{
    if (bar.prn >= 120)
        return BarBrush::Sbas;
    const bool glonass = bar.prn >= 65 && bar.prn <= 96;
    if (bar.used)
        return glonass ? BarBrush::GlonassUsed : BarBrush::GpsUsed;
    return glonass ? BarBrush::GlonassTracked : BarBrush::GpsTracked;
}

} // namespace

SignalBars BuildBars(const SatelliteTable& table)
{
    SignalBars bars {};
    size_t n = 0;
    const auto take = [&](int first, int last) {
        for (int i = first; i <= last && n < bars.size(); ++i) {
            const SatelliteRecord& e = table[static_cast<size_t>(i)];
            if (!e.tracked)
                continue;
            bars[n++] = SignalBar {1, e.used, SatelliteNumber(i), 0, e.snr};
        }
    };
    take(0, 31);  // GPS
    take(64, 95); // GLONASS
    take(32, 63); // SBAS
    return bars;
}

int CountBars(const SignalBars& bars)
{
    int n = 0;
    for (const SignalBar& b : bars)
        n += b.valid ? 1 : 0;
    return n;
}

double MaxBarSnr(const SignalBars& bars)
{
    double m = 0.0;
    for (const SignalBar& b : bars) {
        if (b.valid && b.snr > m)
            m = b.snr;
    }
    return m;
}

BarSlots SlotsForBars(int barCount)
{
    if (barCount < 14)
        return {14, 8};
    if (barCount < 18)
        return {18, 7};
    return {24, 6};
}

int FullScale(double maxSnr)
{
    if (maxSnr <= 40)
        return 50;
    if (maxSnr <= 50)
        return 60;
    if (maxSnr <= 70)
        return 80;
    return 110;
}

SignalBarChartLayout LayOutSignalBarChart(const SatelliteTable& table, const ChartRect& client)
{
    SignalBarChartLayout out;
    const ChartRect plot {client.left + 50, client.top + 25, client.right - 30, client.bottom - 50};
    out.plot = plot;
    const int plotHeight = plot.bottom - plot.top;

    const SignalBars bars = BuildBars(table);
    out.slots = SlotsForBars(CountBars(bars));
    const int slots = out.slots.slots;
    const double dx = static_cast<double>(plot.right - plot.left) / (slots + 1);
    out.slotSpacing = dx;
    for (int i = 1; i <= slots; ++i)
        out.gridX.push_back(TruncToInt(plot.left + i * dx));

    const int full = FullScale(MaxBarSnr(bars));
    out.fullScale = full;
    const int ticks = full / 10;
    const double dy = static_cast<double>(plotHeight) / ticks;
    for (int k = 0; k <= ticks; ++k) {
        SignalBarChartLayout::Tick t;
        t.y = TruncToInt(plot.bottom - k * dy);
        t.labelBox = {plot.left - 16, t.y - 8, plot.left - 2, t.y + 8};
        if (k < ticks)
            t.label = QString::number(10 * k);
        out.ticks.push_back(t);
    }

    const int hw = out.slots.halfWidth;
    for (int i = 1; i <= slots; ++i) {
        const SignalBar& b = bars[static_cast<size_t>(i - 1)];
        if (!b.valid || !(b.snr > 0))
            continue;
        SignalBarChartLayout::Bar bar;
        const double centre = plot.left + i * dx;
        bar.rect = {TruncToInt(centre - hw), TruncToInt(plot.bottom - plotHeight * b.snr / full),
            TruncToInt(centre + hw), plot.bottom};
        bar.brush = BrushFor(b);
        bar.value = QString::number(TruncToInt(b.snr));
        bar.valueBox = {bar.rect.left - 5, bar.rect.top - 15, bar.rect.right + 5, bar.rect.top - 2};
        bar.prn = QString::number(b.prn);
        bar.prnBox = {bar.rect.left - 5, plot.bottom + 2, bar.rect.right + 5, plot.bottom + 15};
        out.bars.push_back(bar);
    }
    return out;
}

} // namespace ulv
