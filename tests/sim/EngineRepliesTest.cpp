// The exact bytes the simulated module answers, per command and model.

#include "sim/EngineDriver.h"

#include <gtest/gtest.h>

#include <random>

using namespace ulv::sim;
using namespace ulv::sim::test;

namespace {

struct Case {
    const char* revision;
    Family family;
    const char* command;
    std::string reply;
};

std::string Name(const Case& c)
{
    return std::string(c.revision) + " " + c.command;
}

const std::string kMaker = "Ulvenscope Simulated Modules";

} // namespace

TEST(EngineReplies, AnswersEachCommandWithTheModelsExactBytes)
{
    const std::vector<Case> cases = {
        // synchronisation and identity
        {"TZ20A01", Family::Gsm, "AT", kOk},
        {"RX70B03", Family::Umts, "AT", kOk},
        {"TZ20A01", Family::Gsm, "ATI", "\r\n" + kMaker + "\r\nTZ20\r\nRevision: TZ20A01\r\n" + kOk},
        {"P21B02", Family::Gsm, "ATI", "\r\n" + kMaker + "\r\nP21\r\nRevision: P21B02\r\n" + kOk},
        {"RX50C01", Family::Umts, "ATI", "\r\n" + kMaker + "\r\nRX50\r\nRevision: RX50C01\r\n" + kOk},
        {"KV33D01", Family::Umts, "ATI0", "\r\n" + kMaker + "\r\nKV33\r\nRevision: KV33D01\r\n" + kOk},
        {"TZ20A01", Family::Gsm, "ATI9", kError},
        {"TZ20A01", Family::Gsm, "AT+GSN", Info("356938035643809")},
        {"RX70B03", Family::Umts, "AT+CIMI", Info("001010123456789")},
        {"TZ20A01", Family::Gsm, "AT+JCCID", Info("+JCCID: 89860012345678901234")},
        {"RX70B03", Family::Umts, "AT+CPIN?", Info("+CPIN: READY")},
        {"TZ20A01", Family::Gsm, "AT+CSQ", Info("+CSQ: 20,99")},
        {"TZ20A01", Family::Gsm, "AT+CREG?", Info("+CREG: 0,1")},
        {"RX70B03", Family::Umts, "AT+CGREG?", Info("+CGREG: 0,1")},
        {"TZ20A01", Family::Gsm, "AT+COPS?", Info("+COPS: 0,0,\"Test PLMN 1-1\"")},
        {"RX70B03", Family::Umts, "AT+COPS?", Info("+COPS: 0,0,\"Test PLMN 1-1\",2")},
        // settings: GSM modules auto-baud out of the box
        {"TZ20A01", Family::Gsm, "AT+IPR?", Info("+IPR: 0")},
        {"RX70B03", Family::Umts, "AT+IPR?", Info("+IPR: 115200")},
        {"TZ20A01", Family::Gsm, "AT+IPR=115200", kOk},
        {"TZ20A01", Family::Gsm, "AT+IPR=12345", kError},
        {"TZ20A01", Family::Gsm, "AT&W", kOk},
        {"TZ20A01", Family::Gsm, "AT+CMEE=2", kOk},
        {"TZ20A01", Family::Gsm, "AT+CMEE=3", kError},
        {"TZ20A01", Family::Gsm, "AT+CMEE?", Info("+CMEE: 0")},
        // maker commands exist only on their models
        {"RX70B03", Family::Umts, "AT+JURCCFG=\"URCPORT\",\"usbat\"", kOk},
        {"RX70B03", Family::Umts, "AT+JURCCFG=\"URCPORT\",\"com9\"", kError},
        {"RX70B03", Family::Umts, "AT+JURCCFG?", Info("+JURCCFG: \"URCPORT\",\"uart1\"")},
        {"RX50C01", Family::Umts, "AT+JURCCFG=\"URCPORT\",\"uart1\"", kError},
        {"TZ20A01", Family::Gsm, "AT+JURCCFG=\"URCPORT\",\"uart1\"", kError},
        {"TZ20A01", Family::Gsm, "AT+JINISTAT", Info("+JINISTAT: 3")},
        {"RX70B03", Family::Umts, "AT+JINISTAT", Info("+JINISTAT: 7")},
        {"RX50C01", Family::Umts, "AT+JIDEACT=1", kOk},
        {"TZ20A01", Family::Gsm, "AT+JIDEACT=1", kError},
        {"KV33D01", Family::Umts, "AT+JDAC=3", kOk},
        {"RX70B03", Family::Umts, "AT+JDAC=3", kError},
        {"RX70B03", Family::Umts, "AT+JDAI=2", kOk},
        {"KV33D01", Family::Umts, "AT+JDAI=2", kError},
        // SMS settings
        {"TZ20A01", Family::Gsm, "AT+CSMP=17,167,0,0", kOk},
        {"TZ20A01", Family::Gsm, "AT+CSMP?", Info("+CSMP: 17,167,0,0")},
        {"TZ20A01", Family::Gsm, "AT+CSMP=17,167,0,256", kError},
        {"TZ20A01", Family::Gsm, "AT+CPMS=\"SM\",\"SM\",\"SM\"", Info("+CPMS: 0,50,0,50,0,50")},
        {"RX70B03", Family::Umts, "AT+CPMS=\"SM\",\"SM\",\"SM\"", Info("+CPMS: 0,40,0,40,0,40")},
        {"TZ20A01", Family::Gsm, "AT+CPMS=\"ME\"", "\r\n+CMS ERROR: 302\r\n"},
        {"TZ20A01", Family::Gsm, "AT+CPMS?", Info("+CPMS: \"SM\",0,50,\"SM\",0,50,\"SM\",0,50")},
        {"TZ20A01", Family::Gsm, "AT+CSCA?", Info("+CSCA: \"+8613800100500\",145")},
        {"TZ20A01", Family::Gsm, "AT+CMGF=1", kOk},
        {"TZ20A01", Family::Gsm, "AT+CMGF?", Info("+CMGF: 0")},
        {"TZ20A01", Family::Gsm, "AT+CMGF=2", kError},
        {"TZ20A01", Family::Gsm, "AT+CSCS=\"UCS2\"", kOk},
        {"TZ20A01", Family::Gsm, "AT+CSCS=\"8859-1\"", kError},
        {"TZ20A01", Family::Gsm, "AT+CSCS?", Info("+CSCS: \"GSM\"")},
        {"TZ20A01", Family::Gsm, "AT+CSDH=1", kOk},
        // audio values and their read-back
        {"TZ20A01", Family::Gsm, "AT+CLVL?", Info("+CLVL: 60")},
        {"RX70B03", Family::Umts, "AT+CLVL?", Info("+CLVL: 4")},
        {"RX70B03", Family::Umts, "AT+CLVL=8", kError},
        {"KV33D01", Family::Umts, "AT+CLVL=100", kOk},
        {"TZ20A01", Family::Gsm, "AT+JSIDET?", Info("+JSIDET: 100")},
        {"KV33D01", Family::Umts, "AT+JSIDET?", Info("+JSIDET: -100")},
        {"KV33D01", Family::Umts, "AT+JSIDET=-450", kOk},
        {"TZ20A01", Family::Gsm, "AT+JSIDET=-1", kError},
        {"RX50C01", Family::Umts, "AT+JSIDET=65535", kOk},
        {"TZ20A01", Family::Gsm, "AT+JMIC?", Info("+JMIC: 9,0")},
        {"RX50C01", Family::Umts, "AT+JMIC?", Info("+JMIC: 1,20000,25000")},
        {"TZ20A01", Family::Gsm, "AT+JMIC=?", Info("+JMIC: (0-2),(0-15)")},
        {"RX70B03", Family::Umts, "AT+JMIC=?", Info("+JMIC: (1),(0-65535),(0-65535)")},
        {"TZ20A01", Family::Gsm, "at+jaudch=?", Info("+JAUDCH: (0-2)")},
        {"TZ20A01", Family::Gsm, "at+jaudch?", Info("+JAUDCH: 0")},
        {"RX50C01", Family::Umts, "AT+JAUDPATH?", Info("+JAUDPATH: 0")},
        {"KV33D01", Family::Umts, "AT+JAUDMOD=2", kOk},
        {"RX70B03", Family::Umts, "AT+JDAI?", Info("+JDAI: 0")},
        {"RX70B03", Family::Umts, "AT+JAUDCH?", kError},
        {"TZ20A01", Family::Gsm, "AT+JAUDPATH?", kError},
        {"TZ20A01", Family::Gsm, "AT+CMUT?", Info("+CMUT: 0")},
        {"TZ20A01", Family::Gsm, "AT+CALM=1", kOk},
        {"TZ20A01", Family::Gsm, "AT+CALM=2", kError},
        // anything unknown or malformed
        {"TZ20A01", Family::Gsm, "AT+XYZZY", kError},
        {"RX70B03", Family::Umts, "AT+CMGS=\"123", kError},
        {"TZ20A01", Family::Gsm, "AT@", kError},
        {"TZ20A01", Family::Gsm, "HELLO", kError},
    };
    for (const Case& c : cases) {
        ModemEngine engine(c.family, c.revision);
        EXPECT_EQ(Ask(engine, c.command), c.reply) << Name(c);
    }
}

