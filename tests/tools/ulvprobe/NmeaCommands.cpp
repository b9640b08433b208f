// NMEA subcommand: feeds a receiver log through the GNSS page's parser and prints
// the value labels and the satellite table.
#include "Probe.h"

#include "core/gnss/NmeaParser.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>

namespace {

using ulvprobe::Print;
using ulvprobe::PrintError;

QJsonObject LabelsJson(const ulv::GnssValueLabels& l)
{
    return QJsonObject {
        {"UTC date", l.utcDate},
        {"UTC time", l.utcTime},
        {"Latitude", l.latitude},
        {"Longitude", l.longitude},
        {"Altitude(m)", l.altitude},
        {"Speed(km/h)", l.speed},
        {"Satellite_used", l.satelliteUsed},
        {"Locating type", l.locatingType},
        {"*DOP", l.dop},
    };
}

// Entries never touched (all zero) are left out.
QJsonArray SatellitesJson(const ulv::SatelliteTable& table)
{
    QJsonArray out;
    const ulv::SatelliteRecord clear {};
    for (int i = 0; i < ulv::kSatelliteCount; ++i) {
        const ulv::SatelliteRecord& e = table[static_cast<size_t>(i)];
        if (std::memcmp(&e, &clear, sizeof e) == 0)
            continue;
        out.append(QJsonObject {
            {"id", i + 1},
            {"number", ulv::SatelliteNumber(i)},
            {"inView", e.inView},
            {"tracked", e.tracked},
            {"used", e.used},
            {"elevation", e.elevation},
            {"azimuth", e.azimuth},
            {"snr", e.snr},
        });
    }
    return out;
}

static ulvprobe::Command nmea("nmea", "nmea <file> [--chunk N]", [](const QStringList& argsIn) {
    QStringList args = argsIn;
    const QString chunkText = ulvprobe::TakeOption(args, "--chunk", "0");
    bool ok = false;
    const qsizetype chunk = chunkText.toLongLong(&ok);
    if (args.size() != 1 || !ok || chunk < 0) {
        PrintError("usage: ulvprobe nmea <file> [--chunk N]");
        return 2;
    }
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        PrintError("cannot read " + args[0] + ": " + file.errorString());
        return 2;
    }
    const QByteArray data = file.readAll();

    ulv::NmeaParser parser;
    const qsizetype step = chunk > 0 ? chunk : std::max<qsizetype>(data.size(), 1);
    for (qsizetype pos = 0; pos < data.size(); pos += step) {
        const QByteArray piece = data.mid(pos, step);
        parser.ParseNmea(std::string_view(piece.constData(), static_cast<size_t>(piece.size())));
    }

    const QJsonObject out {
        {"labels", LabelsJson(parser.Labels())},
        {"worldPosition", QJsonObject {{"latitude", parser.WorldLatitude()}, {"longitude", parser.WorldLongitude()}}},
        {"satellites", SatellitesJson(parser.Table())},
    };
    Print(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact)));
    return 0;
});

} // namespace
