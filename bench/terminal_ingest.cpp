// The simulated module streams mixed text (lines of 10-200 bytes) at full
// pseudo-terminal speed into the page host, with the terminal pane on screen
// (offscreen platform) and the terminal log on. Prints the sustained rate, the
// longest stall of the UI event loop, and whether the log holds every byte.
//   build/bench/terminal_ingest [MiB]
#include "StallProbe.h"
#include "serial/CSerialPort.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/SysParams.h"
#include "sim/SimModule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <thread>

using namespace ulv;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    const qsizetype total = qsizetype(argc > 1 ? std::max(1, atoi(argv[1])) : 64) * 1024 * 1024;

    // Lines of 10-200 printable bytes; the same text is compared with the log.
    std::string stream;
    stream.reserve(size_t(total) + 256);
    std::uint32_t s = 7;
    while (qsizetype(stream.size()) < total) {
        s = s * 1103515245u + 12345u;
        const int len = 10 + int((s >> 16) % 191);
        for (int i = 0; i < len - 2; ++i) {
            s = s * 1103515245u + 12345u;
            stream.push_back(char(' ' + (s >> 16) % 95));
        }
        stream += "\r\n";
    }

    g_sysParams.showtime = 0;
    g_sysParams.showCRLF = 0;
    g_sysParams.savelog = 1;
    g_sysParams.logpath = home.path();
    g_sysParams.logname_prefix = "ingest";
    g_sysParams.logfilesize_limited = std::numeric_limits<std::int32_t>::max();

    CTestView2 terminal;
    terminal.resize(600, 800);
    if (!qEnvironmentVariableIsSet("ULV_BENCH_HIDDEN")) terminal.show();
    terminal.ChooseLogFile();
    CTestView1 host;
    host.resize(450, 800);
    host.show();

    sim::SimModule module(sim::Family::Gsm, "");
    // The module's own byte logs would copy the whole stream once more on its
    // thread; what is measured is the program's side.
    module.SetLogging(false);
    std::string error;
    if (!module.Start(&error) || !host.OpenCommport(QString::fromStdString(module.SlavePath()), 115200, 8, 1, 0, 0, 2048)) {
        std::fprintf(stderr, "cannot start: %s\n", error.c_str());
        return 1;
    }

    bench::StallProbe probe;

    QElapsedTimer clock;
    clock.start();
    std::thread writer([&] {
        const size_t piece = 64 * 1024;
        for (size_t pos = 0; pos < stream.size(); pos += piece)
            module.InjectBytes(stream.substr(pos, piece));
    });
    const QByteArray expected = QByteArray::fromStdString(stream);
    while (terminal.RecordedBytes() < expected.size()) {
        app.processEvents(QEventLoop::AllEvents, 50);
        if (clock.elapsed() > 600000)
            break;
    }
    const double secs = clock.nsecsElapsed() / 1e9;
    writer.join();
    terminal.FlushPending();
    probe.Stop();
    const qint64 longestStall = probe.LongestMs();

    QFile log(terminal.Log().Path());
    log.open(QIODevice::ReadOnly);
    const bool exact = log.readAll() == expected && terminal.TerminalText() == expected;
    std::printf("bytes: %lld in %.2f s\n", static_cast<long long>(expected.size()), secs);
    std::printf("sustained: %.2f MB/s\n", expected.size() / secs / 1e6);
    std::printf("longest event-loop stall: %lld ms\n", static_cast<long long>(longestStall));
    std::printf("terminal log: %s\n", exact ? "every byte" : "MISMATCH");
    host.CloseCommport();
    return exact ? 0 : 1;
}
