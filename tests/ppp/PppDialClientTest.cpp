// The dial client's frames and its failure paths on a scripted line.
#include "core/ppp/PppDialClient.h"
#include "core/ppp/PppOptions.h"

#include "common/TestEnv.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

using namespace ulv;

namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    std::string out;
    char pair[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X ", b);
        out += pair;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

// A module on a line: answers the commands in `replies`, records what was sent.
class ScriptedLine : public PppLineIo {
public:
    std::map<std::string, std::string> replies{
        {"ATE0", "\r\nOK\r\n"}, {"ATV0", "0\r"}, {"AT+CGDCONT=1,\"IP\",\"cmnet\"", "0\r"}, {"ATD*99#", "1\r"},
        {"+++", "3\r"}, {"ATH", "0\r"}, {"ATE1", "0\r"}, {"ATV1", "OK"}};
    std::vector<std::string> texts;  // commands, in order
    std::vector<std::string> frames; // raw frames as spaced hex
    std::vector<std::string> notes;
    // Called with each raw frame; may queue an answer.
    std::function<void(const std::string&)> onFrame;
    bool running = true;
    int recvAsHex = 0;

    void Queue(const std::string& text, const std::string& hex)
    {
        m_text += text;
        m_hex += hex;
    }
    bool Running() override { return running; }
    std::function<void()> afterClear;
    void ClearReceived() override
    {
        m_text.clear();
        m_hex.clear();
        if (afterClear)
            afterClear();
    }
    std::function<void(const std::string&)> onText;
    void SendText(const std::string& text, bool) override
    {
        texts.push_back(text);
        if (onText)
            onText(text);
        auto it = replies.find(text);
        if (it != replies.end()) {
            std::string hex;
            std::vector<std::uint8_t> b(it->second.begin(), it->second.end());
            for (char c : Hex(b))
                if (c != ' ')
                    hex += c;
            Queue(it->second, hex);
        }
    }
    void SendRaw(const std::vector<std::uint8_t>& bytes) override
    {
        frames.push_back(Hex(bytes));
        if (onFrame)
            onFrame(frames.back());
    }
    void WaitReceived(Clock::time_point deadline, std::string& text, std::string& hex) override
    {
        // Nothing else feeds this line: with nothing queued the wait runs to its deadline.
        std::unique_lock lock(m_lock);
        if (m_text.empty() && m_hex.empty())
            m_cv.wait_until(lock, deadline);
        text.swap(m_text);
        hex.swap(m_hex);
        m_text.clear();
        m_hex.clear();
    }
    std::function<void(const std::string&)> onNote;
    void Note(int, const std::string& text) override
    {
        notes.push_back(text);
        if (onNote)
            onNote(text);
    }
    int DcdState() override { return 0; }
    bool LineOpen() override { return open; }
    bool open = true;
    void SetRecvAsHex(bool hex) override { recvAsHex = hex; }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    std::string m_text, m_hex;
};

PppDialClient FastClient(ScriptedLine& line)
{
    PppDialClient client(line);
    client.timing = {};
    client.timing.atStep = 300;
    client.timing.firstLcpWait = 60;
    client.timing.phaseTotal = 400;
    client.timing.phaseIdle = 150;
    client.timing.ipcpFirstWait = 60;
    client.timing.ipcpRepeat = 20;
    client.timing.ipcpTotal = 2000;
    client.timing.peerIpcpIdle = 100;
    client.timing.settleIdle = 60;
    client.timing.escapeWait = 300;
    client.timing.restorePause = 10;
    client.timing.terminateAnswerPause = 10;
    return client;
}

PppDialSettings Settings(const char* user = "user", const char* pass = "pass", int auth = kPppAuthAuto)
{
    return {user, pass, "AT+CGDCONT=1,\"IP\",\"cmnet\"", auth, 2};
}

std::string Wire(std::string_view protocol, std::string_view code, std::string_view id, std::string_view data,
    bool lcpConfig = true)
{
    return EscapePppBytes(BuildPppFrame(protocol, code, id, data), lcpConfig ? 0 : 1, AccmFlags{});
}

// The peer's first words once the dial has answered, after the client has
// emptied its buffers for the negotiation.
void OpenLcpAfterTheDial(ScriptedLine& line, std::function<void()> open)
{
    line.onNote = [&line, open = std::move(open)](const std::string& note) {
        if (note == "/* The period of negotiation in LCP */")
            line.afterClear = [&line, open] {
                // Once only; the copy outlives this closure, which goes here.
                const std::function<void()> once = open;
                line.afterClear = nullptr;
                once();
            };
    };
}

class PppDialClientTest : public ::testing::Test {
protected:
    void SetUp() override { PppDebugLog::SetPath((ulv::test::TempHome() + "/ulvenscoper.log").toStdString()); }
};

TEST_F(PppDialClientTest, SilentPeerGetsOurLcpRequestThenTheDialFailsAndLeavesDataMode)
{
    ScriptedLine line;
    using Clock = std::chrono::steady_clock;
    Clock::time_point lcpStart {}, requestSent {};
    line.onNote = [&](const std::string& note) {
        if (note == "/* The period of negotiation in LCP */")
            lcpStart = Clock::now();
    };
    line.onFrame = [&](const std::string&) { requestSent = Clock::now(); };
    PppDialClient client = FastClient(line);
    const PppDialResult result = client.Dial(Settings());
    EXPECT_EQ(result.outcome, PppDialOutcome::Failed);
    EXPECT_EQ(result.message, kPppDialFailed);
    // Our request only once the peer has had the first wait to speak first.
    EXPECT_GE(requestSent - lcpStart, std::chrono::milliseconds(client.timing.firstLcpWait));
    ASSERT_EQ(line.frames.size(), 1u);
    EXPECT_EQ(line.frames[0], "7E FF 7D 23 C0 21 7D 21 7D 21 7D 20 7D 2A 7D 22 7D 26 7D 20 7D 20 7D 20 7D 20 58 7B 7E");
    EXPECT_EQ(line.texts, (std::vector<std::string>{"ATE0", "ATV0", "AT+CGDCONT=1,\"IP\",\"cmnet\"", "ATD*99#",
                              "+++", "ATH", "ATE1", "ATV1"}));
    EXPECT_EQ(line.recvAsHex, 0);
}

TEST_F(PppDialClientTest, DebugLogGetsOneLinePerReceivedChunkNotOnePerPoll)
{
    const std::string path = (ulv::test::TempHome() + "/ulvenscoper-chunks.log").toStdString();
    std::remove(path.c_str());
    PppDebugLog::SetPath(path);
    ScriptedLine line;
    PppDialClient client = FastClient(line);
    client.timing.firstLcpWait = 300;
    // Half a frame as negotiation starts, then silence: it stays incomplete for the whole wait.
    line.onNote = [&](const std::string& note) {
        if (note == "/* The period of negotiation in LCP */")
            line.afterClear = [&] {
                line.afterClear = nullptr;
                line.Queue("x", "7EFF03C0210101");
            };
    };
    client.Dial(Settings());
    const QByteArray log = ulv::test::ReadAll(QString::fromStdString(path));
    EXPECT_EQ(log.count("\r\n"), 1) << log.toStdString();
    EXPECT_TRUE(log.contains("TestitemDlg_pppdial,1034,"));
    EXPECT_TRUE(log.contains(" 7EFF03C0210101\r\n"));
}

TEST_F(PppDialClientTest, PreambleTimeOutSkipsTheEscape)
{
    ScriptedLine line;
    line.replies.erase("ATV0");
    PppDialClient client = FastClient(line);
    const PppDialResult result = client.Dial(Settings());
    EXPECT_EQ(result.message, kPppPreambleFailed);
    EXPECT_EQ(line.texts, (std::vector<std::string>{"ATE0", "ATV0", "ATE1", "ATV1"}));
    EXPECT_TRUE(line.frames.empty());
}

TEST_F(PppDialClientTest, PapRequestIsSentAsAFrameAndNaksRepeatItThreeTimes)
{
    ScriptedLine line;
    int papSeen = 0;
    line.onFrame = [&](const std::string& frame) {
        if (frame.find("C0 21 7D 21 7D 21") != std::string::npos) {
            // Our request: ack it, then ask for PAP.
            line.Queue("x", Wire(kPppProtocolLcp, "02", "01", "020600000000"));
            line.Queue("x", Wire(kPppProtocolLcp, "01", "01", "0206000000000304C023"));
        } else if (frame.rfind("7E FF 03 C0 23", 0) == 0) {
            ++papSeen;
            // Refused, with a message that holds a control byte and a comment end.
            line.Queue("x", Wire(kPppProtocolPap, "03", "02", "0A" + PppStringToHex("bad */ pw\x01"), false));
        }
    };
    PppDialClient client = FastClient(line);
    const PppDialResult result = client.Dial(Settings());
    EXPECT_EQ(result.outcome, PppDialOutcome::Failed);
    ASSERT_GE(line.frames.size(), 3u);
    // The first authenticate request, then three repeats after three Naks; the fourth Nak gets none.
    EXPECT_EQ(papSeen, 4);
    bool found = false;
    for (const std::string& f : line.frames)
        found |= f == "7E FF 03 C0 23 01 02 00 0E 04 75 73 65 72 04 70 61 73 73 2F 5D 7E";
    EXPECT_TRUE(found);
    // The refusal is told in the terminal, the peer's words as text.
    EXPECT_NE(std::find(line.notes.begin(), line.notes.end(),
                  "/* The peer refused the authentication in PAP: \"bad *. pw.\" */"),
        line.notes.end());
}

TEST_F(PppDialClientTest, PeerTerminateDuringDialIsAckedAndTheEscapeIsSkipped)
{
    ScriptedLine line;
    line.onFrame = [&](const std::string& frame) {
        if (frame.find("C0 21 7D 21 7D 21") != std::string::npos)
            line.Queue("x", Wire(kPppProtocolLcp, "05", "07", ""));
    };
    PppDialClient client = FastClient(line);
    const PppDialResult result = client.Dial(Settings());
    EXPECT_EQ(result.message, kPppDialFailed);
    ASSERT_EQ(line.frames.size(), 2u);
    // Acked with the request's identifier, escaped for a peer that named no ACCM.
    EXPECT_EQ(line.frames[1], PppSpaceHexPairs(EscapePppBytes(BuildPppFrame("C021", "06", "07", ""), 0, {})));
    EXPECT_EQ(line.texts.back(), "ATV1");
    EXPECT_EQ(std::count(line.texts.begin(), line.texts.end(), "+++"), 0);
}

TEST_F(PppDialClientTest, TerminateSendsTheRequestAndReturnsToCommandMode)
{
    ScriptedLine line;
    line.onFrame = [&](const std::string&) { line.Queue("x", Wire(kPppProtocolLcp, "06", "05", "", false)); };
    PppDialClient client = FastClient(line);
    LcpOptionState lcp;
    lcp.accmSeen = 1; // the peer asked for an all-zero map
    EXPECT_TRUE(client.Terminate(lcp));
    ASSERT_EQ(line.frames.size(), 1u);
    EXPECT_EQ(line.frames[0], "7E FF 03 C0 21 05 05 00 04 5C A4 7E");
    EXPECT_EQ(line.texts, (std::vector<std::string>{"+++", "ATH", "ATE1", "ATV1"}));
}

TEST_F(PppDialClientTest, LostPortEndsTheDialWithoutTryingToLeaveDataMode)
{
    ScriptedLine line;
    line.onFrame = [&](const std::string&) {
        // The port goes: the session's flag then reads as stopped too.
        line.open = false;
        line.running = false;
    };
    PppDialClient client = FastClient(line);
    const PppDialResult result = client.Dial(Settings());
    EXPECT_EQ(result.outcome, PppDialOutcome::Stopped);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(line.texts.back(), "ATD*99#");
    EXPECT_EQ(line.recvAsHex, 0);
}

TEST_F(PppDialClientTest, LegacyProcedureTakesOnlyANumericConnect)
{
    ScriptedLine line;
    line.replies["ATD*99#"] = "CONNECT\r";
    PppDialClient client = FastClient(line);
    const PppDialResult result = client.DialLegacyPap(Settings());
    EXPECT_EQ(result.outcome, PppDialOutcome::Failed);
    EXPECT_EQ(result.message, kPppPreambleFailed);
    EXPECT_TRUE(line.frames.empty());
    EXPECT_EQ(line.texts.back(), "ATV1");
}

TEST_F(PppDialClientTest, LegacyProcedureAnswersAnIpcpRejectOfTheSecondDns)
{
    ScriptedLine line;
    std::vector<std::string> ipcpRequests;
    line.onFrame = [&](const std::string& frame) {
        const std::string hex = PppRemoveBlanks(frame);
        if (hex.rfind("7EFF7D23C0217D227D21", 0) == 0) {
            // Our Ack of the peer's request: now ack our own.
            line.Queue("x", Wire(kPppProtocolLcp, "02", "01", "020600000000"));
        } else if (hex.rfind("7EFF03C02301", 0) == 0) {
            line.Queue("x", Wire(kPppProtocolPap, "02", "02", "00", false));
        } else if (hex.rfind("7EFF03802101", 0) == 0) {
            const std::string options = SplitPppFrame(UnescapePppBytes(hex)).data;
            ipcpRequests.push_back(options);
            if (ipcpRequests.size() == 1) {
                line.Queue("x", Wire(kPppProtocolIpcp, "04", "03", "830600000000", false));
            } else {
                line.Queue("x", Wire(kPppProtocolIpcp, "02", "04", "03060A00020F810608080808", false));
                line.Queue("x", Wire(kPppProtocolIpcp, "01", "01", "03060A000202", false));
            }
        }
    };
    // The peer opens LCP once the dial has answered.
    line.onNote = [&](const std::string& note) {
        if (note == "/* The period of negotiation in LCP */")
            line.Queue("x", Wire(kPppProtocolLcp, "01", "01", "020600000000"));
    };
    PppDialClient client = FastClient(line);
    PppDialSettings settings = Settings();
    const PppDialResult result = client.DialLegacyPap(settings);
    ASSERT_EQ(ipcpRequests.size(), 2u);
    EXPECT_EQ(ipcpRequests[0], "030600000000810600000000830600000000");
    EXPECT_EQ(ipcpRequests[1], "030600000000810600000000");
    EXPECT_EQ(result.outcome, PppDialOutcome::Up);
    EXPECT_EQ(result.ipcp.ownAddress.address, (std::array<std::uint8_t, 4>{10, 0, 2, 15}));
}

// A peer whose IPCP acts as RFC 1661 has it: a Configure-Request that reaches
// it once both sides are acked reopens the negotiation. It first asks for
// compression and for an address, so its own request takes three rounds, and
// the Ack of our second request comes while the last of those is on its way.
TEST_F(PppDialClientTest, TheAckOfOurIpcpRequestIsKeptWhileThePeersRequestIsSettled)
{
    ScriptedLine line;
    int peerId = 0, reopened = 0;
    bool weAckedThePeer = false, peerAckedUs = false;
    std::vector<std::string> ourRequests;
    auto peerRequest = [&](const std::string& options) {
        char id[4];
        std::snprintf(id, sizeof id, "%02X", ++peerId);
        line.Queue("x", Wire(kPppProtocolIpcp, "01", id, options, false));
    };
    line.onFrame = [&](const std::string& frame) {
        const PppFrameFields f = SplitPppFrame(UnescapePppBytes(PppRemoveBlanks(frame)));
        if (f.protocol == kPppProtocolLcp && f.code == "02") {
            line.Queue("x", Wire(kPppProtocolLcp, "02", "01", "020600000000"));
            return;
        }
        if (f.protocol != kPppProtocolIpcp)
            return;
        if (f.code == "01") {
            ourRequests.push_back(f.data);
            if (f.data.find("0600000000") != std::string::npos) {
                peerRequest("030600000000" "0206002D0F01");
                line.Queue("x",
                    Wire(kPppProtocolIpcp, "03", f.identifier, "03060A00020F810608080808830608080404", false));
                return;
            }
            if (weAckedThePeer && peerAckedUs) {
                ++reopened;
                weAckedThePeer = false;
                peerRequest("030600000000" "0206002D0F01");
            }
            line.Queue("x", Wire(kPppProtocolIpcp, "02", f.identifier, f.data, false));
            peerAckedUs = true;
        } else if (f.code == "02") {
            weAckedThePeer = true;
        } else if (f.code == "04") {
            peerRequest("030600000000");
        } else if (f.code == "03") {
            peerRequest(f.data);
        }
    };
    OpenLcpAfterTheDial(line, [&] { line.Queue("x", Wire(kPppProtocolLcp, "01", "01", "020600000000")); });
    PppDialClient client = FastClient(line);
    // Without the Ack the two sides would take turns for good: a bound well
    // past this exchange's few milliseconds turns that into a failure.
    client.timing.negotiationTotal = 5000;
    const PppDialResult result = client.Dial(Settings());
    ASSERT_EQ(result.outcome, PppDialOutcome::Up) << result.message;
    EXPECT_EQ(ourRequests, (std::vector<std::string>{"030600000000810600000000830600000000",
                               "03060A00020F810608080808830608080404"}));
    EXPECT_EQ(reopened, 0);
    EXPECT_EQ(result.ipcp.ownAddress.address, (std::array<std::uint8_t, 4>{10, 0, 2, 15}));
    EXPECT_EQ(result.ipcp.ownDns2.address, (std::array<std::uint8_t, 4>{8, 8, 4, 4}));
    EXPECT_EQ(result.ipcp.peerAddress.address, (std::array<std::uint8_t, 4>{10, 64, 64, 64}));
}

TEST_F(PppDialClientTest, APeerThatReopensTheNegotiationForEverEndsTheDial)
{
    ScriptedLine line;
    int id = 0;
    // Each Ack of its request makes the peer start LCP over; ours it never answers.
    auto reopen = [&] {
        char text[4];
        std::snprintf(text, sizeof text, "%02X", ++id % 256);
        line.Queue("x", Wire(kPppProtocolLcp, "01", text, "020600000000"));
    };
    line.onFrame = [&](const std::string& frame) {
        if (SplitPppFrame(UnescapePppBytes(PppRemoveBlanks(frame))).code == "02")
            reopen();
    };
    OpenLcpAfterTheDial(line, [&] { reopen(); });
    PppDialClient client = FastClient(line);
    client.timing.negotiationTotal = 1000;
    const PppDialResult result = client.Dial(Settings());
    EXPECT_EQ(result.outcome, PppDialOutcome::Failed);
    EXPECT_EQ(result.message, kPppDialFailed);
    EXPECT_NE(std::find(line.notes.begin(), line.notes.end(), "/* The negotiation did not come to an end in 1 s */"),
        line.notes.end());
    EXPECT_EQ(line.texts.back(), "ATV1");
}

TEST_F(PppDialClientTest, EchoIsAnsweredOnlyDuringPapAndProtocolRejectsNever)
{
    const std::string echo = Wire(kPppProtocolLcp, "09", "11", "12345678", false);
    const std::string protocolReject = Wire(kPppProtocolLcp, "08", "12", "80FD01010004", false);
    const struct {
        const char* phase;
        bool duringPap; // else while LCP is still being negotiated
    } cases[] = {{"PAP", true}, {"LCP", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.phase);
        ScriptedLine line;
        bool papAnswered = false;
        line.onFrame = [&](const std::string& frame) {
            if (frame.find("C0 21 7D 21 7D 21") != std::string::npos) {
                if (!c.duringPap) {
                    line.Queue("x", echo);
                    line.Queue("x", protocolReject);
                }
                line.Queue("x", Wire(kPppProtocolLcp, "02", "01", "020600000000"));
                line.Queue("x", Wire(kPppProtocolLcp, "01", "01", c.duringPap ? "0206000000000304C023" : "020600000000"));
            } else if (frame.rfind("7E FF 03 C0 23", 0) == 0 && !papAnswered) {
                papAnswered = true;
                line.Queue("x", echo);
                line.Queue("x", protocolReject);
                line.Queue("x", Wire(kPppProtocolPap, "02", "02", "00", false));
            }
        };
        PppDialClient client = FastClient(line);
        client.Dial(Settings());
        std::vector<std::string> echoReplies;
        for (const std::string& f : line.frames) {
            const PppFrameFields fields = SplitPppFrame(UnescapePppBytes(PppRemoveBlanks(f)));
            if (fields.protocol != kPppProtocolLcp)
                continue;
            EXPECT_NE(fields.identifier, "12") << "a Protocol-Reject was answered: " << f;
            if (fields.code == "0A")
                echoReplies.push_back(f);
        }
        if (c.duringPap) {
            // The reply carries the request's identifier and data, escaped with the peer's map.
            EXPECT_EQ(echoReplies, (std::vector<std::string>{
                                       PppSpaceHexPairs(EscapePppBytes(BuildPppFrame("C021", "0A", "11", "12345678"), 1, {}))}));
        } else {
            EXPECT_TRUE(echoReplies.empty());
        }
    }
}

TEST_F(PppDialClientTest, TerminateWithoutAckFailsAndReceivedTextIsShownAsTextAgain)
{
    ScriptedLine line;
    line.recvAsHex = 1; // the link was up
    PppDialClient client = FastClient(line);
    EXPECT_FALSE(client.Terminate(LcpOptionState{}));
    EXPECT_EQ(line.recvAsHex, 0);
}

TEST(PppFrameCutter, BadFramesCostThemselvesOnlyAndOddOffsetsDoNotOpenFrames)
{
    const std::string good1 = BuildPppFrame("C021", "09", "01", "00000000");
    std::string bad = BuildPppFrame("C021", "09", "02", "00000000");
    bad[bad.size() - 4] = bad[bad.size() - 4] == '0' ? '1' : '0'; // FCS broken
    const std::string good2 = BuildPppFrame("C021", "0A", "03", "00000000");
    struct Case {
        const char* name;
        std::string stream;
        std::vector<std::string> ids;
    } cases[] = {
        {"bad frame between good ones", good1 + bad.substr(2) + good2.substr(2), {"01", "03"}},
        {"7EFF at an odd offset is no frame", "A7EFF0" + good2, {"03"}},
        {"two flags in a row", good1 + good2, {"01", "03"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PppFrameCutter cutter;
        int notes = 0;
        cutter.Append(c.stream);
        std::vector<std::string> ids;
        while (auto f = cutter.Next([&](const std::string&) { ++notes; }))
            ids.push_back(SplitPppFrame(*f).identifier);
        EXPECT_EQ(ids, c.ids);
    }
}

TEST(PppFrameCutter, OversizedFrameAndUnclosedFloodAreDropped)
{
    PppDebugLog::SetPath((ulv::test::TempHome() + "/ulvenscoper.log").toStdString());
    PppFrameCutter cutter;
    const std::string huge = BuildPppFrame("0021", "45", "00", std::string(2 * 2100, 'A'));
    const std::string good = BuildPppFrame("C021", "09", "04", "00000000");
    cutter.Append(huge + good.substr(2));
    auto f = cutter.Next({});
    ASSERT_TRUE(f);
    EXPECT_EQ(SplitPppFrame(*f).identifier, "04");

    cutter.Clear();
    cutter.Append("7EFF03" + std::string(PppFrameCutter::kPendingLimit, '1'));
    EXPECT_LE(cutter.Pending().size(), PppFrameCutter::kPendingLimit);
}

} // namespace
