// Fault lines and what each fault does to the module's answer.

#include "sim/EngineDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "common/TestEnv.h"

using namespace ulv::sim;
using namespace ulv::sim::test;

namespace {

Fault Parse(const std::string& line)
{
    std::string error;
    auto f = ParseFaultLine(line, &error);
    EXPECT_TRUE(f.has_value()) << line << ": " << error;
    return f.value_or(Fault {});
}

} // namespace

TEST(Faults, ParsesEachActionOfTheLineFormat)
{
    Fault f = Parse("AT+CPIN? | cme 10");
    EXPECT_EQ(f.prefix, "AT+CPIN?");
    EXPECT_EQ(f.kind, Fault::Kind::CmeError);
    EXPECT_EQ(f.code, 10);
    EXPECT_EQ(f.times, -1);

    f = Parse("  ATI |delay 250; split 3,4 ; gap 5; garbage 00FF7e | 2");
    EXPECT_EQ(f.prefix, "ATI");
    EXPECT_EQ(f.kind, Fault::Kind::Normal);
    EXPECT_EQ(f.delayMs, 250);
    EXPECT_EQ(f.splits, (std::vector<std::size_t> {3, 4}));
    EXPECT_EQ(f.gapMs, 5);
    EXPECT_EQ(f.garbage, std::string("\x00\xff\x7e", 3));
    EXPECT_EQ(f.times, 2);

    f = Parse("AT+COPS? | delay 10; reply \\r\\n+COPS: 0\\r\\n\\r\\nOK\\r\\n");
    EXPECT_EQ(f.kind, Fault::Kind::Reply);
    EXPECT_EQ(f.delayMs, 10);
    EXPECT_EQ(f.reply, "\r\n+COPS: 0\r\n\r\nOK\r\n");

    EXPECT_EQ(Parse("<sms> | cms 500").kind, Fault::Kind::CmsError);
    EXPECT_EQ(Parse("AT | silent | 3").times, 3);
    EXPECT_EQ(Parse("AT+CMGS | hangup").kind, Fault::Kind::HangUp);
    EXPECT_EQ(Parse("AT+CSQ | error").kind, Fault::Kind::Error);
    EXPECT_EQ(Parse("AT | reply \\x41\\x0d").reply, "A\r");
}

