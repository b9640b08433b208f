#pragma once

#include "core/gnss/NmeaParser.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace ulv::test {

// Remembers what the parser told the page.
class RecordingListener : public NmeaParser::Listener {
public:
    void TablePublished(const SatelliteTable& table) override;
    void LabelsChanged(const GnssValueLabels& labels) override;
    void WorldPositionChanged(double latitude, double longitude) override;
    bool MapTabSelected() const override { return mapTab; }
    void ShowPositionOnMap(double latitude, double longitude) override;

    bool mapTab = false;
    int publishCount = 0;
    SatelliteTable published {};
    std::vector<SatelliteTable> publishHistory;
    int labelUpdates = 0;
    GnssValueLabels labels;
    std::vector<GnssValueLabels> labelHistory;
    std::vector<std::pair<double, double>> worldPositions;
    std::vector<std::pair<double, double>> mapPositions;
};

// Feeds text to the parser in chunks whose sizes cycle through `sizes`.
void FeedInChunks(NmeaParser& parser, const std::string& text, const std::vector<size_t>& sizes);

// The whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const QString& path);

} // namespace ulv::test
