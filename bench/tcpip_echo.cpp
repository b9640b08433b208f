// A 1 MiB echo round trip through the TCP/UDP page's send script, the simulated
// module's IP stack and a loopback echo server, with the transmitter's pacing
// and the scripts' pauses taken out (the wait clock runs fast): the data go
// out in sends of 1460 bytes, come back pushed by the module and reach the page
// through the receive router. Checks that every byte came back once and prints
// the rate.
//   build/bench/tcpip_echo [KiB]
#include "EchoServer.h"
#include "common/EventLoopWait.h"
#include "core/at/ModemSession.h"
#include "core/at/WaitClock.h"
#include "pages/data/core/TcpIpScripts.h"
#include "shell/core/CUlvenscopeApp.h"
#include "sim/SimModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>

using namespace ulv;


int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int kib = argc > 1 ? std::atoi(argv[1]) : 1024;
    // Lower-case letters only: the server's banner never appears in the data.
    QByteArray data(qsizetype(kib) * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char('a' + (i * 7 + i / 26) % 26);

    tools::EchoServer server;
    sim::SimModule module(sim::Family::Umts, {});
    std::string error;
    if (!server.Start(0, &error) || !module.Start(&error)) {
        std::fprintf(stderr, "tcpip_echo: %s\n", error.c_str());
        return 1;
    }
    module.With([](sim::ModemEngine& e) { e.State().answerLatencyMs = 0; });
    g_nModuleType = 1;
    // Pauses shrink twentyfold; the time-outs keep room for a busy machine.
    SetWaitClockSpeed(20);
    ModemSession session;
    session.Transmitter().SetPauseHook([](std::chrono::milliseconds) {});
    if (session.Open(QString::fromStdString(module.SlavePath()), 115200, 8, 1, 'N', 0, 65536)
        != ModemSession::OpenResult::Opened) {
        std::fprintf(stderr, "tcpip_echo: the port does not open\n");
        return 1;
    }
    QByteArray back;
    TcpIpShared shared;
    session.SetRouterHooks({{}, {}, [&](const QByteArray& p) { back += p; }, {}, {}, {}, [] { return false; }},
        [] { return ReceiveRouter::Page::TcpUdp; });

    std::atomic<bool> ready {false}, sent {false};
    qint64 sendMs = 0;
    QElapsedTimer clock;
    session.Workers().Start([&](TaskGate::Token& t) {
        const bool up = PdpActivate(session, t, 1, {"cmnet", {}, {}, 0}).active
            && OpenConnection(session, t, 1, {true, "127.0.0.1", false, QString::number(server.Port()), 1});
        ready = up;
        if (!up) {
            sent = true;
            return;
        }
        clock.start();
        for (qsizetype at = 0; at < data.size() && t.Active(); at += kMaxSendLength) {
            SendSettings s;
            s.data = data.mid(at, kMaxSendLength);
            s.autoQuery = false;
            SendData(session, t, 1, s, shared);
        }
        sendMs = clock.elapsed();
        sent = true;
    });
    const QRegularExpression banner(QStringLiteral("MORVANE ECHO SERVER \\[[^\\]]{19}\\] "));
    auto echoed = [&] { return QString::fromLatin1(back).remove(banner).toLatin1(); };
    // A context or connection that did not come up ends the wait at once.
    const bool finished = test::RunEventsUntil(
        [&] { return sent.load() && (!ready.load() || echoed().size() >= data.size()); }, 600000);
    const qint64 totalMs = clock.elapsed();
    const QByteArray got = echoed();
    SetWaitClockSpeed(1);
    if (!ready) {
        std::fprintf(stderr, "tcpip_echo: the context or the connection did not come up\n");
        return 1;
    }
    const bool same = got == data;
    std::printf("%d KiB sent in %lld ms, back in %lld ms: %.1f KB/s round trip; %s (%lld of %lld bytes back)\n", kib,
        static_cast<long long>(sendMs), static_cast<long long>(totalMs), data.size() / 1000.0 / (totalMs / 1000.0),
        same ? "every byte came back once" : "DATA DIFFER", static_cast<long long>(got.size()),
        static_cast<long long>(data.size()));
    session.Shutdown();
    return finished && same ? 0 : 1;
}
