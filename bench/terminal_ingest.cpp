// A module played on a pseudo-terminal streams numbered lines of mixed text
// (10-200 bytes) at full speed into the page host, with the terminal pane on
// screen (offscreen platform) and the terminal log on, while no task reads the
// reply buffer. Prints the sustained rate, the longest stall of the UI event
// loop, the resident memory after 64 MiB, 256 MiB and 1 GiB (as far as the run
// goes), and whether the log holds every byte: the stream again, read back from
// the file, with only the terminal's own time stamps and notes between.
//   build/bench/terminal_ingest [MiB] [on|off|both|endless]
// The second argument is the terminal's time stamps (showtime); both (the
// default) runs the program once with them on and once off, each in a fresh
// process so the memory figures stand alone. Default size 64 MiB. endless
// sends MiB as one line with no line end, then a short reply.
#include "core/at/ModemSession.h"
#include "core/at/TerminalOutput.h"
#include "serial/CSerialPort.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/SysParams.h"
#include "PtyPair.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

using namespace ulv;

namespace {

constexpr qsizetype kMiB = 1024 * 1024;

// The same lines every time, made as they are needed: a stream of a GiB is
// never held whole (it would be counted as the program's memory).
class LineStream {
public:
    // Appends whole lines until `out` holds at least `bytes`.
    void Fill(std::string& out, size_t bytes)
    {
        char number[24];
        while (out.size() < bytes) {
            m_s = m_s * 1103515245u + 12345u;
            const int len = 10 + int((m_s >> 16) % 191);
            std::snprintf(number, sizeof number, "%010llu ", static_cast<unsigned long long>(m_line++));
            out += number;
            for (int i = 0; i < len - 2; ++i) {
                m_s = m_s * 1103515245u + 12345u;
                out.push_back(char(' ' + (m_s >> 16) % 95));
            }
            out += "\r\n";
        }
    }
    unsigned long long Lines() const { return m_line; }

private:
    std::uint32_t m_s = 7;
    unsigned long long m_line = 0;
};

// Resident and peak resident memory of this process, in MiB.
std::pair<double, double> ResidentMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    double rss = 0, hwm = 0;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2 && parts[0] == "VmRSS:")
                rss = parts[1].toDouble() / 1024;
            if (parts.size() >= 2 && parts[0] == "VmHWM:")
                hwm = parts[1].toDouble() / 1024;
        }
    }
    return {rss, hwm};
}

// Counts the received bytes on their way into the terminal pane.
class CountingSink : public TerminalSink {
public:
    explicit CountingSink(TerminalSink* pane)
        : m_pane(pane)
    {
    }
    void OnTerminalOutput(int kind, const QByteArray& text) override
    {
        if (kind == kTerminalReceived)
            received += text.size();
        m_pane->OnTerminalOutput(kind, text);
    }
    void OnTerminalEntry(const TerminalEntry& entry) override
    {
        if (entry.kind == kTerminalReceived)
            received += entry.text.size();
        m_pane->OnTerminalEntry(entry);
    }
    qsizetype received = 0;

private:
    TerminalSink* m_pane;
};

// A time stamp block of the terminal: "[yyyy-MM-dd HH:mm:ss:zzz_R:] ".
bool IsStamp(const char* p)
{
    static const char shape[] = "[dddd-dd-dd dd:dd:dd:ddd_R:] ";
    for (int i = 0; i < 29; ++i) {
        if (shape[i] == 'd' ? (p[i] < '0' || p[i] > '9') : p[i] != shape[i])
            return false;
    }
    return true;
}

struct LogCheck {
    bool exact = false;
    unsigned long long lines = 0, stamps = 0, notes = 0;
    qint64 mismatchAt = -1;
};

