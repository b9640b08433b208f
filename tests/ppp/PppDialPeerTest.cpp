// The dial client on a modem session whose port leads, through a module's AT
// preamble, to slirp's PPP: the link comes up with each authentication, the
// addresses are slirp's, and Terminate brings the module back to commands.
#include "core/at/ModemSession.h"
#include "core/ppp/PppDialClient.h"
#include "core/ppp/PppOptions.h"
#include "core/ppp/SessionPppLine.h"
#include "core/ppp/PppUdp.h"
#include "sim/SimModule.h"
#include "sim/SlirpBridge.h"

#include "common/EventLoopWait.h"
#include "common/TestEnv.h"
#include "SlirpHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ulv;
using namespace std::chrono_literals;

extern char** environ;

namespace {

QString PrepareHome(const QString& name, const char* secretsFile, const char* secrets)
{
    return ulv::test::PrepareSlirpHome(name, secretsFile, secrets);
}

// The processes started from pid, as /proc lists them per thread.
std::vector<pid_t> ChildrenOf(pid_t pid)
{
    std::vector<pid_t> out;
    const QDir tasks(QString("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + "/children"));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : children.readAll().split(' '))
            if (const pid_t c = child.trimmed().toInt(); c > 0)
                out.push_back(c);
    }
    return out;
}

// One ulvslirpmodem process with its standard output on a pipe. Spawned with
// SIGTERM blocked, as a shell or a test runner may leave it: the program must
// not hand that on to slirp.
class SlirpModemProcess {
public:
    explicit SlirpModemProcess(const std::string& link)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<std::string> args = {ULVSLIRPMODEM_PATH, "--link", link};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, ULVSLIRPMODEM_PATH, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~SlirpModemProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }

    // The first line the program printed (its pseudo-terminal), or "".
    std::string ReadLine(std::chrono::milliseconds timeout)
    {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{m_out, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0)
                return {};
            char c = 0;
            if (::read(m_out, &c, 1) != 1)
                return {};
            if (c == '\n')
                return line;
            line += c;
        }
    }

    // Sends the signal and waits (generously) for the exit; the exit status, or
    // -1 when the program did not end.
    int TerminateAndWait(std::chrono::milliseconds timeout)
    {
        ::kill(m_pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            int status = 0;
            const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
            if (r == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() > deadline)
                return -1;
            // Waiting for another process's exit: nothing to wake on but its end.
            pollfd none{-1, 0, 0};
            ::poll(&none, 1, 20);
        }
    }

    bool Started() const { return m_pid > 0 && m_out >= 0; }

