#pragma once

#include <array>

namespace ulv {

// The last fix of each sentence kind. Empty numeric fields are -1 / -1.0; code
// fields hold NmeaFieldToCode values.

struct GgaRecord {
    double time = 0.0; // hhmmss.ss read as a number
    double latitude = 0.0; // ddmm.mmmm as sent, not converted
    int northSouth = 0;
    double longitude = 0.0; // dddmm.mmmm as sent, not converted
    int eastWest = 0;
    int quality = 0;
    int satellitesInUse = 0;
    double hdop = 0.0;
    double altitude = 0.0;
    double geoidSeparation = 0.0;
    double differentialAge = 0.0;
    int stationId = 0;
};

struct VtgRecord {
    double courseTrue = 0.0;
    double courseMagnetic = 0.0;
    double speedKnots = 0.0;
    double speedKmh = 0.0;
    int mode = 0;
};

struct RmcRecord {
    double time = 0.0;
    int status = 0;
    double latitude = 0.0; // degrees, unsigned
    int northSouth = 0;
    double longitude = 0.0; // degrees, unsigned
    int eastWest = 0;
    double speedKnots = 0.0;
    double course = 0.0;
    int date = 0; // ddmmyy read as an integer: "081226" is 81226
    double magneticVariation = 0.0;
    int variationEastWest = 0;
    int mode = 0;
};

struct GsaRecord {
    int mode = 0;
    int fixType = 0; // 1 no fix, 2 2D, 3 3D
    std::array<int, 24> prn {}; // "$GNGSA" fills the halves in turn
    double pdop = 0.0;
    double hdop = 0.0;
    double vdop = 0.0;
};

} // namespace ulv
