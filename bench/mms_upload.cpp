// The MMS page sends a message with a large picture attached (1 MiB by
// default) to the simulated module, with the page, the terminal pane and the
// progress bar on screen (offscreen platform). The upload goes out paced as on
// a real line (1024-byte pieces, 100 ms apart: about 105 s for 1 MiB).
// Prints the time the send took, the longest stall of the UI event loop
// meanwhile, and whether the module got the file byte for byte.
//   build/bench/mms_upload [KiB]
#include "core/at/ModemSession.h"
#include "pages/data/CTestitemDlg_MMS.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "sim/MmsState.h"
#include "sim/SimModule.h"

#include "EventLoopStallProbe.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace ulv;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("ULVENSCOPE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    const qsizetype size = qsizetype(argc > 1 ? std::max(1, atoi(argv[1])) : 1024) * 1024;
    MessageBoxRecorder boxes;

    QByteArray picture;
    picture.reserve(size);
    std::uint32_t s = 11;
    while (picture.size() < size) {
        s = s * 1103515245u + 12345u;
        picture.append(char(s >> 16));
    }
    const QString path = home.filePath("picture.jpg");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(picture) != picture.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    g_sysParams.savelog = 0;
    g_nModuleType = 1;
    theApp.m_strParamDir = home.filePath("param");
    QDir().mkpath(theApp.m_strParamDir);
    CTestView2 terminal;
    terminal.resize(600, 800);
    terminal.show();
    CTestView1 host;
    host.resize(450, 800);
    host.show();

    sim::SimModule module(sim::Family::Umts, "");
    module.SetLogging(false);
    std::string error;
    if (!module.Start(&error) || !host.OpenCommport(QString::fromStdString(module.SlavePath()), 115200, 8, 1, 0, 0, 2048)) {
        std::fprintf(stderr, "cannot start: %s\n", error.c_str());
        return 1;
    }
    host.SwitchPage(2);
    CTestitemDlg_MMS* page = host.MmsPage();
    const auto set = [page](const char* id, const QString& text) { page->findChild<QLineEdit*>(id)->setText(text); };
    set("1032", "http://mmsc.test/mms");
    set("1033", "10.0.0.172");
    set("1034", "80");
    set("1029", "5550100");
    set("1035", "4D4D53");
    set("1036", "");
    set("1037", path);

    // The windows' first paints are done before anything is measured.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1000)
        app.processEvents(QEventLoop::AllEvents, 50);
    bench::EventLoopStallProbe probe;

    QElapsedTimer clock;
    clock.start();
    page->findChild<QPushButton*>("1467")->click();
    while (AppTaskGate().Running() && clock.elapsed() < 900000)
        app.processEvents(QEventLoop::AllEvents, 50);
    const double secs = clock.nsecsElapsed() / 1e9;
    probe.Stop();

    bool exact = false;
    module.With([&](sim::ModemEngine& e) {
        const auto& sent = e.Mms().sent;
        exact = sent.size() == 1 && sent[0].files.count("picture.jpg")
            && sent[0].files.at("picture.jpg") == picture.toStdString();
    });
    std::printf("attachment: %lld bytes, send took %.2f s\n", static_cast<long long>(size), secs);
    std::printf("longest event-loop stall: %lld ms\n", static_cast<long long>(probe.LongestMs()));
    std::printf("module's copy: %s\n", exact ? "byte for byte" : "MISMATCH");
    for (const QString& box : boxes.Texts())
        std::printf("box: %s\n", qPrintable(box));
    host.CloseCommport();
    return exact ? 0 : 1;
}
