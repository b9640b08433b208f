// The ulvsim program: standalone, side by side, faults file, hang-up, exit.

#include "sim/ControlClient.h"
#include "sim/RawPort.h"
#include "sim/SlirpCall.h"

#include "common/TestEnv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <csignal>
#include <fstream>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace std::chrono_literals;
using ulv::sim::test::RawPort;

namespace {

// One ulvsim process with its standard output on a pipe.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        args.insert(args.begin(), ULVSIM_PATH);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, ULVSIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~SimProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }

    // The next line the program printed, or "" after the time-out.
    std::string ReadLine(std::chrono::milliseconds timeout = 5s)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto nl = m_buffer.find('\n');
            if (nl != std::string::npos) {
                std::string line = m_buffer.substr(0, nl);
                m_buffer.erase(0, nl + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p {m_out, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0)
                return {};
            char buf[256];
            const ssize_t n = ::read(m_out, buf, sizeof buf);
            if (n <= 0)
                return {};
            m_buffer.append(buf, std::size_t(n));
        }
    }

    // Sends a signal and returns the exit status (-1 when it did not exit in time).
    int Signal(int sig)
    {
        ::kill(m_pid, sig);
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            ::usleep(10000);
        }
        return -1;
    }

    int Wait()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
};

std::string Temp(const std::string& name)
{
    return ulv::test::TempHome().toStdString() + "/" + name;
}

std::string LinkTarget(const std::string& link)
{
    char buf[256] = {};
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

std::string Ask(RawPort& port, const std::string& command, const std::string& until = "OK\r\n")
{
    port.Write(command + "\r\n");
    return port.ReadUntil(until);
}

} // namespace

TEST(UlvsimProgram, TwoInstancesOnTwoLinksAnswerSideBySide)
{
    const std::string linkA = Temp("ttyA");
    const std::string linkB = Temp("ttyB");
    SimProcess gsm({"--family", "gsm", "--revision", "P21B02", "--link", linkA});
    SimProcess umts({"--family", "umts", "--revision", "RX50C01", "--link", linkB});
    const std::string pathA = gsm.ReadLine();
    const std::string pathB = umts.ReadLine();
    ASSERT_FALSE(pathA.empty());
    ASSERT_FALSE(pathB.empty());
    EXPECT_NE(pathA, pathB);
    EXPECT_EQ(LinkTarget(linkA), pathA);
    EXPECT_EQ(LinkTarget(linkB), pathB);

    RawPort a(linkA);
    RawPort b(linkB);
    ASSERT_TRUE(a.IsOpen());
    ASSERT_TRUE(b.IsOpen());
    const std::string replyA = Ask(a, "ATI");
    const std::string replyB = Ask(b, "ATI");
    EXPECT_NE(replyA.find("Revision: P21B02\r\n"), std::string::npos) << replyA;
    EXPECT_NE(replyB.find("Revision: RX50C01\r\n"), std::string::npos) << replyB;
    EXPECT_NE(Ask(a, "AT+JINISTAT").find("+JINISTAT: 3"), std::string::npos);
    EXPECT_NE(Ask(b, "AT+JINISTAT").find("+JINISTAT: 7"), std::string::npos);

    EXPECT_EQ(gsm.Signal(SIGTERM), 0);
    EXPECT_EQ(umts.Signal(SIGINT), 0);
    struct stat st {};
    EXPECT_NE(::lstat(linkA.c_str(), &st), 0);
    EXPECT_NE(::lstat(linkB.c_str(), &st), 0);
}

TEST(UlvsimProgram, FaultsFileAndHangUpStartAFreshModuleOnTheLink)
{
    const std::string faults = Temp("faults.txt");
    {
        std::ofstream out(faults);
        out << "# the SIM is missing\nAT+CPIN? | cme 10\nATH | hangup | 1\n";
    }
    const std::string link = Temp("ttyF");
    SimProcess sim({"--family", "umts", "--link", link, "--faults", faults});
    const std::string first = sim.ReadLine();
    ASSERT_FALSE(first.empty());
    {
        RawPort port(link);
        port.Write("AT+CPIN?\r\n");
        EXPECT_EQ(port.ReadUntil("10\r\n"), "AT+CPIN?\r\r\n+CME ERROR: 10\r\n");
        EXPECT_NE(Ask(port, "ATI").find("Revision: RX70B03\r\n"), std::string::npos);
        port.Write("ATH\r\n");
        port.ReadUntil("never", 2s);
        EXPECT_TRUE(port.HungUp());
    }
    const std::string second = sim.ReadLine();
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(LinkTarget(link), second);
    RawPort port(link);
    EXPECT_EQ(Ask(port, "ATH"), "ATH\r\r\nOK\r\n");
    // The fault without a count is still in force on the fresh module.
    port.Write("AT+CPIN?\r\n");
    EXPECT_EQ(port.ReadUntil("10\r\n"), "AT+CPIN?\r\r\n+CME ERROR: 10\r\n");
    EXPECT_EQ(sim.Signal(SIGTERM), 0);
}

