// The packet data call as the engine answers it: the PDP contexts of
// AT+CGDCONT per family, and what a data dial answers in each state of the
// module and its data path.

#include "sim/EngineDriver.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ulv::sim;
using namespace ulv::sim::test;

namespace {

const std::string kNoCarrier = "\r\nNO CARRIER\r\n";
const std::string kConnect = "\r\nCONNECT\r\n";

ModemEngine Make(Family family)
{
    ModemEngine engine(family, family == Family::Gsm ? "TZ20A01" : "RX70B03");
    engine.State().echo = false;
    return engine;
}

} // namespace

TEST(DataCall, PdpContextsAreKeptAndAnsweredInEachForm)
{
    struct Case {
        Family family;
        std::vector<std::string> commands; // answered OK, in turn
        std::string command;
        std::string reply;
    } cases[] = {
        {Family::Gsm, {}, "AT+CGDCONT=?",
            "\r\n+CGDCONT: (1-3),\"IP\",,,(0-2),(0-4)\r\n+CGDCONT: (1-3),\"PPP\",,,(0-2),(0-4)\r\n" + kOk},
        {Family::Umts, {}, "AT+CGDCONT=?",
            "\r\n+CGDCONT: (1-16),\"IP\",,,(0-2),(0-4)\r\n+CGDCONT: (1-16),\"PPP\",,,(0-2),(0-4)\r\n"
            "+CGDCONT: (1-16),\"IPV6\",,,(0-2),(0-4)\r\n+CGDCONT: (1-16),\"IPV4V6\",,,(0-2),(0-4)\r\n" + kOk},
        {Family::Gsm, {}, "AT+CGDCONT?", kOk},
        {Family::Gsm, {"AT+CGDCONT=2,\"IP\",\"internet\"", "AT+CGDCONT=1,\"ip\",\"cmnet\",\"10.0.0.9\",1,2"},
            "AT+CGDCONT?",
            "\r\n+CGDCONT: 1,\"IP\",\"cmnet\",\"10.0.0.9\",1,2\r\n+CGDCONT: 2,\"IP\",\"internet\",\"0.0.0.0\",0,0\r\n"
                + kOk},
        // Set again, a context is replaced; given by its cid alone, it is gone.
        {Family::Umts, {"AT+CGDCONT=1,\"IP\",\"a\"", "AT+CGDCONT=1,\"IPV6\",\"b\"", "AT+CGDCONT=16,\"PPP\"",
            "AT+CGDCONT=16"},
            "AT+CGDCONT?", "\r\n+CGDCONT: 1,\"IPV6\",\"b\",\"0.0.0.0\",0,0\r\n" + kOk},
        {Family::Gsm, {}, "AT+CGDCONT=4,\"IP\",\"cmnet\"", kError},
        {Family::Umts, {}, "AT+CGDCONT=0,\"IP\",\"cmnet\"", kError},
        {Family::Gsm, {}, "AT+CGDCONT=1,\"IPV6\",\"cmnet\"", kError},
        {Family::Umts, {}, "AT+CGDCONT=1,\"X25\",\"cmnet\"", kError},
        {Family::Umts, {}, "AT+CGDCONT=1,\"IP\",\"cmnet\",\"\",3", kError},
        {Family::Umts, {}, "AT+CGDCONT=1,\"IP\",\"cmnet\",\"\",0,5", kError},
        {Family::Umts, {}, "AT+CGDCONT=1,\"IP\",\"" + std::string(100, 'a') + "\"", kError},
        {Family::Umts, {}, "AT+CGDCONT=x", kError},
        {Family::Gsm, {}, "AT+CGDCONT", kError}, // no such form: CME errors are off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ModemEngine engine = Make(c.family);
        for (const std::string& command : c.commands)
            ASSERT_EQ(Feed(engine, command + "\r"), kOk) << command;
        EXPECT_EQ(Feed(engine, c.command + "\r"), c.reply);
    }
}

