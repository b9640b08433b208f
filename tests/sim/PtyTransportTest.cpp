// The simulated module over its pseudo-terminal: bytes on the wire, timing of
// faults, unsolicited lines, the byte log, hang-up and bad input.

#include "sim/RawPort.h"
#include "sim/SimFixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::chrono_literals;
using namespace ulv::sim;
using ulv::sim::test::RawPort;

namespace {

class PtyTransport : public SimFixture {
protected:
    std::unique_ptr<RawPort> Open()
    {
        auto port = std::make_unique<RawPort>(SlavePath());
        EXPECT_TRUE(port->IsOpen()) << SlavePath();
        return port;
    }
};

} // namespace

TEST_F(PtyTransport, AnswersWithEchoAndWithoutIt)
{
    auto port = Open();
    port->Write("AT\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "AT\r\r\nOK\r\n");
    port->Write("ATE0\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "ATE0\r\r\nOK\r\n");
    port->Write("AT\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(port->ReadFor(50ms), "");
}

TEST_F(PtyTransport, SmsPromptHasNoLineEnd)
{
    auto port = Open();
    port->Write("ATE0\r\nAT+CMGF=1\r\n");
    port->ReadUntil("OK\r\n\r\nOK\r\n");
    port->Write("AT+CMGS=\"12345\"\r\n");
    EXPECT_EQ(port->ReadUntil("> "), "\r\n> ");
    EXPECT_EQ(port->ReadFor(50ms), "");
    port->Write("hello\x1A");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    ASSERT_TRUE(WaitForCommand("AT+CMGS=\"12345\"", 2s));
    EXPECT_EQ(State().sent.at(0).text, u"hello");
}

TEST_F(PtyTransport, UnsolicitedLinesReachTheHost)
{
    auto port = Open();
    InjectLine("+JIURC: 1");
    EXPECT_EQ(port->ReadUntil("\r\n+JIURC: 1\r\n"), "\r\n+JIURC: 1\r\n");
    sim().Ring("10086");
    EXPECT_EQ(port->ReadUntil("RING\r\n"), "\r\nRING\r\n");
    sim().RemoteHangUp();
    EXPECT_EQ(port->ReadUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    SmsMessage m;
    m.text = u"hi";
    EXPECT_EQ(StoreSms(m), 1);
    EXPECT_EQ(port->ReadUntil("+CMTI: \"SM\",1\r\n"), "\r\n+CMTI: \"SM\",1\r\n");
    sim().InjectBytes(std::string("\x00\x01", 2));
    EXPECT_EQ(port->ReadUntil(std::string("\x00\x01", 2)), std::string("\x00\x01", 2));
}

TEST_F(PtyTransport, LogsEveryReceivedByteWithItsTimeAndWaitsForCommands)
{
    auto port = Open();
    const auto before = SimModule::Clock::now();
    port->Write("ATE0\r\n");
    port->ReadUntil("OK\r\n");
    port->Write("AT+CSQ\r\n");
    port->ReadUntil("OK\r\n");
    port->Write("AT+CSQ\r\n");
    port->ReadUntil("OK\r\n");

    EXPECT_EQ(Received(), "ATE0\r\nAT+CSQ\r\nAT+CSQ\r\n");
    const auto log = ReceivedLog();
    ASSERT_GE(log.size(), 3u);
    std::string joined;
    auto last = before;
    for (const auto& entry : log) {
        EXPECT_GE(entry.time, last);
        last = entry.time;
        joined += entry.bytes;
    }
    EXPECT_EQ(joined, Received());
    EXPECT_EQ(sim().Commands(), (std::vector<std::string> {"ATE0", "AT+CSQ", "AT+CSQ"}));

    // Each successful wait moves past the command it found.
    EXPECT_TRUE(WaitForCommand("AT+CSQ", 1s));
    EXPECT_TRUE(WaitForCommand("AT+CSQ", 1s));
    EXPECT_FALSE(WaitForCommand("AT+CSQ", 30ms));
    port->Write("AT+CSQ\r\n");
    EXPECT_TRUE(WaitForCommand("AT+CSQ", 2s));
    EXPECT_TRUE(sim().WaitForSent("+CSQ: 20,99", 2s));
}

TEST_F(PtyTransport, DelayedAnswerComesLate)
{
    AddFault("AT+COPS? | delay 150");
    auto port = Open();
    port->Write("ATE0\r\n");
    port->ReadUntil("OK\r\n");
    const auto sent = RawPort::Clock::now();
    port->Write("AT+COPS?\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "\r\n+COPS: 0,0,\"Test PLMN 1-1\"\r\n\r\nOK\r\n");
    EXPECT_GE(RawPort::Clock::now() - sent, 140ms);
}

TEST_F(PtyTransport, SplitAnswerArrivesInSeparateReads)
{
    // Cut the final "\r\nOK\r\n" between its first CR and LF, with garbage first.
    AddFault("AT+CSQ | garbage FE; split 16,17; gap 100");
    auto port = Open();
    port->Write("ATE0\r\n");
    port->ReadUntil("OK\r\n");
    port->ClearChunks();
    port->Write("AT+CSQ\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "\xFE\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
    const auto& chunks = port->Chunks();
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].bytes, "\xFE\r\n+CSQ: 20,99\r\n");
    EXPECT_EQ(chunks[1].bytes, "\r");
    EXPECT_EQ(chunks[2].bytes, "\nOK\r\n");
    EXPECT_GE(chunks[2].time - chunks[1].time, 50ms);
}

TEST_F(PtyTransport, ErrorFaultsAndSilenceOnTheWire)
{
    AddFault("AT+CPIN? | cme 10");
    AddFault("AT+CSQ | silent | 1");
    auto port = Open();
    port->Write("AT+CPIN?\r\n");
    EXPECT_EQ(port->ReadUntil("10\r\n"), "AT+CPIN?\r\r\n+CME ERROR: 10\r\n");
    port->Write("AT+CSQ\r\n");
    EXPECT_EQ(port->ReadFor(100ms), "AT+CSQ\r");
    port->Write("AT+CSQ\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "AT+CSQ\r\r\n+CSQ: 20,99\r\n\r\nOK\r\n");
}

TEST_F(PtyTransport, HangUpDropsTheLineAndARestartServesAgain)
{
    AddFault("ATD | hangup");
    auto port = Open();
    port->Write("ATD10086;\r\n");
    EXPECT_EQ(port->ReadUntil("never"), "ATD10086;\r");
    EXPECT_TRUE(port->HungUp());
    EXPECT_TRUE(sim().WaitForHangUp(2s));
    port.reset();

    StartSim(Family::Umts, "KV33D01");
    auto fresh = Open();
    fresh->Write("ATI\r\n");
    EXPECT_NE(fresh->ReadUntil("OK\r\n").find("Revision: KV33D01\r\n"), std::string::npos);
    EXPECT_FALSE(sim().HungUp());
}

TEST_F(PtyTransport, HostClosingAndReopeningThePortKeepsTheModule)
{
    {
        auto port = Open();
        port->Write("ATE0\r\n");
        port->ReadUntil("OK\r\n");
    }
    // Unsolicited output while nobody has the port open is not lost by the module.
    InjectLine("RING");
    ASSERT_TRUE(sim().WaitForSent("RING", 1s));
    auto again = Open();
    EXPECT_EQ(again->ReadUntil("RING\r\n"), "\r\nRING\r\n");
    again->Write("AT\r\n");
    EXPECT_EQ(again->ReadUntil("OK\r\n"), "\r\nOK\r\n");
}

TEST_F(PtyTransport, SurvivesOverlongLinesGarbageAndHalfCommands)
{
    auto port = Open();
    port->Write("ATE0\r\n");
    port->ReadUntil("OK\r\n");

    port->Write("AT" + std::string(6000, 'X') + "\r\n");
    EXPECT_EQ(port->ReadUntil("ERROR\r\n"), "\r\nERROR\r\n");

    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise.push_back(char(random() & 0xFF));
    port->Write(noise);
    // The noise may have left the module in an SMS body; ESC ends that, CR ends a
    // line. Every answer to the noise comes before the one to AT+CGMR.
    port->Write("\x1B\r\nATE0\r\nAT+CGMR\r\n");
    EXPECT_NE(port->ReadUntil("TZ20A01\r\n\r\nOK\r\n", 10s).find("TZ20A01\r\n\r\nOK\r\n"), std::string::npos);

    const std::vector<std::pair<std::string, std::string>> halves = {
        {"AT+CM\r", "\r\nERROR\r\n"},
        {"AT+CMGS=\"1\r", "\r\nERROR\r\n"},
        {"A\r", "\r\nERROR\r\n"},
        {"AT+CSQ=\r", "\r\nERROR\r\n"},
        {"\r\n", ""},
        {"ATE0\r", "\r\nOK\r\n"},
        {"AT\r\n", "\r\nOK\r\n"},
    };
    for (const auto& [input, reply] : halves) {
        port->Write(input);
        if (reply.empty())
            EXPECT_EQ(port->ReadFor(50ms), "") << input;
        else
            EXPECT_EQ(port->ReadUntil(reply), reply) << input;
    }
}

TEST_F(PtyTransport, WithoutLoggingItStillAnswersButKeepsNothing)
{
    sim().SetLogging(false);
    auto port = Open();
    port->Write("AT\r\n");
    EXPECT_EQ(port->ReadUntil("OK\r\n"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(Received(), "");
    EXPECT_TRUE(sim().Commands().empty());
    EXPECT_EQ(sim().Sent(), "");
}
