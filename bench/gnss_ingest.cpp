// A 10 Hz receiver with 40 satellites in view (GSV groups for GPS, GLONASS,
// Galileo and BeiDou, then GGA, GSA, RMC, VTG) streams NMEA into the GNSS page
// on screen (offscreen platform) through a pseudo-terminal the way a module's
// NMEA port hands it over: every sentence in pieces of 1 to 64 bytes spread
// over the tenth of a second. Each tab is shown in turn, the Map tab (the
// embedded browser) included, and for each the page's CPU time is printed
// (the receiver runs as a process of its own and is not counted):
// the program's own process (user + system, every thread) and, apart, the
// browser's helper processes. The figures are CPU time, not wall time, so
// other work on the machine does not inflate them; the load average is
// printed beside them. At the end the labels must show what the parser shows
// for the whole recorded stream in one piece (what `ulvprobe nmea` prints for
// the stream, which is kept at LOG-PATH when one is given).
//   build/bench/gnss_ingest [SECONDS-PER-TAB [LOG-PATH [TAB...]]]
// TAB: 0 World map, 1 Sky view, 2 Signal column chart, 3 Map, 4 NMEA data
// (every tab when none is given).
#include "ProcessCpu.h"
#include "core/gnss/NmeaParser.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/chrome/CFolderTabCtrl.h"
#include "ui/maps/CWebBrowser2.h"
#include "ui/maps/MapEngine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

static void InitMapPages()
{
    Q_INIT_RESOURCE(ulvmaps);
}

using namespace ulv;

namespace {

std::string WithChecksum(const std::string& body)
{
    unsigned char sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return body + tail;
}

// The sentences of one epoch at tenth-second t.
std::vector<std::string> Epoch(int t)
{
    char b[256];
    std::vector<std::string> out;
    const int hh = 12 + t / 36000 % 12, mm = (t / 600) % 60, ss = (t / 10) % 60, ds = t % 10;
    const double lat = 5958.0 + 0.001 * (t % 1000), lon = 1045.0 + 0.001 * (t % 700);
    auto gsv = [&](const char* tag, int first, int count) {
        const int messages = (count + 3) / 4;
        for (int m = 0; m < messages; ++m) {
            std::snprintf(b, sizeof b, "%s,%d,%d,%02d", tag, messages, m + 1, count);
            std::string s = b;
            for (int k = m * 4; k < std::min(count, m * 4 + 4); ++k) {
                const int id = first + k;
                std::snprintf(b, sizeof b, ",%02d,%02d,%03d,%02d", id, 5 + (id * 7 + t / 10) % 85,
                    (id * 37 + t) % 360, 20 + (id * 3 + t) % 30);
                s += b;
            }
            out.push_back(WithChecksum(s));
        }
    };
    gsv("$GPGSV", 1, 12);
    gsv("$GLGSV", 65, 10);
    gsv("$GAGSV", 1, 10);
    gsv("$GBGSV", 1, 8);
    std::snprintf(b, sizeof b, "$GPGGA,%02d%02d%02d.%d0,%.4f,N,%05.4f,E,1,12,0.8,94.%d,M,18.0,M,,", hh, mm, ss, ds,
        lat, lon, t % 10);
    out.push_back(WithChecksum(b));
    out.push_back(WithChecksum("$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,1.5,0.8,1.2"));
    std::snprintf(b, sizeof b, "$GPRMC,%02d%02d%02d.%d0,A,%.4f,N,%05.4f,E,0.5,54.7,111226,,,A", hh, mm, ss, ds, lat,
        lon);
    out.push_back(WithChecksum(b));
    std::snprintf(b, sizeof b, "$GPVTG,054.7,T,034.4,M,%05.1f,N,%05.1f,K,A", 0.5 + (t % 7), 0.9 + (t % 7) * 1.852);
    out.push_back(WithChecksum(b));
    return out;
}

// CPU seconds of every process descended from this one but the receiver (the
// browser's helpers).
double DescendantsCpuSeconds(int receiver)
{
    std::map<int, int> parentOf;
    std::map<int, double> cpuOf;
    const long tick = sysconf(_SC_CLK_TCK);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (!ok)
            continue;
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // Fields after the command name, which may hold blanks: state ppid ... utime(14) stime(15).
        const QList<QByteArray> rest = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (rest.size() < 13)
            continue;
        parentOf[pid] = rest[1].toInt();
        cpuOf[pid] = (rest[11].toDouble() + rest[12].toDouble()) / double(tick);
    }
    double sum = 0;
    const int self = int(::getpid());
    for (const auto& [pid, parent] : parentOf) {
        if (pid == receiver)
            continue;
        for (int p = parent, hops = 0; p > 1 && hops < 16; ++hops) {
            if (p == self) {
                sum += cpuOf[pid];
                break;
            }
            auto it = parentOf.find(p);
            if (it == parentOf.end())
                break;
            p = it->second;
        }
    }
    return sum;
}

