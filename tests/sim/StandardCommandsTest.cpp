// The standard command core (identification, state, messages, calls) as any
// AT client sees it: exact reply bytes per command, per family where they differ.

#include "sim/EngineDriver.h"
#include "sim/SimText.h"

#include <gtest/gtest.h>

using namespace ulv::sim;
using namespace ulv::sim::test;

namespace {

struct Case {
    Family family; // the family's default model: TZ20A01 or RX70B03
    const char* command;
    std::string reply;
};

// The module's clock stands at 26/12/10 13:45:32 +8 h.
ModemEngine Make(Family family)
{
    ModemEngine engine(family, family == Family::Gsm ? "TZ20A01" : "RX70B03");
    FixClock(engine);
    return engine;
}

const char* Of(Family family)
{
    return family == Family::Gsm ? "gsm" : "umts";
}

// Runs each case on a fresh module with the echo off.
void RunTable(const std::vector<Case>& cases, int cmee = 0)
{
    for (const Case& c : cases) {
        ModemEngine engine = Make(c.family);
        engine.State().echo = false;
        engine.State().cmee = cmee;
        EXPECT_EQ(Feed(engine, std::string(c.command) + "\r"), c.reply) << Of(c.family) << " " << c.command;
    }
}

std::string Cms(int code)
{
    return "\r\n+CMS ERROR: " + std::to_string(code) + "\r\n";
}

const std::string kMaker = "Ulvenscope Simulated Modules";
const std::string kNoCarrier = "\r\nNO CARRIER\r\n";

// SMS-SUBMIT of "hello" to 12345 (SMSC +8613800100500), relative validity,
// and the same with a status report requested.
const std::string kSubmit = "0891683108100005F0110005812143F50000AA05E8329BFD06";
const std::string kSubmitWithReport = "0891683108100005F0310005812143F50000AA05E8329BFD06";
// SMS-SUBMIT of "hello" to the module's own number +8613500001111, default SMSC.
const std::string kSubmitToSelf = "0011000D91683105001011F10000AA05E8329BFD06";

} // namespace

TEST(StandardCommands, IdentificationAndStateAnswerInTheStandardSyntax)
{
    const Family G = Family::Gsm;
    const Family U = Family::Umts;
    RunTable({
        {G, "AT+CGMI", Info(kMaker)},
        {U, "AT+GMI", Info(kMaker)},
        {G, "AT+CGMM", Info("TZ20")},
        {U, "AT+CGMM", Info("RX70")},
        {G, "AT+CGMR", Info("TZ20A01")},
        {U, "AT+GMR", Info("RX70B03")},
        {G, "AT+CGSN", Info("356938035643809")},
        {G, "AT+GCAP", Info("+GCAP: +CGSM")},
        {U, "AT+CIMI", Info("001010123456789")},
        {G, "AT+CNUM", Info("+CNUM: ,\"+8613500001111\",145")},
        {G, "AT+CFUN?", Info("+CFUN: 1")},
        {U, "AT+CFUN=1", kOk},
        {G, "AT+CFUN=1,0", kOk},
        {G, "AT+CFUN=2", kError},
        {G, "AT+CFUN=1,2", kError},
        {G, "AT+CPIN?", Info("+CPIN: READY")},
        {U, "AT+CSQ", Info("+CSQ: 20,99")},
        {G, "AT+CBC", Info("+CBC: 0,100")},
        {G, "AT+CREG=2;+CREG?", Info("+CREG: 2,1,\"1A2B\",\"00C3\"")},
        {U, "AT+CREG=2;+CREG?", Info("+CREG: 2,1,\"1A2B\",\"00C3\",2")},
        {G, "AT+CGREG=2;+CGREG?", Info("+CGREG: 2,1,\"1A2B\",\"00C3\"")},
        {U, "AT+CGREG=2;+CGREG?", Info("+CGREG: 2,1,\"1A2B\",\"00C3\",2")},
        {G, "AT+CREG=3", kError},
        {G, "AT+COPS=3,2;+COPS?", Info("+COPS: 0,2,\"00101\"")},
        {U, "AT+COPS=3,2;+COPS?", Info("+COPS: 0,2,\"00101\",2")},
        {G, "AT+COPS=3,1;+COPS?", Info("+COPS: 0,1,\"Test\"")},
        {U, "AT+COPS=3,0;+COPS?", Info("+COPS: 0,0,\"Test PLMN 1-1\",2")},
        {G, "AT+COPS=3", kError},
        {G, "AT+COPS=3,3", kError},
        {G, "AT+COPS=1,2,\"00101\";+COPS?", Info("+COPS: 1,2,\"00101\"")},
        {G, "AT+COPS=1,0,\"Elsewhere\"", kError},
        {G, "AT+COPS=4,0,\"Elsewhere\";+COPS?", Info("+COPS: 0,0,\"Test PLMN 1-1\"")},
        {G, "AT+CSCS=\"IRA\";+CSCS?", Info("+CSCS: \"IRA\"")},
        {G, "AT+CSCS=\"HEX\";+CNUM", Info("+CNUM: ,\"2B38363133353030303031313131\",145")},
    });
}

