#include "shell/CMainFrame.h"

#include "core/at/ModemSession.h"

#include "platform/MessageBox.h"
#include "platform/TaskGate.h"
#include "shell/CFlatSplitterWnd.h"
#include "shell/COutbarView.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "shell/CTestView1.h"
#include "shell/CTestView2.h"
#include "shell/CSendPanelDlg.h"
#include "shell/SendPanelSetup.h"
#include "shell/FrameCommands.h"
#include "shell/FrameStatusBar.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/SysParams.h"
#include "shell/core/WindowPlacement.h"
#include "ui/chrome/CCommandReBar.h"
#include "ui/chrome/CMenuBarCtrl.h"
#include "ui/chrome/ChromeResources.h"
#include "ui/controls/CLogFileEdit.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QMenu>

namespace ulv {

CMainFrame* g_pMainFrame = nullptr;

namespace {

    constexpr unsigned kExitCommand = 57665;

    struct PageCommand {
        unsigned id;
        PageKey key;
    };

    constexpr PageCommand kPageCommands[] = {
        { 32842, kPageHome },
        { 32843, kPageSms },
        { 32869, kPageMms },
        { 32844, kPageVoiceCall },
        { 32845, kPageTcpUdp },
        { 32846, kPagePpp },
        { 32865, kPageLocator },
        { 32870, kPageGnss },
        { 32847, kPageAtCommand },
        { 32848, kPageWexo },
    };

    // Commands whose menu item carries a check mark.
    constexpr unsigned kCheckedCommands[] = { 32839, 32837, 32872, 32873 };

} // namespace

CMainFrame::CMainFrame(int moduleType, QWidget* parent)
    : QMainWindow(parent)
    , m_moduleType(moduleType)
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Ulvenscope_V1.4"));
    setMinimumSize(kMainWindowMinWidth, kMainWindowMinHeight);
}

CMainFrame::~CMainFrame()
{
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

QAction* CMainFrame::CommandAction(unsigned id)
{
    auto it = m_commands.find(id);
    if (it != m_commands.end())
        return it->second;
    auto* action = new QAction(this);
    action->setData(id);
    for (unsigned c : kCheckedCommands)
        action->setCheckable(action->isCheckable() || c == id);
    for (const PageCommand& pc : kPageCommands)
        action->setCheckable(action->isCheckable() || pc.id == id);
    m_commands.emplace(id, action);
    return action;
}

std::vector<unsigned> CMainFrame::CommandIds() const
{
    std::vector<unsigned> ids;
    for (const auto& [id, action] : m_commands)
        ids.push_back(id);
    return ids;
}

bool CMainFrame::Create() { return OnCreateClient() && OnCreate(); }

bool CMainFrame::OnCreateClient()
{
    m_wndSplitter = new CFlatSplitterWnd(this);
    m_wndSplitter->SetMidWidthSource([] { return theApp.m_nWidthMidView.load(); });
    m_pOutbarView = new COutbarView(m_moduleType);
    if (!m_pOutbarView->OnCreate())
        return false;
    m_pTestView1 = new CTestView1;
    m_pTestView2 = new CTestView2;
    // The terminal pane brings the command queue and the send panel with it;
    // hardware flow in the file sender follows the port's CTS.
    if (CSendPanelDlg* panel = AttachSendPanel(m_pTestView2)) {
        panel->SetCtsSource([] { return AppModemSession().CtsState() != 0; });
        // No drag of the bar cuts the send panel's controls off.
        m_pTestView2->setMinimumWidth(panel->MinimumWidth());
    }
    m_wndSplitter->addWidget(m_pOutbarView);
    m_wndSplitter->addWidget(m_pTestView1);
    m_wndSplitter->addWidget(m_pTestView2);
    // Only the terminal takes up a change of the window's width.
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 0);
    m_wndSplitter->setStretchFactor(2, 1);
    setCentralWidget(m_wndSplitter);
    m_wndSplitter->SetDefaultWidths();
    m_pTestView2->setFocus();
    return true;
}