TEST(UlvsimProgram, BadArgumentsAndBadFaultFilesExitWithUsage)
{
    const std::string faults = Temp("bad-faults.txt");
    {
        std::ofstream out(faults);
        out << "AT+CSQ | frobnicate\n";
    }
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--family", "cdma"},
        {"--family"},
        {"--family", "gsm", "--colour", "red"},
        {"--family", "gsm", "--faults", faults},
        {"--family", "gsm", "--faults", faults + ".missing"},
        {"--family", "umts", "--map", "203.0.113.7:6003"},
        {"--family", "umts", "--map", "203.0.113.7=4000"},
        {"--family", "umts", "--map", ":6003=4000"},
        {"--family", "umts", "--map", "203.0.113.7:0=4000"},
        {"--family", "umts", "--map", "203.0.113.7:6003=70000"},
        {"--family", "umts", "--map", "203.0.113.7:port=4000"},
        {"--family", "gsm", "--control", faults}, // a file that is not a socket stays
    };
    for (const auto& args : cases) {
        SimProcess sim(args);
        EXPECT_EQ(sim.Wait(), 2) << (args.empty() ? "(none)" : args.back());
    }
}

TEST(UlvsimProgram, HelpListsTheOptionsAndExits)
{
    SimProcess sim({"--help"});
    EXPECT_EQ(sim.Wait(), 0);
    // The program has ended: each read returns at once, blank lines and the end alike.
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += sim.ReadLine() + "\n";
    for (const char* option : {"usage: ulvsim", "--family gsm|umts", "--revision REV", "--link PATH", "--faults FILE",
             "--control PATH", "--slirp PROGRAM", "ring NUMBER", "hangup", "sms NUMBER TEXT", "pdu HEX", "signal RSSI [BER]",
             "reg STAT [GPRS]", "unplug"})
        EXPECT_NE(text.find(option), std::string::npos) << option << " in\n" << text;
}

