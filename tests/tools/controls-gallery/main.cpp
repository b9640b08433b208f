// controls-gallery: every control of the library in its states.
//   controls-gallery              a window with one tab per page
//   controls-gallery --render DIR one PNG per page into DIR (offscreen)
#include "GalleryRegistry.h"

#include "ui/controls/WinLook.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    QString renderDir;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--render") && i + 1 < argc) {
            renderDir = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: controls-gallery [--render DIR]\n");
            return 2;
        }
    }
    if (!renderDir.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ulv::InstallFontSubstitutions();
    const auto pages = ulv::gallery::Pages();

    if (renderDir.isEmpty()) {
        QTabWidget tabs;
        tabs.setWindowTitle(QStringLiteral("Ulvenscope controls"));
        for (const auto& page : pages)
            tabs.addTab(page.make(), page.name);
        tabs.resize(1000, 700);
        tabs.show();
        return app.exec();
    }

    if (!QDir().mkpath(renderDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(renderDir));
        return 2;
    }
    int failures = 0;
    for (const auto& page : pages) {
        QWidget* w = page.make();
        w->adjustSize();
        w->show();
        QApplication::processEvents();
        const QImage img = w->grab().toImage();
        const QString file = QDir(renderDir).filePath(page.name + QStringLiteral(".png"));
        if (img.isNull() || !img.save(file)) {
            std::fprintf(stderr, "could not render %s\n", qPrintable(page.name));
            ++failures;
        } else {
            std::printf("%s\n", qPrintable(file));
        }
        delete w;
    }
    if (pages.empty()) {
        std::fprintf(stderr, "no pages registered\n");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