// Plays epochs on the pseudo-terminal until the pipe from the benchmark
// closes, appending every piece to the log as it goes. It runs in a process of
// its own, as the module behind a port does: its time is not the program's.
[[noreturn]] void PlayReceiver(int master, int stopFd, const std::string& logPath)
{
    FILE* log = std::fopen(logPath.c_str(), "wb");
    if (!log)
        _exit(1);
    std::mt19937 random(38);
    std::uniform_int_distribution<int> pieceSize(1, 64);
    size_t pieceCount = 0;
    auto due = std::chrono::steady_clock::now();
    int t = 0;
    for (;; ++t) {
        pollfd stop {stopFd, POLLIN, 0};
        if (::poll(&stop, 1, 0) > 0)
            break;
        const auto epochStart = due;
        std::vector<std::string> pieces;
        for (const std::string& s : Epoch(t)) {
            for (size_t at = 0; at < s.size();) {
                const size_t n = std::min(s.size() - at, size_t(pieceSize(random)));
                pieces.push_back(s.substr(at, n));
                at += n;
            }
        }
        // The receiver sends its epoch over the first 90 ms of the tenth.
        for (size_t i = 0; i < pieces.size(); ++i) {
            std::this_thread::sleep_until(epochStart + std::chrono::microseconds(90000 * i / pieces.size()));
            const std::string& p = pieces[i];
            for (size_t at = 0; at < p.size();) {
                const ssize_t n = ::write(master, p.data() + at, p.size() - at);
                if (n <= 0)
                    _exit(1);
                at += size_t(n);
            }
            std::fwrite(p.data(), 1, p.size(), log);
        }
        pieceCount += pieces.size();
        due += std::chrono::milliseconds(100);
        std::this_thread::sleep_until(due);
    }
    std::fclose(log);
    std::printf("receiver: %d epochs in %zu pieces (%.0f pieces a second)\n", t, pieceCount, pieceCount * 10.0 / std::max(t, 1));
    std::fflush(stdout);
    _exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const QString logPath = argc > 2 ? QString::fromLocal8Bit(argv[2]) : home.filePath(QStringLiteral("stream.nmea"));

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    const int keep = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC); // raw before the first byte
    termios tio {};
    ::tcgetattr(keep, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(keep, TCSANOW, &tio);

    // The receiver, started before this process has threads of its own; it
    // waits for the port to be open.
    int stopPipe[2];
    int goPipe[2];
    if (::pipe2(stopPipe, O_CLOEXEC) != 0 || ::pipe2(goPipe, O_CLOEXEC) != 0) {
        std::perror("pipe");
        return 1;
    }
    const pid_t receiver = ::fork();
    if (receiver == 0) {
        ::close(stopPipe[1]);
        ::close(goPipe[1]);
        char go;
        if (::read(goPipe[0], &go, 1) != 1)
            _exit(0);
        PlayReceiver(master, stopPipe[0], logPath.toStdString());
    }
    ::close(stopPipe[0]);
    ::close(goPipe[0]);

    PrepareMapEngine();
    QApplication app(argc, argv);
    InitMapPages();
    for (const char* file : {"morvane_google.html", "morvane_baidu.html"})
        QFile::copy(QStringLiteral(":/map/") + file, home.filePath(QString::fromLatin1(file)));
    theApp.m_strGoogleMapFile = home.filePath(QStringLiteral("morvane_google.html"));
    theApp.m_strBaiduMapFile = home.filePath(QStringLiteral("morvane_baidu.html"));

    auto page = std::make_unique<CTestItemDlg_gnss>();
    page->resize(460, 720);
    page->show();
    if (!page->OpenNmeaPort(QString::fromLatin1(name), 115200, 8, 1, 0, 0, 2048)) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }

    struct View {
        const char* name;
        int tab;
        double limit; // share of a core
    };
    const View views[] = {
        {"World map", CTestItemDlg_gnss::kTabWorldMap, 0.05},
        {"Sky view", CTestItemDlg_gnss::kTabSkyView, 0.05},
        {"Signal chart", CTestItemDlg_gnss::kTabSignalChart, 0.05},
        {"Map", CTestItemDlg_gnss::kTabMap, 0.15},
        {"NMEA data", CTestItemDlg_gnss::kTabNmeaData, 0.05},
    };
    size_t epochBytes = 0;
    for (const std::string& s : Epoch(0))
        epochBytes += s.size();
    std::printf("stream: 10 epochs/s, 40 satellites in view, %zu bytes per epoch in pieces of 1-64 bytes\n",
        epochBytes);
    std::printf("load average at start: %s\n", qPrintable(bench::LoadAverage()));
    {
        const double cpu0 = bench::SelfCpuSeconds();
        bench::RunFor(seconds * 1000);
        std::printf("%-13s program %5.2f%% of a core\n", "no stream", (bench::SelfCpuSeconds() - cpu0) / seconds * 100);
    }

    if (::write(goPipe[1], "g", 1) != 1) {
        std::perror("receiver");
        return 1;
    }
    int failures = 0;
    QList<int> chosen;
    for (int i = 3; i < argc; ++i)
        chosen << std::atoi(argv[i]);
    for (const View& v : views) {
        if (!chosen.isEmpty() && !chosen.contains(v.tab))
            continue;
        page->FolderTab()->SelectItem(v.tab);
        page->OnTabChanged(v.tab);
        if (v.tab == CTestItemDlg_gnss::kTabMap) {
            // The page must be loaded for the positions to move anything.
            QElapsedTimer wait;
            wait.start();
            while (wait.elapsed() < 60000
                && !(page->FirstBrowser() && (page->FirstBrowser()->IsPageReady() || page->FirstBrowser()->PageFailed())
                    && page->SecondBrowser()
                    && (page->SecondBrowser()->IsPageReady() || page->SecondBrowser()->PageFailed())))
                bench::RunFor(100);
            if (!page->FirstBrowser() || !page->FirstBrowser()->IsPageReady())
                std::printf("(the map page did not load: %s)\n",
                    page->FirstBrowser() ? qPrintable(page->FirstBrowser()->ProblemText()) : "no browser");
        }
        bench::RunFor(2000); // the switch itself
        const double self0 = bench::SelfCpuSeconds();
        const double helpers0 = DescendantsCpuSeconds(receiver);
        bench::RunFor(seconds * 1000);
        const double self = (bench::SelfCpuSeconds() - self0) / seconds;
        const double helpers = (DescendantsCpuSeconds(receiver) - helpers0) / seconds;
        std::printf("%-13s program %5.2f%% of a core (limit %2.0f%%), browser helpers %5.2f%%\n", v.name, self * 100,
            v.limit * 100, helpers * 100);
        std::fflush(stdout);
        if (self > v.limit)
            ++failures;
    }
    std::printf("load average at end: %s\n", qPrintable(bench::LoadAverage()));
    ::close(stopPipe[1]);
    int status = 0;
    ::waitpid(receiver, &status, 0);
    bench::RunFor(1000); // the last pieces and the last update of the labels

    // Every sentence parsed: the labels equal the parser's over the whole stream.
    std::string written;
    {
        QFile log(logPath);
        if (!log.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(logPath));
            return 1;
        }
        written = log.readAll().toStdString();
    }
    NmeaParser whole;
    whole.ParseNmea(written);
    const GnssValueLabels& l = whole.Labels();
    const QString expected[] = {l.utcDate, l.utcTime, l.latitude, l.longitude, l.altitude, l.speed, l.satelliteUsed,
        l.locatingType, l.dop};
    int differ = 0;
    for (int i = 0; i <= CTestItemDlg_gnss::kDop; ++i) {
        const QString shown = page->ValueLabel(CTestItemDlg_gnss::Value(i))->text();
        if (shown != expected[i]) {
            std::printf("label %d shows '%s', the whole stream gives '%s'\n", i, qPrintable(shown),
                qPrintable(expected[i]));
            ++differ;
        }
    }
    std::printf("%zu bytes: the labels %s the whole stream's\n", written.size(), differ == 0 ? "equal" : "DIFFER FROM");
    page.reset();
    ::close(keep);
    ::close(master);
    return failures == 0 && differ == 0 ? 0 : 2;
}
