#include "CommaLocale.h"
#include "RecordingListener.h"

#include "common/TestEnv.h"
#include "core/gnss/NmeaParser.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace ulv;

namespace {

const char* const kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";

TEST(NumberLocale, ACommaDecimalLocaleChangesNoReadingAndNoLabel)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    const std::string log = test::ReadFileBytes(test::TestDataPath("nmea/gps-only-stationary.nmea")) + kRmc;
    NmeaParser reference;
    reference.ParseNmea(log);

    QTemporaryDir dir;
    const auto locale = test::FindCommaDecimalLocale(dir.path());
    if (!locale)
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    test::ScopedNumericLocale scoped(*locale);
    ASSERT_TRUE(scoped.Active());
    ASSERT_EQ(std::atof("1.5"), 1.0); // the C library now stops at the "."

    NmeaParser p;
    p.ParseNmea(log);
    EXPECT_EQ(p.Labels().latitude, "48.117300N");
    EXPECT_EQ(p.Labels().dop, "PDOP:1.8    HDOP:0.9    VDOP:1.5");
    EXPECT_EQ(p.Labels(), reference.Labels());
    EXPECT_EQ(std::memcmp(&p.Table(), &reference.Table(), sizeof(SatelliteTable)), 0);
    EXPECT_EQ(p.Gga().altitude, 7.7);
}

} // namespace
