#include <QApplication>
#include <QMainWindow>

#include "ui/controls/WinLook.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ulv::InstallFontSubstitutions();
    QMainWindow window;
    window.setWindowTitle("Ulvenscope_V1.4");
    window.resize(1100, 740);
    window.show();
    return app.exec();
}
