#include "shell/FrameCommands.h"

#include "atlib/CApnListDlg.h"
#include "atlib/CAtcManageDlg.h"
#include "atlib/CTestItemDlg_atcommand.h"
#include "pages/data/CDomainParseDlg.h"
#include "pages/module/CPduGenerateDlg.h"
#include "pages/module/CTestItemDlg_home.h"
#include "pages/module/CTextToHexDlg.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "pages/positioning/CTestitemDlg_position.h"
#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "serial/CommPortSettings.h"
#include "core/at/TerminalOutput.h"
#include "shell/CFlatSplitterWnd.h"
#include "shell/CGuidanceDlg.h"
#include "shell/CMainFrame.h"
#include "shell/COutbarView.h"
#include "shell/CPortParamDlg.h"
#include "shell/CSysParamDlg.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/FrameAccelerators.h"
#include "shell/FrameFileChooser.h"
#include "shell/core/PageIndexTable.h"
#include "shell/core/SysParams.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QKeyEvent>
#include <QTextBrowser>
#include <map>

// Outside any namespace, as the resource initialiser must be.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace {

// Closes the window it watches on a plain Esc, as Esc closes every other
// window of the program.
class EscapeCloses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && watched->isWidgetType()) {
                static_cast<QWidget*>(watched)->close();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace ulv {

namespace {

    enum : unsigned {
        kSaveSetting = 32807,
        kSaveLog = 32851,
        kSysParam = 32775,
        kPortParam = 32856,
        kSendPanel = 32839,
        kClearInfo = 32776,
        kHexDisplay = 32837,
        kReloadAtLog = 32866,
        kGoogleMap = 32872,
        kBaiduMap = 32873,
        kCalculator = 32788,
        kNotebook = 32789,
        kDeviceManager = 32790,
        kCommandLine = 32791,
        kGuidance = 32867,
        kHelp = 57670,
        kContactUs = 32799,
        kAtCommandsManager = 32805,
        kApnList = 32868,
        kDomainParse = 32835,
        kHexStringTrans = 32863,
        kPduStringTrans = 32864,
    };

    // A longer line is read in pieces of this many characters.
    constexpr qint64 kReloadLineMax = 511;

    const char* const kHelpNames[kPageKeyCount] = {
        "home", "sms", "mms", "voice", "tcpudp", "ppp", "atcommand", "locator", "gnss", "wexo",
    };

} // namespace

FrameCommands::Hooks& FrameCommands::DesktopHooks()
{
    static Hooks hooks{
        ChooseSaveLogPath,
        ChooseReloadLogPath,
        [](QDialog& dlg) { return dlg.exec(); },
        [](const QString& program) { return QProcess::startDetached(program, {}); },
        ChooseOpenDocumentPath,
        ChooseSaveDocumentPath,
        RunPrintDialog,
    };
    return hooks;
}

FrameCommands::FrameCommands(CMainFrame& frame)
    : QObject(&frame)
    , m_frame(frame)
{
    InitHelpResources();
    auto on = [this](unsigned id, auto handler) {
        connect(m_frame.CommandAction(id), &QAction::triggered, this, handler);
    };
    on(kSaveSetting, [this] { OnSaveSetting(); });
    on(kSaveLog, [this] { OnSaveLog(); });
    on(kSysParam, [this] { OnSysParam(); });
    on(kPortParam, [this] { OnPortParam(); });
    on(kSendPanel, [this] { OnSendPanel(); });
    on(kClearInfo, [this] { OnClearInfo(); });
    on(kHexDisplay, [this] { OnHexDisplay(); });
    on(kReloadAtLog, [this] { OnReloadAtLog(); });
    on(kGoogleMap, [this] { OnMapType(1); });
    on(kBaiduMap, [this] { OnMapType(0); });
    on(kGuidance, [this] { OnGuidance(); });
    on(kHelp, [this] { OnHelp(); });
    for (unsigned id : { kCalculator, kNotebook, kCommandLine })
        on(id, [this, id] { OnTool(id); });
    on(kAtCommandsManager, [this] {
        CAtcManageDlg dlg(&m_frame);
        RunDialog(dlg);
        if (CTestView1* host = m_frame.TestView1(); host && dlg.LibraryChanged())
            host->AtCommandPage()->ReloadTree();
    });
    on(kApnList, [this] {
        CApnListDlg dlg(&m_frame);
        RunDialog(dlg);
    });
    on(kDomainParse, [this] {
        CDomainParseDlg dlg(&m_frame);
        RunDialog(dlg);
    });
    on(kHexStringTrans, [this] {
        // Stand-alone: both codings to choose from, nothing to append to.
        CTextToHexDlg dlg(&m_frame);
        dlg.m_bFromMenu = 1;
        RunDialog(dlg);
    });
    on(kPduStringTrans, [this] {
        CPduGenerateDlg dlg(&m_frame);
        RunDialog(dlg);
    });
    // Neither has a counterpart on this desktop.
    m_frame.CommandAction(kDeviceManager)->setEnabled(false);
    m_frame.CommandAction(kContactUs)->setEnabled(false);
    SetUpAccelerators();

    if (CTestView1* host = m_frame.TestView1()) {
        if (!m_frame.m_pPositionMapWnd)
            m_frame.m_pPositionMapWnd = host->LocatorPage();
        if (!m_frame.m_pGnssMapWnd)
            m_frame.m_pGnssMapWnd = host->GnssPage();
    }
    UpdateSettingChecks();
}

int FrameCommands::RunDialog(QDialog& dlg) { return DesktopHooks().runDialog(dlg); }

void FrameCommands::UpdateSettingChecks()
{
    const CTestView2* terminal = m_frame.TestView2();
    m_frame.CommandAction(kSendPanel)->setChecked(terminal && terminal->SendPanelVisible());
    m_frame.CommandAction(kHexDisplay)->setChecked(terminal && terminal->m_bHexMode.load() == 1);
    m_frame.CommandAction(kGoogleMap)->setChecked(g_sysParams.UseGoogleMap == 1);
    m_frame.CommandAction(kBaiduMap)->setChecked(g_sysParams.UseGoogleMap != 1);
}

void FrameCommands::OnSaveSetting()
{
    if (CTestView1* host = m_frame.TestView1())
        host->SavePageSettings();
}

QString FrameCommands::LogFileName(const QTime& time)
{
    return QString::asprintf("log%02d%02d%02d.txt", time.hour(), time.minute(), time.second());
}

void FrameCommands::OnSaveLog()
{
    CTestView2* terminal = m_frame.TestView2();
    if (!terminal)
        return;
    const QString proposed = QDir::homePath() + QLatin1Char('/') + LogFileName(QTime::currentTime());
    const QString path = DesktopHooks().saveLogPath(&m_frame, proposed);
    if (path.isEmpty())
        return;
    terminal->FlushPending();
    if (!terminal->SaveTerminalText(path))
        ShowMessageBox(QStringLiteral("Cannot write the file %1!").arg(QDir::toNativeSeparators(path)), MB_ICONERROR);
}

void FrameCommands::OnSysParam()
{
    CSysParamDlg dlg(&m_frame);
    connect(&dlg, &CSysParamDlg::ParametersSaved, this, [this] {
        if (CTestView2* terminal = m_frame.TestView2())
            terminal->ChooseLogFile();
    });
    RunDialog(dlg);
    ApplyTerminalBackground();
}

void FrameCommands::ApplyTerminalBackground()
{
    CTestView2* terminal = m_frame.TestView2();
    if (!terminal || !terminal->Terminal())
        return;
    QWidget* box = terminal->Terminal();
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(g_sysParams.srbkColor_r, g_sysParams.srbkColor_g, g_sysParams.srbkColor_b));
    box->setPalette(p);
    box->update();
}

void FrameCommands::OnPortParam()
{
    CTestView1* host = m_frame.TestView1();
    if ((host && host->Port()) || !m_frame.PaneText(2).isEmpty()) {
        ShowMessageBox(QStringLiteral("Please close the serial port before this operation!"));
        return;
    }
    CPortParamDlg dlg(&m_frame);
    dlg.m_settings = g_commPortSettings;
    dlg.m_bPortSelectable = 1;
    if (RunDialog(dlg) != QDialog::Accepted)
        return;
    g_commPortSettings = dlg.m_settings;
    if (host && host->HomePage())
        host->HomePage()->UpdatePortTip();
}

void FrameCommands::OnSendPanel()
{
    if (CTestView2* terminal = m_frame.TestView2())
        terminal->ShowSendPanel(!terminal->SendPanelVisible());
    UpdateSettingChecks();
}

void FrameCommands::OnClearInfo()
{
    if (CTestView2* terminal = m_frame.TestView2()) {
        terminal->ClearAll();
        terminal->Terminal()->moveCursor(QTextCursor::End);
    }
}

void FrameCommands::OnHexDisplay()
{
    CTestView2* terminal = m_frame.TestView2();
    if (!terminal)
        return;
    if (AppTaskGate().Running()) {
        ShowMessageBox(QStringLiteral("The current program is running, please wait for it finished!"));
        UpdateSettingChecks();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    terminal->setFocus();
    terminal->Terminal()->setFocus();
    terminal->FlushPending();
    const int hex = terminal->m_bHexMode.load() == 1 ? 0 : 1;
    if (hex)
        terminal->ShowTerminalAsHex();
    else
        terminal->ShowTerminalAsText();
    terminal->m_bHexMode = hex;
    if (CTestView1* host = m_frame.TestView1())
        host->m_bHexDisplay = hex;
    QApplication::restoreOverrideCursor();
    UpdateSettingChecks();
}

int FrameCommands::ReloadedLineKind(const QByteArray& line)
{
    if (line.contains("/* "))
        return kTerminalSent;
    // The "S" of "_S:" after the stamp of a sent line.
    return line.indexOf('S') == 25 ? kTerminalSent : kTerminalReceived;
}

bool FrameCommands::ReplayLog(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The lines carry the stamps they were saved with; the terminal adds none.
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(kReloadLineMax + 1);
        if (line.isEmpty())
            break;
        WriteOutputUnstamped(ReloadedLineKind(line), line);
    }
    return true;
}

void FrameCommands::OnReloadAtLog()
{
    const QString path = DesktopHooks().reloadLogPath(&m_frame);
    if (path.isEmpty())
        return;
    if (!ReplayLog(path))
        ShowMessageBox(QStringLiteral("Cannot open the file %1!").arg(QDir::toNativeSeparators(path)), MB_ICONERROR);
}

void FrameCommands::OnMapType(int useGoogleMap)
{
    if (g_sysParams.UseGoogleMap != useGoogleMap) {
        g_sysParams.UseGoogleMap = useGoogleMap;
        SaveUseGoogleMap(useGoogleMap);
        for (QWidget* page : { m_frame.m_pPositionMapWnd.data(), m_frame.m_pGnssMapWnd.data() }) {
            if (page) {
                QEvent changed(kMapTypeChangedEvent);
                QCoreApplication::sendEvent(page, &changed);
            }
        }
    }
    UpdateSettingChecks();
}

void FrameCommands::OnGuidance()
{
    CGuidanceDlg dlg(&m_frame);
    dlg.m_nModuleType = m_frame.ModuleType();
    dlg.m_bStartupMode = 0;
    RunDialog(dlg);
}

int FrameCommands::HelpContext(int moduleType, int page)
{
    const int last = moduleType != 0 ? 9 : 7;
    return page >= 1 && page <= last ? 1001 + page : 1001;
}

QUrl FrameCommands::HelpPage(int moduleType, int context)
{
    PageKey key = PageIndexTable::ForModuleType(moduleType).KeyOf(context - 1001);
    if (key == kPageKeyCount)
        key = kPageHome;
    return QUrl(QStringLiteral("qrc:/help/%1.html").arg(QLatin1String(kHelpNames[key])));
}

void FrameCommands::OnHelp()
{
    const CTestView1* host = m_frame.TestView1();
    const int context = HelpContext(m_frame.ModuleType(), host ? host->CurrentPage() : 0);
    if (!m_help) {
        // A window of its own, like the help viewer: it stays open beside the program.
        m_help = new QTextBrowser;
        m_help->setAttribute(Qt::WA_DeleteOnClose);
        m_help->setObjectName(QStringLiteral("helpWindow"));
        m_help->setWindowTitle(QStringLiteral("Ulvenscope Help"));
        m_help->setOpenExternalLinks(true);
        m_help->resize(640, 480);
        m_help->installEventFilter(new EscapeCloses(m_help));
        connect(this, &QObject::destroyed, m_help.data(), &QObject::deleteLater);
    }
    m_help->setSource(HelpPage(m_frame.ModuleType(), context));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

QStringList FrameCommands::ToolCandidates(unsigned id)
{
    switch (id) {
    case kCalculator:
        return { "gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc" };
    case kNotebook:
        return { "gedit", "gnome-text-editor", "kate", "mousepad", "xed", "pluma", "leafpad" };
    case kCommandLine:
        return { "x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm" };
    default:
        return {};
    }
}

void FrameCommands::OnTool(unsigned id)
{
    // Like the shell's open: nothing is said when none of them is there.
    for (const QString& program : ToolCandidates(id)) {
        if (DesktopHooks().startProgram(program))
            return;
    }
}

void FrameCommands::SetUpAccelerators()
{
    std::map<unsigned, QList<QKeySequence>> keys;
    for (const FrameAccelerator& a : FrameAcceleratorTable())
        keys[a.command].append(a.key);
    for (const auto& [id, sequences] : keys) {
        QAction* action = m_frame.CommandAction(id);
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WindowShortcut);
        m_frame.addAction(action);
    }
    auto on = [this](unsigned id, auto handler) {
        connect(m_frame.CommandAction(id), &QAction::triggered, this, handler);
    };
    on(kFileNewCommand, [this] { OnFileNew(); });
    on(kFileOpenCommand, [this] { OnFileOpen(); });
    on(kFileSaveCommand, [this] { OnFileSave(); });
    on(kFilePrintCommand, [this] { OnFilePrint(); });
    on(kEditCutCommand, [this] {
        if (CTestView1* host = m_frame.TestView1())
            host->OnEditCut();
    });
    on(kEditCopyCommand, [this] {
        if (CTestView1* host = m_frame.TestView1())
            host->OnEditCopy();
    });
    on(kEditPasteCommand, [this] {
        if (CTestView1* host = m_frame.TestView1())
            host->OnEditPaste();
    });
    on(kNextPaneCommand, [this] { OnNextPane(1); });
    on(kPrevPaneCommand, [this] { OnNextPane(-1); });
    // Undo has nothing to undo anywhere outside an edit box.
    m_frame.CommandAction(kEditUndoCommand)->setEnabled(false);
}

void FrameCommands::OnFileNew() { m_frame.Document().OnNewDocument(); }

void FrameCommands::OnFileOpen()
{
    const QString path = DesktopHooks().openDocumentPath(&m_frame);
    if (path.isEmpty())
        return;
    // The document keeps nothing of what it reads; the file must still open.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ShowMessageBox(QStringLiteral("Failed to open document."), MB_ICONWARNING);
}

void FrameCommands::OnFileSave()
{
    const QString path = DesktopHooks().saveDocumentPath(&m_frame, QStringLiteral("Untitled"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ShowMessageBox(QStringLiteral("Failed to save document."), MB_ICONWARNING);
}

void FrameCommands::OnFilePrint()
{
    QPrinter printer;
    if (!DesktopHooks().printDialog(&m_frame, printer))
        return;
    QPainter painter;
    if (painter.begin(&printer))
        painter.end();
}

void FrameCommands::OnNextPane(int step)
{
    CFlatSplitterWnd* splitter = m_frame.Splitter();
    if (!splitter || splitter->count() == 0)
        return;
    const int count = splitter->count();
    int current = -1;
    for (int i = 0; i < count; ++i) {
        QWidget* pane = splitter->widget(i);
        if (QWidget* focus = QApplication::focusWidget(); focus && (focus == pane || pane->isAncestorOf(focus)))
            current = i;
    }
    const int next = current < 0 ? 0 : (current + step + count) % count;
    QWidget* pane = splitter->widget(next);
    // The terminal pane means its box; the navigation pane its bar; the page
    // host takes the focus itself, so that a second F6 is not a page control's.
    QWidget* target = pane;
    if (CTestView2* terminal = m_frame.TestView2(); pane == terminal && terminal->Terminal()) {
        target = terminal->Terminal();
    } else if (pane == static_cast<QWidget*>(m_frame.OutbarView())) {
        for (QWidget* child : pane->findChildren<QWidget*>()) {
            if (child->isVisibleTo(pane) && (child->focusPolicy() & Qt::TabFocus)) {
                target = child;
                break;
            }
        }
    }
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

} // namespace ulv