// Reads the log back and walks it against the stream made again: every
// stream byte in order, with nothing between but stamp blocks and the reply
// buffer's note.
LogCheck CheckLog(const QString& path, qsizetype streamBytes)
{
    LogCheck check;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return check;
    const QByteArray note = QByteArray("\r\n") + kUnreadTextDropped + "\r\n";
    LineStream lines;
    std::string expected;
    size_t e = 0;
    qsizetype made = 0;
    QByteArray log;
    qsizetype l = 0;
    qint64 logBase = 0;
    for (;;) {
        if (log.size() - l < 256 && !f.atEnd()) {
            logBase += l;
            log = log.mid(l) + f.read(4 * kMiB);
            l = 0;
        }
        if (expected.size() - e < 1 && made < streamBytes) {
            expected.erase(0, e);
            e = 0;
            const size_t before = expected.size();
            lines.Fill(expected, std::min<size_t>(4 * kMiB, size_t(streamBytes - made)));
            made += qsizetype(expected.size() - before);
        }
        const bool logLeft = l < log.size();
        const bool expectedLeft = e < expected.size();
        if (!logLeft && !expectedLeft) {
            check.exact = true;
            check.lines = lines.Lines();
            return check;
        }
        if (logLeft && expectedLeft && log[l] == expected[e]) {
            // Runs of equal bytes go in one step.
            qsizetype n = std::min<qsizetype>(log.size() - l, qsizetype(expected.size() - e));
            qsizetype k = 0;
            while (k < n && log[l + k] == expected[e + k])
                ++k;
            l += k;
            e += size_t(k);
            continue;
        }
        if (log.size() - l >= 29 && IsStamp(log.constData() + l)) {
            ++check.stamps;
            l += 29;
            continue;
        }
        if (log.mid(l, note.size()) == note) {
            ++check.notes;
            l += note.size();
            continue;
        }
        check.mismatchAt = logBase + l;
        return check;
    }
}

// The terminal pane on screen with its log, the page host on a pseudo-terminal
// whose other side plays the module, and the stall probe.
struct Rig {
    QTemporaryDir home;
    CTestView2 terminal;
    CountingSink counter{&terminal};
    CTestView1 host;
    // The writer blocks while the pseudo-terminal is full, as a module's
    // serial line would: nothing queues up outside the program.
    PtyPair module;
    QElapsedTimer tick;
    qint64 longestStall = 0;
    QTimer probe;

    Rig(const char* prefix, bool stamps)
    {
        g_sysParams.showtime = stamps ? 1 : 0;
        g_sysParams.showCRLF = 0;
        g_sysParams.savelog = 1;
        g_sysParams.logpath = home.path();
        g_sysParams.logname_prefix = prefix;
        g_sysParams.logfilesize_limited = std::numeric_limits<std::int32_t>::max();
        terminal.resize(600, 800);
        if (!qEnvironmentVariableIsSet("ULV_BENCH_HIDDEN"))
            terminal.show();
        terminal.ChooseLogFile();
        SetTerminalSink(&counter);
        host.resize(450, 800);
        host.show();
        // The longest gap between two turns of a 5 ms timer is the longest stall.
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [this] {
            if (tick.isValid())
                longestStall = std::max(longestStall, tick.elapsed());
            tick.restart();
        });
    }
    ~Rig() { SetTerminalSink(&terminal); }
    bool Open()
    {
        if (!host.OpenCommport(module.SlavePath(), 115200, 8, 1, 0, 0, 2048)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(module.SlavePath()));
            return false;
        }
        probe.start();
        return true;
    }
};

int RunOnce(QApplication& app, qsizetype total, bool stamps)
{
    Rig rig("ingest", stamps);
    if (!rig.Open())
        return 1;
    CTestView2& terminal = rig.terminal;
    CountingSink& counter = rig.counter;
    CTestView1& host = rig.host;
    PtyPair& module = rig.module;
    QTimer& probe = rig.probe;
    const qint64& longestStall = rig.longestStall;

    std::printf("time stamps %s, %lld MiB\n", stamps ? "on" : "off", static_cast<long long>(total / kMiB));
    std::printf("  resident at start: %.0f MiB\n", ResidentMiB().first);
    std::fflush(stdout);

    QElapsedTimer clock;
    clock.start();
    std::atomic<qsizetype> sent{0};
    std::thread writer([&] {
        LineStream lines;
        std::string piece;
        while (sent.load() < total) {
            piece.clear();
            lines.Fill(piece, size_t(std::min<qsizetype>(64 * 1024, total - sent.load())));
            module.Write(QByteArray::fromRawData(piece.data(), qsizetype(piece.size())));
            sent += qsizetype(piece.size());
        }
    });
    const qsizetype marks[] = {64 * kMiB, 256 * kMiB, 1024 * kMiB};
    size_t nextMark = 0;
    for (;;) {
        app.processEvents(QEventLoop::AllEvents, 50);
        while (nextMark < std::size(marks) && counter.received >= marks[nextMark]) {
            const auto [rss, hwm] = ResidentMiB();
            std::printf("  resident after %4lld MiB: %.0f MiB (peak so far %.0f MiB)\n",
                static_cast<long long>(marks[nextMark] / kMiB), rss, hwm);
            std::fflush(stdout);
            ++nextMark;
        }
        if (sent.load() >= total && counter.received >= sent.load())
            break;
        if (clock.elapsed() > 3600 * 1000)
            break;
    }
    const double secs = clock.nsecsElapsed() / 1e9;
    writer.join();
    probe.stop();
    const auto [rss, hwm] = ResidentMiB();
    host.CloseCommport();

    const qsizetype got = counter.received;
    std::printf("  bytes: %lld in %.2f s\n", static_cast<long long>(got), secs);
    std::printf("  sustained: %.2f MB/s\n", got / secs / 1e6);
    std::printf("  longest event-loop stall: %lld ms\n", static_cast<long long>(longestStall));
    std::printf("  resident at the end: %.0f MiB, peak %.0f MiB\n", rss, hwm);
    std::printf("  terminal keeps: %lld bytes of the newest output\n", static_cast<long long>(terminal.RecordedBytes()));

    const QString logPath = terminal.Log().Path();
    const QByteArray shown = terminal.TerminalText();
    SetTerminalSink(&terminal);
    const LogCheck check = CheckLog(logPath, sent.load());
    // What the box keeps is the newest part of the log, byte for byte.
    QFile log(logPath);
    bool tail = false;
    if (log.open(QIODevice::ReadOnly) && log.size() >= shown.size()) {
        log.seek(log.size() - shown.size());
        tail = log.read(shown.size()) == shown;
    }
    if (check.exact)
        std::printf("  terminal log: every byte (%llu lines, %llu stamps, %llu notes)\n",
            check.lines, check.stamps, check.notes);
    else
        std::printf("  terminal log: MISMATCH at byte %lld\n", static_cast<long long>(check.mismatchAt));
    std::printf("  terminal shows the log's newest %lld bytes: %s\n", static_cast<long long>(shown.size()),
        tail ? "yes" : "NO");
    return check.exact && tail && got == sent.load() ? 0 : 1;
}