TEST(StandardCommands, EveryCommandAnswersItsTestForm)
{
    const Family G = Family::Gsm;
    const Family U = Family::Umts;
    RunTable({
        // action commands: the test form only says the command exists
        {G, "AT+CGMI=?", kOk},
        {G, "AT+CGMM=?", kOk},
        {G, "AT+CGMR=?", kOk},
        {G, "AT+CGSN=?", kOk},
        {G, "AT+CIMI=?", kOk},
        {G, "AT+CNUM=?", kOk},
        {G, "AT+CPIN=?", kOk},
        {G, "AT+CSCA=?", kOk},
        {G, "AT+CSMP=?", kOk},
        {G, "AT+CMGS=?", kOk},
        {G, "AT+CMGW=?", kOk},
        {G, "AT+CMSS=?", kOk},
        {G, "AT+CMGR=?", kOk},
        {G, "AT+CHUP=?", kOk},
        {U, "AT+CHUP=?", kOk},
        {G, "AT+CLCC=?", kOk},
        // settings and queries: their ranges
        {G, "AT+CFUN=?", Info("+CFUN: (0,1,4),(0-1)")},
        {G, "AT+CSQ=?", Info("+CSQ: (0-31,99),(0-7,99)")},
        {G, "AT+CBC=?", Info("+CBC: (0-3),(0-100)")},
        {G, "AT+CREG=?", Info("+CREG: (0-2)")},
        {U, "AT+CGREG=?", Info("+CGREG: (0-2)")},
        {G, "AT+COPS=?", Info("+COPS: (2,\"Test PLMN 1-1\",\"Test\",\"00101\"),,(0-4),(0-2)")},
        {U, "AT+COPS=?", Info("+COPS: (2,\"Test PLMN 1-1\",\"Test\",\"00101\",2),,(0-4),(0-2)")},
        {G, "AT+CMEE=?", Info("+CMEE: (0-2)")},
        {G, "AT+CSCS=?", Info("+CSCS: (\"GSM\",\"IRA\",\"HEX\",\"UCS2\")")},
        {G, "AT+CMGF=?", Info("+CMGF: (0-1)")},
        {G, "AT+CSDH=?", Info("+CSDH: (0-1)")},
        {G, "AT+CSMS=?", Info("+CSMS: (0)")},
        {G, "AT+CPMS=?", Info("+CPMS: (\"SM\"),(\"SM\"),(\"SM\")")},
        {G, "AT+CNMI=?", Info("+CNMI: (0-2),(0-3),(0-3),(0-1),(0-1)")},
        {G, "AT+CMGL=?", Info("+CMGL: (0-4)")},
        {G, "AT+CMGF=1;+CMGL=?", Info("+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")")},
        {G, "AT+CMGD=?", Info("+CMGD: (1-50),(0-4)")},
        {U, "AT+CMGD=?", Info("+CMGD: (0-39),(0-4)")},
        {G, "AT+CLIP=?", Info("+CLIP: (0,1)")},
        {U, "AT+CLVL=?", Info("+CLVL: (0-7)")},
        {G, "AT+CLVL=?", Info("+CLVL: (0-100)")},
    });
}

TEST(StandardCommands, EverySettingAnswersItsReadForm)
{
    const Family G = Family::Gsm;
    const Family U = Family::Umts;
    RunTable({
        {G, "AT+CFUN?", Info("+CFUN: 1")},
        {G, "AT+CMEE?", Info("+CMEE: 0")},
        {G, "AT+CREG?", Info("+CREG: 0,1")},
        {U, "AT+CGREG?", Info("+CGREG: 0,1")},
        {G, "AT+COPS?", Info("+COPS: 0,0,\"Test PLMN 1-1\"")},
        {G, "AT+CSCS?", Info("+CSCS: \"GSM\"")},
        {G, "AT+CMGF?", Info("+CMGF: 0")},
        {G, "AT+CSDH?", Info("+CSDH: 0")},
        {G, "AT+CSMS?", Info("+CSMS: 0,1,1,1")},
        {G, "AT+CSMS=0", Info("+CSMS: 1,1,1")},
        {G, "AT+CSMS=1", kError},
        {G, "AT+CSCA?", Info("+CSCA: \"+8613800100500\",145")},
        {G, "AT+CSMP?", Info("+CSMP: 17,167,0,0")},
        {G, "AT+CPMS?", Info("+CPMS: \"SM\",0,50,\"SM\",0,50,\"SM\",0,50")},
        {U, "AT+CPMS?", Info("+CPMS: \"SM\",0,40,\"SM\",0,40,\"SM\",0,40")},
        {G, "AT+CNMI?", Info("+CNMI: 2,1,0,0,0")},
        {G, "AT+CNMI=1,1,0,1,0;+CNMI?", Info("+CNMI: 1,1,0,1,0")},
        {G, "AT+CNMI=,2;+CNMI?", Info("+CNMI: 2,2,0,0,0")},
        {G, "AT+CNMI=3,1", kError},
        {G, "AT+CNMI=2,1,0,2,0", kError},
        {G, "AT+CLIP?", Info("+CLIP: 0,1")},
        {G, "AT+CLIP=1;+CLIP?", Info("+CLIP: 1,1")},
        {G, "AT+CLIP=2", kError},
    });
}

TEST(StandardCommands, UnsupportedCommandsFollowTheExtendedErrorSetting)
{
    const Family G = Family::Gsm;
    const Family U = Family::Umts;
    const std::vector<Case> plain = {
        {G, "AT+XYZZY", kError},
        {G, "AT+CGMI?", kError},
        {U, "AT+CSQ?", kError},
        {G, "ATQ", kError},
    };
    RunTable(plain, 0);
    RunTable({
                 {G, "AT+XYZZY", "\r\n+CME ERROR: 4\r\n"},
                 {U, "AT+CSQ?", "\r\n+CME ERROR: 4\r\n"},
                 {G, "AT+CLCC=1", "\r\n+CME ERROR: 4\r\n"},
                 {U, "AT+JAUDCH?", "\r\n+CME ERROR: 4\r\n"}, // a maker command of the other family
                 {G, "AT+CMGF=2", kError},                  // a bad value stays a syntax error
                 {G, "AT@", kError},
             },
        1);
    RunTable({
                 {G, "AT+XYZZY", "\r\n+CME ERROR: operation not supported\r\n"},
                 {U, "AT+CHUP?", "\r\n+CME ERROR: operation not supported\r\n"},
                 {G, "AT+CPIN=1234", "\r\n+CME ERROR: operation not allowed\r\n"},
                 {G, "AT+CMEE=1;+XYZZY", "\r\n+CME ERROR: 4\r\n"},
             },
        2);

    struct SimRow {
        SimState sim;
        int cmee;
        const char* command;
        std::string reply;
    };
    for (const SimRow& r : std::vector<SimRow> {
             {SimState::NotInserted, 2, "AT+CPIN?", "\r\n+CME ERROR: SIM not inserted\r\n"},
             {SimState::PinRequired, 2, "AT+CIMI", "\r\n+CME ERROR: SIM PIN required\r\n"},
             {SimState::PinRequired, 2, "AT+CPIN=0000", "\r\n+CME ERROR: incorrect password\r\n"},
             {SimState::PinRequired, 1, "AT+CNUM", "\r\n+CME ERROR: 11\r\n"},
             {SimState::NotInserted, 2, "AT+CMGL=4", Cms(310)},
         }) {
        ModemEngine engine = Make(Family::Gsm);
        engine.State().echo = false;
        engine.State().sim = r.sim;
        engine.State().cmee = r.cmee;
        EXPECT_EQ(Feed(engine, std::string(r.command) + "\r"), r.reply) << r.command;
    }

    // Numeric results keep the verbose text but end with a lone CR.
    ModemEngine engine = Make(Family::Umts);
    Feed(engine, "ATE0V0+CMEE=2\r");
    EXPECT_EQ(Feed(engine, "AT+XYZZY\r"), "+CME ERROR: operation not supported\r");
    // A scripted error is given as written, whatever AT+CMEE says.
    engine.AddFault(*ParseFaultLine("AT+CSQ | cme 10", nullptr));
    EXPECT_EQ(Feed(engine, "AT+CSQ\r"), "+CME ERROR: 10\r");
}

TEST(StandardCommands, RadioOffLosesRegistrationAndRefusesMessagesAndCalls)
{
    for (const Family family : {Family::Gsm, Family::Umts}) {
        const std::string act = family == Family::Umts ? ",2" : "";
        for (const char* off : {"AT+CFUN=0", "AT+CFUN=4"}) {
            SCOPED_TRACE(std::string(Of(family)) + " " + off);
            ModemEngine engine = Make(family);
            Feed(engine, "ATE0\rAT+CREG=2\rAT+CMGF=1\r");
            EXPECT_EQ(Feed(engine, std::string(off) + "\r"), kOk + "\r\n+CREG: 0\r\n");
            EXPECT_EQ(Feed(engine, "AT+CREG?\r"), Info("+CREG: 2,0"));
            EXPECT_EQ(Feed(engine, "AT+CGREG?\r"), Info("+CGREG: 0,0"));
            EXPECT_EQ(Feed(engine, "AT+COPS?\r"), Info("+COPS: 0"));
            EXPECT_EQ(Feed(engine, "AT+COPS=?\r"), Info("+COPS: ,,(0-4),(0-2)"));
            EXPECT_EQ(Feed(engine, "AT+CSQ\r"), Info("+CSQ: 99,99"));
            EXPECT_EQ(Feed(engine, "AT+CMGS=\"12345\"\rhi\x1A"), "\r\n> " + Cms(331));
            EXPECT_EQ(Feed(engine, "ATD12345;\r"), kNoCarrier);
            // Stored messages stay readable without the radio.
            const std::string index = std::to_string(engine.State().firstIndex);
            EXPECT_EQ(Feed(engine, "AT+CMGW=\"12345\"\rhi\x1A"), "\r\n> " + Info("+CMGW: " + index));
            EXPECT_TRUE(engine.State().sent.empty());

            const auto back = engine.Feed("AT+CFUN=1\r").emissions;
            ASSERT_EQ(back.size(), 2u);
            EXPECT_EQ(back[0].bytes, kOk);
            EXPECT_EQ(back[1].bytes, "\r\n+CREG: 1,\"1A2B\",\"00C3\"" + act + "\r\n");
            EXPECT_GT(back[1].delayMs, 0); // finding the network takes a moment
            EXPECT_EQ(Feed(engine, "AT+CFUN?\r"), Info("+CFUN: 1"));
            EXPECT_EQ(Feed(engine, "AT+CMSS=" + index + "\r"), Info("+CMSS: 1"));
        }
    }
}

TEST(StandardCommands, RadioGoingOffEndsTheCallAndDeregistrationWaitsForCops0)
{
    ModemEngine engine = Make(Family::Gsm);
    Feed(engine, "ATE0\rAT+CREG=1\r");
    EXPECT_EQ(Feed(engine, "ATD12345;\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+CFUN=4\r"), kOk + "\r\n+CREG: 0\r\n" + kNoCarrier);
    EXPECT_EQ(Feed(engine, "AT+CLCC\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+COPS=1,2,\"00101\"\r"), kError);
    EXPECT_EQ(Feed(engine, "AT+CFUN=1\r"), kOk + "\r\n+CREG: 1\r\n");

    EXPECT_EQ(Feed(engine, "AT+COPS=2\r"), kOk + "\r\n+CREG: 0\r\n");
    EXPECT_EQ(Feed(engine, "AT+COPS?\r"), Info("+COPS: 2"));
    // Radio off and on again does not undo the deregistration.
    EXPECT_EQ(Feed(engine, "AT+CFUN=0;+CFUN=1\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+CREG?\r"), Info("+CREG: 1,0"));
    EXPECT_EQ(Feed(engine, "AT+COPS=0\r"), kOk + "\r\n+CREG: 1\r\n");
    EXPECT_EQ(Feed(engine, "AT+COPS?\r"), Info("+COPS: 0,0,\"Test PLMN 1-1\""));
}

TEST(StandardCommands, WrittenMessagesAreStoredAndSentFromTheStore)
{
    for (const Family family : {Family::Gsm, Family::Umts}) {
        SCOPED_TRACE(Of(family));
        ModemEngine engine = Make(family);
        const int first = engine.State().firstIndex;
        const std::string i0 = std::to_string(first);
        const std::string i1 = std::to_string(first + 1);
        Feed(engine, "ATE0\r");
        // PDU mode: the SUBMIT is kept as it came and shown as it is.
        EXPECT_EQ(Feed(engine, "AT+CMGW=16\r" + kSubmit + "\x1A"), "\r\n> " + Info("+CMGW: " + i0));
        EXPECT_EQ(Feed(engine, "AT+CMGR=" + i0 + "\r"), "\r\n+CMGR: 2,,16\r\n" + kSubmit + "\r\n" + kOk);
        EXPECT_EQ(Feed(engine, "AT+CMSS=" + i0 + "\r"), Info("+CMSS: 1"));
        EXPECT_EQ(Feed(engine, "AT+CMSS=" + i0 + ",\"10086\"\r"), Info("+CMSS: 2"));
        ASSERT_EQ(engine.State().sent.size(), 2u);
        EXPECT_EQ(engine.State().sent[0].destination, "12345");
        EXPECT_EQ(engine.State().sent[1].destination, "10086");
        EXPECT_EQ(engine.State().sent[1].text, u"hello");
        const std::string sentEntry = "\r\n+CMGL: " + i0 + ",3,,16\r\n";
        EXPECT_EQ(Feed(engine, "AT+CMGL=3\r").substr(0, sentEntry.size()), sentEntry);
        // A DELIVER cannot be stored as unsent, nor a received message sent.
        SmsMessage received;
        received.text = u"hi";
        const std::string deliver = EncodeSmsPdu(received);
        EXPECT_EQ(Feed(engine, "AT+CMGW=" + std::to_string(SmsTpduLength(deliver)) + ",2\r" + deliver + "\x1A"),
            "\r\n> " + Cms(304));
        EXPECT_EQ(Feed(engine, "AT+CMGW=" + std::to_string(SmsTpduLength(deliver)) + "\r" + deliver + "\x1A"),
            "\r\n> " + Info("+CMGW: " + i1));
        const std::string readHeader = "\r\n+CMGR: 1,,";
        EXPECT_EQ(Feed(engine, "AT+CMGR=" + i1 + "\r").substr(0, readHeader.size()), readHeader);
        EXPECT_EQ(Feed(engine, "AT+CMSS=" + i1 + "\r"), Cms(302));
        EXPECT_EQ(Feed(engine, "AT+CMSS=" + std::to_string(first + 9) + "\r"), Cms(321));
        EXPECT_EQ(Feed(engine, "AT+CMSS=" + i0 + ",\"12x\"\r"), Cms(304));

        // Text mode: the address, its type and the status as text.
        Feed(engine, "AT+CMGF=1\r");
        const std::string i2 = std::to_string(first + 2);
        EXPECT_EQ(Feed(engine, "AT+CMGW=\"10086\",129,\"STO SENT\"\rdone\x1A"), "\r\n> " + Info("+CMGW: " + i2));
        EXPECT_EQ(Feed(engine, "AT+CMGR=" + i2 + "\r"), "\r\n+CMGR: \"STO SENT\",\"10086\",\r\ndone\r\n" + kOk);
        EXPECT_EQ(Feed(engine, "AT+CMGW\rdraft\x1A"), "\r\n> " + Info("+CMGW: " + std::to_string(first + 3)));
        EXPECT_EQ(Feed(engine, "AT+CMGW=\"10086\",129,\"ALL\"\r"), Cms(305));
    }
}

TEST(StandardCommands, WritingToAFullStoreIsRefused)
{
    ModemEngine engine = Make(Family::Gsm);
    engine.State().capacity = 1;
    Feed(engine, "ATE0\rAT+CMGF=1\r");
    EXPECT_EQ(Feed(engine, "AT+CMGW=\"1\"\ra\x1A"), "\r\n> " + Info("+CMGW: 1"));
    EXPECT_EQ(Feed(engine, "AT+CMGW=\"1\"\rb\x1A"), "\r\n> " + Cms(322));
}

TEST(StandardCommands, AMessageToTheOwnNumberComesBackAsANewMessage)
{
    ModemEngine engine = Make(Family::Gsm);
    Feed(engine, "ATE0\r");
    const auto out = engine.Feed("AT+CMGS=20\r" + kSubmitToSelf + "\x1A").emissions;
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].bytes, "\r\n> ");
    EXPECT_EQ(out[1].bytes, Info("+CMGS: 1"));
    EXPECT_EQ(out[2].bytes, "\r\n+CMTI: \"SM\",1\r\n");
    EXPECT_EQ(out[2].delayMs, engine.State().networkDelayMs);
    // SMS-DELIVER from +8613500001111 stamped 26/12/10 13:45:32 +8h, "hello".
    const std::string deliver = "0891683108100005F0040D91683105001011F1000062210131542323" "05E8329BFD06";
    EXPECT_EQ(Feed(engine, "AT+CMGL=0\r"), "\r\n+CMGL: 1,0,,25\r\n" + deliver + "\r\n" + kOk);
    Feed(engine, "AT+CMGF=1\r");
    EXPECT_EQ(Feed(engine, "AT+CMGR=1\r"),
        "\r\n+CMGR: \"REC READ\",\"+8613500001111\",,\"26/12/10,13:45:32+32\"\r\nhello\r\n" + kOk);
}

