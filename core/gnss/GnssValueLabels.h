#pragma once

#include "core/gnss/NmeaRecords.h"

#include <QString>

namespace ulv {

// The texts of the GNSS page's nine value labels. "---" marks a value that is
// not known. Numbers are formatted without the locale.
struct GnssValueLabels {
    QString utcDate = QStringLiteral("---");
    QString utcTime = QStringLiteral("---");
    QString latitude = QStringLiteral("---");
    QString longitude = QStringLiteral("---");
    QString altitude = QStringLiteral("---");
    QString speed = QStringLiteral("---");
    QString satelliteUsed = QStringLiteral("---");
    QString locatingType = QStringLiteral("---");
    QString dop = QStringLiteral("---");

    // Altitude(m) and Satellite_used.
    void ShowGga(const GgaRecord& r);
    // Speed(km/h).
    void ShowVtg(const VtgRecord& r);
    // *DOP, Locating type and Satellite_used.
    void ShowGsa(const GsaRecord& r);
    // UTC time, UTC date, Latitude and Longitude.
    void ShowRmc(const RmcRecord& r);

    friend bool operator==(const GnssValueLabels&, const GnssValueLabels&) = default;
};

// printf's "%.<precision>f" in the "C" locale.
QString FormatFixed(double value, int precision);

} // namespace ulv
