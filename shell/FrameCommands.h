#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <QTime>
#include <QUrl>
#include <functional>

class QDialog;
class QPrinter;

namespace ulv {

class CMainFrame;

// The main window's own commands: settings, log saving and reloading, hex
// display, map type, the Tool and Help menus, and their check marks.
class FrameCommands : public QObject {
    Q_OBJECT
public:
    // What the commands ask the desktop for; tests replace them so nothing
    // blocks or starts.
    struct Hooks {
        // Save dialog for Save Log, given the proposed path; "" when cancelled.
        std::function<QString(QWidget*, const QString& proposed)> saveLogPath;
        // Open dialog for Reload AT log; "" when cancelled.
        std::function<QString(QWidget*)> reloadLogPath;
        // Runs a modal dialog and returns its result.
        std::function<int(QDialog&)> runDialog;
        // Starts a program detached; false when it could not be started.
        std::function<bool(const QString& program)> startProgram;
        // The document's open and save dialogs (File New/Open/Save keys); "" when cancelled.
        std::function<QString(QWidget*)> openDocumentPath;
        std::function<QString(QWidget*, const QString& proposed)> saveDocumentPath;
        // The print dialog; true when the user chose to print.
        std::function<bool(QWidget*, QPrinter&)> printDialog;
    };
    static Hooks& DesktopHooks();

    // Connects the commands to the frame's actions.
    explicit FrameCommands(CMainFrame& frame);

    void OnSaveSetting();
    void OnSaveLog();
    void OnSysParam();
    void OnPortParam();
    void OnSendPanel();
    void OnClearInfo();
    void OnHexDisplay();
    void OnReloadAtLog();
    void OnMapType(int useGoogleMap);
    void OnGuidance();
    void OnHelp();
    // The Tool menu's desktop programs; the first candidate that starts wins.
    void OnTool(unsigned id);

    // The accelerator keys' commands. The document holds nothing and the page
    // host draws nothing, so open reads nothing, save writes an empty file and
    // print gives a blank page.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFilePrint();
    // F6 / Shift+F6: the focus to the next (+1) or previous (-1) pane.
    void OnNextPane(int step);

    // The check marks of the Setting menu.
    void UpdateSettingChecks();

    // "log%02d%02d%02d.txt" of a time.
    static QString LogFileName(const QTime& time);
    // The kind a reloaded line is written with: sent (0) for a note or a line
    // stamped as sent, received (1) for the rest.
    static int ReloadedLineKind(const QByteArray& line);
    // Writes a saved log back into the terminal, each line with only the
    // stamp it was saved with. False (and nothing written) when it cannot be read.
    static bool ReplayLog(const QString& path);
    // The help context of a page of a family.
    static int HelpContext(int moduleType, int page);
    // The help page of a context for a family.
    static QUrl HelpPage(int moduleType, int context);
    // The programs tried for a Tool menu command, in order.
    static QStringList ToolCandidates(unsigned id);

    QTextBrowser* HelpWindow() const { return m_help; }

private:
    int RunDialog(QDialog& dlg);
    void ApplyTerminalBackground();
    void SetUpAccelerators();

    CMainFrame& m_frame;
    QPointer<QTextBrowser> m_help;
};

} // namespace ulv