TEST(StandardCommands, StatusReportsComeWhenRequestedAndShownByCnmi)
{
    struct Row {
        const char* setup;
        std::string send;
        std::string report; // "" when none comes
    };
    // SMS-STATUS-REPORT for reference 1 to 12345: delivered (00), both times
    // the module's clock.
    const std::string reportPdu = "0891683108100005F0060105812143F5" "62210131542323" "62210131542323" "00";
    const std::vector<Row> rows = {
        {"AT+CNMI=2,1,0,1,0", "AT+CMGS=16\r" + kSubmitWithReport + "\x1A", "\r\n+CDS: 22\r\n" + reportPdu + "\r\n"},
        {"AT+CNMI=2,1,0,0,0", "AT+CMGS=16\r" + kSubmitWithReport + "\x1A", ""},
        {"AT+CNMI=2,1,0,1,0", "AT+CMGS=16\r" + kSubmit + "\x1A", ""},
        {"AT+CNMI=2,1,0,1,0;+CMGF=1;+CSMP=49,167,0,0", "AT+CMGS=\"12345\"\rhello\x1A",
            "\r\n+CDS: 6,1,\"12345\",129,\"26/12/10,13:45:32+32\",\"26/12/10,13:45:32+32\",0\r\n"},
        {"AT+CNMI=2,1,0,1,0;+CMGF=1", "AT+CMGS=\"12345\"\rhello\x1A", ""},
    };
    for (const Row& r : rows) {
        ModemEngine engine = Make(Family::Umts);
        Feed(engine, std::string("ATE0\r") + r.setup + "\r");
        const auto out = engine.Feed(r.send).emissions;
        ASSERT_GE(out.size(), 2u) << r.setup;
        EXPECT_EQ(out[1].bytes, Info("+CMGS: 1")) << r.setup;
        std::string report;
        for (std::size_t i = 2; i < out.size(); ++i)
            report += out[i].bytes;
        EXPECT_EQ(report, r.report) << r.setup << " " << r.send;
        if (!r.report.empty()) {
            EXPECT_EQ(out[2].delayMs, engine.State().networkDelayMs);
        }
    }
}

