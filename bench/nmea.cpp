// Sentences per second through the GNSS page's NMEA intake and dispatch: one
// epoch of a GPS-only receiver (CR LF) and one of a GPS+GLONASS receiver (LF
// only), repeated, fed in chunks as a serial port delivers them.
#include "core/gnss/NmeaParser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const char* const kGpsEpoch = "$GPGGA,171003.972,5200.8519,N,00421.7819,E,1,08,1.0,8.8,M,44.8,M,,0000*57\r\n"
                              "$GPGSA,A,3,14,30,09,29,02,27,04,31,,,,,2.3,1.0,2.0*35\r\n"
                              "$GPGSV,3,1,11,12,73,067,,30,67,271,39,14,44,267,34,09,28,136,27*72\r\n"
                              "$GPGSV,3,2,11,29,27,200,27,02,25,101,28,27,23,137,26,04,21,055,38*77\r\n"
                              "$GPGSV,3,3,11,31,18,305,30,32,06,331,,20,02,354,*43\r\n"
                              "$GPRMC,171003.972,A,5200.8519,N,00421.7819,E,000.0,000.0,120610,,,A*60\r\n"
                              "$GPVTG,000.0,T,,M,000.0,N,000.0,K,A*0D\r\n";

const char* const kGnssEpoch = "$GPRMC,102149.000,A,3340.8139,S,15117.4712,E,0.2,0.0,251112,0.0,W*6A\n"
                               "$GPGGA,102149.000,3340.8139,S,15117.4712,E,1,05,2.0,083.12,M,22.4,M,,*71\n"
                               "$GNGSA,A,3,10,17,12,24,09,,,,,,,,3.7,2.0,3.1*23\n"
                               "$GNGSA,A,3,,,,,,,,,,,,,3.7,2.0,3.1*28\n"
                               "$GNGSA,A,3,,,,,,,,,,,,,3.7,2.0,3.1*28\n"
                               "$GPGSV,3,1,10,02,86,086,41,04,40,133,38,05,20,023,37,09,36,327,37*7B\n"
                               "$GPGSV,3,2,10,10,31,083,34,12,61,213,40,17,07,105,17,24,38,321,37*7C\n"
                               "$GPGSV,3,3,10,25,25,224,29,29,12,267,33,,,,,,,,*7C\n"
                               "$GLGSV,2,1,08,76,08,007,,65,10,040,,81,09,277,15,78,51,239,*63\n"
                               "$GLGSV,2,2,08,77,51,333,,88,48,233,,87,41,152,,71,10,143,*69\n"
                               "$QZGSV,1,1,01,193,34,332,35,,,,,,,,,,,,*6C\n";

// What the page does with a published table: a copy for each satellite chart.
class PageLikeListener : public ulv::NmeaParser::Listener {
public:
    void TablePublished(const ulv::SatelliteTable& table) override
    {
        std::memcpy(&m_sky, &table, sizeof table);
        std::memcpy(&m_bars, &table, sizeof table);
        benchmark::DoNotOptimize(m_sky);
        benchmark::DoNotOptimize(m_bars);
    }
    void LabelsChanged(const ulv::GnssValueLabels& labels) override { benchmark::DoNotOptimize(labels); }

private:
    ulv::SatelliteTable m_sky {};
    ulv::SatelliteTable m_bars {};
};

// range(0): chunk size in bytes; range(1): 1 with the page-like listener.
void BM_NmeaIntake(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::string(kGpsEpoch) + kGnssEpoch;
    const auto sentences = std::count(text.begin(), text.end(), '$');
    const size_t chunk = static_cast<size_t>(state.range(0));

    PageLikeListener listener;
    ulv::NmeaParser parser(state.range(1) ? &listener : nullptr);
    for (auto _ : state) {
        for (size_t pos = 0; pos < text.size(); pos += chunk)
            parser.ParseNmea(std::string_view(text).substr(pos, chunk));
        benchmark::DoNotOptimize(parser.Table());
    }
    state.SetItemsProcessed(state.iterations() * sentences);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_NmeaIntake)->Args({64, 1})->Args({2048, 1})->Args({32768, 1})->Args({2048, 0});

} // namespace

BENCHMARK_MAIN();
