#include "shell/AppStartup.h"

#include "serial/CommPortSettings.h"
#include "shell/CGuidanceDlg.h"
#include "platform/MessageBox.h"
#include "shell/CPortParamDlg.h"
#include "shell/MainWindowFactory.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "shell/core/WindowPlacement.h"

#include <QApplication>
#include <algorithm>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <memory>

// The templates live in the widget library; a static library's resources are
// registered by hand.
static void InitStartupResources()
{
    Q_INIT_RESOURCE(ulvmaps);
    Q_INIT_RESOURCE(guide);
}

namespace ulv {

namespace {

int ExecDialog(QDialog& dialog)
{
    return dialog.exec();
}

DialogRunner& Runner()
{
    static DialogRunner runner = ExecDialog;
    return runner;
}

QString& StartupPort()
{
    static QString port;
    return port;
}

std::unique_ptr<QMainWindow>& MainWindow()
{
    static std::unique_ptr<QMainWindow> window;
    return window;
}

} // namespace

DialogRunner SetStartupDialogRunner(DialogRunner runner)
{
    DialogRunner old = Runner();
    Runner() = runner ? std::move(runner) : DialogRunner(ExecDialog);
    return old;
}

void SetStartupPort(const QString& path)
{
    StartupPort() = path;
}

QMainWindow* AppMainWindow()
{
    return MainWindow().get();
}

void DestroyAppMainWindow()
{
    MainWindow().reset();
}

namespace {

// Gives the window's frame room inside r; false while the frame is not known.
bool FitFrameInto(QMainWindow* window, const QRect& r)
{
    const QSize frame = window->frameGeometry().size() - window->size();
    if (frame.width() <= 0 && frame.height() <= 0)
        return false;
    window->setMinimumHeight(std::min(window->minimumHeight(), r.height() - frame.height()));
    window->resize(r.size() - frame);
    window->move(r.topLeft());
    return true;
}

class LateFrameFit : public QObject {
public:
    LateFrameFit(QMainWindow* window, const QRect& place)
        : QObject(window)
        , m_window(window)
        , m_place(place)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type t = event->type();
        if (!m_done && watched == m_window && (t == QEvent::Move || t == QEvent::Show || t == QEvent::Expose)
            && !m_window->isMaximized() && FitFrameInto(m_window, m_place)) {
            m_done = true;
            deleteLater();
        }
        return false;
    }

private:
    QMainWindow* m_window;
    QRect m_place;
    bool m_done = false;
};

} // namespace

void PlaceAppMainWindow(QMainWindow* window, const QRect& workArea)
{
    if (g_sysParams.showmaximized) {
        window->showMaximized();
        return;
    }
    const QRect r = PlaceMainWindow(workArea, g_sysParams.nwidth, g_sysParams.nheight);
    window->setMinimumHeight(std::min(window->minimumHeight(), MainWindowMinHeight(workArea)));
    window->resize(r.size());
    window->move(r.topLeft());
    window->showNormal();
    // The place is for the whole window: its frame (title bar, borders) is
    // taken from the client area once the window system has given one. An X11
    // window manager decorates the window only after it is shown, so a frame
    // not known yet is taken off when the window is first moved or shown in it.
    if (!FitFrameInto(window, r))
        window->installEventFilter(new LateFrameFit(window, r));
}

bool CUlvenscopeApp::InitInstance()
{
    InitStartupResources();
    // No main window exists while the guide and the port dialog are up: closing
    // them must not end the program.
    const bool quitOnLastWindow = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    struct RestoreQuit {
        bool value;
        ~RestoreQuit() { QApplication::setQuitOnLastWindowClosed(value); }
    } restoreQuit{quitOnLastWindow};

    InitFolders();
    OpenTempLog();
    m_bModuleConnected = 0;
    LoadSysParams();
    LoadCommPortSettings();
    if (!StartupPort().isEmpty())
        g_commPortSettings.port = StartupPort();
    m_strGoogleMapFile = WriteMapPageFile(1);
    m_strBaiduMapFile = WriteMapPageFile(0);
    ReadProfileValues();

    {
        CGuidanceDlg guide;
        guide.m_nModuleType = GetModuleType();
        guide.m_bStartupMode = 1;
        Runner()(guide);
        // Esc and the close box keep the family chosen as well.
        g_nModuleType = guide.m_nModuleType;
    }

    SetDatabasePaths();
    InstallDatabases();

    if (!g_commPortSettings.HasPort()) {
        CPortParamDlg ports;
        ports.m_settings = g_commPortSettings;
        ports.m_bPortSelectable = 1;
        if (Runner()(ports) != QDialog::Accepted) {
            // Ending without a word would look like a crash.
            ShowMessageBox(QString::fromLatin1(kNoPortChosenText));
            return false;
        }
        g_commPortSettings = ports.m_settings;
    }

    CollectDeviceNames();

    MainWindow().reset(CreateMainWindow());
    QMainWindow* window = MainWindow().get();
    if (!window)
        return false;
    const QScreen* screen = QGuiApplication::primaryScreen();
    PlaceAppMainWindow(window, screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800));
    window->setWindowTitle(QStringLiteral("Ulvenscope_V1.4"));
    window->update();
    return true;
}

} // namespace ulv