TEST(StandardCommands, NewMessageIndicationFollowsCnmi)
{
    SmsMessage m;
    m.address = "+8613912345678";
    m.timestamp = "26/12/10,13:45:32+32";
    m.text = u"hello";
    const std::string pdu = EncodeSmsPdu(m);
    struct Row {
        const char* setup;
        std::string shown;
        std::size_t stored;
    };
    const std::vector<Row> rows = {
        {"AT+CNMI=2,1", "\r\n+CMTI: \"SM\",1\r\n", 1},
        {"AT+CNMI=1,3", "\r\n+CMTI: \"SM\",1\r\n", 1},
        {"AT+CNMI=2,0", "", 1},
        {"AT+CNMI=2,2", "\r\n+CMT: ,25\r\n" + pdu + "\r\n", 0},
        {"AT+CNMI=2,2;+CMGF=1", "\r\n+CMT: \"+8613912345678\",,\"26/12/10,13:45:32+32\"\r\nhello\r\n", 0},
        {"AT+CNMI=2,2;+CMGF=1;+CSDH=1",
            "\r\n+CMT: \"+8613912345678\",,\"26/12/10,13:45:32+32\",145,4,0,0,\"+8613800100500\",145,5\r\nhello\r\n", 0},
        {"AT+CNMI=0,1", "", 1},
    };
    for (const Row& r : rows) {
        ModemEngine engine = Make(Family::Gsm);
        Feed(engine, std::string("ATE0\r") + r.setup + "\r");
        std::vector<Emission> out;
        engine.StoreSms(m, true, out);
        EXPECT_EQ(Bytes(out), r.shown) << r.setup;
        EXPECT_EQ(engine.State().store.size(), r.stored) << r.setup;
    }
}