TEST(Faults, RejectsBadLinesAndSkipsComments)
{
    for (const char* blank : {"", "   ", "# AT | error"}) {
        std::string error = "x";
        EXPECT_FALSE(ParseFaultLine(blank, &error).has_value());
        EXPECT_TRUE(error.empty()) << blank;
    }
    for (const char* bad : {"AT+CSQ", " | error", "AT | explode", "AT | cme ten", "AT | split 0", "AT | split a",
             "AT | garbage 0", "AT | delay -5", "AT | silent now"}) {
        std::string error;
        EXPECT_FALSE(ParseFaultLine(bad, &error).has_value()) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(Faults, FileNamesTheBadLine)
{
    const std::string path = ulv::test::TempHome().toStdString() + "/faults.txt";
    {
        std::ofstream out(path);
        out << "# comment\nAT+CSQ | delay 5\n\nAT+CREG? | cme x\n";
    }
    std::vector<Fault> faults;
    std::string error;
    EXPECT_FALSE(LoadFaultFile(path, faults, &error));
    EXPECT_EQ(error, path + ":4: unknown action 'cme x'");
    {
        std::ofstream out(path);
        out << "AT+CSQ | delay 5\nATI | error | 1\n";
    }
    faults.clear();
    EXPECT_TRUE(LoadFaultFile(path, faults, &error)) << error;
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[1].times, 1);
    EXPECT_FALSE(LoadFaultFile(path + ".missing", faults, &error));
}

TEST(Faults, ReplacementsAnswerInsteadAndTheCommandHasNoEffect)
{
    struct Row {
        const char* fault;
        std::string reply;
    };
    const std::vector<Row> rows = {
        {"AT+CMGF | error", kError},
        {"at+cmgf | cme 3", "\r\n+CME ERROR: 3\r\n"},
        {"AT+CMGF=1 | cms 302", "\r\n+CMS ERROR: 302\r\n"},
        {"AT+CMGF | reply \\r\\nBUSY\\r\\n", "\r\nBUSY\r\n"},
        {"AT+CMGF | silent", ""},
    };
    for (const Row& r : rows) {
        ModemEngine engine(Family::Gsm, "TZ20A01");
        engine.AddFault(Parse(r.fault));
        EXPECT_EQ(Feed(engine, "AT+CMGF=1\r\n"), "AT+CMGF=1\r" + r.reply) << r.fault;
        EXPECT_FALSE(engine.State().textMode) << r.fault;
        EXPECT_EQ(Ask(engine, "AT"), kOk) << r.fault;
    }
}

TEST(Faults, ShapesTheAnswerIntoTimedPieces)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    Feed(engine, "ATE0\r");
    engine.State().answerLatencyMs = 3;
    // Cut between the CR and the LF of "\r\nOK\r\n", after two garbage bytes.
    engine.AddFault(Parse("AT+CSQ | garbage 55AA; split 3,18; delay 40; gap 7"));
    const auto out = engine.Feed("AT+CSQ\r\n").emissions;
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].bytes, "\x55\xaa\r");
    EXPECT_EQ(out[0].delayMs, 43);
    EXPECT_EQ(out[1].bytes, "\n+CSQ: 20,99\r\n\r");
    EXPECT_EQ(out[1].delayMs, 7);
    EXPECT_EQ(out[2].bytes, "\nOK\r\n");
    EXPECT_EQ(out[2].delayMs, 7);
}

TEST(Faults, LongestPrefixWinsAndCountedFaultsWearOff)
{
    ModemEngine engine(Family::Umts, "RX70B03");
    Feed(engine, "ATE0\r");
    engine.AddFault(Parse("AT | error"));
    engine.AddFault(Parse("AT+CSQ | cme 100 | 2"));
    EXPECT_EQ(Ask(engine, "AT+CMEE=1"), kError);
    // Verbatim, whatever AT+CMEE says (it stayed 0).
    EXPECT_EQ(Ask(engine, "AT+CSQ"), "\r\n+CME ERROR: 100\r\n");
    EXPECT_EQ(Ask(engine, "AT+CSQ"), "\r\n+CME ERROR: 100\r\n");
    EXPECT_EQ(Ask(engine, "AT+CSQ"), kError); // worn off: the shorter prefix applies again
    engine.ClearFaults();
    EXPECT_EQ(Ask(engine, "AT+CSQ"), Info("+CSQ: 20,99"));
}

TEST(Faults, HangUpComesAfterTheEcho)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    engine.AddFault(Parse("ATD | hangup; delay 15"));
    const auto out = engine.Feed("ATD123;\r\n").emissions;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].bytes, "ATD123;\r");
    EXPECT_TRUE(out[1].hangUp);
    EXPECT_EQ(out[1].delayMs, 15);
}

TEST(Faults, SmsBodyFaultHitsTheResultAfterCtrlZ)
{
    ModemEngine engine(Family::Gsm, "TZ20A01");
    engine.AddFault(Parse("<sms> | cms 500"));
    Feed(engine, "ATE0\rAT+CMGF=1\r");
    EXPECT_EQ(Feed(engine, "AT+CMGS=\"12345\"\r"), "\r\n> ");
    EXPECT_EQ(Feed(engine, "hello\x1A"), "\r\n+CMS ERROR: 500\r\n");
    EXPECT_TRUE(engine.State().sent.empty());
    EXPECT_EQ(Feed(engine, "AT+CMGS=\"12345\"\rhello\x1A"), "\r\n> \r\n+CMS ERROR: 500\r\n");
}
