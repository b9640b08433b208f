// The simulated module's NMEA port: AT+JGPS=1 on the AT port starts the
// recorded log on the second pseudo-terminal, AT+JGPSEND stops it.

#include "sim/RawPort.h"
#include "sim/SimFixture.h"
#include "sim/SimNmeaPort.h"

#include "common/TestEnv.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ulv;
using namespace std::chrono_literals;

namespace {

class NmeaPortSim : public sim::SimFixture {
protected:
    std::string LogPath() const
    {
        return test::TestDataPath(QStringLiteral("nmea/gps-only-stationary.nmea")).toStdString();
    }
    std::string Log() const { return test::ReadAll(QString::fromStdString(LogPath())).toStdString(); }
};

TEST_F(NmeaPortSim, EngineSwitchPlaysTheLogFromItsStart)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    StartSim(sim::Family::Umts, "RX50C01");
    sim::SimNmeaPort nmea({LogPath(), 0ms, false});
    std::string error;
    ASSERT_TRUE(nmea.Start(&error)) << error;
    sim::AttachNmeaPort(sim(), nmea);
    sim::test::RawPort at(SlavePath());
    sim::test::RawPort gps(nmea.SlavePath());

    ASSERT_TRUE(at.Write("AT+JGPS?\r"));
    EXPECT_NE(at.ReadUntil("OK\r\n").find("+JGPS: 0"), std::string::npos);
    ASSERT_TRUE(at.Write("AT+JGPS=1\r"));
    EXPECT_NE(at.ReadUntil("OK\r\n").find("OK"), std::string::npos);
    const std::string log = Log();
    const std::string got = gps.ReadUntil(log.substr(log.size() - 120), 20s);
    EXPECT_EQ(got, log) << "the whole log, byte for byte";
    ASSERT_TRUE(nmea.WaitForPasses(1, 20s));

    // Off and on again: the log starts over.
    ASSERT_TRUE(at.Write("AT+JGPSEND\r"));
    EXPECT_NE(at.ReadUntil("OK\r\n").find("OK"), std::string::npos);
    EXPECT_FALSE(nmea.EngineOn());
    ASSERT_TRUE(at.Write("AT+JGPS=1\r"));
    at.ReadUntil("OK\r\n");
    EXPECT_EQ(gps.ReadUntil(log.substr(0, 80), 20s).substr(0, 80), log.substr(0, 80));
}

TEST_F(NmeaPortSim, OnlyTheUmtsFamilyHasAGnssEngine)
{
    struct Case {
        sim::Family family;
        const char* command;
        const char* reply;
    };
    const Case cases[] = {
        {sim::Family::Gsm, "AT+JGPS=1\r", "ERROR"},
        {sim::Family::Gsm, "AT+JGPSEND\r", "ERROR"},
        {sim::Family::Umts, "AT+JGPS=2\r", "ERROR"},
        {sim::Family::Umts, "AT+JGPSEND=1\r", "ERROR"},
        {sim::Family::Umts, "AT+JGPS=?\r", "+JGPS: (0,1)"},
        {sim::Family::Umts, "AT+JGPS=0\r", "OK"},
    };
    for (const Case& c : cases) {
        StartSim(c.family);
        sim::test::RawPort at(SlavePath());
        ASSERT_TRUE(at.Write("ATV1\r"));
        at.ReadUntil("OK\r\n");
        ASSERT_TRUE(at.Write(c.command));
        // The reply ends with OK or ERROR, whichever comes.
        std::string reply;
        while (reply.find("OK\r\n") == std::string::npos && reply.find("ERROR\r\n") == std::string::npos) {
            const std::string piece = at.ReadUntil("\r\n", 5s);
            if (piece.empty())
                break;
            reply += piece;
        }
        EXPECT_NE(reply.find(c.reply), std::string::npos) << c.command << " got " << reply;
    }
}

TEST_F(NmeaPortSim, UnpluggedPortHangsUpItsReader)
{
    ULV_SKIP_WITHOUT_TESTDATA();
    sim::SimNmeaPort nmea({LogPath(), 1ms, true});
    ASSERT_TRUE(nmea.Start());
    sim::test::RawPort gps(nmea.SlavePath());
    nmea.SetEngineOn(true);
    EXPECT_FALSE(gps.ReadUntil("$GP", 10s).empty());
    nmea.Unplug();
    gps.ReadFor(5s); // ends at once when the line drops
    EXPECT_TRUE(gps.HungUp());
}

TEST(NmeaPortSimStart, MissingLogIsRefused)
{
    sim::SimNmeaPort nmea({"/no/such/log.nmea", 1ms, false});
    std::string error;
    EXPECT_FALSE(nmea.Start(&error));
    EXPECT_NE(error.find("/no/such/log.nmea"), std::string::npos);
}

} // namespace