TEST(StandardCommands, IndicationsKeptInBufferingModeComeOutOrAreDroppedLater)
{
    for (const auto& [bfr, after] : std::vector<std::pair<int, std::string>> {
             {0, "\r\n+CMTI: \"SM\",1\r\n\r\n+CMTI: \"SM\",2\r\n"}, {1, ""}}) {
        ModemEngine engine = Make(Family::Gsm);
        Feed(engine, "ATE0\rAT+CNMI=0,1\r");
        std::vector<Emission> out;
        engine.StoreSms(SmsMessage {}, true, out);
        engine.StoreSms(SmsMessage {}, true, out);
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(Feed(engine, "AT+CNMI=2,1,0,0," + std::to_string(bfr) + "\r"), kOk + after) << bfr;
        EXPECT_EQ(Feed(engine, "AT+CNMI=2,1,0,0,0\r"), kOk) << bfr;
    }
    // The buffer keeps the latest indications only.
    ModemEngine engine = Make(Family::Gsm);
    Feed(engine, "ATE0\rAT+CNMI=0,1\r");
    std::vector<Emission> out;
    for (int i = 0; i < 40; ++i)
        engine.StoreSms(SmsMessage {}, true, out);
    const std::string flushed = Feed(engine, "AT+CNMI=2,1\r");
    std::string expected = kOk;
    for (int index = 9; index <= 40; ++index)
        expected += "\r\n+CMTI: \"SM\"," + std::to_string(index) + "\r\n";
    EXPECT_EQ(flushed, expected);
}