TEST(DataCall, DialAnswersAsTheModuleAndItsDataPathStand)
{
    struct Case {
        const char* name;
        std::string dial;
        std::function<void(ModemEngine&)> prepare;
        bool pathUp;     // what the carrier's data path answers
        std::string reply;
        int askedCid;    // the cid the carrier was asked for (0: not asked)
    };
    const auto none = [](ModemEngine&) {};
    const Case cases[] = {
        {"the default context", "ATD*99#", none, true, kConnect, 1},
        {"a cid", "ATD*99***2#", none, true, kConnect, 2},
        {"PPP named, a cid", "ATD*99**PPP*2#", none, true, kConnect, 2},
        {"numeric", "ATD*99#", [](ModemEngine& e) { e.State().verbose = false; }, true, "1\r", 1},
        {"no data path", "ATD*99#", none, false, kNoCarrier, 1},
        {"no data path, numeric", "ATD*99#", [](ModemEngine& e) { e.State().verbose = false; }, false, "3\r", 1},
        {"detached", "ATD*99#", [](ModemEngine& e) { Feed(e, "AT+CGATT=0\r"); }, true, kNoCarrier, 0},
        {"radio off", "ATD*99#", [](ModemEngine& e) { Feed(e, "AT+CFUN=4\r"); }, true, kNoCarrier, 0},
        {"no context", "ATD*99#", [](ModemEngine& e) { e.State().contexts.clear(); }, true, kNoCarrier, 0},
        {"an undefined cid", "ATD*99***3#", none, true, kError, 0},
        {"another layer 2", "ATD*99**X25*1#", none, true, kError, 0},
        {"no closing #", "ATD*99***1", none, true, kError, 0},
        {"too many fields", "ATD*99****1#", none, true, kError, 0},
        {"no SIM", "ATD*99#", [](ModemEngine& e) { e.State().sim = SimState::NotInserted; }, true, kError, 0},
        {"another data number", "ATD12345", none, true, kNoCarrier, 0},
        {"back to a call the escape ended", "ATO0", none, true, kNoCarrier, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModemEngine engine = Make(Family::Umts);
        ASSERT_EQ(Feed(engine, "AT+CGDCONT=1,\"IP\",\"cmnet\";+CGDCONT=2,\"IP\",\"internet\"\r"), kOk);
        c.prepare(engine);
        int asked = 0;
        engine.SetDataCall([&](int cid) {
            asked = cid;
            return c.pathUp;
        });
        EXPECT_EQ(Feed(engine, c.dial + "\r"), c.reply);
        EXPECT_EQ(asked, c.askedCid);
        const bool connected = c.reply == kConnect || c.reply == "1\r";
        EXPECT_EQ(engine.InDataMode(), connected);
        EXPECT_EQ(engine.State().dataCallCid, connected ? c.askedCid : 0);
    }
}

TEST(DataCall, BytesAfterTheDialAreDataAndTheEndOfTheCallBringsCommandsBack)
{
    for (const bool verbose : {true, false}) {
        SCOPED_TRACE(verbose ? "ATV1" : "ATV0");
        ModemEngine engine = Make(Family::Gsm);
        engine.State().verbose = verbose;
        engine.SetDataCall([](int) { return true; });
        ASSERT_EQ(Feed(engine, "AT+CGDCONT=1,\"IP\",\"cmnet\"\r"), verbose ? kOk : "0\r");
        // The dial's LF is not data; what follows it in the same read is.
        const ModemEngine::Output out = engine.Feed("ATD*99#\r\n~\xff\x7d");
        EXPECT_EQ(Bytes(out.emissions), verbose ? kConnect : "1\r");
        EXPECT_EQ(out.dataFrom, 9u);
        EXPECT_EQ(Bytes(engine.EndDataCall(true)), verbose ? kNoCarrier : "3\r");
        EXPECT_FALSE(engine.InDataMode());
        EXPECT_EQ(engine.State().dataCallCid, 0);
        EXPECT_EQ(Feed(engine, "AT\r"), verbose ? kOk : "0\r");
        EXPECT_TRUE(engine.EndDataCall(true).empty()); // no call, nothing to end
    }
}