TEST(EngineReplies, EchoesTheCommandAndItsCarriageReturnButNotTheLineFeed)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    EXPECT_EQ(Feed(engine, "AT\r\n"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(Feed(engine, "ATE0\r\n"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Feed(engine, "AT\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(Feed(engine, "ATE1\r"), "\r\nOK\r\n");
    EXPECT_EQ(Feed(engine, "AT"), "AT");
    EXPECT_EQ(Feed(engine, "\r"), "\r\r\nOK\r\n");
    // The LF that follows a CR in the next write is still the same line end.
    EXPECT_EQ(Feed(engine, "\n"), "");
}

TEST(EngineReplies, EchoGoesOutAtOnceAndTheAnswerAMomentLater)
{
    ModemEngine engine(Family::Umts, "RX50C01");
    const auto out = engine.Feed("AT+CSQ\r\n").emissions;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].bytes, "AT+CSQ\r");
    EXPECT_EQ(out[0].delayMs, 0);
    EXPECT_EQ(out[1].bytes, Info("+CSQ: 20,99"));
    EXPECT_EQ(out[1].delayMs, engine.State().answerLatencyMs);
    EXPECT_GT(engine.State().answerLatencyMs, 0);
}

TEST(EngineReplies, NumericResultsAfterAtv0)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ATV0", "0\r"},
        {"AT", "0\r"},
        {"AT+CSQ", "+CSQ: 20,99\r\n0\r"},
        {"AT+NOPE", "4\r"},
        {"ATD123", "3\r"},
        {"AT+CMEE=1", "0\r"},
        {"AT+CPIN=1234", "+CME ERROR: 3\r"},
        {"ATV1", "\r\nOK\r\n"},
    };
    ModemEngine engine(Family::Gsm, "P21B02");
    Feed(engine, "ATE0\r");
    for (const auto& [command, reply] : cases)
        EXPECT_EQ(Ask(engine, command), reply) << command;
}