TEST(StandardCommands, CallerNumberFollowsRingWhenClipIsOn)
{
    for (const Family family : {Family::Gsm, Family::Umts}) {
        ModemEngine engine = Make(family);
        Feed(engine, "ATE0\r");
        EXPECT_EQ(Bytes(engine.Ring("+8613912345678")), "\r\nRING\r\n");
        Feed(engine, "ATH\rAT+CLIP=1\r");
        EXPECT_EQ(Bytes(engine.Ring("+8613912345678")), "\r\nRING\r\n\r\n+CLIP: \"+8613912345678\",145\r\n");
        EXPECT_EQ(Feed(engine, "ATA\r"), kOk);
        EXPECT_EQ(Feed(engine, "AT+CLCC\r"), Info("+CLCC: 1,1,0,0,0,\"+8613912345678\",145"));
        EXPECT_EQ(Feed(engine, "AT+CHUP\r"), kOk);
        EXPECT_EQ(Feed(engine, "AT+CLCC\r"), kOk);
        Feed(engine, "ATV0\r");
        EXPECT_EQ(Bytes(engine.Ring("10086")), "2\r+CLIP: \"10086\",129\r\n");
    }
}

TEST(StandardCommands, DiallingNeedsTheNetwork)
{
    ModemEngine engine = Make(Family::Umts);
    Feed(engine, "ATE0\r");
    engine.State().cregStat = 2; // searching
    EXPECT_EQ(Feed(engine, "ATD10086;\r"), kNoCarrier);
    engine.State().cregStat = 5; // roaming
    EXPECT_EQ(Feed(engine, "ATD10086;\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+CHUP\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+CLCC\r"), kOk);
}