bool CMainFrame::OnCreate()
{
    m_wndStatusBar = new FrameStatusBar(this);
    setStatusBar(m_wndStatusBar);

    m_wndCommandReBar = std::make_unique<CCommandReBar>();
    m_wndCommandReBar->SetActionProvider([this](unsigned id, const QString& text) {
        QAction* action = CommandAction(id);
        if (action->text().isEmpty())
            action->setText(text);
        return action;
    });
    if (!m_wndCommandReBar->Create(this, 128, 128, 0xCDCDCD, 0xCDCDCD, 0xCDCDCD, 0x646464, 45, 0xE800))
        return false;
    AddFamilyMenus();

    const QFont statusFont = LogFont(QStringLiteral("Arial Unicode MS"), -11, 500);
    m_wndStatusBar->setFont(statusFont);
    m_wndStatusBar->SetBkColor(0xCDCDCD);
    m_wndStatusBar->SetPaneText(
        0, m_moduleType != 0 ? QStringLiteral("Ulvenscope_UMTS/HSPA") : QStringLiteral("Ulvenscope_GSM"));
    m_wndStatusBar->SetPaneText(3, QStringLiteral(" DSR[0] CTS[0] RI[0] DCD[0]"));

    m_editLogFile = new CLogFileEdit(m_wndStatusBar);
    m_editLogFile->setObjectName(QStringLiteral("logFileEdit"));
    m_editLogFile->setReadOnly(true);
    m_editLogFile->setFrame(false);
    m_editLogFile->setFont(statusFont);
    m_editLogFile->SetBkColor(0xCDCDCD);
    m_editLogFile->setGeometry(0, 0, 1, 1);
    connect(m_wndStatusBar, &FrameStatusBar::Resized, this, &CMainFrame::PlaceLogBox);

    m_pTestView1->m_statusLinePane = [this](const QString& text) { SetPaneText(3, text); };
    m_pTestView2->SetLogPaneSink([this](const QString& text) { m_editLogFile->setText(text); });
    if (g_sysParams.savelog)
        m_pTestView2->ChooseLogFile();
    else
        m_editLogFile->clear();

    g_pMainFrame = this;
    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, [this] { OnTimer(kClockTimer); });
    m_clockTimer.start();
    QTimer::singleShot(2000, this, [this] { OnTimer(kWidthCheckTimer); });
    return true;
}

void CMainFrame::AddFamilyMenus()
{
    CMenuBarCtrl* bar = m_wndCommandReBar->MenuBar();
    const std::vector<QMenu*> menu = bar->GetMenu();
    QMenu* setting = menu.size() > 1 ? menu[1] : nullptr;
    QMenu* view = menu.size() > 3 ? menu[3] : nullptr;
    if (!setting || !view)
        return;

    auto item = [this](unsigned id, const char* text) {
        QAction* action = CommandAction(id);
        action->setText(QString::fromLatin1(text));
        return action;
    };
    m_mapTypeMenu = new QMenu(QStringLiteral("&Map type"), this);
    bar->AdoptSubMenu(m_mapTypeMenu);
    m_mapTypeMenu->addAction(item(32872, "Google Map"));
    m_mapTypeMenu->addAction(item(32873, "Baidu Map"));
    if (m_moduleType != 0) {
        CMenuBarCtrl::InsertItem(view, 2, item(32869, "Show &MMS page"));
        CMenuBarCtrl::InsertItem(view, 7, item(32870, "Show &GNSS page"));
        CMenuBarCtrl::InsertItem(setting, 8, m_mapTypeMenu->menuAction());
    } else {
        setting->addMenu(m_mapTypeMenu);
    }
    m_pageIndexTable = PageIndexTable::ForModuleType(m_moduleType);

    for (const PageCommand& pc : kPageCommands) {
        const PageKey key = pc.key;
        connect(CommandAction(pc.id), &QAction::triggered, this, [this, key] { ShowPage(key); });
    }
    connect(view, &QMenu::aboutToShow, this, &CMainFrame::UpdatePageChecks);
    connect(CommandAction(kExitCommand), &QAction::triggered, this, &QWidget::close);
    m_commandHandlers = new FrameCommands(*this);
    connect(setting, &QMenu::aboutToShow, m_commandHandlers, &FrameCommands::UpdateSettingChecks);
    connect(m_mapTypeMenu, &QMenu::aboutToShow, m_commandHandlers, &FrameCommands::UpdateSettingChecks);
    for (const auto& [id, action] : m_commands) {
        if (action->statusTip().isEmpty())
            action->setStatusTip(CommandPrompt(id));
    }
}

