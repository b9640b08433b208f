#include "RecordingListener.h"

#include "common/TestEnv.h"
#include "core/gnss/NmeaParser.h"
#include "core/gnss/SignalBarLayout.h"
#include "core/gnss/SkyPlotLayout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

using namespace ulv;
using ulv::test::FeedInChunks;
using ulv::test::ReadFileBytes;
using ulv::test::RecordingListener;

namespace {

// How a real receiver's bytes arrive: runs of odd sizes, some a single byte,
// some larger than several sentences.
const std::vector<std::vector<size_t>> kChunkings = {
    {1},
    {7, 1, 13, 64, 2, 200, 33},
    {4096},
    {1u << 20}, // the whole log at once
};

struct Sat {
    int inView;
    int tracked;
    double elevation;
    double azimuth;
    double snr;
};

void ExpectTable(const SatelliteTable& table, const std::map<int, Sat>& expected, const std::string& where)
{
    for (int i = 0; i < kSatelliteCount; ++i) {
        const SatelliteRecord& e = table[static_cast<size_t>(i)];
        const auto it = expected.find(i + 1);
        if (it == expected.end()) {
            const SatelliteRecord clear {};
            EXPECT_EQ(std::memcmp(&e, &clear, sizeof e), 0) << where << " id " << i + 1 << " not clear";
            continue;
        }
        const Sat& s = it->second;
        EXPECT_EQ(e.inView, s.inView) << where << " id " << i + 1;
        EXPECT_EQ(e.tracked, s.tracked) << where << " id " << i + 1;
        EXPECT_EQ(e.used, 0) << where << " id " << i + 1;
        EXPECT_EQ(e.elevation, s.elevation) << where << " id " << i + 1;
        EXPECT_EQ(e.azimuth, s.azimuth) << where << " id " << i + 1;
        EXPECT_EQ(e.snr, s.snr) << where << " id " << i + 1;
    }
}

std::string Describe(const std::vector<size_t>& chunking)
{
    std::string s = "chunks";
    for (size_t n : chunking)
        s += " " + std::to_string(n);
    return s;
}

// What a log leaves behind once it has been fed whole.
struct LogEnd {
    GnssValueLabels labels;
    double worldLatitude;
    double worldLongitude;
    std::map<int, Sat> satellites; // every other entry is clear
};

// Feeds the log in every chunking and checks the end state; calls extra(parser)
// for checks of its own.
template <typename Extra>
void ExpectLogEnd(const QString& file, const LogEnd& end, Extra extra)
{
    const std::string log = ReadFileBytes(ulv::test::TestDataPath(file));
    ASSERT_FALSE(log.empty()) << file.toStdString();
    for (const auto& chunking : kChunkings) {
        const std::string where = Describe(chunking);
        RecordingListener l;
        NmeaParser p(&l);
        FeedInChunks(p, log, chunking);

        EXPECT_EQ(p.Labels().utcTime, end.labels.utcTime) << where;
        EXPECT_EQ(p.Labels().utcDate, end.labels.utcDate) << where;
        EXPECT_EQ(p.Labels().latitude, end.labels.latitude) << where;
        EXPECT_EQ(p.Labels().longitude, end.labels.longitude) << where;
        EXPECT_EQ(p.Labels().altitude, end.labels.altitude) << where;
        EXPECT_EQ(p.Labels().speed, end.labels.speed) << where;
        EXPECT_EQ(p.Labels().satelliteUsed, end.labels.satelliteUsed) << where;
        EXPECT_EQ(p.Labels().locatingType, end.labels.locatingType) << where;
        EXPECT_EQ(p.Labels().dop, end.labels.dop) << where;
        EXPECT_EQ(l.labels, p.Labels()) << where; // the page was told every change

        EXPECT_NEAR(p.WorldLatitude(), end.worldLatitude, 1e-9) << where;
        EXPECT_NEAR(p.WorldLongitude(), end.worldLongitude, 1e-9) << where;

        ExpectTable(p.Table(), end.satellites, where);
        // The last publish came after the last change: the charts hold the table.
        EXPECT_EQ(std::memcmp(&l.published, &p.Table(), sizeof l.published), 0) << where;
        EXPECT_EQ(p.BufferedBytes(), 0u) << where;
        extra(p);
    }
}

GnssValueLabels Labels(const char* date, const char* time, const char* lat, const char* lon, const char* alt,
    const char* speed, const char* used, const char* type, const char* dop)
{
    GnssValueLabels l;
    l.utcDate = date;
    l.utcTime = time;
    l.latitude = lat;
    l.longitude = lon;
    l.altitude = alt;
    l.speed = speed;
    l.satelliteUsed = used;
    l.locatingType = type;
    l.dop = dop;
    return l;
}

TEST(NmeaLogs, GpsOnlyStationaryReceiverEndsWithItsLastEpoch)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    // Last epoch: GGA, GSA (nine used), the three GSV messages, RMC, VTG. The
    // GSV group after the GSA takes the used marks back. The time 171007.972
    // shows cut to its tenth.
    LogEnd end {Labels("120610", "171007.9", "52.014190N", "4.363085E", "7.7", "0.00", "9", "3D",
                    "PDOP:1.8    HDOP:0.9    VDOP:1.5"),
        52 + 0.8514 / 60, 4 + 21.7851 / 60,
        {
            {12, {1, 1, 73, 67, 33}},
            {30, {1, 1, 67, 271, 38}},
            {14, {1, 1, 44, 267, 33}},
            {9, {1, 1, 28, 136, 26}},
            {29, {1, 1, 27, 200, 26}},
            {2, {1, 1, 25, 101, 27}},
            {27, {1, 1, 23, 137, 28}},
            {4, {1, 1, 21, 55, 37}},
            {31, {1, 1, 18, 305, 30}},
            {32, {1, 0, 6, 331, -1}},
            {20, {1, 0, 2, 354, -1}},
        }};
    ExpectLogEnd("nmea/gps-only-stationary.nmea", end, [](const NmeaParser& p) {
        EXPECT_EQ(p.Gsa().prn[8], 31);
        EXPECT_EQ(p.Gsa().prn[9], -1);
    });
}

