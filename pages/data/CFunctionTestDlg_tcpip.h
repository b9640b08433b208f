#pragma once

#include "core/at/WorkerPool.h"
#include "pages/PageDialog.h"
#include "pages/data/core/TcpIpScripts.h"

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <atomic>
#include <functional>

class QCheckBox;
class QPushButton;
class QComboBox;
class QLabel;
class QRadioButton;
class QTextEdit;
class QTimer;

namespace ulv {

class CSkinButton;
class CFlatComboBox;
class ModemSession;

// The TCP/UDP page: a PDP context, one TCP or UDP connection through the
// module's own IP stack, sending and the data received, and the echo test.
class CFunctionTestDlg_tcpip : public PageDialog {
    Q_OBJECT
public:
    explicit CFunctionTestDlg_tcpip(QWidget* parent = nullptr);
    ~CFunctionTestDlg_tcpip() override;

    void LoadSettings();
    void SaveSettings();
    // A payload from the receive router (the page is on show): shown once, and
    // kept for a worker that waits for an answer.
    void OnSocketData(const QByteArray& payload);
    void AppendReceivedData(const QString& text);
    void OnReceivedLine(const QString& line) override;
    void OnPortLost() override;
    // The reply of a queued read.
    void OnJirdReply(const QString& reply);
    // Fills the APN boxes from the database for the SIM's network (any thread).
    void LookupRecommendedApn(const QString& mcc, const QString& mnc);
    bool EchoMode() const { return m_shared.echoMode.load() != 0; }

    void OnButtonPdpAct();
    void OnButtonDeact();
    void OnButtonConnect();
    void OnButtonSend();
    void OnButtonQuery();
    void OnCheckAutoQuery();
    void OnCheckEchoShow();
    void OnRadioIp();
    void OnRadioDomain();
    void OnSelchangeProtocol();
    void OnButtonClearSend();
    void OnButtonClearReceive();
    // The template's hidden tools: file import into the send box and the
    // checks that enable the send-count edit and "Get".
    void OnButtonBrowse();
    void OnCheckUnlimitedLen();
    void OnRadioDirectGetData();
    // Chooses the file to import; a test sets it, else a file dialog asks.
    std::function<QString()> m_choosePath;
    void OnTimer();

    // For the echo guide: the connect step (done(true) once connected; at once
    // done(false) when nothing could start) and the echo request.
    void PresetEchoServer(const QString& port);
    bool Connected() const;
    bool StartConnect(std::function<void(bool connected)> done);
    bool StartEchoRequest(std::function<void(bool echoed)> done);

    QLineEdit* ApnEdit() const { return m_editApn; }
    QLineEdit* UserEdit() const { return m_editUser; }
    QLineEdit* PasswordEdit() const { return m_editPassword; }
    QString ReceivedText() const;

    std::atomic<int> m_bConnectionClosed{0};
    std::atomic<int> m_bContextDeactivated{0};

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    bool m_bHiddenItself = false;
    ModemSession& Session() const;
    bool CanStart() const;
    void QueueRead(const QString& id);
    void WorkerEnded();
    void ApplyNoContext();
    void ApplyActivationFailed();
    void ApplyContextUp(const QString& address);
    void ApplyConnected();
    void ApplyDisconnected();
    ConnectSettings ReadConnectSettings() const;
    // The message for a server field that cannot go into the open command, else empty.
    QString CheckConnectFields() const;
    QString SettingsPath() const;
    void BuildHiddenPanel();

    TcpIpShared m_shared;
    QString m_strSavedMcc;
    QString m_strSavedMnc;

    QLineEdit* m_editApn;
    QLineEdit* m_editUser;
    QLineEdit* m_editPassword;
    CFlatComboBox* m_cmbAuth;
    QLineEdit* m_editLocalIp;
    CSkinButton* m_btnPdpAct;
    CSkinButton* m_btnDeact;
    QCheckBox* m_chkEchoShow;
    QRadioButton* m_radioIp;
    QRadioButton* m_radioDomain;
    QLabel* m_lblServer;
    QLineEdit* m_editServerIp;
    QLineEdit* m_editServerName;
    QLineEdit* m_editServerPort;
    QLineEdit* m_editLocalPort;
    CFlatComboBox* m_cmbProtocol;
    QLabel* m_lblAccessMode;
    CFlatComboBox* m_cmbAccessMode;
    CSkinButton* m_btnConnect;
    QCheckBox* m_chkAutoQuery;
    QLineEdit* m_editPeriod;
    QLabel* m_lblMs;
    QTextEdit* m_editSend;
    CSkinButton* m_btnSend;
    CSkinButton* m_btnQuery;
    CSkinButton* m_btnClearSend;
    QTextEdit* m_editReceive;
    CSkinButton* m_btnClearReceive;
    QTimer* m_timer;
    // The template's controls that no user reaches: they stay on this hidden panel.
    QWidget* m_hiddenPanel;
    QCheckBox* m_chkUnlimitedLen;
    QLineEdit* m_editSendCount;
    QRadioButton* m_radioDirectGetData;
    QPushButton* m_btnGet;
    QRadioButton* m_radioUntransparent;
    QLabel* m_lblDashes;
    TaskWorkers m_workers;
};

// The four-step echo-server guide.
class CEchoShowDlg : public QDialog {
    Q_OBJECT
public:
    explicit CEchoShowDlg(CFunctionTestDlg_tcpip* page, QWidget* parent = nullptr);
    int Counter() const { return m_nCounter; }
    void OnButtonNext();
    CSkinButton* NextButton() const { return m_btnNext; }
    CSkinButton* ExitButton() const { return m_btnExit; }
    QString Title() const;
    QString GuideText() const;

protected:
    void reject() override { }
    void accept() override { }

private:
    void ShowStep(const QString& title, const QStringList& lines);
    void StepDone();

    CFunctionTestDlg_tcpip* m_page;
    QTextEdit* m_editGuide;
    CSkinButton* m_btnNext;
    CSkinButton* m_btnExit;
    QLabel* m_lblTitle;
    QLineEdit* m_editPort;
    int m_nCounter = 0;
};

} // namespace ulv
