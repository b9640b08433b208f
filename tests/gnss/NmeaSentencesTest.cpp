#include "core/gnss/NmeaParser.h"
#include "core/gnss/NmeaSentences.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ulv;

namespace {

// Runs sentences through a fresh parser (CR LF ended, one chunk).
NmeaParser Parsed(std::initializer_list<const char*> sentences)
{
    NmeaParser p;
    std::string text;
    for (const char* s : sentences)
        text += std::string(s) + "\r\n";
    p.ParseNmea(text);
    return p;
}

TEST(NmeaSentences, RmcFillsTimeDateAndPositionLabels)
{
    const NmeaParser p = Parsed({"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"});
    EXPECT_EQ(p.Labels().utcTime, "123519.0");
    EXPECT_EQ(p.Labels().utcDate, "230394");
    EXPECT_EQ(p.Labels().latitude, "48.117300N");
    EXPECT_EQ(p.Labels().longitude, "11.516667E");
    const RmcRecord& r = p.Rmc();
    EXPECT_EQ(r.status, 1);
    EXPECT_DOUBLE_EQ(r.speedKnots, 22.4);
    EXPECT_DOUBLE_EQ(r.course, 84.4);
    EXPECT_DOUBLE_EQ(r.magneticVariation, 3.1);
    EXPECT_EQ(r.variationEastWest, 8);
    EXPECT_EQ(r.mode, -1); // the missing mode field reads as empty
}

struct LabelCase {
    const char* name;
    const char* sentence;
    QString GnssValueLabels::*label;
    const char* expected;
};

TEST(NmeaSentences, LabelsShowWhatTheSentenceCarries)
{
    const LabelCase cases[] = {
        {"north", "$GPRMC,1,A,4916.45,N,12311.12,W,0,0,081226,,,A*00", &GnssValueLabels::latitude, "49.274167N"},
        {"west", "$GPRMC,1,A,4916.45,N,12311.12,W,0,0,081226,,,A*00", &GnssValueLabels::longitude, "123.185333W"},
        {"no hemisphere", "$GPRMC,1,A,4916.45,,12311.12,,0,0,081226,,,A*00", &GnssValueLabels::latitude, "49.274167"},
        {"south", "$GPRMC,1,A,3340.8139,S,0,E,0,0,0,,,A*00", &GnssValueLabels::latitude, "33.680232S"},
        {"empty latitude", "$GPRMC,1,V,,,,,,,081226,,,N*00", &GnssValueLabels::latitude, "---"},
        {"empty longitude", "$GPRMC,1,V,,,,,,,081226,,,N*00", &GnssValueLabels::longitude, "---"},
        {"date as an integer", "$GPRMC,1,V,,,,,,,081226,,,N*00", &GnssValueLabels::utcDate, "81226"},
        {"empty date", "$GPRMC,1,V,,,,,,,,,,N*00", &GnssValueLabels::utcDate, "---"},
        {"empty time", "$GPRMC,,V,,,,,,,,,,N*00", &GnssValueLabels::utcTime, "---"},
        {"time keeps its second", "$GPRMC,171059.972,V,,,,,,,,,,N*00", &GnssValueLabels::utcTime, "171059.9"},
        {"tenth not exact in binary", "$GPRMC,171059.3,V,,,,,,,,,,N*00", &GnssValueLabels::utcTime, "171059.3"},
        {"day's last tenth", "$GPRMC,235959.999,V,,,,,,,,,,N*00", &GnssValueLabels::utcTime, "235959.9"},
        {"midnight keeps its six digits", "$GPRMC,000000.00,V,,,,,,,,,,N*00", &GnssValueLabels::utcTime,
            "000000.0"},
        {"first hour keeps its six digits", "$GPRMC,005959.5,V,,,,,,,,,,N*00", &GnssValueLabels::utcTime, "005959.5"},
        {"speed", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25", &GnssValueLabels::speed, "10.20"},
        {"empty speed is unknown", "$GPVTG,,T,,M,,N,,K,N*00", &GnssValueLabels::speed, "---"},
        {"altitude", "$GPGGA,1,5200.8,N,00421.7,E,1,08,1.0,8.75,M,44.8,M,,0000*5D", &GnssValueLabels::altitude,
            "8.8"},
        {"empty altitude", "$GPGGA,1,5200.8,N,00421.7,E,1,08,1.0,,M,44.8,M,,0000*5D", &GnssValueLabels::altitude,
            "---"},
        {"satellites in use", "$GPGGA,1,,,,,1,08,1.0,,M,,M,,*00", &GnssValueLabels::satelliteUsed, "8"},
        {"empty satellites", "$GPGGA,1,,,,,1,,1.0,,M,,M,,*00", &GnssValueLabels::satelliteUsed, "0"},
        {"3D fix", "$GPGSA,A,3,14,30,,,,,,,,,,,2.3,1.0,2.0*35", &GnssValueLabels::locatingType, "3D"},
        {"2D fix", "$GPGSA,A,2,14,30,,,,,,,,,,,2.3,1.0,2.0*35", &GnssValueLabels::locatingType, "2D"},
        {"no fix", "$GPGSA,A,1,,,,,,,,,,,,,0.0,0.0,0.0*30", &GnssValueLabels::locatingType, "no fixed"},
        {"unknown fix", "$GPGSA,A,,,,,,,,,,,,,,0.0,0.0,0.0*30", &GnssValueLabels::locatingType, "---"},
        {"DOP line", "$GPGSA,A,3,14,30,,,,,,,,,,,2.3,1.0,2.05*35", &GnssValueLabels::dop,
            "PDOP:2.3    HDOP:1.0    VDOP:2.0"},
        {"unknown DOPs", "$GPGSA,A,3,14,30,,,,,,,,,,,,1.0,*35", &GnssValueLabels::dop,
            "PDOP:---    HDOP:1.0    VDOP:---"},
        {"used count", "$GPGSA,A,3,14,30,09,29,02,27,04,31,,,,,2.3,1.0,2.0*35", &GnssValueLabels::satelliteUsed,
            "8"},
    };
    for (const auto& c : cases) {
        const NmeaParser p = Parsed({c.sentence});
        EXPECT_EQ(p.Labels().*c.label, c.expected) << c.name;
    }
}

TEST(NmeaSentences, LabelsStayUnknownUntilTheirSentenceArrives)
{
    const NmeaParser p = Parsed({"$GPTXT,01,01,02,hello*00", "$GNRMC,1,A,4916.45,N,12311.12,W,0,0,081226,,,A*00"});
    EXPECT_EQ(p.Labels(), GnssValueLabels {});
    EXPECT_EQ(p.Labels().utcTime, "---");
}

TEST(NmeaSentences, TheLastGgaOrGsaDecidesSatelliteUsed)
{
    EXPECT_EQ(Parsed({"$GPGSA,A,3,14,30,,,,,,,,,,,2.3,1.0,2.0*35", "$GPGGA,1,,,,,1,07,1.0,,M,,M,,*00"})
                  .Labels()
                  .satelliteUsed,
        "7");
    EXPECT_EQ(Parsed({"$GPGGA,1,,,,,1,07,1.0,,M,,M,,*00", "$GPGSA,A,3,14,30,,,,,,,,,,,2.3,1.0,2.0*35"})
                  .Labels()
                  .satelliteUsed,
        "2");
}

TEST(NmeaSentences, GgaKeepsPlainCoordinatesAndEveryField)
{
    const NmeaParser p = Parsed({"$GPGGA,171002.972,5200.8519,N,00421.7812,E,1,08,1.0,8.8,M,44.8,M,2.5,0012*5D"});
    const GgaRecord& g = p.Gga();
    EXPECT_DOUBLE_EQ(g.time, 171002.972);
    EXPECT_DOUBLE_EQ(g.latitude, 5200.8519);
    EXPECT_EQ(g.northSouth, 5);
    EXPECT_DOUBLE_EQ(g.longitude, 421.7812);
    EXPECT_EQ(g.eastWest, 3);
    EXPECT_EQ(g.quality, 1);
    EXPECT_EQ(g.satellitesInUse, 8);
    EXPECT_DOUBLE_EQ(g.hdop, 1.0);
    EXPECT_DOUBLE_EQ(g.altitude, 8.8);
    EXPECT_DOUBLE_EQ(g.geoidSeparation, 44.8);
    EXPECT_DOUBLE_EQ(g.differentialAge, 2.5);
    EXPECT_EQ(g.stationId, 12);
}

struct IncompleteCase {
    const char* name;
    const char* sentence;
};

TEST(NmeaSentences, TooFewFieldsWithoutStarLeaveTheRecord)
{
    const IncompleteCase cases[] = {
        {"RMC", "$GPRMC,999999,V,0000.000,S,00000.000,W,9,9,010101,9,E"},
        {"GGA", "$GPGGA,999999,1,S,1,W,9,99,9,9"},
        {"VTG", "$GPVTG,9,T,9,M,9,N,9,K"},
    };
    const char* good[] = {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A",
        "$GPGGA,1,5200.8,N,00421.7,E,1,08,1.0,8.8,M,44.8,M,,0000*5D", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25"};
    for (const auto& c : cases) {
        NmeaParser p;
        for (const char* g : good)
            p.DispatchSentence(g);
        const GnssValueLabels before = p.Labels();
        const RmcRecord rmc = p.Rmc();
        p.DispatchSentence(c.sentence);
        EXPECT_EQ(p.Labels(), before) << c.name;
        EXPECT_EQ(std::memcmp(&rmc, &p.Rmc(), sizeof rmc), 0) << c.name;
    }
}

TEST(NmeaSentences, FieldsAfterTheLastCountedDelimiterAreIgnored)
{
    GsaRecord r;
    ParseGpgsaSentence("$GPGSA,A,3,1,2,3,4,5,6,7,8,9,10,11,12,1.1,2.2,3.3,4.4,5.5*00", r);
    EXPECT_EQ(r.prn[11], 12);
    EXPECT_DOUBLE_EQ(r.vdop, 3.3);
    EXPECT_EQ(r.prn[12], 0); // "$GPGSA" never touches the second half
}

TEST(NmeaSentences, ThreeGngsaInARowFillTheHalvesInTurn)
{
    NmeaParser p;
    p.ParseNmea("$GNGSA,A,3,1,2,3,,,,,,,,,,1.0,1.0,1.0*00\r\n");
    EXPECT_EQ(p.Gsa().prn[0], 1);
    EXPECT_EQ(p.GngsaHalfToggle(), 1);
    p.ParseNmea("$GNGSA,A,3,65,66,,,,,,,,,,,1.0,1.0,1.0*00\r\n");
    EXPECT_EQ(p.Gsa().prn[0], 1);
    EXPECT_EQ(p.Gsa().prn[12], 65);
    EXPECT_EQ(p.Gsa().prn[13], 66);
    EXPECT_EQ(p.Gsa().prn[14], -1);
    EXPECT_EQ(p.GngsaHalfToggle(), 0);
    EXPECT_EQ(p.Labels().satelliteUsed, "5");
    p.ParseNmea("$GNGSA,A,3,7,,,,,,,,,,,,1.0,1.0,1.0*00\r\n");
    EXPECT_EQ(p.Gsa().prn[0], 7);
    EXPECT_EQ(p.Gsa().prn[1], -1);
    EXPECT_EQ(p.Gsa().prn[12], 65);
    EXPECT_EQ(p.Labels().satelliteUsed, "3");
    for (int id : {1, 2, 3, 7, 65, 66})
        EXPECT_EQ(p.Table()[id - 1].used, 1) << id; // marks are never taken back by a GSA
}

TEST(NmeaSentences, GsvBlocksFillTheirEntries)
{
    SatelliteTable t {};
    EXPECT_EQ(ParseGsvSentence("$GPGSV,2,1,08,24,,,38,05,20,023,39,12,61,213,,09,36,327,*7F", t), 0);
    const SatelliteRecord& s24 = t[23];
    EXPECT_EQ(s24.inView, 0);
    EXPECT_EQ(s24.tracked, 1);
    EXPECT_EQ(s24.elevation, -1.0);
    EXPECT_EQ(s24.azimuth, -1.0);
    EXPECT_EQ(s24.snr, 38.0);
    EXPECT_EQ(t[4].inView, 1);
    EXPECT_EQ(t[4].tracked, 1);
    EXPECT_EQ(t[4].elevation, 20.0);
    EXPECT_EQ(t[4].azimuth, 23.0);
    EXPECT_EQ(t[4].snr, 39.0);
    EXPECT_EQ(t[11].tracked, 0);
    EXPECT_EQ(t[11].snr, -1.0);
    EXPECT_EQ(t[8].inView, 1); // the last block's S/N ends at the "*"
    EXPECT_EQ(t[8].tracked, 0);

    EXPECT_EQ(ParseGsvSentence("$GPGSV,1,1,01,24,14,311,*7F", t), 1);
    EXPECT_EQ(t[23].inView, 1);
    EXPECT_EQ(t[23].tracked, 0);
    EXPECT_EQ(t[23].snr, -1.0);
}

TEST(NmeaSentences, GsvIdsOutsideTheTableAreSkippedAndSbasIdsLandInTheirRange)
{
    SatelliteTable t {};
    ParseGsvSentence("$GPGSV,1,1,04,193,34,332,35,200,1,2,3,0,5,5,5,33,40,100,44*6C", t);
    EXPECT_EQ(t[32].tracked, 1); // id 33, SBAS PRN 120
    EXPECT_EQ(t[32].snr, 44.0);
    int touched = 0;
    for (const auto& e : t)
        touched += e.inView || e.tracked || e.snr != 0.0;
    EXPECT_EQ(touched, 1);
}

TEST(NmeaSentences, GsvWalkStopsAtAnUnendedBlock)
{
    SatelliteTable t {};
    // No checksum: the last block's S/N has no end, so satellite 9 is not read.
    ParseGsvSentence("$GPGSV,1,1,02,05,20,023,39,09,36,327,41", t);
    EXPECT_EQ(t[4].tracked, 1);
    EXPECT_EQ(t[8].inView, 0);
}

struct GsvHeaderCase {
    const char* sentence;
    int first;
    int last;
};

TEST(NmeaSentences, GsvHeaderDecidesClearAndPublish)
{
    const GsvHeaderCase cases[] = {
        {"$GPGSV,3,1,11,12,73,067,,*70", 1, 0},
        {"$GPGSV,3,3,11,31,18,305,30*43", 0, 1},
        {"$GPGSV,1,1,00,*79", 1, 1},
        {"$GPGSV,1,1,00*79", 0, 0}, // no "," after the satellite count
        {"$GPGSV,,1,11,12,73,067,,*70", 0, 0},
        {"$GPGSV,3,01,11,12,73,067,,*70", 0, 0},
        {"$GLGSV,2,1,08,76,08,007,,*60", 0, 0},
        {"$GLGSV,2,2,08,76,08,007,,*60", 0, 1},
        {"$GAGSV,1,1,01,12,73,067,,*70", 0, 0},
    };
    for (const auto& c : cases) {
        SatelliteTable t {};
        EXPECT_EQ(IsFirstGpgsvMessage(c.sentence), c.first) << c.sentence;
        EXPECT_EQ(ParseGsvSentence(c.sentence, t), c.last) << c.sentence;
    }
}

TEST(NmeaSentences, MarkUsedSatellitesSetsOnlyValidIds)
{
    SatelliteTable t {};
    t[4].used = 1;
    GsaRecord r;
    r.prn = {3, 0, -1, 96, 97, 1000};
    MarkUsedSatellites(r, t);
    EXPECT_EQ(t[2].used, 1);
    EXPECT_EQ(t[95].used, 1);
    EXPECT_EQ(t[4].used, 1);
    EXPECT_EQ(t[0].used, 0);
    EXPECT_EQ(t[1].used, 0);
}

TEST(NmeaSentences, GnsIsRecognisedAndKeepsNothing)
{
    EXPECT_TRUE(ParseGnsSentence("$GNGNS,1,2*00"));
    EXPECT_FALSE(ParseGnsSentence("$GPGNS,1,2*00"));
    NmeaParser p;
    p.ParseNmea("$GNGNS,112257.00,3844.24011,N,00908.43828,W,AN,03,10.5,,,,*57\r\n");
    EXPECT_EQ(p.Labels(), GnssValueLabels {});
}

} // namespace
