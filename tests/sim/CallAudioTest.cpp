// Voice calls and audio settings on the simulated module.

#include "sim/EngineDriver.h"

#include <gtest/gtest.h>

using namespace ulv::sim;
using namespace ulv::sim::test;

TEST(CallAudio, DialledCallGoesDiallingAlertingActiveThenHangsUp)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    Feed(engine, "ATE0\r");
    EXPECT_EQ(Ask(engine, "AT+CLCC"), kOk);
    EXPECT_EQ(Ask(engine, "ATD10086;"), kOk);
    EXPECT_EQ(Ask(engine, "AT+CLCC"), Info("+CLCC: 1,0,2,0,0,\"10086\",129"));
    EXPECT_EQ(Ask(engine, "AT+CLCC"), Info("+CLCC: 1,0,3,0,0,\"10086\",129"));
    EXPECT_EQ(Ask(engine, "AT+CLCC"), Info("+CLCC: 1,0,0,0,0,\"10086\",129"));
    EXPECT_EQ(Ask(engine, "AT+CLCC"), Info("+CLCC: 1,0,0,0,0,\"10086\",129"));
    EXPECT_EQ(Ask(engine, "ATD10010;"), "\r\nERROR\r\n"); // one call at a time (CMEE 0)
    EXPECT_EQ(Ask(engine, "ATH"), kOk);
    EXPECT_EQ(Ask(engine, "AT+CLCC"), kOk);
}

TEST(CallAudio, DialStringsAndDataCalls)
{
    const std::vector<std::pair<const char*, std::string>> rows = {
        {"ATD+8613912345678;", kOk},
        {"ATD*99#;", kOk},
        {"ATD 123 45;", kOk},
        {"ATD;", kError},
        {"ATD12x4;", kError},
        {"ATD12345", "\r\nNO CARRIER\r\n"},
    };
    for (const auto& [command, reply] : rows) {
        ModemEngine engine(Family::Umts, "RX70B03");
        Feed(engine, "ATE0\r");
        EXPECT_EQ(Ask(engine, command), reply) << command;
    }
}

TEST(CallAudio, IncomingCallRingsIsAnsweredAndEndsWithNoCarrier)
{
    ModemEngine engine(Family::Umts, "KV33D01");
    Feed(engine, "ATE0\r");
    EXPECT_EQ(Ask(engine, "ATA"), kError);
    EXPECT_EQ(Bytes(engine.Ring("+8613912345678")), "\r\nRING\r\n");
    EXPECT_EQ(Ask(engine, "AT+CLCC"), Info("+CLCC: 1,1,4,0,0,\"+8613912345678\",145"));
    EXPECT_EQ(Ask(engine, "ATA"), kOk);
    EXPECT_EQ(Ask(engine, "AT+CLCC"), Info("+CLCC: 1,1,0,0,0,\"+8613912345678\",145"));
    EXPECT_EQ(Bytes(engine.RemoteHangUp()), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(Ask(engine, "AT+CLCC"), kOk);
    Feed(engine, "ATV0\r");
    EXPECT_EQ(Bytes(engine.Ring("1")), "2\r");
    EXPECT_EQ(Bytes(engine.RemoteHangUp()), "3\r");
}

TEST(CallAudio, SetValuesReadBackPerModel)
{
    struct Row {
        const char* revision;
        Family family;
        const char* set;
        const char* read;
        std::string readReply;
    };
    const std::vector<Row> rows = {
        {"TZ20A01", Family::Gsm, "AT+CLVL=35", "AT+CLVL?", "+CLVL: 35"},
        {"RX70B03", Family::Umts, "AT+CLVL=7", "AT+CLVL?", "+CLVL: 7"},
        {"TZ20A01", Family::Gsm, "AT+JSIDET=200", "AT+JSIDET?", "+JSIDET: 200"},
        {"KV33D01", Family::Umts, "AT+JSIDET=-450", "AT+JSIDET?", "+JSIDET: -450"},
        {"P21B02", Family::Gsm, "at+jaudch=1", "at+jaudch?", "+JAUDCH: 1"},
        {"RX50C01", Family::Umts, "AT+JAUDPATH=2", "AT+JAUDPATH?", "+JAUDPATH: 2"},
        {"KV33D01", Family::Umts, "AT+JAUDMOD=1", "AT+JAUDMOD?", "+JAUDMOD: 1"},
        {"RX70B03", Family::Umts, "AT+JDAI=2", "AT+JDAI?", "+JDAI: 2"},
        {"TZ20A01", Family::Gsm, "AT+JMIC=0,12", "AT+JMIC?", "+JMIC: 12,0"},
        {"KV33D01", Family::Umts, "AT+JMIC=0,3", "AT+JMIC?", "+JMIC: 3,0"},
        {"RX50C01", Family::Umts, "AT+JMIC=1,100,200", "AT+JMIC?", "+JMIC: 1,100,200"},
        {"RX70B03", Family::Umts, "AT+JMIC=1,65535,0", "AT+JMIC?", "+JMIC: 1,65535,0"},
        {"TZ20A01", Family::Gsm, "AT+CMUT=1", "AT+CMUT?", "+CMUT: 1"},
        {"RX70B03", Family::Umts, "AT+CALM=1", "AT+CALM?", "+CALM: 1"},
    };
    for (const Row& r : rows) {
        ModemEngine engine(r.family, r.revision);
        Feed(engine, "ATE0\r");
        EXPECT_EQ(Ask(engine, r.set), kOk) << r.revision << " " << r.set;
        EXPECT_EQ(Ask(engine, r.read), Info(r.readReply)) << r.revision << " " << r.read;
    }
}

TEST(CallAudio, MicrophoneGainReadsTheCurrentChannel)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    Feed(engine, "ATE0\r");
    EXPECT_EQ(Ask(engine, "AT+JMIC=2,4"), kOk);
    EXPECT_EQ(Ask(engine, "AT+JMIC?"), Info("+JMIC: 9,0"));
    EXPECT_EQ(Ask(engine, "AT+JAUDCH=2"), kOk);
    EXPECT_EQ(Ask(engine, "AT+JMIC?"), Info("+JMIC: 4,2"));
    for (const char* bad : {"AT+JMIC=3,1", "AT+JMIC=0,16", "AT+JMIC=-1,1", "AT+JMIC=1", "AT+JMIC=1,2,3"})
        EXPECT_EQ(Ask(engine, bad), kError) << bad;
}
