#include "core/at/ModemSession.h"
#include "shell/AppStartup.h"
#include "shell/QtMessageBoxService.h"
#include "shell/core/CUlvenscopeApp.h"
#include "ui/controls/WinLook.h"
#include "ui/maps/MapEngine.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    ulv::PrepareMapEngine();
    QApplication app(argc, argv);
    ulv::InstallFontSubstitutions();

    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port")) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "usage: ulvenscope [--port PATH]\n");
                return 2;
            }
            ulv::SetStartupPort(args[++i]);
        }
    }

    ulv::QtMessageBoxService boxes;
    ulv::SetMessageBoxService(&boxes);
    int code = 0;
    if (ulv::theApp.InitInstance())
        code = app.exec();
    ulv::AppModemSession().Shutdown();
    ulv::DestroyAppMainWindow();
    const int exitCode = ulv::theApp.ExitInstance();
    ulv::SetMessageBoxService(nullptr);
    return code != 0 ? code : exitCode;
}