void CMainFrame::ShowPage(PageKey key)
{
    const int page = m_pageIndexTable[key];
    if (page >= 0 && m_pTestView1)
        m_pTestView1->SwitchPage(page);
    UpdatePageChecks();
}

void CMainFrame::UpdatePageChecks()
{
    const int current = m_pTestView1 ? m_pTestView1->CurrentPage() : -1;
    for (const PageCommand& pc : kPageCommands) {
        auto it = m_commands.find(pc.id);
        if (it != m_commands.end())
            it->second->setChecked(m_pageIndexTable[pc.key] >= 0 && m_pageIndexTable[pc.key] == current);
    }
}

void CMainFrame::SetPaneText(int pane, const QString& text)
{
    if (m_wndStatusBar)
        m_wndStatusBar->SetPaneText(pane, text);
}

QString CMainFrame::PaneText(int pane) const { return m_wndStatusBar ? m_wndStatusBar->PaneText(pane) : QString(); }

QString CMainFrame::ClockText(const QDateTime& time) { return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

void CMainFrame::OnTimer(int id)
{
    if (id == kClockTimer) {
        SetPaneText(4, ClockText(QDateTime::currentDateTime()));
    } else if (id == kWidthCheckTimer) {
        if (theApp.m_bWidthMidViewChanged.load()) {
            SaveWidthMidView(theApp.m_nWidthMidView.load());
            ShowMessageBox(QStringLiteral("The width of the middle view is unsuitable,please restart this program !"));
        }
    }
}

bool CMainFrame::OnClose()
{
    if (AppTaskGate().Running()) {
        ShowMessageBox(QStringLiteral("Program is running!"));
        return false;
    }
    if (theApp.m_bLocatorContextActive.load()) {
        ShowMessageBox(QStringLiteral("Please exit after deacting the Morvlocator context!"));
        return false;
    }
    if (theApp.m_bTcpContextActive.load()) {
        ShowMessageBox(QStringLiteral("Please exit after deacting the TCP/UDP context!"));
        return false;
    }
    if (theApp.PppLinkUp.load()) {
        ShowMessageBox(QStringLiteral("Please exit after disconnecting the PPP dial!"));
        return false;
    }
    // The module would go on with the call after the program has gone.
    if (m_pTestView1 && !m_pTestView1->VoicePage()->IsCallIdle()) {
        ShowMessageBox(QStringLiteral("Please hung up the call process or wait for end!"));
        return false;
    }
    if (ShowMessageBox(QStringLiteral("Please make sure to exit?"), MB_YESNO) != IDYES)
        return false;
    // The bounded stop: a monitor thread busy with a chunk must not hold up the exit.
    if (m_pTestView1)
        m_pTestView1->CloseCommport();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (OnClose())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::PlaceLogBox()
{
    if (m_wndStatusBar && m_editLogFile)
        m_editLogFile->setGeometry(m_wndStatusBar->PaneRect(1).adjusted(1, 1, -1, -1));
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PlaceLogBox();
}

void CMainFrame::FollowVisibility()
{
    // A hidden or minimised window's clock would wake the program every second
    // for a pane nobody sees; it shows the right time again when it comes back.
    const bool seen = isVisible() && !isMinimized();
    if (seen && !m_clockTimer.isActive()) {
        OnTimer(kClockTimer);
        m_clockTimer.start();
    } else if (!seen) {
        m_clockTimer.stop();
    }
}

void CMainFrame::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    FollowVisibility();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FollowVisibility();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FollowVisibility();
    if (!m_bWidthsPlaced && m_wndSplitter) {
        m_bWidthsPlaced = true;
        m_wndSplitter->SetDefaultWidths();
    }
}

} // namespace ulv
