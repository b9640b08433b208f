#include "shell/MainWindowFactory.h"

#include "shell/core/WindowPlacement.h"

#include <QLabel>
#include <QMainWindow>

namespace ulv {

QMainWindow* CreateMainWindow()
{
    auto* window = new QMainWindow;
    window->setObjectName(QStringLiteral("mainFrame"));
    window->setMinimumSize(kMainWindowMinWidth, kMainWindowMinHeight);
    auto* placeholder = new QLabel(window);
    placeholder->setAlignment(Qt::AlignCenter);
    window->setCentralWidget(placeholder);
    return window;
}

} // namespace ulv
