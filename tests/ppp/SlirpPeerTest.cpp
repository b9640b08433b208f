// The PPP core against a real peer: slirp speaks PPP on a pseudo-terminal, and a
// small negotiation loop built from the codec, the option handling and the CHAP
// response brings the link up (LCP, PAP or CHAP-MD5, IPCP).
#include "core/ppp/ChapResponse.h"
#include "core/ppp/PppFrameCodec.h"
#include "core/ppp/PppOptions.h"
#include "common/TestEnv.h"
#include "SlirpHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace ulv;

namespace {

using Clock = std::chrono::steady_clock;

// slirp on the slave side of a pty; we hold the master.
class SlirpPeer {
public:
    SlirpPeer(const QString& home, const std::vector<std::string>& args)
    {
        if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
            return;
        termios t{};
        tcgetattr(m_slave, &t);
        cfmakeraw(&t);
        tcsetattr(m_slave, TCSANOW, &t);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, m_slave, 0);
        posix_spawn_file_actions_adddup2(&actions, m_slave, 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, m_master);

        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("HOME=", 0) != 0)
                env.emplace_back(*e);
        env.push_back("HOME=" + home.toStdString());
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        std::vector<std::string> argv = {"slirp-fullbolt", "ppp"};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> argp;
        for (auto& a : argv)
            argp.push_back(a.data());
        argp.push_back(nullptr);

        if (posix_spawnp(&m_pid, "slirp-fullbolt", &actions, nullptr, argp.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    ~SlirpPeer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_master >= 0)
            close(m_master);
        if (m_slave >= 0)
            close(m_slave);
    }

    bool Running() const { return m_pid > 0; }

    void Send(const std::string& wireHex)
    {
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(HexTextToBytes(wireHex, bytes));
        ASSERT_EQ(write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Received bytes as upper-case hex, waiting at most until the deadline.
    std::string Receive(Clock::time_point deadline)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{m_master, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0)
            return {};
        std::uint8_t buf[4096];
        const ssize_t n = read(m_master, buf, sizeof buf);
        std::string hex;
        for (ssize_t i = 0; i < n; ++i) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02X", buf[i]);
            hex += pair;
        }
        return hex;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    pid_t m_pid = -1;
};

// A flag at a byte boundary of received hex text.
std::size_t FindFlag(const std::string& hex, std::size_t from)
{
    for (std::size_t pos = from; pos + 2 <= hex.size(); pos += 2)
        if (hex.compare(pos, 2, "7E") == 0)
            return pos;
    return std::string::npos;
}

std::string IdText(int id)
{
    return PppStringToHex(std::string(1, static_cast<char>(id & 0xFF)));
}

struct Outcome {
    bool linkUp = false;
    std::string auth = "none"; // "pap", "chap", "chap-failure", "pap-failure"
    LcpOptionState lcp;
    IpcpAddressState ipcp;
    int badFrames = 0;
};

// The negotiation, just enough to bring a link up or see authentication fail.
Outcome Negotiate(SlirpPeer& peer, int authIndex, const std::string& user, const std::string& password)
{
    Outcome out;
    bool ownLcpAcked = false, peerLcpAcked = false, authDone = false;
    bool ipcpStarted = false, ownIpcpAcked = false, peerIpcpAcked = false;
    int ipcpId = 1;

    auto send = [&](std::string_view protocol, std::string_view code, std::string_view id, const std::string& data) {
        const bool lcpConfig = protocol == kPppProtocolLcp && code <= "04";
        const std::string frame = BuildPppFrame(protocol, code, id, data);
        peer.Send(lcpConfig ? EscapePppBytes(frame, 0, {}) : EscapePppBytes(frame, out.lcp.accmSeen, out.lcp.accmFlags));
    };
    auto startIpcp = [&] {
        authDone = true;
        ipcpStarted = true;
        out.ipcp.ownAddress.present = out.ipcp.ownDns1.present = 1;
        send(kPppProtocolIpcp, "01", "01", "030600000000810600000000");
    };
    auto afterLcp = [&] {
        if (!ownLcpAcked || !peerLcpAcked || authDone || ipcpStarted)
            return;
        if (!out.lcp.authSeen)
            startIpcp();
        else if (out.lcp.authKind == LcpOptionState::kAuthPap)
            send(kPppProtocolPap, "01", "02", BuildPapRequestData(user, password));
        // CHAP waits for the peer's challenge.
    };

    send(kPppProtocolLcp, "01", "01", "020600000000");
    std::string pending;
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < deadline && !(ownIpcpAcked && peerIpcpAcked)) {
        pending += peer.Receive(deadline);
        // Frames run from flag to flag; one flag may close one frame and open the next.
        for (;;) {
            const std::size_t start = FindFlag(pending, 0);
            if (start == std::string::npos) {
                pending.clear();
                break;
            }
            const std::size_t end = FindFlag(pending, start + 2);
            if (end == std::string::npos) {
                pending.erase(0, start);
                break;
            }
            const std::string wire = pending.substr(start, end + 2 - start);
            pending.erase(0, end);
            if (wire.size() <= 4)
                continue; // two flags in a row
            const std::string frame = UnescapePppBytes(wire);
            if (!CheckFrameLength(frame) || !CheckFrameFcs(frame)) {
                ++out.badFrames;
                continue;
            }
            const PppFrameFields f = SplitPppFrame(frame);
            std::string listA, listB;
            if (f.protocol == kPppProtocolLcp) {
                if (f.code == "01") {
                    switch (ParsePeerLcpRequest(f.data, listA, listB, out.lcp, authIndex)) {
                    case PeerRequestVerdict::Reject:
                        send(kPppProtocolLcp, "04", f.identifier, listA);
                        break;
                    case PeerRequestVerdict::Nak:
                        send(kPppProtocolLcp, "03", f.identifier, listB);
                        break;
                    case PeerRequestVerdict::Ack:
                        send(kPppProtocolLcp, "02", f.identifier, f.data);
                        peerLcpAcked = true;
                        break;
                    }
                } else if (f.code == "02") {
                    ownLcpAcked = true;
                } else if (f.code == "03" && ApplyLcpNak(f.data, out.lcp)) {
                    send(kPppProtocolLcp, "01", "02", f.data);
                } else if (f.code == "09") {
                    send(kPppProtocolLcp, "0A", f.identifier, f.data);
                }
                afterLcp();
            } else if (f.protocol == kPppProtocolPap) {
                out.auth = f.code == "02" ? "pap" : "pap-failure";
                if (f.code != "02")
                    return out;
                startIpcp();
            } else if (f.protocol == kPppProtocolChap) {
                if (f.code == "01") {
                    std::string size, value;
                    EXPECT_TRUE(SplitChapValue(f.data, size, value));
                    send(kPppProtocolChap, "02", f.identifier,
                        "10" + ChapMd5Response(f.identifier, value, PppStringToHex(password))
                            + PppStringToHexOr00(user));
                } else {
                    out.auth = f.code == "03" ? "chap" : "chap-failure";
                    if (f.code != "03")
                        return out;
                    startIpcp();
                }
            } else if (f.protocol == kPppProtocolIpcp) {
                if (f.code == "01") {
                    if (ParsePeerIpcpRequest(f.data, listA, listB, out.ipcp) == PeerRequestVerdict::Ack) {
                        send(kPppProtocolIpcp, "02", f.identifier, f.data);
                        peerIpcpAcked = true;
                    } else {
                        send(kPppProtocolIpcp, "04", f.identifier, listA);
                    }
                } else if (f.code == "02") {
                    AdoptIpcpValues(f.data, out.ipcp);
                    ownIpcpAcked = true;
                } else if (f.code == "03" && ApplyIpcpNak(f.data, out.ipcp)) {
                    send(kPppProtocolIpcp, "01", IdText(++ipcpId), f.data);
                } else if (f.code == "04") {
                    ApplyIpcpReject(f.data, out.ipcp);
                    std::string options = "030600000000";
                    send(kPppProtocolIpcp, "01", IdText(++ipcpId), out.ipcp.ownDns1.present ? options + "810600000000" : options);
                }
            }
        }
    }
    out.linkUp = ownIpcpAcked && peerIpcpAcked;
    return out;
}

