#include "RecordingListener.h"

#include "core/gnss/NmeaParser.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace ulv;
using ulv::test::RecordingListener;

namespace {

const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const std::string kVtg = "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25\r\n";

TEST(NmeaParser, ASentenceSplitAfterItsStarIsHandledOnceWhenTheLineEnds)
{
    RecordingListener l;
    NmeaParser p(&l);
    const size_t star = kRmc.find('*');
    p.ParseNmea(kRmc.substr(0, star + 1));
    EXPECT_EQ(l.labelUpdates, 0);
    EXPECT_EQ(p.Labels().utcTime, "---");
    p.ParseNmea(kRmc.substr(star + 1));
    EXPECT_EQ(l.labelUpdates, 1);
    EXPECT_EQ(p.Labels().utcTime, "123519.0");
    EXPECT_EQ(p.BufferedBytes(), 0u);
}

TEST(NmeaParser, EachSentenceIsHandledWhenItsLineEndsWhereverTheChunkEnds)
{
    RecordingListener l;
    NmeaParser p(&l);
    p.ParseNmea(kVtg + kRmc.substr(0, 20));
    EXPECT_EQ(p.Labels().speed, "10.20");
    EXPECT_EQ(p.Labels().utcTime, "---");
    EXPECT_EQ(p.BufferedBytes(), 20u);
    p.ParseNmea(kRmc.substr(20));
    EXPECT_EQ(p.Labels().speed, "10.20");
    EXPECT_EQ(p.Labels().utcTime, "123519.0");
}

TEST(NmeaParser, ACrAtTheEndOfOneChunkAndItsLfInTheNextMakeOneLineEnd)
{
    NmeaParser p;
    p.ParseNmea(kVtg.substr(0, kVtg.size() - 1));
    p.ParseNmea("\n");
    EXPECT_EQ(p.Vtg().mode, 1);
    EXPECT_EQ(p.Labels().speed, "10.20");
}

TEST(NmeaParser, NulBytesAreDropped)
{
    NmeaParser p;
    std::string withNuls = kVtg;
    withNuls.insert(10, 1, '\0');
    withNuls.insert(0, 2, '\0');
    withNuls.push_back('\0'); // a NUL after the line end does not hold it back either
    p.ParseNmea(withNuls);
    EXPECT_EQ(p.Labels().speed, "10.20");
}

TEST(NmeaParser, BareLfEndedSentencesKeepTheirLastField)
{
    // Without a checksum the last character is a delimiter: losing it would
    // leave GSA one delimiter short and drop it.
    NmeaParser p;
    p.ParseNmea("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1,\n");
    EXPECT_EQ(p.Gsa().fixType, 3);
    EXPECT_EQ(p.Gsa().prn[3], 9);
    EXPECT_EQ(p.Gsa().prn[4], 12);
    EXPECT_DOUBLE_EQ(p.Gsa().vdop, 2.1);
}

TEST(NmeaParser, FirstGpgsvMessageClearsTheWholeTableButGlgsvClearsNothing)
{
    RecordingListener l;
    NmeaParser p(&l);
    p.ParseNmea("$GLGSV,1,1,01,70,10,040,20*60\r\n$GPGSV,1,1,01,05,20,023,39*7F\r\n");
    EXPECT_EQ(l.publishCount, 2);
    EXPECT_EQ(p.Table()[69].tracked, 0); // GLONASS cleared by GPS message 1
    EXPECT_EQ(p.Table()[4].tracked, 1);

    p.ParseNmea("$GLGSV,2,1,01,70,10,040,20*60\r\n");
    EXPECT_EQ(l.publishCount, 2); // not the last message of its group
    EXPECT_EQ(p.Table()[4].tracked, 1);
    EXPECT_EQ(p.Table()[69].tracked, 1);
    EXPECT_EQ(l.published[69].tracked, 0); // the charts still have the older copy

    p.ParseNmea("$GPGSV,1,1,00*79\r\n"); // no satellite blocks: neither clears nor publishes
    EXPECT_EQ(l.publishCount, 2);
    EXPECT_EQ(p.Table()[4].tracked, 1);
}

TEST(NmeaParser, GsaMarksUsedAndTheNextGsvGroupUnmarks)
{
    RecordingListener l;
    NmeaParser p(&l);
    p.ParseNmea("$GPGSV,1,1,02,05,20,023,39,09,36,327,41*7F\r\n");
    p.ParseNmea("$GPGSA,A,3,05,09,,,,,,,,,,,2.3,1.0,2.0*35\r\n");
    EXPECT_EQ(l.publishCount, 2);
    EXPECT_EQ(l.published[4].used, 1);
    EXPECT_EQ(l.published[8].used, 1);
    p.ParseNmea("$GPGSV,1,1,02,05,20,023,39,09,36,327,41*7F\r\n");
    EXPECT_EQ(l.published[4].used, 0);
    EXPECT_EQ(l.published[8].used, 0);
}

TEST(NmeaParser, AnUnparsableGsaStillMarksFromTheOldRecordAndPublishes)
{
    RecordingListener l;
    NmeaParser p(&l);
    p.ParseNmea("$GPGSA,A,3,05,09,,,,,,,,,,,2.3,1.0,2.0*35\r\n$GPGSV,1,1,01,05,20,023,39*7F\r\n");
    EXPECT_EQ(p.Table()[4].used, 0);
    const int published = l.publishCount;
    p.ParseNmea("$GPGSA,A,2,12,13\r\n");
    EXPECT_EQ(p.Gsa().fixType, 3);
    EXPECT_EQ(p.Gsa().prn[0], 5);
    EXPECT_EQ(p.Table()[4].used, 1);
    EXPECT_EQ(p.Table()[11].used, 0);
    EXPECT_EQ(l.publishCount, published + 1);
    EXPECT_EQ(p.Labels().locatingType, "3D");
}

struct PositionCase {
    const char* name;
    const char* sentence;
    double latitude;
    double longitude;
};

TEST(NmeaParser, RmcGivesTheWorldMapASignedPosition)
{
    const PositionCase cases[] = {
        {"north east", "$GPRMC,1,A,4916.45,N,12311.12,E,0,0,0,,,A*00", 49 + 16.45 / 60, 123 + 11.12 / 60},
        {"south west", "$GPRMC,1,A,4916.45,S,12311.12,W,0,0,0,,,A*00", -(49 + 16.45 / 60), -(123 + 11.12 / 60)},
        {"no hemispheres", "$GPRMC,1,A,4916.45,,12311.12,,0,0,0,,,A*00", -1000.0, -1000.0},
        {"lower-case hemisphere", "$GPRMC,1,A,4916.45,n,12311.12,e,0,0,0,,,A*00", -1000.0, -1000.0},
    };
    for (const auto& c : cases) {
        RecordingListener l;
        NmeaParser p(&l);
        p.ParseNmea(std::string(c.sentence) + "\r\n");
        ASSERT_EQ(l.worldPositions.size(), 1u) << c.name;
        EXPECT_NEAR(l.worldPositions[0].first, c.latitude, 1e-12) << c.name;
        EXPECT_NEAR(l.worldPositions[0].second, c.longitude, 1e-12) << c.name;
        EXPECT_EQ(p.WorldLatitude(), l.worldPositions[0].first) << c.name;
    }
}

TEST(NmeaParser, TheMapPageMovesOnlyOnAChangeSeenWithTheMapTabShown)
{
    RecordingListener l;
    NmeaParser p(&l);
    const std::string here = "$GPRMC,1,A,4916.45,S,12311.12,W,0,0,0,,,A*00\r\n";
    const std::string there = "$GPRMC,1,A,4916.46,S,12311.12,W,0,0,0,,,A*00\r\n";
    const std::string nearly = "$GPRMC,1,A,4916.4600001,S,12311.12,W,0,0,0,,,A*00\r\n";

    p.ParseNmea(here); // moved, but another tab is shown
    EXPECT_TRUE(l.mapPositions.empty());
    l.mapTab = true;
    p.ParseNmea(here); // shown now, but no change since the last fix
    EXPECT_TRUE(l.mapPositions.empty());
    p.ParseNmea(there);
    ASSERT_EQ(l.mapPositions.size(), 1u);
    EXPECT_NEAR(l.mapPositions[0].first, -(49 + 16.46 / 60), 1e-12);
    EXPECT_NEAR(l.mapPositions[0].second, -(123 + 11.12 / 60), 1e-12);
    p.ParseNmea(nearly); // the same to six decimals
    EXPECT_EQ(l.mapPositions.size(), 1u);
}

TEST(NmeaParser, TheFirstFixAtTheDefaultPlaceDoesNotMoveTheMap)
{
    RecordingListener l;
    l.mapTab = true;
    NmeaParser p(&l);
    // 59.913900 N, 10.752200 E in NMEA form.
    p.ParseNmea("$GPRMC,1,A,5954.834,N,01045.132,E,0,0,0,,,A*00\r\n");
    EXPECT_TRUE(l.mapPositions.empty());
    EXPECT_EQ(p.Labels().latitude, "59.913900N");
}

TEST(NmeaParser, ALineThatNeverEndsIsCappedAndTheNextSentenceStillParses)
{
    NmeaParser p;
    const std::string noise(1000, 'x');
    for (int i = 0; i < 1000; ++i) {
        p.ParseNmea(noise);
        ASSERT_LE(p.BufferedBytes(), NmeaParser::kMaxHeldLineBytes + noise.size());
    }
    p.ParseNmea("\r\n" + kVtg);
    EXPECT_EQ(p.Labels().speed, "10.20");
    EXPECT_EQ(p.BufferedBytes(), 0u);
}

TEST(NmeaParser, AtTheCapCompleteSentencesAreKeptAndTheLatestStartSurvives)
{
    NmeaParser p;
    std::string text;
    while (text.size() <= 64 * 1024)
        text += kVtg;
    text += "$GPRMC,123519,A,4807.038,N,01131"; // unended: would hold back all the rest
    p.ParseNmea(text);
    EXPECT_EQ(p.Labels().speed, "10.20");
    EXPECT_EQ(p.Labels().utcTime, "---");
    p.ParseNmea(".000,E,022.4,084.4,230394,003.1,W*6A\r\n");
    EXPECT_EQ(p.Labels().longitude, "11.516667E");
}

TEST(NmeaParser, AtTheCapALongUnendedLineResynchronisesAtTheNextDollar)
{
    NmeaParser p;
    std::string text(64 * 1024 + 10, 'x');
    text[100] = '$'; // a start long ago, never ended
    p.ParseNmea(text);
    EXPECT_EQ(p.BufferedBytes(), 0u);
    p.ParseNmea(std::string(50, 'y') + kVtg);
    EXPECT_EQ(p.Labels().speed, "10.20");
}

} // namespace

