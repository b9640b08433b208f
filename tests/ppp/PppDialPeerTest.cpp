// The dial client on a modem session whose port leads, through a module's AT
// preamble, to slirp's PPP: the link comes up with each authentication, the
// addresses are slirp's, and Terminate brings the module back to commands.
#include "core/at/ModemSession.h"
#include "core/ppp/PppDialClient.h"
#include "core/ppp/PppOptions.h"
#include "core/ppp/SessionPppLine.h"
#include "core/ppp/PppUdp.h"
#include "sim/SlirpBridge.h"

#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "SlirpHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace ulv;

namespace {

QString PrepareHome(const QString& name, const char* secretsFile, const char* secrets)
{
    return ulv::test::PrepareSlirpHome(name, secretsFile, secrets);
}

class PppDialPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (sim::SlirpBridge::SlirpProgram().empty())
            GTEST_SKIP() << "slirp is not installed (Debian package slirp): no PPP peer to dial";
        PppDebugLog::SetPath((ulv::test::TempHome() + "/ulvenscoper.log").toStdString());
    }

    // Runs fn on a worker while this thread serves the session's events.
    template <class Fn>
    auto OnWorker(Fn fn)
    {
        auto future = std::async(std::launch::async, fn);
        if (!test::RunEventsUntil(
                [&] { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 200000)) {
            // A dial ends by its own phase limits, which add up to minutes on
            // a loaded machine under a sanitizer; past that the worker is lost. It holds references into this test, so
            // it cannot be left behind, and waiting on would hang the run.
            std::fprintf(stderr, "FATAL: the worker overran its 200 s wait\n");
            std::fflush(nullptr);
            std::_Exit(1);
        }
        return future.get();
    }

    // The module answers commands again.
    ExchangeResult AtAnswered(ModemSession& session)
    {
        QString reply;
        return OnWorker([&] {
            ExchangeSpec exchange;
            exchange.command = "AT";
            exchange.timeoutMs = 5000;
            return session.Exchange([] { return true; }, exchange, reply);
        });
    }
};

TEST_F(PppDialPeer, EachAuthenticationBringsTheLinkUpAndTerminateEndsIt)
{
    struct Case {
        const char* name;
        std::vector<std::string> slirpArgs;
        const char* secretsFile;
        const char* secrets;
        int authIndex;
        const char* user;
        const char* password;
    } cases[] = {
        {"no authentication", {}, nullptr, nullptr, kPppAuthAuto, "", ""},
        {"PAP", {"+pap"}, ".pap-secrets", "ulvuser * ulvpass\n", kPppAuthAuto, "ulvuser", "ulvpass"},
        {"CHAP-MD5", {"+chap"}, ".chap-secrets", "ulvuser * MyPw\n", kPppAuthChap, "ulvuser", "MyPw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SlirpBridge bridge(
            PrepareHome(QString("dial-%1").arg(&c - cases), c.secretsFile, c.secrets).toStdString(), c.slirpArgs);
        ASSERT_TRUE(bridge.Started());
        ModemSession session;
        ASSERT_EQ(session.Open(QString::fromStdString(bridge.SlavePath()), 115200, 8, 1, 'N', 0, 2048),
            ModemSession::OpenResult::Opened);
        std::atomic<bool> running{true};
        SessionPppLine line(session, [&] { return running.load(); });
        PppDialClient client(line);
        PppDialSettings settings;
        settings.user = c.user;
        settings.password = c.password;
        settings.authIndex = c.authIndex;
        settings.pdpCommand = "AT+CGDCONT=1,\"IP\",\"cmnet\"";
        settings.dnsNumber = 1;

        const PppDialResult result = OnWorker([&] { return client.Dial(settings); });
        ASSERT_EQ(result.outcome, PppDialOutcome::Up) << result.message;
        EXPECT_EQ(result.ipcp.ownAddress.address, (std::array<std::uint8_t, 4>{10, 0, 2, 15}));
        EXPECT_EQ(result.ipcp.ownDns1.present, 1);
        EXPECT_EQ(session.m_bShowRxHex.load(), 1);

        EXPECT_TRUE(OnWorker([&] { return client.Terminate(result.lcp); }));
        EXPECT_EQ(session.m_bShowRxHex.load(), 0);
        session.Buffers().ClearReceivedText();
        EXPECT_EQ(AtAnswered(session), ExchangeResult::Reply);
        session.Shutdown();
    }
}