QString PrepareHome(const QString& name, const char* secretsFile, const char* secrets)
{
    return ulv::test::PrepareSlirpHome(name, secretsFile, secrets);
}

} // namespace

TEST(SlirpPeer, LinkComesUpWithEachAuthentication)
{
    struct Case {
        const char* name;
        std::vector<std::string> slirpArgs;
        const char* secretsFile;
        const char* secrets;
        int authIndex;
        const char* user;
        const char* password;
        bool linkUp;
        const char* auth;
    } cases[] = {
        {"no authentication", {}, nullptr, nullptr, kPppAuthAuto, "", "", true, "none"},
        {"PAP", {"+pap"}, ".pap-secrets", "ulvuser * ulvpass\n", kPppAuthAuto, "ulvuser", "ulvpass", true, "pap"},
        {"PAP, wrong password", {"+pap"}, ".pap-secrets", "ulvuser * ulvpass\n", kPppAuthAuto, "ulvuser", "nope",
            false, "pap-failure"},
        {"CHAP-MD5", {"+chap"}, ".chap-secrets", "ulvuser * MyPw\n", kPppAuthChap, "ulvuser", "MyPw", true, "chap"},
        {"the PAP choice lets the peer pick CHAP", {"+chap"}, ".chap-secrets", "ulvuser * MyPw\n", kPppAuthPap,
            "ulvuser", "MyPw", true, "chap"},
        {"CHAP-MD5, wrong secret", {"+chap"}, ".chap-secrets", "ulvuser * MyPw\n", kPppAuthChap, "ulvuser", "nope",
            false, "chap-failure"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SlirpPeer peer(PrepareHome(QString("slirp-%1").arg(&c - cases), c.secretsFile, c.secrets), c.slirpArgs);
        ASSERT_TRUE(peer.Running());
        const Outcome out = Negotiate(peer, c.authIndex, c.user, c.password);
        EXPECT_EQ(out.badFrames, 0);
        EXPECT_EQ(out.auth, c.auth);
        EXPECT_EQ(out.linkUp, c.linkUp);
        if (c.linkUp) {
            EXPECT_EQ(out.ipcp.ownAddress.address, (std::array<std::uint8_t, 4>{10, 0, 2, 15}));
            EXPECT_EQ(out.ipcp.peerAddress.present, 1);
        }
    }
}
