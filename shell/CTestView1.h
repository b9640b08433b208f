#pragma once

#include "core/at/LineAssembler.h"
#include "core/at/PortTransmitter.h"
#include "core/text/AnsiStreamDecoder.h"
#include "shell/core/PageIndexTable.h"
#include "core/at/ReceiveRouter.h"

#include <QLabel>
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
// strip; owns the module's port, sends through it (paced, under one send lock)
// and takes every received chunk to the terminal, the line listeners, the reply
// buffers and the page on show.
class CTestView1 : public QWidget {
    Q_OBJECT
public:
    explicit CTestView1(QWidget* parent = nullptr);
    ~CTestView1() override;

    // Opens the module's port (no parity: the main port never uses one) and
    // starts its monitor. 0 after telling the user why not.
    int OpenCommport(const QString& port, int baud, int dataBits, int stopBits, int parity, int flowMode, int bufferSize);
    // Takes the port away from the senders, stops it (bounded) and deletes it.
    void CloseCommport();
    std::shared_ptr<CSerialPort> Port() const { return m_pSerialPort; }

    // Transmit functions.
    void SendToModule(const QString& text, int mode, bool addLineEnd) { m_tx.SendToModule(text, mode, addLineEnd); }
    void SendToModuleQuiet(const QString& text, int mode, bool addLineEnd) { m_tx.SendToModuleQuiet(text, mode, addLineEnd); }
    void SendToModuleEcho(const QString& text, int mode, bool addLineEnd, bool echo) { m_tx.SendToModuleEcho(text, mode, addLineEnd, echo); }
    void SendScriptLine(const QString& text, int mode, bool addLineEnd) { m_tx.SendScriptLine(text, mode, addLineEnd); }
    void SendRawBytes(const QByteArray& bytes) { m_tx.SendRawBytes(bytes); }
    void SendByte(unsigned char byte) { m_tx.SendByte(byte); }
    PortTransmitter& Transmitter() { return m_tx; }

    using LineListener = std::function<void(const QString& line)>;
    void AddLineListener(LineListener listener) { m_lineListeners.push_back(std::move(listener)); }
    void BroadcastLine(const QString& line);

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

    // The receive path, on the UI thread.
    void OnPortReceive(const QByteArray& chunk);
    int OnCtsChanged(long state);
    int OnDsrChanged(long state);
    int OnDcdChanged(long state);
    int OnRingChanged(long state);
    // The last reported CTS state (0/1).
    int CtsState() const { return m_nCtsState; }

    std::atomic<int> m_bShowRxHex{0};
    std::atomic<int> m_bHexDisplay{0};

    CTestItemDlg_home* HomePage() const { return m_home; }
    CTestItemDlg_sms* SmsPage() const { return m_sms; }
    CFunctionTestDlg_tcpip* TcpPage() const { return m_tcpip; }
    CTestItemDlg_voice* VoicePage() const { return m_voice; }
    CTestitemDlg_pppdial* PppPage() const { return m_ppp; }
    CTestitemDlg_position* LocatorPage() const { return m_position; }
    CTestItemDlg_gnss* GnssPage() const { return m_gnss; }
    CTestItemDlg_script* ScriptPage() const { return m_script; }
    CPageTitleStrip* TitleStrip() const { return m_pTitleStrip; }
    CTestitemDlg_MMS* MmsPage() const { return m_mms; }
    PageDialog* VisiblePage() const;

    // Hooks the later work fills: the environment check run before a test page
    // (page kind, option; returns 1 ready, 0 not), the status bar's line pane,
    // the PPP receiver.
    std::function<int(int kind, int option)> m_envCheck;
    std::function<void(const QString&)> m_statusLinePane;
    std::function<void(const QByteArray&)> m_pppRawReceiver;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowPageOf(PageKey key, bool gsm);
    void ShowPage(PageDialog* page, const QString& title, int envKind, int envOption);
    void DispatchReceived(const QByteArray& text, const QString& hex);
    void LineChanged(int& stored, long state, const char* note);
    void PlacePages();
    ReceiveRouter::Page RouterPage() const;

    PortTransmitter m_tx;
    std::shared_ptr<CSerialPort> m_pSerialPort;
    std::vector<LineListener> m_lineListeners;
    LineAssembler m_lines;
    AnsiStreamDecoder m_rxText; // the received text for the reply buffer
    ReceiveRouter m_router;
    int m_nCtsState = 0, m_nDsrState = 0, m_nRingState = 0, m_nDcdState = 0;
    int m_nCurPage = 0;
    bool m_bScriptShown = false;

    CPageTitleStrip* m_pTitleStrip;
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

// "YYMMDDhhmmssZZ" as "20YY/MM/DD  hh:mm:ss+ZZ"; any other length unchanged.
QString FormatSmsTimestamp(const QString& stamp);

} // namespace ulv