// One line of MiB bytes with no line end, then a short reply: how long after
// the reply was read the box shows it, and the longest stall meanwhile. The
// box breaks the line for display; the log keeps it whole.
int RunEndless(QApplication& app, qsizetype total)
{
    Rig rig("endless", false);
    if (!rig.Open())
        return 1;
    const QByteArray reply = "\r\nOK\r\n";
    std::thread writer([&] {
        const QByteArray piece(64 * 1024, 'z');
        for (qsizetype sent = 0; sent < total; sent += piece.size())
            rig.module.Write(piece.left(std::min<qsizetype>(piece.size(), total - sent)));
        rig.module.Write(reply);
    });
    QElapsedTimer clock;
    clock.start();
    while (rig.counter.received < total + reply.size() && clock.elapsed() < 3600 * 1000)
        app.processEvents(QEventLoop::AllEvents, 50);
    QElapsedTimer shown;
    shown.start();
    const QTextDocument* doc = rig.terminal.Terminal()->document();
    while (!doc->lastBlock().previous().text().endsWith(QStringLiteral("OK")) && shown.elapsed() < 600 * 1000)
        app.processEvents(QEventLoop::AllEvents, 5);
    const qint64 shownMs = shown.elapsed();
    writer.join();
    rig.probe.stop();
    rig.host.CloseCommport();
    int longestBlock = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        longestBlock = std::max(longestBlock, b.length());
    QFile log(rig.terminal.Log().Path());
    // Beside the note that nobody read the oldest part of the line.
    const QByteArray dropped = QByteArray("\r\n") + kUnreadTextDropped + "\r\n";
    const bool whole = log.open(QIODevice::ReadOnly)
        && log.readAll().replace(dropped, "").contains(QByteArray(total, 'z') + "\r\n");
    std::printf("one line of %lld MiB, then a reply\n", static_cast<long long>(total / kMiB));
    std::printf("  all read in %.2f s\n", clock.nsecsElapsed() / 1e9 - shownMs / 1e3);
    std::printf("  reply shown %lld ms after it was read\n", static_cast<long long>(shownMs));
    std::printf("  longest event-loop stall: %lld ms\n", static_cast<long long>(rig.longestStall));
    std::printf("  longest line in the box: %d characters\n", longestBlock);
    std::printf("  terminal log: the line %s\n", whole ? "whole" : "NOT WHOLE");
    return whole ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const int mib = argc > 1 ? std::max(1, atoi(argv[1])) : 64;
    const QByteArray mode = argc > 2 ? QByteArray(argv[2]) : QByteArray("both");
    if (mode == "both") {
        // Each setting in a process of its own.
        int rc = 0;
        for (const char* m : {"on", "off"}) {
            QProcess run;
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            run.start(QString::fromLocal8Bit(argv[0]), {QString::number(mib), QString::fromLatin1(m)});
            run.waitForFinished(-1);
            rc |= run.exitCode();
        }
        return rc;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    if (mode == "endless")
        return RunEndless(app, qsizetype(mib) * kMiB);
    return RunOnce(app, qsizetype(mib) * kMiB, mode == "on");
}
