// Any byte stream from the NMEA port, cut into any chunks, goes through the
// parser, and whatever table it builds lays out on both satellite charts.
#include "core/gnss/NmeaParser.h"
#include "core/gnss/SignalBarLayout.h"
#include "core/gnss/SkyPlotLayout.h"

#include <cstdint>
#include <string_view>

namespace {

class ChartListener : public ulv::NmeaParser::Listener {
public:
    void TablePublished(const ulv::SatelliteTable& table) override
    {
        ulv::LayOutSignalBarChart(table, {0, 0, 500, 300});
        ulv::SkyItems items;
        ulv::BuildSkyItems(table, items);
        for (const ulv::SkyItem& item : items) {
            if (item.active)
                ulv::SkyPosition({0, 0, 400, 320}, item.elevation, item.azimuth);
        }
    }
    bool MapTabSelected() const override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the chunk size, so splits land everywhere.
    const size_t chunk = 1 + data[0] % 64;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    ChartListener listener;
    ulv::NmeaParser parser(&listener);
    for (size_t pos = 0; pos < text.size(); pos += chunk)
        parser.ParseNmea(text.substr(pos, chunk));
    parser.ParseNmea("\n");
    parser.DispatchSentence(text);
    return 0;
}
