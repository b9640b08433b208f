// The packet-service attachment, the module's clock and the SIM phonebook as
// any AT client sees them: exact reply bytes per family.

#include "sim/EngineDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

using namespace ulv::sim;
using namespace ulv::sim::test;

namespace {

const Family G = Family::Gsm;
const Family U = Family::Umts;

struct Case {
    Family family;
    std::string setup; // sent first, its answer not checked
    std::string command;
    std::string reply;
};

ModemEngine Make(Family family)
{
    ModemEngine engine(family, family == Family::Gsm ? "TZ20A01" : "RX70B03");
    FixClock(engine);
    engine.State().echo = false;
    engine.State().cmee = 1;
    return engine;
}

// Each case on a fresh module (echo off, numeric extended errors).
void RunTable(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        ModemEngine engine = Make(c.family);
        if (!c.setup.empty())
            Feed(engine, c.setup + "\r");
        EXPECT_EQ(Feed(engine, c.command + "\r"), c.reply)
            << (c.family == G ? "gsm " : "umts ") << c.setup << " / " << c.command;
    }
}

std::string Cme(int code)
{
    return "\r\n+CME ERROR: " + std::to_string(code) + "\r\n";
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out = "\r\n";
    for (const auto& l : lines)
        out += l + "\r\n";
    return out + kOk;
}

// Two writes as set-up lines: Anna at 1, bob at the first free place.
const std::string kAnna = "AT+CPBW=1,\"+8613912345678\",145,\"Anna\"";
const std::string kAnnaAndBob = kAnna + ";+CPBW=,\"10086\",,\"bob\"";

} // namespace

TEST(AttachClockPhonebook, AttachmentIsReadSetAndDroppedWithTheDataContext)
{
    RunTable({
        {G, "", "AT+CGATT=?", Info("+CGATT: (0,1)")},
        {U, "", "AT+CGATT=?", Info("+CGATT: (0,1)")},
        {G, "", "AT+CGATT?", Info("+CGATT: 1")},
        {U, "", "AT+CGATT?", Info("+CGATT: 1")},
        {G, "AT+CGATT=0", "AT+CGATT?", Info("+CGATT: 0")},
        {U, "AT+CGATT=0", "AT+CGREG?", Info("+CGREG: 0,0")},
        {G, "AT+CGATT=0", "AT+CREG?", Info("+CREG: 0,1")}, // the circuit side stays
        {U, "AT+CGATT=0", "AT+CGATT=1;+CGATT?", Info("+CGATT: 1")},
        {G, "", "AT+CGATT=1", kOk},
        {G, "", "AT+CGATT=2", kError},
        {U, "", "AT+CGATT", kError},
        {G, "", "AT+CGATT=", kError},
        {G, "AT+CFUN=4", "AT+CGATT=1", Cme(30)},
        {U, "AT+COPS=2", "AT+CGATT=1", Cme(30)},
        // Detached with the radio off, it stays detached when the radio comes back.
        {G, "AT+CFUN=4;+CGATT=0;+CFUN=1", "AT+CGATT?;+CREG?", "\r\n+CGATT: 0\r\n\r\n+CREG: 0,1\r\n" + kOk},
    });

    // The change is reported where AT+CGREG asks for it, after the answer.
    ModemEngine engine = Make(U);
    Feed(engine, "AT+CGREG=2\r");
    EXPECT_EQ(Feed(engine, "AT+CGATT=0\r"), kOk + "\r\n+CGREG: 0\r\n");
    EXPECT_EQ(Feed(engine, "AT+CGATT=1\r"), kOk + "\r\n+CGREG: 1,\"1A2B\",\"00C3\",2\r\n");

    // Detaching drops the data context: the module's address is gone.
    Feed(engine, "AT+JICSGP=1,1,\"cmnet\",\"\",\"\",0\r");
    EXPECT_EQ(Feed(engine, "AT+JIACT=1\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+JIACT?\r"), Info("+JIACT: 1,1,1,\"10.1.2.3\""));
    Feed(engine, "AT+CGATT=0\r");
    EXPECT_EQ(Feed(engine, "AT+JIACT?\r"), Info("+JIACT: 1,0,1,\"0.0.0.0\""));
    engine.ShutdownIp();
}

