#pragma once

#include "core/at/ModemSession.h"
#include "core/at/PortTransmitter.h"
#include "pages/PageHost.h"
#include "serial/SerialMessages.h"
#include "shell/core/PageIndexTable.h"

#include <QLabel>
#include <QScrollArea>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace ulv {

class CSerialPort;
class CPageTitleStrip;
class CTerminalRichEdit;
class SerialEvent;
class PageDialog;
class CTestItemDlg_home;
class CTestItemDlg_sms;
class CTestitemDlg_MMS;
class CFunctionTestDlg_tcpip;
class CTestItemDlg_voice;
class CTestItemDlg_atcommand;
class CTestitemDlg_pppdial;
class CTestitemDlg_position;
class CTestItemDlg_gnss;
class CTestItemDlg_script;

constexpr int WM_SWITCHPAGE = 0x435;
constexpr int WM_RECEIVED_LINE = 0x634;

// The middle pane: owns every test page and shows one at a time under the title
// strip. The module's port and everything said through it belong to the modem
// session; this view opens and closes it for the connection page, and shows
// what the session reports (lines for the listeners, routed data for the page
// on show, modem-line changes).
class CTestView1 : public QWidget, public PageHost {
    Q_OBJECT
public:
    // session: the program's when none is given.
    explicit CTestView1(QWidget* parent = nullptr, ModemSession* session = nullptr);
    ~CTestView1() override;

    // Opens the module's port (no parity: the main port never uses one) and
    // starts its monitor. 0 after telling the user why not.
    int OpenCommport(const QString& port, int baud, int dataBits, int stopBits, int parity, int flowMode,
        int bufferSize) override;
    // Takes the port away from the senders, stops it (bounded) and deletes it.
    void CloseCommport() override;
    std::shared_ptr<CSerialPort> Port() const { return m_session.Port(); }
    ModemSession& Session() const override { return m_session; }
    bool PortOpen() const override { return m_session.IsOpen(); }
    // The module's port went away (WM_SERIAL_HANGUP): every page and the status bar show it.
    void OnPortLost();
    void ShowConnectionText(const QString& text) override;
    void ModuleIdentified() override;
    void LookupRecommendedApn(const QString& mcc, const QString& mnc) override;

    // Transmit functions.
    void SendToModule(const QString& text, int mode, bool addLineEnd) { Tx().SendToModule(text, mode, addLineEnd); }
    void SendToModuleQuiet(const QString& text, int mode, bool addLineEnd) { Tx().SendToModuleQuiet(text, mode, addLineEnd); }
    void SendToModuleEcho(const QString& text, int mode, bool addLineEnd, bool echo) { Tx().SendToModuleEcho(text, mode, addLineEnd, echo); }
    void SendScriptLine(const QString& text, int mode, bool addLineEnd) { Tx().SendScriptLine(text, mode, addLineEnd); }
    void SendRawBytes(const QByteArray& bytes) { Tx().SendRawBytes(bytes); }
    void SendByte(unsigned char byte) { Tx().SendByte(byte); }
    PortTransmitter& Transmitter() { return Tx(); }

    using LineListener = ModemSession::LineListener;
    void AddLineListener(LineListener listener) { m_session.AddLineListener(std::move(listener)); }
    void BroadcastLine(const QString& line) { m_session.BroadcastLine(line); }

    void SavePageSettings();

    // The main window's cut, copy and paste keys land on the hidden box.
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    CTerminalRichEdit* HiddenEdit() const { return m_editHidden; }

    // WM_SWITCHPAGE: wParam 0 switches to the page of lParam.
    int OnSwitchPage(long wParam, long lParam);
    void SwitchPage(int index);
    int CurrentPage() const { return m_nCurPage; }
    QString CurrentTitle() const;

    // One received chunk as the port delivers it: the reply buffers, then
    // the terminal, the line listeners and the page on show.
    void OnPortReceive(const QByteArray& chunk);
    int OnCtsChanged(long state) { m_session.OnLineChange(WM_SERIAL_CTS, state); return 1; }
    int OnDsrChanged(long state) { m_session.OnLineChange(WM_SERIAL_DSR, state); return 1; }
    int OnDcdChanged(long state) { m_session.OnLineChange(WM_SERIAL_DCD, state); return 1; }
    int OnRingChanged(long state) { m_session.OnLineChange(WM_SERIAL_RING, state); return 1; }
    // The last reported CTS state (0/1).
    int CtsState() const { return m_session.CtsState(); }

    std::atomic<int> m_bHexDisplay{0};

    CTestItemDlg_home* HomePage() const { return m_home; }
    CTestItemDlg_sms* SmsPage() const { return m_sms; }
    CFunctionTestDlg_tcpip* TcpPage() const { return m_tcpip; }
    CTestItemDlg_voice* VoicePage() const { return m_voice; }
    CTestitemDlg_pppdial* PppPage() const { return m_ppp; }
    CTestitemDlg_position* LocatorPage() const { return m_position; }
    CTestItemDlg_gnss* GnssPage() const { return m_gnss; }
    CTestItemDlg_script* ScriptPage() const { return m_script; }
    CTestItemDlg_atcommand* AtCommandPage() const { return m_atcommand; }
    CPageTitleStrip* TitleStrip() const { return m_pTitleStrip; }
    CTestitemDlg_MMS* MmsPage() const { return m_mms; }
    PageDialog* VisiblePage() const;
    // The pages of the module family in use, in page-index order.
    std::vector<PageDialog*> FamilyPages() const;
    // The pane width that shows the widest page of the family whole, with
    // room for a vertical scroll bar.
    int NeededWidth() const;
    // Pages scroll under the title strip when they need more room than the
    // pane has.
    QScrollArea* PageScroller() const { return m_scroll; }

    // Hooks the later work fills: the environment check run before a test page
    // (page kind, option; returns 1 ready, 0 not), the status bar's line pane,
    // the PPP receiver.
    std::function<int(int kind, int option)> m_envCheck;
    std::function<void(const QString&)> m_statusLinePane;
    std::function<void(const QByteArray&)> m_pppRawReceiver;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPageOf(PageKey key, bool gsm);
    void ShowPage(PageDialog* page, const QString& title, int envKind, int envOption);
    void PlacePages();
    // The pages tell the width they need; a stored pane width narrower than
    // that is widened and marked for the frame to save.
    void ReportNeededWidth();
    ReceiveRouter::Page RouterPage() const;
    PortTransmitter& Tx() const { return m_session.Transmitter(); }

    ModemSession& m_session;
    int m_nCurPage = 0;
    bool m_bScriptShown = false;

    CPageTitleStrip* m_pTitleStrip;
    QScrollArea* m_scroll;
    QWidget* m_pageArea;
    QLabel* m_picture;
    CTerminalRichEdit* m_editHidden;
    CTestItemDlg_home* m_home;
    CTestItemDlg_sms* m_sms;
    CTestitemDlg_MMS* m_mms;
    CFunctionTestDlg_tcpip* m_tcpip;
    CTestItemDlg_voice* m_voice;
    CTestItemDlg_atcommand* m_atcommand;
    CTestitemDlg_pppdial* m_ppp;
    CTestitemDlg_position* m_position;
    CTestItemDlg_gnss* m_gnss;
    CTestItemDlg_script* m_script;
};

extern CTestView1* g_pTestView1;

} // namespace ulv