TEST(NmeaLogs, GpsOnlyStationaryChartsShowNineTrackedGpsSatellites)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    NmeaParser p;
    p.ParseNmea(ReadFileBytes(ulv::test::TestDataPath("nmea/gps-only-stationary.nmea")));
    const SignalBars bars = BuildBars(p.Table());
    ASSERT_EQ(CountBars(bars), 9);
    const int prns[] = {2, 4, 9, 12, 14, 27, 29, 30, 31};
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(bars[i].prn, prns[i]);
    EXPECT_EQ(MaxBarSnr(bars), 38.0);
    const SignalBarChartLayout layout = LayOutSignalBarChart(p.Table(), {0, 0, 500, 300});
    EXPECT_EQ(layout.slots.slots, 14);
    EXPECT_EQ(layout.fullScale, 50);
    for (const auto& bar : layout.bars)
        EXPECT_EQ(bar.brush, BarBrush::GpsTracked);

    SkyItems items;
    BuildSkyItems(p.Table(), items);
    for (int id : {32, 20})
        EXPECT_EQ(items[id - 1].colourClass, kSkyInViewOnly) << id;
    for (int id : {12, 30, 14, 9, 29, 2, 27, 4, 31})
        EXPECT_EQ(items[id - 1].colourClass, kSkyGpsTracked) << id;
    EXPECT_STREQ(items[11].label, "G12");
}

