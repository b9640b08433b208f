#pragma once

#include "core/at/WorkerPool.h"
#include "core/ppp/IpcpAddressState.h"
#include "core/ppp/LcpOptionState.h"
#include "core/ppp/PppUdp.h"
#include "pages/PageDialog.h"

#include <QByteArray>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;

namespace ulv {

class CFolderTabCtrl;
class CDigitsOnlyEdit;
class ModemSession;

// 1 while the dial or terminate worker runs: the modem-line notes then go to
// the negotiation log too.
extern std::atomic<int> PppDialInProgress;

// The PPP dial-up page: the program's own PPP client dials over the module's
// main port, shows the negotiated addresses, and sends and receives single UDP
// datagrams over the link.
class CTestitemDlg_pppdial : public PageDialog {
    Q_OBJECT
public:
    explicit CTestitemDlg_pppdial(QWidget* parent = nullptr);
    ~CTestitemDlg_pppdial() override;

    void OnButtonDial();
    void OnPortLost() override;
    void OnButtonTerminate();
    void OnButtonStop();
    void OnButtonSendUdp();
    void OnButtonClear();
    void OnButtonIpChecksum();
    void OnButtonUdpChecksum();
    // The template's hidden tools: back to data mode ("ATO0") and out of it ("+++").
    void OnButtonDataMode();
    void OnButtonCommandMode();
    // Fills the APN, user and password fields from the database for the SIM's
    // network (any thread); nothing changes for the codes the fields belong to.
    void LookupRecommendedApn(const QString& mcc, const QString& mnc);

    void SaveSettings();
    void LoadSettings();
    QString SettingsPath() const;
    void AppendLogLine(const QString& text);
    void AppendUdpDataLine(const QString& text);
    void ShowIpcpAddresses(const IpcpAddressState& state);
    // A received chunk while the link is up (the host's raw hook).
    void PppRawChunk(const QByteArray& chunk);
    void SelectTab(int index);

    QLineEdit* ApnEdit() const { return m_editApn; }
    QLineEdit* UserEdit() const { return m_editUser; }
    QLineEdit* PasswordEdit() const { return m_editPassword; }
    QLineEdit* MainCommandEdit() const { return m_editMainCommand; }
    QComboBox* AuthCombo() const { return m_comboAuth; }
    QComboBox* DnsNumberCombo() const { return m_comboDnsNumber; }
    QPushButton* DialButton() const { return m_btnDial; }
    QPushButton* TerminateButton() const { return m_btnTerminate; }
    QLabel* IpLabel() const { return m_staticIp; }
    QLabel* Dns1Label() const { return m_staticDns1; }
    QLabel* Dns2Label() const { return m_staticDns2; }
    QTextEdit* LogPane() const { return m_editLog; }
    QTextEdit* UdpPane() const { return m_editUdpReceived; }
    QLineEdit* SourceIpEdit() const { return m_ipSource; }
    QLineEdit* DestIpEdit() const { return m_ipDest; }
    QLineEdit* SourcePortEdit() const;
    QLineEdit* DestPortEdit() const;
    QPlainTextEdit* SendDataEdit() const { return m_editSendData; }
    CFolderTabCtrl* FolderTabs() const { return m_folderTabs; }
    QLineEdit* FrameDataEdit() const { return m_editFrameData; }
    // The message boxes of the page go through here (tests record them).
    std::function<void(const QString&)> m_showMessage;
    QString m_strMcc, m_strMnc;

private:
    void BuildHiddenPanel();
    void ShowMessage(const QString& text);
    void SetDialIdle(bool idle);
    void ClearAddresses();

    QLineEdit* m_editApn;
    QLineEdit* m_editUser;
    QLineEdit* m_editPassword;
    QLineEdit* m_editMainCommand;
    QCheckBox* m_checkMainCommand;
    QComboBox* m_comboDnsNumber;
    QComboBox* m_comboAuth;
    QComboBox* m_comboIpVersion;
    QPushButton* m_btnDial;
    QPushButton* m_btnTerminate;
    QPushButton* m_btnStop;
    QLabel* m_staticIp;
    QLabel* m_staticDns1;
    QLabel* m_staticDns2;
    CFolderTabCtrl* m_folderTabs;
    QList<QList<QWidget*>> m_tabWidgets;
    QTextEdit* m_editLog;
    QPushButton* m_btnClear;
    QTextEdit* m_editUdpReceived;
    QLineEdit* m_ipSource;
    QLineEdit* m_ipDest;
    CDigitsOnlyEdit* m_editSourcePort;
    CDigitsOnlyEdit* m_editDestPort;
    QPlainTextEdit* m_editSendData;
    QPushButton* m_btnSend;
    QLineEdit* m_editFrameData; // hidden: the last frame sent, for the checksum tools
    // The template's controls that no user reaches: they stay on this hidden panel.
    QWidget* m_hiddenPanel;
    QPushButton* m_btnRecommendApn;
    QCheckBox* m_check1038;
    QLineEdit* m_edit1039;

    // What the last dial negotiated: the ACCM escapes every later frame.
    std::mutex m_linkLock;
    LcpOptionState m_lcp;
    IpcpAddressState m_ipcp;
    PppRawReceiver m_receiver;
    TaskWorkers m_workers;
};

} // namespace ulv