TEST(UlvsimProgram, MapSendsAnOutsideAddressToALoopbackPort)
{
    // A loopback server standing in for the far end.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const int local = ntohs(addr.sin_port);

    const std::string link = Temp("ttyMap");
    SimProcess sim({"--family", "umts", "--link", link, "--map", "203.0.113.7:6003=" + std::to_string(local)});
    ASSERT_FALSE(sim.ReadLine().empty());
    RawPort port(link);
    ASSERT_TRUE(port.IsOpen());
    EXPECT_NE(Ask(port, "AT+JICSGP=1,1,\"cmnet\",\"\",\"\",0").find("OK"), std::string::npos);
    EXPECT_NE(Ask(port, "AT+JIACT=1").find("OK"), std::string::npos);

    const struct {
        const char* address;
        int port;
        const char* outcome;
        bool reachesServer;
    } cases[] = {
        {"203.0.113.7", 6003, "+JIOPEN: 0,0", true},
        {"203.0.113.7", 6004, "+JIOPEN: 0,1", false}, // the same address, another port: not mapped
        {"203.0.113.8", 6003, "+JIOPEN: 0,1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + ":" + std::to_string(c.port));
        port.Write("AT+JIOPEN=1,0,\"TCP\",\"" + std::string(c.address) + "\"," + std::to_string(c.port) + ",0,1\r\n");
        const std::string reply = port.ReadUntil(std::string(c.outcome) + "\r\n", 10s);
        EXPECT_NE(reply.find(c.outcome), std::string::npos) << reply;
        if (c.reachesServer) {
            pollfd p {listener, POLLIN, 0};
            ASSERT_EQ(::poll(&p, 1, 10000), 1) << "the mapped open never reached the loopback server";
            const int conn = ::accept(listener, nullptr, nullptr);
            EXPECT_GE(conn, 0);
            if (conn >= 0)
                ::close(conn);
            EXPECT_NE(Ask(port, "AT+JICLOSE=0").find("OK"), std::string::npos);
        }
    }
    ::close(listener);
    EXPECT_EQ(sim.Signal(SIGTERM), 0);
}


TEST(UlvsimProgram, TheControlRingsAndUnplugsTheRunningModule)
{
    const std::string link = Temp("ttyC");
    const std::string control = Temp("ctl");
    SimProcess sim({"--family", "gsm", "--link", link, "--control", control});
    const std::string first = sim.ReadLine();
    ASSERT_FALSE(first.empty());
    ulv::sim::test::ControlClient client(control);
    ASSERT_TRUE(client.Connected());
    {
        RawPort port(link);
        ASSERT_TRUE(port.IsOpen());
        EXPECT_EQ(Ask(port, "AT+CLIP=1"), "AT+CLIP=1\r\r\nOK\r\n");
        EXPECT_EQ(client.Send("ring +8613912345678"), "ok ringing");
        EXPECT_EQ(port.ReadUntil("145\r\n", 10s), "\r\nRING\r\n\r\n+CLIP: \"+8613912345678\",145\r\n");
        EXPECT_EQ(client.Send("unplug"), "ok");
        port.ReadUntil("never", 10s); // ends when the line drops
        EXPECT_TRUE(port.HungUp());
    }
    // Plugged in again: a fresh module on a new terminal, the same control.
    const std::string second = sim.ReadLine(15s);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(LinkTarget(link), second);
    RawPort port(link);
    EXPECT_EQ(client.Send("sms 10086 hi"), "ok stored at 1");
    EXPECT_EQ(port.ReadUntil(",1\r\n", 10s), "\r\n+CMTI: \"SM\",1\r\n");
    EXPECT_EQ(sim.Signal(SIGTERM), 0);
    struct stat st {};
    EXPECT_NE(::lstat(control.c_str(), &st), 0) << "the control socket is removed at the end";
}

TEST(UlvsimProgram, ADataDialRunsSlirpUntilTheEscapeOrAnswersNoCarrierWithoutIt)
{
    // slirp's HOME is made under TMPDIR: it goes when the program ends.
    const std::string tmp = Temp("ulvsim-tmp");
    std::filesystem::create_directories(tmp);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string keptTmp = oldTmp ? oldTmp : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    const bool installed = !ulv::sim::SlirpCall::InstalledProgram().empty();
    const struct {
        const char* slirp; // empty: the installed one
        bool connects;
    } cases[] = {{"", true}, {"/nonexistent/slirp-fullbolt", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(*c.slirp ? c.slirp : "installed slirp");
        if (c.connects && !installed)
            continue; // no slirp (Debian package slirp): nothing to connect to
        const std::string link = Temp("ttyData");
        std::vector<std::string> args = {"--family", "gsm", "--link", link};
        if (*c.slirp)
            args.insert(args.end(), {"--slirp", c.slirp});
        SimProcess sim(args);
        ASSERT_FALSE(sim.ReadLine().empty());
        {
            RawPort port(link);
            ASSERT_TRUE(port.IsOpen());
            EXPECT_NE(Ask(port, "AT+CGDCONT=1,\"IP\",\"cmnet\"").find("OK"), std::string::npos);
            if (c.connects) {
                EXPECT_NE(Ask(port, "ATD*99#", "CONNECT\r\n").find("\r\nCONNECT\r\n"), std::string::npos);
                ASSERT_TRUE(port.Write("+++"));
                EXPECT_NE(port.ReadUntil("NO CARRIER\r\n", 10s).find("\r\nNO CARRIER\r\n"), std::string::npos);
            } else {
                EXPECT_NE(Ask(port, "ATD*99#", "NO CARRIER\r\n").find("\r\nNO CARRIER\r\n"), std::string::npos);
            }
            EXPECT_NE(Ask(port, "AT").find("\r\nOK\r\n"), std::string::npos);
        }
        EXPECT_EQ(sim.Signal(SIGTERM), 0);
        EXPECT_TRUE(std::filesystem::is_empty(tmp));
    }
    if (oldTmp)
        ::setenv("TMPDIR", keptTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    if (!installed)
        GTEST_SKIP() << "slirp is not installed (Debian package slirp): only the dial without it was tried";
}