TEST(NmeaLogs, GpsGlonassReceiverWithLfEndingsEndsWithItsLastEpoch)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    ASSERT_EQ(ReadFileBytes(ulv::test::TestDataPath("nmea/gps-glonass-lf-endings.nmea")).find('\r'),
        std::string::npos);
    // Last epoch: RMC, GGA, three GNGSA (the 43rd to 45th of the log), the GPS
    // group (clears the table), the GLONASS group, QZGSV (ignored). This
    // receiver sends no VTG. The 43rd GNGSA put the five used satellites into
    // the first half, the 44th and 45th emptied the second and then the first
    // half again, so GSA counts none used.
    LogEnd end {Labels("251112", "102149.0", "33.680232S", "151.291187E", "83.1", "---", "0", "3D",
                    "PDOP:3.7    HDOP:2.0    VDOP:3.1"),
        -(33 + 40.8139 / 60), 151 + 17.4712 / 60,
        {
            {2, {1, 1, 86, 86, 41}},
            {4, {1, 1, 40, 133, 38}},
            {5, {1, 1, 20, 23, 37}},
            {9, {1, 1, 36, 327, 37}},
            {10, {1, 1, 31, 83, 34}},
            {12, {1, 1, 61, 213, 40}},
            {17, {1, 1, 7, 105, 17}},
            {24, {1, 1, 38, 321, 37}},
            {25, {1, 1, 25, 224, 29}},
            {29, {1, 1, 12, 267, 33}},
            {76, {1, 0, 8, 7, -1}},
            {65, {1, 0, 10, 40, -1}},
            {81, {1, 1, 9, 277, 15}},
            {78, {1, 0, 51, 239, -1}},
            {77, {1, 0, 51, 333, -1}},
            {88, {1, 0, 48, 233, -1}},
            {87, {1, 0, 41, 152, -1}},
            {71, {1, 0, 10, 143, -1}},
        }};
    ExpectLogEnd("nmea/gps-glonass-lf-endings.nmea", end, [](const NmeaParser& p) {
        EXPECT_EQ(p.GngsaHalfToggle(), 1);
        for (int prn : p.Gsa().prn)
            EXPECT_EQ(prn, -1);
        EXPECT_EQ(p.Rmc().mode, -1); // the sentence has no mode field
        EXPECT_EQ(p.Rmc().variationEastWest, 8);
    });
}

TEST(NmeaLogs, GpsGlonassChartsPutGlonassAfterGps)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    NmeaParser p;
    p.ParseNmea(ReadFileBytes(ulv::test::TestDataPath("nmea/gps-glonass-lf-endings.nmea")));
    const SignalBars bars = BuildBars(p.Table());
    ASSERT_EQ(CountBars(bars), 11);
    EXPECT_EQ(bars[9].prn, 29);
    EXPECT_EQ(bars[10].prn, 81);
    const SignalBarChartLayout layout = LayOutSignalBarChart(p.Table(), {0, 0, 500, 300});
    EXPECT_EQ(layout.slots.slots, 14);
    EXPECT_EQ(layout.fullScale, 60); // strongest 41 dB-Hz
    EXPECT_EQ(layout.bars.back().brush, BarBrush::GlonassTracked);

    SkyItems items;
    BuildSkyItems(p.Table(), items);
    EXPECT_EQ(items[80].colourClass, kSkyGlonassTracked);
    EXPECT_STREQ(items[80].label, "G81");
    EXPECT_EQ(items[75].colourClass, kSkyInViewOnly);
    EXPECT_EQ(items[1].colourClass, kSkyGpsTracked);
}

TEST(NmeaLogs, AnyChunkingGivesTheSameSequenceOfUpdates)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    for (const char* file : {"nmea/gps-only-stationary.nmea", "nmea/gps-glonass-lf-endings.nmea"}) {
        const std::string log = ReadFileBytes(ulv::test::TestDataPath(file));
        RecordingListener whole;
        NmeaParser reference(&whole);
        reference.ParseNmea(log);

        std::mt19937 random(7);
        for (int run = 0; run < 20; ++run) {
            std::vector<size_t> sizes;
            for (int i = 0; i < 50; ++i)
                sizes.push_back(1 + random() % 300);
            RecordingListener l;
            NmeaParser p(&l);
            FeedInChunks(p, log, sizes);
            ASSERT_EQ(l.publishHistory.size(), whole.publishHistory.size()) << file << " run " << run;
            for (size_t i = 0; i < l.publishHistory.size(); ++i) {
                EXPECT_EQ(std::memcmp(&l.publishHistory[i], &whole.publishHistory[i], sizeof(SatelliteTable)), 0)
                    << file << " run " << run << " publish " << i;
            }
            EXPECT_EQ(l.labelHistory, whole.labelHistory) << file << " run " << run;
            EXPECT_EQ(l.worldPositions, whole.worldPositions) << file << " run " << run;
        }
    }
}