TEST(EngineReplies, EmptyAndBlankLinesGetNoAnswer)
{
    ModemEngine engine(Family::Umts, "RX70B03");
    Feed(engine, "ATE0\r");
    for (const char* line : {"\r", "\r\n", "   \r", "\n\n\r"})
        EXPECT_EQ(Feed(engine, line), "") << line;
}

TEST(EngineReplies, RunsSeveralCommandsOfOneLineAndStopsAtTheFirstFailure)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    EXPECT_EQ(Ask(engine, "ATE1V1+CMEE=1;+CMGF=1;+CSCS=\"UCS2\""), kOk);
    EXPECT_TRUE(engine.State().textMode);
    EXPECT_EQ(engine.State().charset, Charset::Ucs2);
    EXPECT_EQ(engine.State().cmee, 1);
    EXPECT_EQ(Ask(engine, "AT+CSQ;+BOGUS;+CMGF=0"), "\r\n+CSQ: 20,99\r\n\r\n+CME ERROR: 4\r\n");
    EXPECT_TRUE(engine.State().textMode);
}

TEST(EngineReplies, SkipsNoiseBeforeAtAndEditsWithBackspace)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    Feed(engine, "ATE0\r");
    EXPECT_EQ(Feed(engine, std::string("\x00\xff\x13xyAT+CSQ\r", 12)), Info("+CSQ: 20,99"));
    EXPECT_EQ(Feed(engine, "AT+CSX\bQ\r"), Info("+CSQ: 20,99"));
}

