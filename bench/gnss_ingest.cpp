// A 10 Hz receiver tracking 40 satellites (24 GPS, 16 GLONASS) streams NMEA
// through a pseudo-terminal into the GNSS page on screen (offscreen platform):
// first with the sky plot shown, then the signal bars, then the NMEA text.
// Prints, per view, the page's CPU time per second of NMEA (the whole process,
// UI thread and port monitor included) and the longest stall of the UI event
// loop.
//   build/bench/gnss_ingest [SECONDS-PER-VIEW]
#include "EventLoopStallProbe.h"
#include "pages/positioning/CTestItemDlg_gnss.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// One epoch at tenth-second t: GGA, GSA, the GPS and GLONASS GSV groups, RMC, VTG.
std::string Epoch(int t)
{
    char b[256];
    std::string out;
    const int hh = 12 + t / 36000, mm = (t / 600) % 60, ss = (t / 10) % 60, ds = t % 10;
    const double lat = 5958.0 + 0.001 * (t % 1000), lon = 1045.0 + 0.001 * (t % 700);
    std::snprintf(b, sizeof b, "$GPGGA,%02d%02d%02d.%d0,%.4f,N,%05.4f,E,1,12,0.8,94.%d,M,18.0,M,,", hh, mm, ss, ds,
        lat, lon, t % 10);
    out += WithChecksum(b);
    out += WithChecksum("$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,1.5,0.8,1.2");
    auto gsv = [&](const char* tag, int first, int count) {
        const int messages = (count + 3) / 4;
        for (int m = 0; m < messages; ++m) {
            std::string s;
            std::snprintf(b, sizeof b, "%s,%d,%d,%02d", tag, messages, m + 1, count);
            s = b;
            for (int k = m * 4; k < std::min(count, m * 4 + 4); ++k) {
                const int id = first + k;
                std::snprintf(b, sizeof b, ",%02d,%02d,%03d,%02d", id, 5 + (id * 7 + t / 10) % 85,
                    (id * 37 + t) % 360, 20 + (id * 3 + t) % 30);
                s += b;
            }
            out += WithChecksum(s);
        }
    };
    gsv("$GPGSV", 1, 24);
    gsv("$GLGSV", 65, 16);
    std::snprintf(b, sizeof b, "$GPRMC,%02d%02d%02d.%d0,A,%.4f,N,%05.4f,E,0.5,54.7,111226,,,A", hh, mm, ss, ds, lat,
        lon);
    out += WithChecksum(b);
    out += WithChecksum("$GPVTG,054.7,T,034.4,M,000.5,N,000.9,K,A");
    return out;
}

double ProcessCpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

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

    CTestItemDlg_gnss page;
    page.resize(460, 720);
    page.show();
    if (!page.OpenNmeaPort(QString::fromLatin1(name), 115200, 8, 1, 0, 0, 2048)) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }

    struct View {
        const char* name;
        int tab;
    };
    const View views[] = {{"sky plot", CTestItemDlg_gnss::kTabSkyView},
        {"signal bars", CTestItemDlg_gnss::kTabSignalChart}, {"NMEA text", CTestItemDlg_gnss::kTabNmeaData}};
    std::printf("stream: 10 epochs/s, 40 satellites, %zu bytes per epoch\n", Epoch(0).size());
    // What the event loop and the stall probe cost with no NMEA at all.
    double idle = 0;
    {
        bench::EventLoopStallProbe probe;
        const double cpu0 = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < seconds * 1000)
            app.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        idle = (ProcessCpuSeconds() - cpu0) / seconds;
        std::printf("%-12s CPU %.1f ms per second\n", "idle", idle * 1000);
    }
    int t = 0;
    int failures = 0;
    for (const View& v : views) {
        page.OnTabChanged(v.tab);
        bench::EventLoopStallProbe probe;

        std::atomic<bool> done {false};
        const int first = t;
        const int epochs = seconds * 10;
        std::thread writer([&] {
            auto due = std::chrono::steady_clock::now();
            for (int i = 0; i < epochs; ++i) {
                const std::string e = Epoch(first + i);
                for (size_t at = 0; at < e.size();) {
                    const ssize_t n = ::write(master, e.data() + at, e.size() - at);
                    if (n <= 0)
                        break;
                    at += size_t(n);
                }
                due += std::chrono::milliseconds(100);
                std::this_thread::sleep_until(due);
            }
            done = true;
        });
        const double cpu0 = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        // Sleeps between events as the program's own loop does (the probe wakes it).
        while (!done.load())
            app.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // Whatever is still in flight.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 200)
            app.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const double cpu = ProcessCpuSeconds() - cpu0;
        writer.join();
        probe.Stop();
        const qint64 longestStall = probe.LongestMs();
        t += epochs;
        const double perSecond = cpu / seconds;
        const double net = perSecond - idle;
        std::printf("%-12s CPU %.1f ms per second of NMEA (%.2f%% of a core; %.2f%% above idle), longest UI stall "
                    "%lld ms, wall %.1f s\n",
            v.name, perSecond * 1000, perSecond * 100, net * 100, static_cast<long long>(longestStall),
            wall.elapsed() / 1000.0);
        if (net > 0.05 || longestStall > 50)
            ++failures;
    }
    const QString lastTime = page.ValueLabel(CTestItemDlg_gnss::kUtcTime)->text();
    std::printf("last UTC time shown: %s\n", qPrintable(lastTime));
    ::close(keep);
    ::close(master);
    return failures == 0 ? 0 : 2;
}