TEST(AttachClockPhonebook, ClockIsReadAndSetInTheStandardForm)
{
    const std::string now = "+CCLK: \"26/12/10,13:45:32+32\"";
    RunTable({
        {G, "", "AT+CCLK?", Info(now)},
        {U, "", "AT+CCLK?", Info(now)},
        {G, "", "AT+CCLK=?", kOk},
        {U, "", "AT+CCLK", kError},
        {G, "AT+CCLK=\"27/02/28,23:59:59-20\"", "AT+CCLK?", Info("+CCLK: \"27/02/28,23:59:59-20\"")},
        {U, "AT+CCLK=\"28/02/29,00:00:00+00\"", "AT+CCLK?", Info("+CCLK: \"28/02/29,00:00:00+00\"")},
        // A time without its zone keeps the zone there is.
        {G, "AT+CCLK=\"30/01/01,08:00:00\"", "AT+CCLK?", Info("+CCLK: \"30/01/01,08:00:00+32\"")},
        {U, "", "AT+CCLK=\"27/02/29,12:00:00+00\"", kError},
        {G, "", "AT+CCLK=\"26/13/01,12:00:00+00\"", kError},
        {G, "", "AT+CCLK=\"26/04/31,12:00:00+00\"", kError},
        {G, "", "AT+CCLK=\"26/12/10,24:00:00+00\"", kError},
        {G, "", "AT+CCLK=\"26/12/10,12:60:00+00\"", kError},
        {G, "", "AT+CCLK=\"26/12/10,12:00:00+49\"", kError},
        {U, "", "AT+CCLK=\"26/12/10,12:00:00-48\"", kError},
        {U, "", "AT+CCLK=\"26/12/10,12:00:00*08\"", kError},
        {G, "", "AT+CCLK=\"26/12/10 12:00:00+08\"", kError},
        {G, "", "AT+CCLK=\"6/12/10,12:00:00+08\"", kError},
        {G, "", "AT+CCLK=26/12/10,12:00:00+08", kError},
    });
}

TEST(AttachClockPhonebook, TheModuleClockRunsWithTheHostAndStampsWhatArrives)
{
    ModemEngine engine = Make(G);
    long long host = 1796881532;
    engine.SetHostClock([&host] { return std::chrono::system_clock::time_point(std::chrono::seconds(host)); });
    host += 3600 * 11 + 15; // past midnight where the module is
    EXPECT_EQ(Feed(engine, "AT+CCLK?\r"), Info("+CCLK: \"26/12/11,00:45:47+32\""));
    Feed(engine, "AT+CCLK=\"24/02/28,23:59:58-05\"\r");
    host += 3;
    EXPECT_EQ(Feed(engine, "AT+CCLK?\r"), Info("+CCLK: \"24/02/29,00:00:01-05\""));

    // A message to the own number comes back stamped with the module's time.
    Feed(engine, "AT+CMGF=1\r");
    Feed(engine, "AT+CMGS=\"+8613500001111\"\rhi\x1A");
    EXPECT_EQ(Feed(engine, "AT+CMGR=1\r"),
        Lines({"+CMGR: \"REC UNREAD\",\"+8613500001111\",,\"24/02/29,00:00:01-05\"", "hi"}));
}