TEST(NmeaParser, ACoordinateTheLabelsCannotShowPlacesNoMarker)
{
    struct Case {
        const char* rmc;
        const char* latitude;
        const char* longitude;
        bool placed;
    } cases[] = {
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", "48.117300N", "11.516667E", true},
        {"$GPRMC,123519,A,-4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", "---", "11.516667E", false},
        {"$GPRMC,123519,A,4807.038,N,-01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", "48.117300N", "---", false},
        {"$GPRMC,123519,A,+4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W*6A\r\n", "---", "11.516667W", false},
        {"$GPRMC,123519,A,48O7.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", "---", "11.516667E", false},
    };
    for (const Case& c : cases) {
        RecordingListener l;
        l.mapTab = true;
        NmeaParser p(&l);
        p.ParseNmea(c.rmc);
        EXPECT_EQ(p.Labels().latitude, c.latitude) << c.rmc;
        EXPECT_EQ(p.Labels().longitude, c.longitude) << c.rmc;
        EXPECT_EQ(!l.mapPositions.empty(), c.placed) << c.rmc;
        ASSERT_FALSE(l.worldPositions.empty()) << c.rmc;
        if (!c.placed)
            EXPECT_TRUE(l.worldPositions.back().first <= -1000.0 || l.worldPositions.back().second <= -1000.0) << c.rmc;
    }
}