// The session's line, keeping the terminal notes the dial writes.
class NoteKeepingLine : public SessionPppLine {
public:
    using SessionPppLine::SessionPppLine;
    void Note(int kind, const std::string& text) override
    {
        if (kind == 2) {
            std::lock_guard lock(m_mutex);
            m_notes.push_back(text);
        }
        SessionPppLine::Note(kind, text);
    }
    std::vector<std::string> Notes()
    {
        std::lock_guard lock(m_mutex);
        return m_notes;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_notes;
};

TEST_F(PppDialPeer, WrongChapSecretFailsAndTheModuleLeavesDataMode)
{
    sim::SlirpBridge bridge(PrepareHome("dial-wrong", ".chap-secrets", "ulvuser * MyPw\n").toStdString(), {"+chap"});
    ASSERT_TRUE(bridge.Started());
    ModemSession session;
    ASSERT_EQ(session.Open(QString::fromStdString(bridge.SlavePath()), 115200, 8, 1, 'N', 0, 2048),
        ModemSession::OpenResult::Opened);
    NoteKeepingLine line(session, [] { return true; });
    PppDialClient client(line);
    PppDialSettings settings{"ulvuser", "nope", "AT+CGDCONT=1,\"IP\",\"cmnet\"", kPppAuthChap, 0};
    const PppDialResult result = OnWorker([&] { return client.Dial(settings); });
    EXPECT_EQ(result.outcome, PppDialOutcome::Failed);
    EXPECT_EQ(result.message, kPppDialFailed);
    // A refusal is told apart from a time-out: the phase and the peer's words.
    const std::vector<std::string> notes = line.Notes();
    const auto refusal = std::find_if(notes.begin(), notes.end(),
        [](const std::string& n) { return n.rfind("/* The peer refused the authentication in CHAP: ", 0) == 0; });
    ASSERT_NE(refusal, notes.end());
    // slirp's own words for a wrong secret.
    EXPECT_EQ(*refusal, "/* The peer refused the authentication in CHAP: \"I don't like you.  Go 'way.\" */");
    EXPECT_EQ(session.m_bShowRxHex.load(), 0);
    EXPECT_EQ(AtAnswered(session), ExchangeResult::Reply);
    session.Shutdown();
}

TEST_F(PppDialPeer, UdpDatagramRoundTripsThroughSlirpToALoopbackEchoServer)
{
    test::UdpEchoServer echo;
    ASSERT_NE(echo.Port(), 0);
    sim::SlirpBridge bridge(PrepareHome("dial-udp", nullptr, nullptr).toStdString(), {});
    ASSERT_TRUE(bridge.Started());
    ModemSession session;
    ASSERT_EQ(session.Open(QString::fromStdString(bridge.SlavePath()), 115200, 8, 1, 'N', 0, 2048),
        ModemSession::OpenResult::Opened);
    std::vector<std::string> payloads;
    PppRawReceiver receiver([&](const std::vector<std::uint8_t>& p) { payloads.emplace_back(p.begin(), p.end()); });
    session.m_pppRawReceiver = [&](const QByteArray& chunk) {
        receiver.Feed(reinterpret_cast<const std::uint8_t*>(chunk.constData()), static_cast<std::size_t>(chunk.size()));
    };
    SessionPppLine line(session, [] { return true; });
    PppDialClient client(line);
    PppDialSettings settings{"", "", "AT+CGDCONT=1,\"IP\",\"cmnet\"", kPppAuthNone, 0};
    const PppDialResult result = OnWorker([&] { return client.Dial(settings); });
    ASSERT_EQ(result.outcome, PppDialOutcome::Up) << result.message;

    // 10.0.2.2 is slirp's name for this host's loopback.
    PppUdpRequest request{result.ipcp.ownAddress.address, {10, 0, 2, 2}, "4321",
        std::to_string(echo.Port()), "ping over ppp"};
    const PppUdpFrame frame = BuildPppUdpFrame(request, result.lcp);
    ASSERT_EQ(frame.error, "");
    session.Transmitter().SendRawBytes(
        QByteArray(reinterpret_cast<const char*>(frame.wire.data()), static_cast<qsizetype>(frame.wire.size())));
    ASSERT_TRUE(test::RunEventsUntil([&] { return !payloads.empty(); }, 20000));
    // The payload went out padded to an even length.
    EXPECT_EQ(payloads.front(), std::string("echo:ping over ppp") + '\0');
    session.Shutdown();
}

} // namespace
