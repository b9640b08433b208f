// The PPP link against slirp: time from ATD*99# to the dial's end (IPCP done
// and the line quiet), and UDP round trips per second over the link to a
// loopback echo server. Usage: ppp_link [dials] [seconds of UDP]
#include "common/EventLoopWait.h"
#include "core/at/ModemSession.h"
#include "core/ppp/PppDialClient.h"
#include "core/ppp/PppOptions.h"
#include "core/ppp/PppUdp.h"
#include "core/ppp/SessionPppLine.h"
#include "sim/SlirpBridge.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace ulv;
using Clock = std::chrono::steady_clock;

namespace {

// Notes when ATD*99# goes out.
class TimedLine : public SessionPppLine {
public:
    using SessionPppLine::SessionPppLine;
    void SendText(const std::string& text, bool lineEnd) override
    {
        if (text == "ATD*99#")
            atd = Clock::now();
        SessionPppLine::SendText(text, lineEnd);
    }
    void Note(int, const std::string&) override {}
    Clock::time_point atd;
};

template <class Fn>
auto OnWorker(Fn fn)
{
    auto future = std::async(std::launch::async, fn);
    test::RunEventsUntil([&] { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 120000);
    return future.get();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (sim::SlirpBridge::SlirpProgram().empty()) {
        std::fprintf(stderr, "slirp is not installed\n");
        return 1;
    }
    const int dials = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTemporaryDir home;
    PppDebugLog::SetPath((home.path() + "/ulvenscoper.log").toStdString());

    int echoFd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(echoFd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(echoFd, reinterpret_cast<sockaddr*>(&a), &len);
    std::atomic<bool> stop{false};
    std::thread echo([&] {
        char buf[2048];
        while (!stop) {
            pollfd p{echoFd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            sockaddr_in from{};
            socklen_t fl = sizeof from;
            const ssize_t n = recvfrom(echoFd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            if (n > 0)
                sendto(echoFd, buf, static_cast<std::size_t>(n), 0, reinterpret_cast<sockaddr*>(&from), fl);
        }
    });

    for (int i = 0; i < dials; ++i) {
        sim::SlirpBridge bridge(home.path().toStdString(), {});
        ModemSession session;
        session.Open(QString::fromStdString(bridge.SlavePath()), 115200, 8, 1, 'N', 0, 2048);
        TimedLine line(session, [] { return true; });
        PppDialClient client(line);
        const PppDialSettings settings{"", "", "AT+CGDCONT=1,\"IP\",\"cmnet\"", kPppAuthNone, 0};
        const PppDialResult r = OnWorker([&] { return client.Dial(settings); });
        const double upMs = std::chrono::duration<double, std::milli>(Clock::now() - line.atd).count();
        std::printf("dial %d: %s, ATD to link up %.0f ms (of which the quiet line %d ms)\n", i + 1,
            r.outcome == PppDialOutcome::Up ? "up" : "FAILED", upMs, client.timing.settleIdle);
        if (r.outcome != PppDialOutcome::Up || i + 1 < dials) {
            session.Shutdown();
            continue;
        }

        int received = 0;
        PppRawReceiver rx([&](const std::vector<std::uint8_t>&) { ++received; });
        session.m_pppRawReceiver = [&](const QByteArray& c) {
            rx.Feed(reinterpret_cast<const std::uint8_t*>(c.constData()), static_cast<std::size_t>(c.size()));
        };
        const PppUdpFrame frame = BuildPppUdpFrame(
            {r.ipcp.ownAddress.address, {10, 0, 2, 2}, "4321", std::to_string(ntohs(a.sin_port)), "0123456789abcdef"},
            r.lcp);
        const QByteArray wire(reinterpret_cast<const char*>(frame.wire.data()), static_cast<qsizetype>(frame.wire.size()));
        const auto start = Clock::now();
        int trips = 0;
        while (Clock::now() - start < std::chrono::seconds(seconds)) {
            const int before = received;
            session.Transmitter().SendRawBytes(wire);
            if (!test::RunEventsUntil([&] { return received > before; }, 5000))
                break;
            ++trips;
        }
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("UDP round trips: %d in %.1f s = %.0f per second\n", trips, s, trips / s);
        session.Shutdown();
    }
    stop = true;
    echo.join();
    close(echoFd);
    return 0;
}
