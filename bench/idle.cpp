// What the program costs doing nothing: the whole program (main window, UMTS
// family) started and connected to the simulated module (run as a process of
// its own, so its time is not counted), then every page shown in turn and left
// alone, first with the pointer resting over the navigation bar, then off the
// window. Prints the program's CPU time (user + system, every thread) per page
// and pointer place as a percentage of one core, and the load average at the
// start and the end (other work on the machine does not count against the
// figures: they are this process's own CPU time, not wall time).
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/idle [SECONDS-PER-PAGE]
// Needs an X server: the pointer must be a real one for hover to be measured.
// With ULV_IDLE_DETAIL=1 it also lists, per page, the events of the measured
// time by kind and by the class that got them (what still wakes it).
#include "ProcessCpu.h"
#include "core/at/ModemSession.h"
#include "pages/PageHost.h"
#include "pages/module/CTestItemDlg_home.h"
#include "platform/TaskGate.h"
#include "shell/AppStartup.h"
#include "shell/CGuidanceDlg.h"
#include "shell/CMainFrame.h"
#include "shell/COutbarView.h"
#include "shell/CTestView1.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QMap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace ulv;

namespace {

// Runs the event loop until done() or the deadline; false at the deadline.
template <class Done>
bool RunUntil(Done done, int deadlineMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > deadlineMs)
            return false;
        bench::RunFor(50);
    }
    return true;
}

double UiThreadCpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_THREAD, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts events by kind and receiver class while it exists.
class WakeCounter : public QObject {
public:
    WakeCounter() { qApp->installEventFilter(this); }
    ~WakeCounter() override { qApp->removeEventFilter(this); }
    QString Text() const
    {
        QStringList parts;
        for (auto it = m_counts.begin(); it != m_counts.end(); ++it)
            parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        return parts.join(QStringLiteral(", "));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const QString kind = e->type() == QEvent::Timer ? QStringLiteral("timer")
            : e->type() == QEvent::Paint                ? QStringLiteral("paint")
                                                        : QStringLiteral("event %1").arg(int(e->type()));
        ++m_counts[kind + QLatin1Char(' ') + QLatin1String(watched->metaObject()->className())];
        return false;
    }

private:
    QMap<QString, int> m_counts;
};

const char* PageName(PageKey key)
{
    static const char* const names[] = {"Home", "SMS", "MMS", "Voice call", "TCP/UDP", "PPP", "AT command",
        "Cell locator", "GNSS", "Script"};
    return key >= 0 && key < kPageKeyCount ? names[key] : "?";
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "idle: needs an X server (run it under xvfb-run -a -s \"-screen 0 1600x1200x24\")\n");
        return 1;
    }
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("ULV_NO_WEBENGINE", "1");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    // The module: the simulator beside the benchmarks, a process of its own.
    QProcess sim;
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../ulvsim"),
        {QStringLiteral("--family"), QStringLiteral("umts")});
    if (!sim.waitForStarted(10000) || !RunUntil([&] { return sim.canReadLine(); }, 30000)) {
        std::fprintf(stderr, "idle: the simulated module did not start\n");
        return 1;
    }
    const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();

    SetStartupPort(port);
    SetStartupDialogRunner([](QDialog& d) {
        if (auto* guide = qobject_cast<CGuidanceDlg*>(&d))
            guide->m_nModuleType = 1;
        return int(QDialog::Accepted);
    });
    if (!theApp.InitInstance() || !g_pMainFrame) {
        std::fprintf(stderr, "idle: the program did not start\n");
        return 1;
    }
    CMainFrame* frame = g_pMainFrame;
    // Smaller than the screen, so that the pointer has somewhere to be off the window.
    frame->showNormal();
    frame->setGeometry(40, 40, 1200, 800);
    CTestView1* host = frame->TestView1();
    bench::RunFor(1000);
    host->HomePage()->OnButtonConnect();
    if (!host->PortOpen()) {
        std::fprintf(stderr, "idle: the program did not connect to %s\n", qPrintable(port));
        return 1;
    }
    // The start-up exchange with the module.
    bench::RunFor(500);
    RunUntil([] { return !AppTaskGate().Running(); }, 120000);

    const QWidget* nav = frame->OutbarView();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint offWindow(screen.right() - 5, screen.bottom() - 5);

    std::printf("load average at start: %s\n", qPrintable(bench::LoadAverage()));
    std::printf("%-14s %18s %18s\n", "page", "pointer on nav bar", "pointer off window");
    const PageIndexTable& pages = frame->PageIndices();
    double worst = 0;
    for (int k = 0; k < kPageKeyCount; ++k) {
        const PageKey key = PageKey(k);
        if (pages[key] < 0)
            continue;
        frame->ShowPage(key);
        bench::RunFor(500);
        // Over the middle of the bar's first line.
        const QPoint onNav = nav->mapToGlobal(QPoint(nav->width() / 2, 40));
        double share[2] = {};
        const QPoint places[2] = {onNav, offWindow};
        for (int p = 0; p < 2; ++p) {
            // Arrives as a hand moves it: a few steps, then rests.
            for (int step = 3; step >= 0; --step) {
                QCursor::setPos(places[p] + QPoint(0, 4 * step));
                bench::RunFor(50);
            }
            bench::RunFor(2000); // the page's own start-up and the move's repaints
            if (p == 0 && !nav->underMouse())
                std::printf("(the pointer is not over the navigation bar on the %s page)\n", PageName(key));
            std::unique_ptr<WakeCounter> wakes;
            if (qEnvironmentVariableIntValue("ULV_IDLE_DETAIL") == 1)
                wakes = std::make_unique<WakeCounter>();
            const double cpu0 = bench::SelfCpuSeconds();
            const double ui0 = UiThreadCpuSeconds();
            bench::RunFor(seconds * 1000);
            if (wakes)
                std::printf("  %s, pointer %s: UI thread %.2f%%; %s\n", PageName(key),
                    p == 0 ? "on the bar" : "off the window", (UiThreadCpuSeconds() - ui0) / seconds * 100,
                    qPrintable(wakes->Text()));
            share[p] = (bench::SelfCpuSeconds() - cpu0) / seconds * 100;
            worst = std::max(worst, share[p]);
        }
        std::printf("%-14s %17.2f%% %17.2f%%\n", PageName(key), share[0], share[1]);
        std::fflush(stdout);
    }
    std::printf("load average at end: %s\n", qPrintable(bench::LoadAverage()));

    host->CloseCommport();
    AppModemSession().Shutdown();
    DestroyAppMainWindow();
    theApp.ExitInstance();
    sim.terminate();
    sim.waitForFinished(5000);
    return worst < 0.5 ? 0 : 2;
}