TEST(AttachClockPhonebook, TheClockStartsFromTheHostClockAndZone)
{
    ModemEngine engine(G, "TZ20A01");
    Feed(engine, "ATE0\r");
    // The clock the module reads: time() takes a coarser one, which can still
    // show the second before across a second's end.
    auto now = [] { return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()); };
    const std::time_t before = now();
    const std::string reply = Feed(engine, "AT+CCLK?\r");
    const std::time_t after = now();
    auto format = [](std::time_t t) {
        std::tm local {};
        ::localtime_r(&t, &local);
        const long zone = local.tm_gmtoff / 900;
        char text[64];
        std::snprintf(text, sizeof text, "\r\n+CCLK: \"%02d/%02d/%02d,%02d:%02d:%02d%c%02ld\"\r\n\r\nOK\r\n",
            local.tm_year % 100, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
            zone < 0 ? '-' : '+', zone < 0 ? -zone : zone);
        return std::string(text);
    };
    EXPECT_TRUE(reply == format(before) || reply == format(after)) << reply << " not " << format(before);
}

TEST(AttachClockPhonebook, PhonebookAnswersInTheStandardSyntax)
{
    const std::string anna = "+CPBR: 1,\"+8613912345678\",145,\"Anna\"";
    RunTable({
        {G, "", "AT+CPBS=?", Info("+CPBS: (\"SM\")")},
        {G, "", "AT+CPBS?", Info("+CPBS: \"SM\",0,100")},
        {U, "", "AT+CPBS?", Info("+CPBS: \"SM\",0,250")},
        {U, kAnnaAndBob, "AT+CPBS?", Info("+CPBS: \"SM\",2,250")},
        {G, "", "AT+CPBS=\"SM\"", kOk},
        {G, "", "AT+CPBS=\"ME\"", Cme(4)},
        {U, "", "AT+CPBS=SM", kError},
        {G, "", "AT+CPBR=?", Info("+CPBR: (1-100),20,14")},
        {U, "", "AT+CPBR=?", Info("+CPBR: (1-250),40,18")},
        {G, "", "AT+CPBW=?", Info("+CPBW: (1-100),20,(128-255),14")},
        {U, "", "AT+CPBW=?", Info("+CPBW: (1-250),40,(128-255),18")},
        {G, "", "AT+CPBF=?", Info("+CPBF: 20,14")},
        {U, "", "AT+CPBF=?", Info("+CPBF: 40,18")},
        // write, read a range, find, delete
        {G, kAnnaAndBob, "AT+CPBR=1,100", Lines({anna, "+CPBR: 2,\"10086\",129,\"bob\""})},
        {U, kAnnaAndBob, "AT+CPBR=2", Info("+CPBR: 2,\"10086\",129,\"bob\"")},
        {G, kAnna, "AT+CPBR=2,100", kOk},
        {U, kAnnaAndBob, "AT+CPBF=\"AN\"", Info("+CPBF: 1,\"+8613912345678\",145,\"Anna\"")},
        {G, kAnnaAndBob, "AT+CPBF=\"\"", Lines({"+CPBF: 1,\"+8613912345678\",145,\"Anna\"",
                                                      "+CPBF: 2,\"10086\",129,\"bob\""})},
        {G, kAnna, "AT+CPBF=\"Zed\"", Cme(22)},
        {U, kAnna + ";+CPBW=1", "AT+CPBR=1", kOk},
        {G, "", "AT+CPBW=7", kOk}, // emptying an empty place
        {G, kAnna, "AT+CPBW=1,\"5551234\";+CPBR=1", Info("+CPBR: 1,\"5551234\",129,\"\"")},
        {U, "", "AT+CPBW=3,\"5551234\",161,\"x\";+CPBR=3", Info("+CPBR: 3,\"5551234\",161,\"x\"")},
        // the character set of AT+CSCS carries numbers and texts
        {G, "AT+CSCS=\"HEX\"", "AT+CPBW=1,\"3130303836\",,\"426F62\";+CPBR=1",
            Info("+CPBR: 1,\"3130303836\",129,\"426F62\"")},
        {U, "AT+CSCS=\"UCS2\"", "AT+CPBW=1,\"00310030\",,\"4F60597D\";+CPBR=1",
            Info("+CPBR: 1,\"00310030\",129,\"4F60597D\"")},
        // errors
        {G, "", "AT+CPBR=0", Cme(21)},
        {G, "", "AT+CPBR=101", Cme(21)},
        {U, "", "AT+CPBR=101", kOk},
        {G, "", "AT+CPBR=5,1", Cme(21)},
        {G, "", "AT+CPBR=a", kError},
        {G, "", "AT+CPBR", kError},
        {G, "", "AT+CPBR?", Cme(4)},
        {G, "", "AT+CPBW=0,\"1\"", Cme(21)},
        {U, "", "AT+CPBW=251,\"1\"", Cme(21)},
        {G, "", "AT+CPBW=1,\"123456789012345678901\"", Cme(26)},
        {U, "", "AT+CPBW=1,\"+123456789012345678901\"", kOk},
        {G, "", "AT+CPBW=1,\"12a\"", Cme(27)},
        {G, "", "AT+CPBW=1,\"1+2\"", Cme(27)},
        {G, "", "AT+CPBW=1,\"\"", Cme(27)},
        {G, "", "AT+CPBW=1,\"1\",,\"fifteen letters\"", Cme(24)},
        {U, "", "AT+CPBW=1,\"1\",,\"eighteen letters!!\"", kOk},
        {G, "AT+CSCS=\"UCS2\"", "AT+CPBW=1,\"0031\",,\"4F60597D4F60597D4F60597D4F60\"", Cme(24)}, // 6 fit, not 7
        {G, "AT+CSCS=\"HEX\"", "AT+CPBW=1,\"31\",,\"4\"", Cme(25)},
        {G, "", "AT+CPBW=1,\"1\",300", kError},
        {G, "", "AT+CPBW=1,1", kError},
        {G, "", "AT+CPBW=1,\"1\",129,\"a\",5", kError},
        {G, "", "AT+CPBW=", kError},
        {G, "", "AT+CPBF=Anna", kError},
        {G, "", "AT+CPBF=\"fifteen letters\"", Cme(24)},
    });

    struct SimRow {
        SimState sim;
        std::string command;
        std::string reply;
    };
    for (const SimRow& r : std::vector<SimRow> {
             {SimState::PinRequired, "AT+CPBS?", Cme(11)},
             {SimState::NotInserted, "AT+CPBR=1", Cme(10)},
             {SimState::PinRequired, "AT+CPBW=1,\"1\"", Cme(11)},
             {SimState::NotInserted, "AT+CPBR=?", Info("+CPBR: (1-100),20,14")},
         }) {
        ModemEngine engine = Make(G);
        engine.State().sim = r.sim;
        EXPECT_EQ(Feed(engine, r.command + "\r"), r.reply) << r.command;
    }
}

TEST(AttachClockPhonebook, AFullPhonebookRefusesAWriteToTheNextFreePlace)
{
    ModemEngine engine = Make(U);
    engine.State().phonebookCapacity = 2;
    EXPECT_EQ(Feed(engine, "AT+CPBW=2,\"2\";+CPBW=,\"1\"\r"), kOk);
    EXPECT_EQ(Feed(engine, "AT+CPBW=,\"3\"\r"), Cme(20));
    EXPECT_EQ(Feed(engine, "AT+CPBW=1,\"3\";+CPBR=1,2\r"),
        Lines({"+CPBR: 1,\"3\",129,\"\"", "+CPBR: 2,\"2\",129,\"\""}));
    Feed(engine, "AT+CMEE=2\r");
    EXPECT_EQ(Feed(engine, "AT+CPBW=,\"3\"\r"), "\r\n+CME ERROR: memory full\r\n");
    EXPECT_EQ(Feed(engine, "AT+CPBF=\"x\"\r"), "\r\n+CME ERROR: not found\r\n");
}