    // The signals blocked in each child of the program (slirp while a call
    // is up), as /proc shows them.
    std::vector<std::string> ChildrenBlockedSignals() const
    {
        std::vector<std::string> out;
        for (pid_t child : ChildrenOf(m_pid)) {
            QFile status(QString("/proc/%1/status").arg(child));
            if (!status.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("SigBlk:"))
                    out.push_back(line.mid(7).trimmed().toStdString());
        }
        return out;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

// The slirp processes started from this one.
int SlirpChildren()
{
    int count = 0;
    for (pid_t child : ChildrenOf(::getpid())) {
        QFile comm(QString("/proc/%1/comm").arg(child));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("slirp"))
            ++count;
    }
    return count;
}

// Every process started from pid, and every one started from those.
void KillDescendants(pid_t pid)
{
    for (pid_t child : ChildrenOf(pid)) {
        KillDescendants(child);
        ::kill(child, SIGKILL);
    }
}

// Blocks SIGTERM on this thread while a process is spawned from it.
class BlockedTerm {
public:
    BlockedTerm()
    {
        sigset_t s;
        sigemptyset(&s);
        sigaddset(&s, SIGTERM);
        ::pthread_sigmask(SIG_BLOCK, &s, &m_old);
    }
    ~BlockedTerm() { ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }

private:
    sigset_t m_old;
};

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
            // slirp and the modem program would outlive this process, holding
            // the runner's output open; they go first.
            KillDescendants(::getpid());
            std::_Exit(1);
        }
        return future.get();
    }

    // The module answers commands again.
    ExchangeResult AtAnswered(ModemSession& session, const char* command = "AT")
    {
        QString reply;
        return OnWorker([&] {
            ExchangeSpec exchange;
            exchange.command = command;
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

// The simulated module's own data call, as scripts/run --simulated offers it.
class SimDataCall : public PppDialPeer {
protected:
    // A module of the family whose data calls run this slirp.
    std::unique_ptr<sim::SimModule> StartModule(sim::Family family, const std::string& slirpProgram)
    {
        auto module = std::make_unique<sim::SimModule>(family, "");
        module->SetSlirp({PrepareHome(QString("sim-%1").arg(int(family)), nullptr, nullptr).toStdString(), {},
            slirpProgram});
        std::string error;
        EXPECT_TRUE(module->Start(&error)) << error;
        return module;
    }

    static PppDialSettings Settings()
    {
        PppDialSettings settings;
        settings.pdpCommand = "AT+CGDCONT=1,\"IP\",\"cmnet\"";
        settings.dnsNumber = 1;
        return settings;
    }

    // A session on the module's port with the dial client on it.
    struct Dialer {
        explicit Dialer(const std::string& port)
            : opened(session.Open(QString::fromStdString(port), 115200, 8, 1, 'N', 0, 2048)
                == ModemSession::OpenResult::Opened)
        {
        }
        ModemSession session;
        bool opened;
        SessionPppLine line{session, [] { return true; }};
        PppDialClient client{line};
    };

    static int DataCallCid(sim::SimModule& module)
    {
        int cid = -1;
        module.With([&](sim::ModemEngine& e) { cid = e.State().dataCallCid; });
        return cid;
    }
};

TEST_F(SimDataCall, EachFamilyDialsThroughSlirpHoldsNoticesAndAnswersAfterTerminate)
{
    for (const sim::Family family : {sim::Family::Gsm, sim::Family::Umts}) {
        SCOPED_TRACE(family == sim::Family::Gsm ? "gsm" : "umts");
        const std::unique_ptr<sim::SimModule> module = StartModule(family, {});
        Dialer dialer(module->SlavePath());
        ASSERT_TRUE(dialer.opened);
        const PppDialResult result = OnWorker([&] { return dialer.client.Dial(Settings()); });
        ASSERT_EQ(result.outcome, PppDialOutcome::Up) << result.message;
        EXPECT_EQ(result.ipcp.ownAddress.address, (std::array<std::uint8_t, 4>{10, 0, 2, 15}));
        EXPECT_EQ(DataCallCid(*module), 1);
        EXPECT_EQ(SlirpChildren(), 1);

        // A message arriving during the call is told after it, never inside
        // the PPP stream: its notice follows the last frame the module passed on.
        EXPECT_EQ(module->Control("sms 10086 hello"), "ok stored at " + std::string(family == sim::Family::Gsm ? "1" : "0"));
        EXPECT_TRUE(OnWorker([&] { return dialer.client.Terminate(result.lcp); }));
        dialer.session.Buffers().ClearReceivedText();
        EXPECT_EQ(AtAnswered(dialer.session), ExchangeResult::Reply);
        EXPECT_EQ(DataCallCid(*module), 0);
        EXPECT_EQ(SlirpChildren(), 0);
        const std::string sent = module->Sent();
        const std::size_t notice = sent.find("+CMTI: \"SM\",");
        ASSERT_NE(notice, std::string::npos);
        EXPECT_GT(notice, sent.rfind('\x7e'));
        dialer.session.Shutdown();
    }
}

TEST_F(SimDataCall, TheHostClosingTheLineEndsTheCallAndTheModuleAnswersTheNextOpener)
{
    const std::unique_ptr<sim::SimModule> module = StartModule(sim::Family::Umts, {});
    {
        Dialer dialer(module->SlavePath());
        ASSERT_TRUE(dialer.opened);
        const PppDialResult result = OnWorker([&] { return dialer.client.Dial(Settings()); });
        ASSERT_EQ(result.outcome, PppDialOutcome::Up) << result.message;
        dialer.session.Shutdown();
    }
    EXPECT_TRUE(test::RunEventsUntil([&] { return DataCallCid(*module) == 0 && SlirpChildren() == 0; }, 20000));
    ModemSession session;
    ASSERT_EQ(session.Open(QString::fromStdString(module->SlavePath()), 115200, 8, 1, 'N', 0, 2048),
        ModemSession::OpenResult::Opened);
    // The dial's ATV0 stands, as on a module whose call a dropped DTR ended.
    EXPECT_EQ(AtAnswered(session, "ATV1"), ExchangeResult::Reply);
    session.Shutdown();
}

// No slirp to run: the dial fails as a refused activation does, and the
// module stays in command mode. Needs no slirp, so it never skips.
class SimDataCallWithoutSlirp : public SimDataCall {
protected:
    void SetUp() override { PppDebugLog::SetPath((ulv::test::TempHome() + "/ulvenscoper.log").toStdString()); }
};

TEST_F(SimDataCallWithoutSlirp, TheDialFailsCleanlyAndTheModuleAnswersCommands)
{
    const std::string missing = (test::TempHome() + "/no-such-slirp").toStdString();
    const std::unique_ptr<sim::SimModule> module = StartModule(sim::Family::Gsm, missing);
    Dialer dialer(module->SlavePath());
    ASSERT_TRUE(dialer.opened);
    const PppDialResult result = OnWorker([&] { return dialer.client.Dial(Settings()); });
    EXPECT_EQ(result.outcome, PppDialOutcome::Failed);
    EXPECT_EQ(result.message, kPppDialFailed);
    // ATV0 and AT+CGDCONT answered 0, the dial 3: NO CARRIER.
    EXPECT_NE(module->Sent().find("0\r0\r3\r"), std::string::npos) << module->Sent();
    EXPECT_EQ(DataCallCid(*module), 0);
    dialer.session.Buffers().ClearReceivedText();
    EXPECT_EQ(AtAnswered(dialer.session), ExchangeResult::Reply);
    dialer.session.Shutdown();
}

} // namespace

TEST_F(PppDialPeer, TheSlirpModemProgramAnswersAfterTerminateAndEndsOnSigterm)
{
    const std::string link = (test::TempHome() + "/slirpmodem-link").toStdString();
    std::unique_ptr<SlirpModemProcess> program;
    {
        const BlockedTerm blocked;
        program = std::make_unique<SlirpModemProcess>(link);
    }
    ASSERT_TRUE(program->Started());
    const std::string pty = program->ReadLine(30s);
    ASSERT_FALSE(pty.empty()) << "the program printed no pseudo-terminal";

    ModemSession session;
    ASSERT_EQ(session.Open(QString::fromStdString(pty), 115200, 8, 1, 'N', 0, 2048), ModemSession::OpenResult::Opened);
    SessionPppLine line(session, [] { return true; });
    PppDialClient client(line);
    PppDialSettings settings;
    settings.pdpCommand = "AT+CGDCONT=1,\"IP\",\"cmnet\"";
    settings.dnsNumber = 1;
    const PppDialResult result = OnWorker([&] { return client.Dial(settings); });
    ASSERT_EQ(result.outcome, PppDialOutcome::Up) << result.message;
    // slirp runs with nothing blocked, whatever the program blocks for itself.
    EXPECT_EQ(program->ChildrenBlockedSignals(), std::vector<std::string>({"0000000000000000"}));
    EXPECT_TRUE(OnWorker([&] { return client.Terminate(result.lcp); }));

    // The call dropped with slirp gone: commands are answered again.
    session.Buffers().ClearReceivedText();
    EXPECT_EQ(AtAnswered(session), ExchangeResult::Reply);
    session.Shutdown();

    EXPECT_EQ(program->TerminateAndWait(60s), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(link)));
}