TEST(NmeaParser, AGsaListingMoreThanTwelveSatellitesNeverShowsSatelliteNumbersAsDops)
{
    std::string many = "$GNGSA,A,3";
    for (int prn = 1; prn <= 39; ++prn)
        many += "," + std::to_string(prn);
    many += ",1.5,0.9,1.2*00\r\n";
    struct Case {
        std::string gsa;
        const char* dop; // empty: the sentence changes nothing
    } cases[] = {
        {"$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n", "PDOP:2.5    HDOP:1.3    VDOP:2.1"},
        // NMEA 4.10 adds the system id after the DOPs.
        {"$GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1,1*39\r\n", "PDOP:2.5    HDOP:1.3    VDOP:2.1"},
        {many, ""},
    };
    for (const Case& c : cases) {
        NmeaParser p;
        const GsaRecord gsa = p.Gsa();
        p.ParseNmea(c.gsa);
        if (*c.dop) {
            EXPECT_EQ(p.Labels().dop, c.dop) << c.gsa;
        } else {
            EXPECT_EQ(std::memcmp(&gsa, &p.Gsa(), sizeof gsa), 0) << c.gsa;
            EXPECT_FALSE(p.Labels().dop.contains("13.0")) << p.Labels().dop.toStdString();
        }
    }
}
