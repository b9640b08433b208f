#include "RecordingListener.h"

#include <QFile>

namespace ulv::test {

void RecordingListener::TablePublished(const SatelliteTable& table)
{
    ++publishCount;
    published = table;
    publishHistory.push_back(table);
}

void RecordingListener::LabelsChanged(const GnssValueLabels& l)
{
    ++labelUpdates;
    labels = l;
    labelHistory.push_back(l);
}

void RecordingListener::WorldPositionChanged(double latitude, double longitude)
{
    worldPositions.emplace_back(latitude, longitude);
}

void RecordingListener::ShowPositionOnMap(double latitude, double longitude)
{
    mapPositions.emplace_back(latitude, longitude);
}

void FeedInChunks(NmeaParser& parser, const std::string& text, const std::vector<size_t>& sizes)
{
    size_t pos = 0;
    for (size_t i = 0; pos < text.size(); ++i) {
        const size_t n = std::min(sizes[i % sizes.size()], text.size() - pos);
        parser.ParseNmea(std::string_view(text).substr(pos, n));
        pos += n;
    }
}

std::string ReadFileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

} // namespace ulv::test
