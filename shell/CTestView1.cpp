#include "shell/CTestView1.h"

#include "atlib/CTestItemDlg_atcommand.h"
#include "atlib/CTestItemDlg_script.h"
#include "pages/data/CFunctionTestDlg_tcpip.h"
#include "pages/data/CTestitemDlg_MMS.h"
#include "pages/data/CTestitemDlg_pppdial.h"
#include "pages/module/CTestItemDlg_home.h"
#include "pages/module/CTestItemDlg_sms.h"
#include "pages/module/CTestItemDlg_voice.h"
#include "pages/positioning/CTestItemDlg_gnss.h"
#include "pages/positioning/CTestitemDlg_position.h"
#include "pages/module/core/ModuleScripts.h"
#include "platform/MessageBox.h"
#include "serial/SerialMessages.h"
#include "shell/CMainFrame.h"
#include "platform/TaskGate.h"
#include "core/text/AnsiText.h"
#include "serial/CSerialPort.h"
#include "core/text/HexView.h"
#include "core/text/TimeStamp.h"
#include "core/at/ReceiveBuffers.h"
#include "core/at/TerminalOutput.h"
#include "shell/CTerminalRichEdit.h"
#include "shell/core/CUlvenscopeApp.h"
#include "shell/core/PageIndexTable.h"
#include "shell/core/SysParams.h"
#include "ui/controls/CPageTitleStrip.h"
#include "ui/controls/WinLook.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

namespace ulv {

CTestView1* g_pTestView1 = nullptr;

namespace {

struct PageEntry {
    const char* title;
    int envKind;   // 0: no environment check
    int envOption;
};

PageEntry Entry(PageKey key)
{
    switch (key) {
    case kPageHome: return {"Home", 0, 0};
    case kPageSms: return {"SMS", 2, 1};
    case kPageMms: return {"MMS", 3, 0};
    case kPageVoiceCall: return {"Voice Call", 4, 0};
    case kPageTcpUdp: return {"TCP/UDP", 5, 0};
    case kPagePpp: return {"PPP", 6, 0};
    case kPageLocator: return {"MorvLocator", 7, 0};
    case kPageGnss: return {"GNSS", 8, 0};
    case kPageAtCommand: return {"AT Command", 0, 0};
    case kPageWexo: return {"WEXO", 0, 0};
    case kPageKeyCount: break;
    }
    return {"", 0, 0};
}

// The page on show, by the numbering the frame's View commands and the
// navigation bar use for the module family now in effect.
PageKey KeyOfPage(int index)
{
    return PageIndexTable::ForModuleType(GetModuleType()).KeyOf(index);
}

} // namespace

CTestView1::CTestView1(QWidget* parent, ModemSession* session)
    : QWidget(parent)
    , m_session(session ? *session : AppModemSession())
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    setPalette(p);
    setFont(ProgramFont());

    Tx().SetEchoProvider([] { return ShowSendData(); });

