#pragma once

#include <array>

namespace ulv {

// One satellite of the GNSS page's table. The charts keep whole copies of the
// table, so the layout (four ints, three doubles, 40 bytes) is part of the
// contract between the parser and the charts.
struct SatelliteRecord {
    int inView = 0;   // listed in view with a known elevation and azimuth
    int tracked = 0;  // listed with a known S/N
    int used = 0;     // named by a GSA sentence as used in the fix
    int reserved = 0; // never set
    double elevation = 0.0; // degrees; -1.0 when the field was empty
    double azimuth = 0.0;   // degrees; -1.0 when the field was empty
    double snr = 0.0;       // dB-Hz; -1.0 when the field was empty
};
static_assert(sizeof(SatelliteRecord) == 40);

// Indexed by the NMEA satellite id minus one: 0..31 GPS, 32..63 SBAS (PRN
// 120..151), 64..95 GLONASS.
inline constexpr int kSatelliteCount = 96;
using SatelliteTable = std::array<SatelliteRecord, kSatelliteCount>;

// The number the charts print for a table index: the PRN for GPS and SBAS, the
// NMEA id for GLONASS.
constexpr int SatelliteNumber(int index)
{
    return index >= 32 && index < 64 ? index + 88 : index + 1;
}

} // namespace ulv