TEST(EngineReplies, SimErrorsFollowTheExtendedErrorSetting)
{
    struct Row {
        SimState sim;
        int cmee;
        const char* command;
        std::string reply;
    };
    const std::vector<Row> rows = {
        {SimState::NotInserted, 0, "AT+CPIN?", kError},
        {SimState::NotInserted, 1, "AT+CPIN?", "\r\n+CME ERROR: 10\r\n"},
        {SimState::NotInserted, 2, "AT+CIMI", "\r\n+CME ERROR: SIM not inserted\r\n"},
        {SimState::PinRequired, 1, "AT+CPIN?", Info("+CPIN: SIM PIN")},
        {SimState::PinRequired, 1, "AT+JCCID", "\r\n+CME ERROR: 11\r\n"},
        {SimState::PinRequired, 1, "AT+CPIN=0000", "\r\n+CME ERROR: 16\r\n"},
        {SimState::PinRequired, 1, "AT+CPIN=1234", kOk},
        {SimState::NotInserted, 0, "AT+CPMS=\"SM\"", "\r\n+CMS ERROR: 310\r\n"},
    };
    for (const Row& r : rows) {
        ModemEngine engine(Family::Gsm, "TZ20A01");
        engine.State().sim = r.sim;
        engine.State().cmee = r.cmee;
        EXPECT_EQ(Ask(engine, r.command), r.reply) << r.command << " cmee " << r.cmee;
    }
}

TEST(EngineReplies, RegistrationDetailsAndUnregisteredOperator)
{
    ModemEngine engine(Family::Umts, "KV33D01");
    EXPECT_EQ(Ask(engine, "AT+CREG=2"), kOk);
    EXPECT_EQ(Ask(engine, "AT+CREG?"), Info("+CREG: 2,1,\"1A2B\",\"00C3\",2"));
    engine.State().cregStat = 2;
    EXPECT_EQ(Ask(engine, "AT+CREG?"), Info("+CREG: 2,2"));
    EXPECT_EQ(Ask(engine, "AT+COPS?"), Info("+COPS: 0"));
    // The change is reported unsolicited only where AT+CREG enabled it, with
    // the location and cell once registered.
    EXPECT_EQ(Bytes(engine.SetRegistration(5, 0)), "\r\n+CREG: 5,\"1A2B\",\"00C3\",2\r\n");
    EXPECT_EQ(Bytes(engine.SetRegistration(3, 0)), "\r\n+CREG: 3\r\n");
}

// The identification of the program reads the text after "Revision", its ':'
// and up to the next line feed, and looks for these prefixes in this order.
TEST(EngineReplies, RevisionTextOfEachModelNamesItsFamily)
{
    auto classify = [](const std::string& reply) -> int {
        const auto r = reply.find("Revision");
        const auto colon = reply.find(':', r);
        const auto lf = reply.find('\n', colon);
        if (r == std::string::npos || colon == std::string::npos || lf == std::string::npos)
            return -1;
        const std::string text = reply.substr(colon + 1, lf - colon);
        for (const auto& [prefix, family] : std::vector<std::pair<std::string, int>>{
                 {"TZ", 0}, {"RX70", 1}, {"RX50", 1}, {"KV", 1}, {"P", 0}}) {
            if (text.find(prefix) != std::string::npos)
                return family;
        }
        return -2;
    };
    const std::vector<std::pair<const char*, int>> models = {
        {"TZ20A01", 0}, {"P21B02", 0}, {"RX70B03", 1}, {"RX50C01", 1}, {"KV33D01", 1}};
    for (const auto& [revision, family] : models) {
        ModemEngine engine(family == 0 ? Family::Gsm : Family::Umts, revision);
        EXPECT_EQ(classify(Feed(engine, "ATI\r\n")), family) << revision;
    }
}

TEST(EngineReplies, RandomBytesInRandomPiecesLeaveItAnswering)
{
    std::mt19937 random(20261210);
    // Bytes that steer the parser: line ends, prompt controls, quotes and command text.
    const std::string alphabet = std::string("AT+CMGS=\"1,;?\r\n\x1A\x1B\b\x00\xff", 19) + "DIEVH&W0123";
    for (const Family family : {Family::Gsm, Family::Umts}) {
        ModemEngine engine(family, family == Family::Gsm ? "TZ20A01" : "RX70B03");
        for (int round = 0; round < 2000; ++round) {
            std::string piece;
            const int length = int(random() % 64);
            for (int i = 0; i < length; ++i) {
                piece.push_back(random() % 4 == 0 ? char(random() & 0xFF)
                                                  : alphabet[random() % alphabet.size()]);
            }
            engine.Feed(piece);
        }
        Feed(engine, "\x1B\rATE0V1\r");
        EXPECT_EQ(Feed(engine, "AT\r"), kOk);
    }
}