    m_pTitleStrip = new CPageTitleStrip();
    m_pTitleStrip->Create(0, 0, this);
    m_pTitleStrip->show();
    m_pTitleStrip->SetTitle(QStringLiteral("Home"));
    g_pPageTitleStrip = m_pTitleStrip;
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("pageScroller"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_pageArea = new QWidget;
    m_pageArea->setObjectName(QStringLiteral("pageArea"));
    m_pageArea->setAutoFillBackground(true);
    m_scroll->setWidget(m_pageArea);
    m_scroll->viewport()->installEventFilter(this);
    m_pTitleStrip->raise();
    m_picture = new QLabel(m_pageArea);
    m_picture->setObjectName(QStringLiteral("1472"));
    m_editHidden = new CTerminalRichEdit(this);
    m_editHidden->setGeometry(0, 0, 0, 0);

    m_home = new CTestItemDlg_home(m_pageArea);
    m_sms = new CTestItemDlg_sms(m_pageArea);
    m_mms = new CTestitemDlg_MMS(m_pageArea);
    m_tcpip = new CFunctionTestDlg_tcpip(m_pageArea);
    m_voice = new CTestItemDlg_voice(m_pageArea);
    m_atcommand = new CTestItemDlg_atcommand(m_pageArea);
    m_ppp = new CTestitemDlg_pppdial(m_pageArea);
    m_position = new CTestitemDlg_position(m_pageArea);
    m_gnss = new CTestItemDlg_gnss(m_pageArea);
    m_script = new CTestItemDlg_script(m_pageArea);
    for (PageDialog* page : {static_cast<PageDialog*>(m_sms), static_cast<PageDialog*>(m_mms),
             static_cast<PageDialog*>(m_tcpip), static_cast<PageDialog*>(m_voice),
             static_cast<PageDialog*>(m_atcommand), static_cast<PageDialog*>(m_ppp),
             static_cast<PageDialog*>(m_position), static_cast<PageDialog*>(m_gnss),
             static_cast<PageDialog*>(m_script)})
        page->hide();
    m_home->show();

    // A view made before this one (a test's) leaves nothing behind.
    m_session.ClearWindowHooks();
    AddLineListener([this](const QString& l) { m_home->OnReceivedLine(l); });
    AddLineListener([this](const QString& l) { m_voice->OnReceivedLine(l); });
    AddLineListener([this](const QString& l) { m_pTitleStrip->OnReceivedLine(l); });
    AddLineListener([this](const QString& l) { m_tcpip->OnReceivedLine(l); });
    m_session.SetRouterHooks(
        ReceiveRouter::Hooks {
            [](const QString& note) { WriteOutputLine(kTerminalNote, note); },
            [this](int index) { m_sms->QueueNewMessage(index); },
            [this](const QByteArray& payload) { m_tcpip->OnSocketData(payload); },
            [this] { m_tcpip->m_bContextDeactivated = 1; },
            [this] { m_tcpip->m_bConnectionClosed = 1; },
            [] { WriteOutputLine(kTerminalReceived, QByteArray("\r\n")); },
            [this] { return m_tcpip->EchoMode(); },
        },
        [this] { return RouterPage(); });
    m_pppRawReceiver = [this](const QByteArray& chunk) { m_ppp->PppRawChunk(chunk); };
    m_session.m_pppRawReceiver = [this](const QByteArray& chunk) {
        if (theApp.PppLinkUp.load() && m_pppRawReceiver)
            m_pppRawReceiver(chunk);
    };
    m_session.m_statusLinePane = [this](const QString& pane) {
        if (m_statusLinePane)
            m_statusLinePane(pane);
    };
    m_session.m_portLost = [this](const QString&) { OnPortLost(); };
    m_session.m_lineNote = [this](const QString& note) {
        if (PppDialInProgress.load())
            m_ppp->AppendLogLine(note);
    };

    m_envCheck = [this](int kind, int option) { return m_home->RunEnvCheck(kind, option); };

    ReportNeededWidth();
    PlacePages();
    g_pTestView1 = this;
    SetPageHost(this);
}

CTestView1::~CTestView1()
{
    CloseCommport();
    m_session.ClearWindowHooks();
    CPageTitleStrip* own = m_pTitleStrip;
    g_pPageTitleStrip.compare_exchange_strong(own, nullptr);
    if (g_pTestView1 == this)
        g_pTestView1 = nullptr;
    if (GetPageHost() == this)
        SetPageHost(nullptr);
}

void CTestView1::OnPortLost()
{
    // Every page shows what it held as ended; the connection page then closes
    // the port and shows the module disconnected, in the status bar too.
    for (PageDialog* page : m_pageArea->findChildren<PageDialog*>(QString(), Qt::FindDirectChildrenOnly))
        if (page != m_home)
            page->OnPortLost();
    m_home->OnPortLost();
    m_pTitleStrip->StopRinging();
}

void CTestView1::ShowConnectionText(const QString& text)
{
    if (g_pMainFrame)
        g_pMainFrame->SetPaneText(2, text);
}

void CTestView1::ModuleIdentified()
{
    QEvent e(MessageEventType(WM_MODULE_IDENTIFIED));
    QCoreApplication::sendEvent(m_voice, &e);
}

void CTestView1::LookupRecommendedApn(const QString& mcc, const QString& mnc)
{
    m_tcpip->LookupRecommendedApn(mcc, mnc);
    m_ppp->LookupRecommendedApn(mcc, mnc);
}

void CTestView1::resizeEvent(QResizeEvent*)
{
    m_scroll->setGeometry(0, CPageTitleStrip::kHeight, width(), std::max(0, height() - CPageTitleStrip::kHeight));
    // The bars and the call text sit at the pane's right end, whatever width
    // the pane was given.
    m_pTitleStrip->SetPaneWidth(width());
    PlacePages();
}

bool CTestView1::eventFilter(QObject* watched, QEvent* event)
{
    // Scroll bars coming or going change the room the pages have.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        PlacePages();
    return QWidget::eventFilter(watched, event);
}

std::vector<PageDialog*> CTestView1::FamilyPages() const
{
    std::vector<PageDialog*> pages;
    const PageIndexTable table = PageIndexTable::ForModuleType(GetModuleType());
    for (int i = 0; i < kPageKeyCount; ++i) {
        switch (table.KeyOf(i)) {
        case kPageHome: pages.push_back(m_home); break;
        case kPageSms: pages.push_back(m_sms); break;
        case kPageMms: pages.push_back(m_mms); break;
        case kPageVoiceCall: pages.push_back(m_voice); break;
        case kPageTcpUdp: pages.push_back(m_tcpip); break;
        case kPagePpp: pages.push_back(m_ppp); break;
        case kPageAtCommand: pages.push_back(m_atcommand); break;
        case kPageLocator: pages.push_back(m_position); break;
        case kPageGnss: pages.push_back(m_gnss); break;
        case kPageWexo: pages.push_back(m_script); break;
        case kPageKeyCount: break;
        }
    }
    return pages;
}

int CTestView1::NeededWidth() const
{
    int widest = 0;
    for (const PageDialog* page : FamilyPages())
        widest = std::max(widest, page->NeededSize().width());
    return widest + m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
}

void CTestView1::ReportNeededWidth()
{
    const int needed = NeededWidth();
    const int stored = theApp.m_nWidthMidView.load();
    if (stored <= 0) {
        // Nothing stored: the default pane shows the widest page whole.
        theApp.m_nWidthMidView = needed;
    } else if (stored < needed) {
        theApp.m_nWidthMidView = needed;
        theApp.m_bWidthMidViewChanged = 1;
    }
}

void CTestView1::PlacePages()
{
    // Every page is as wide as the pane, or as wide as it needs; the one on
    // show sets the scrolled area's size, so every control can be reached.
    const QSize room = m_scroll->viewport()->size();
    const int pictureH = 30 * 2, pictureW = 125 * 2;
    const int pictureY = std::max(580, height() - 40 - pictureH) - CPageTitleStrip::kHeight;
    m_picture->setGeometry(50 * 2, pictureY, pictureW, pictureH);
    QSize area = room;
    for (PageDialog* page : m_pageArea->findChildren<PageDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QSize needed = page->NeededSize();
        const int w = std::max(room.width(), needed.width());
        // The usual height, cut to the pane's own on a low screen, but never
        // below what the page needs: only a page that does not fit scrolls.
        const int usual = page == m_home ? 550 : 650;
        const int h = std::max(needed.height(), std::min(usual, room.height()));
        page->setGeometry(0, 0, w, h);
        if (!page->isHidden()) {
            area = area.expandedTo(QSize(w, h));
            if (page == m_home && m_picture->isVisibleTo(m_pageArea))
                area = area.expandedTo(QSize(m_picture->geometry().right() + 1, m_picture->geometry().bottom() + 1));
        }
    }
    m_pageArea->resize(area);
}

int CTestView1::OpenCommport(const QString& port, int baud, int dataBits, int stopBits, int, int flowMode, int bufferSize)
{
    switch (m_session.Open(port, baud, dataBits, stopBits, 'N', flowMode, bufferSize)) {
    case ModemSession::OpenResult::Opened: return 1;
    case ModemSession::OpenResult::Unavailable:
        ShowMessageBox(QString("This serial port '%1' is not connected to module or has been used !\n"
                               "Please check the module and serial cable!")
                           .arg(port));
        return 0;
    case ModemSession::OpenResult::SetupFailed:
        return 0; // the failed step has been reported
    case ModemSession::OpenResult::MonitorFailed:
        ShowMessageBox(QStringLiteral("The monitor thread of serial port start failed!"));
        return 0;
    }
    return 0;
}

void CTestView1::CloseCommport()
{
    m_session.Close();
}

void CTestView1::OnPortReceive(const QByteArray& chunk)
{
    m_session.ReceiveChunk(chunk);
    m_session.HandleChunk(chunk);
    FlushTerminalOutput();
}

ReceiveRouter::Page CTestView1::RouterPage() const
{
    switch (KeyOfPage(m_nCurPage)) {
    case kPageSms: return ReceiveRouter::Page::Sms;
    case kPageVoiceCall: return ReceiveRouter::Page::Voice;
    case kPageTcpUdp: return ReceiveRouter::Page::TcpUdp;
    default: return ReceiveRouter::Page::Other;
    }
}

void CTestView1::SavePageSettings()
{
    switch (KeyOfPage(m_nCurPage)) {
    case kPageMms: m_mms->SaveSettings(); break;
    case kPageTcpUdp: m_tcpip->SaveSettings(); break;
    case kPagePpp: m_ppp->SaveSettings(); break;
    case kPageLocator: m_position->SaveLocatorSettings(); break;
    case kPageWexo: m_script->SaveSettings(); break;
    default: break;
    }
}

int CTestView1::OnSwitchPage(long wParam, long lParam)
{
    if (wParam == 0)
        SwitchPage(int(lParam));
    return 1;
}

void CTestView1::SwitchPage(int index)
{
    if (AppTaskGate().Running())
        return;
    if (theApp.m_bLocatorContextActive.load()) {
        ShowMessageBox(QStringLiteral("Please switch view after deacting the PDP context!"));
        return;
    }
    if (theApp.m_bTcpContextActive.load()) {
        ShowMessageBox(QStringLiteral("Please switch view after deacting the TCP/UDP context!"));
        return;
    }
    if (theApp.PppLinkUp.load()) {
        ShowMessageBox(QStringLiteral("Please switch view after disconnecting PPP dial!"));
        return;
    }
    if (!m_voice->IsCallIdle()) {
        ShowMessageBox(QStringLiteral("Please hung up the call process or wait for end!"));
        return;
    }
    const int type = GetModuleType();
    if ((type != 0 && type != 1) || index == m_nCurPage)
        return;
    m_session.ResetRouter();
    m_picture->setVisible(index == 0);
    ShowPageOf(KeyOfPage(index), type == 0);
    m_nCurPage = index;
}

QString CTestView1::CurrentTitle() const
{
    return m_pTitleStrip->Title();
}

PageDialog* CTestView1::VisiblePage() const
{
    for (PageDialog* page : m_pageArea->findChildren<PageDialog*>(QString(), Qt::FindDirectChildrenOnly))
        if (page->isVisible())
            return page;
    return nullptr;
}

void CTestView1::ShowPage(PageDialog* page, const QString& title, int envKind, int envOption)
{
    m_pTitleStrip->SetTitle(title);
    for (PageDialog* p : m_pageArea->findChildren<PageDialog*>(QString(), Qt::FindDirectChildrenOnly))
        if (p != page)
            p->hide();
    page->show();
    page->raise();
    // A new page starts at its top-left corner.
    PlacePages();
    m_scroll->horizontalScrollBar()->setValue(0);
    m_scroll->verticalScrollBar()->setValue(0);
    if (theApp.m_bModuleConnected.load() && envKind != 0 && m_envCheck) {
        if (m_envCheck(envKind, envOption) == 0 && envKind != 2)
            ShowMessageBox(QStringLiteral("Testing environment is not ready,it will lead to abnormal results!"));
    }
}

void CTestView1::ShowPageOf(PageKey key, bool gsm)
{
    const PageEntry e = Entry(key);
    // The GSM family presets the default APN on every show of the data pages.
    auto presetApn = [gsm](QLineEdit* edit) {
        if (gsm)
            edit->setText(GetDefaultApnName());
    };
    switch (key) {
    case kPageHome:
        ShowPage(m_home, e.title, 0, 0);
        m_home->UpdatePortTip();
        return;
    case kPageSms: ShowPage(m_sms, e.title, e.envKind, e.envOption); return;
    case kPageMms: ShowPage(m_mms, e.title, e.envKind, e.envOption); return;
    case kPageVoiceCall:
        if (gsm && IsTzFamily() == 1)
            m_voice->SetHandsFreeVisible(false);
        ShowPage(m_voice, e.title, e.envKind, e.envOption);
        return;
    case kPageTcpUdp:
        presetApn(m_tcpip->ApnEdit());
        ShowPage(m_tcpip, e.title, e.envKind, e.envOption);
        return;
    case kPagePpp:
        presetApn(m_ppp->ApnEdit());
        ShowPage(m_ppp, e.title, e.envKind, e.envOption);
        return;
    case kPageLocator:
        presetApn(m_position->ApnEdit());
        ShowPage(m_position, e.title, e.envKind, e.envOption);
        m_position->NavigateMap(theApp.m_strGoogleMapFile);
        return;
    case kPageGnss:
        ShowPage(m_gnss, e.title, e.envKind, e.envOption);
        m_gnss->NavigateMaps(theApp.m_strGoogleMapFile, theApp.m_strBaiduMapFile);
        return;
    case kPageAtCommand: ShowPage(m_atcommand, e.title, 0, 0); return;
    case kPageWexo:
        ShowPage(m_script, e.title, 0, 0);
        if (!m_bScriptShown) {
            m_bScriptShown = true;
            m_script->LoadDefaultScript();
        }
        return;
    case kPageKeyCount: return;
    }
}

void CTestView1::OnEditCut() { m_editHidden->cut(); }
void CTestView1::OnEditCopy() { m_editHidden->copy(); }
void CTestView1::OnEditPaste() { m_editHidden->paste(); }

} // namespace ulv
