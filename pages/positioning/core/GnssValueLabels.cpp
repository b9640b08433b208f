#include "pages/positioning/core/GnssValueLabels.h"

#include <charconv>

namespace ulv {

namespace {

const QString kUnknown = QStringLiteral("---");

QString FixedOrUnknown(double v, int precision)
{
    return v >= 0 ? FormatFixed(v, precision) : kUnknown;
}

} // namespace

QString FormatFixed(double value, int precision)
{
    // Large enough for the longest fixed rendering of a double (309 digits
    // before the point) with the few decimals used here.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
    return QString::fromLatin1(buf, r.ptr - buf);
}

void GnssValueLabels::ShowGga(const GgaRecord& r)
{
    altitude = FixedOrUnknown(r.altitude, 1);
    satelliteUsed = r.satellitesInUse < 0 ? QStringLiteral("0") : QString::number(r.satellitesInUse);
}

void GnssValueLabels::ShowVtg(const VtgRecord& r)
{
    speed = FormatFixed(r.speedKmh, 2);
}

void GnssValueLabels::ShowGsa(const GsaRecord& r)
{
    const auto piece = [](const char* name, double v, const char* tail) {
        return QLatin1String(name) + (v < 0 ? kUnknown : FormatFixed(v, 1)) + QLatin1String(tail);
    };
    dop = piece("PDOP:", r.pdop, "    ") + piece("HDOP:", r.hdop, "    ") + piece("VDOP:", r.vdop, "");

    switch (r.fixType) {
    case 1: locatingType = QStringLiteral("no fixed"); break;
    case 2: locatingType = QStringLiteral("2D"); break;
    case 3: locatingType = QStringLiteral("3D"); break;
    default: locatingType = kUnknown; break;
    }

    int used = 0;
    for (int prn : r.prn)
        used += prn > 0 ? 1 : 0;
    satelliteUsed = QString::number(used);
}

void GnssValueLabels::ShowRmc(const RmcRecord& r)
{
    utcTime = FixedOrUnknown(r.time, 1);
    utcDate = r.date >= 0 ? QString::number(r.date) : kUnknown;
    latitude = r.latitude >= 0
        ? FormatFixed(r.latitude, 6) + (r.northSouth == 5 ? "N" : r.northSouth == 6 ? "S" : "")
        : kUnknown;
    longitude = r.longitude >= 0
        ? FormatFixed(r.longitude, 6) + (r.eastWest == 3 ? "E" : r.eastWest == 8 ? "W" : "")
        : kUnknown;
}

} // namespace ulv