TEST(NmeaLogs, MidLogGngsaMarksAreVisibleUntilTheNextGpsGroup)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    // Cut the log after the first epoch's third GNGSA: satellites 10 and 17,
    // named by the first GNGSA, stay marked used on the charts although the
    // third GNGSA has emptied that half of the record again.
    const std::string log = ReadFileBytes(ulv::test::TestDataPath("nmea/gps-glonass-lf-endings.nmea"));
    size_t cut = 0;
    for (int i = 0; i < 3; ++i)
        cut = log.find('\n', log.find("$GNGSA", cut)) + 1;
    RecordingListener l;
    NmeaParser p(&l);
    p.ParseNmea(log.substr(0, cut));
    EXPECT_EQ(l.publishCount, 3);
    EXPECT_EQ(l.published[9].used, 1);
    EXPECT_EQ(l.published[16].used, 1);
    EXPECT_EQ(p.Labels().satelliteUsed, "0");
    EXPECT_EQ(p.Labels().locatingType, "no fixed");
    EXPECT_EQ(p.Labels().dop, "PDOP:99.0    HDOP:99.0    VDOP:99.0");
}

// The log with every RMC and GGA time moved on by `seconds` (within the day),
// each sentence's checksum made good again.
std::string ShiftedLog(const std::string& log, int seconds)
{
    std::string out;
    size_t pos = 0;
    while (pos < log.size()) {
        size_t end = log.find('\n', pos);
        end = end == std::string::npos ? log.size() : end + 1;
        std::string line = log.substr(pos, end - pos);
        pos = end;
        const bool timed = line.rfind("$GPRMC,", 0) == 0 || line.rfind("$GPGGA,", 0) == 0;
        const size_t star = line.find('*');
        if (timed && star != std::string::npos && line.size() > 13 && line[13] == '.') {
            const int hh = std::stoi(line.substr(7, 2));
            const int mm = std::stoi(line.substr(9, 2));
            const int ss = std::stoi(line.substr(11, 2));
            const int t = ((hh * 3600 + mm * 60 + ss + seconds) % 86400 + 86400) % 86400;
            char hms[7];
            std::snprintf(hms, sizeof hms, "%02d%02d%02d", t / 3600, t / 60 % 60, t % 60);
            line.replace(7, 6, hms);
            unsigned sum = 0;
            for (size_t i = 1; i < star; ++i)
                sum ^= static_cast<unsigned char>(line[i]);
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", sum);
            line.replace(star + 1, 2, digits);
        }
        out += line;
    }
    return out;
}

TEST(NmeaLogs, UtcTimeIsTheSentencesOwnAcrossMinuteHourAndDayEnds)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const std::string log = ReadFileBytes(ulv::test::TestDataPath("nmea/gps-only-stationary.nmea"));
    ASSERT_NE(log.find("$GPRMC,170959.972,"), std::string::npos);
    // The log's second and third epochs are 17:09:59.972 and 17:10:00.972:
    // moved on, they end an hour and a day.
    const struct {
        const char* name;
        int shift;
        const char* before;
        const char* after;
    } cases[] = {
        {"minute's end", 0, "170959.9", "171000.9"},
        {"hour's end", 50 * 60, "175959.9", "180000.9"},
        {"day's end", 23 * 3600 + 59 * 60 + 59 - (17 * 3600 + 9 * 60 + 59), "235959.9", "000000.9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string shifted = ShiftedLog(log, c.shift);
        NmeaParser p;
        std::vector<std::string> fields; // each RMC's time field
        std::vector<QString> shown;      // and the label after it
        size_t pos = 0;
        while (pos < shifted.size()) {
            size_t end = shifted.find('\n', pos);
            end = end == std::string::npos ? shifted.size() : end + 1;
            const std::string line = shifted.substr(pos, end - pos);
            pos = end;
            p.ParseNmea(line);
            if (line.rfind("$GPRMC,", 0) == 0) {
                fields.push_back(line.substr(7, line.find(',', 7) - 7));
                shown.push_back(p.Labels().utcTime);
            }
        }
        ASSERT_GE(shown.size(), 3u);
        EXPECT_EQ(shown[1], c.before);
        EXPECT_EQ(shown[2], c.after);
        // Every epoch: hhmmss and the tenth, as the sentence wrote them.
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_EQ(shown[i].toStdString(), fields[i].substr(0, 8)) << fields[i];
    }
}

} // namespace
