#pragma once

#include "core/at/WorkerPool.h"
#include "core/text/CTextCodec.h"
#include "pages/PageDialog.h"
#include "pages/module/core/SmsScripts.h"

#include <QPointer>
#include <deque>
#include <mutex>
#include <vector>

class QLabel;
class QLineEdit;
class QModelIndex;
class QRadioButton;
class QTimer;

namespace ulv {

class CFlatComboBox;
class CFlatHeaderListCtrl;
class CHexRichEdit;
class CReadMessageDlg;
class CSkinButton;

// The SMS page: composes and sends short messages in text and PDU mode, reads,
// lists and deletes the messages on the SIM, and asks to read new ones as the
// receive path reports them.
class CTestItemDlg_sms : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_sms(QWidget* parent = nullptr);
    ~CTestItemDlg_sms() override;

    static constexpr int kQueueSize = 50;
    // A new-message index from the receive path. False when the queue is full:
    // the index is then reported in the terminal instead of being kept.
    bool QueueNewMessage(int index);
    // Every waiting index, oldest first, into out (room for kQueueSize); the count.
    int TakeNewMessages(int* out);
    std::vector<int> TakeQueuedMessages();

    // The Type list and input modes.
    // `sample`: put the Type's sample text into the box (a PDU made from "hello").
    void ApplyType(int type, bool sample = true);
    // The PDU dialog's Import: the PDU into the box and Type PDU, so Send sends it as a PDU.
    void ImportPdu(const QString& pdu);
    void OnTypeChanged(int selection);
    void OnInputKeyboard();
    void OnInputHexData();
    void OnMessageChanged();

    void OnButtonSend();
    void OnButtonRead();
    void OnButtonReadAll();
    void OnButtonDelete();
    void OnButtonDeleteAll();
    void OnButtonConversionTool();
    void OnListClick(const QModelIndex& index);
    void OnListDblClk(const QModelIndex& index);
    // Timer 1: turns the waiting new-message indexes into one question.
    void OnTimer();
    void LoadSmsConfig();

    // The read-message dialog now on show (nullptr when none).
    CReadMessageDlg* ReadDialog() const;

    CFlatComboBox* m_cmbType;
    CHexRichEdit* m_editMessage;
    CSkinButton* m_btnConversion;
    CSkinButton* m_btnDeleteAll;
    CSkinButton* m_btnSend;
    CSkinButton* m_btnReadAll;
    CSkinButton* m_btnRead;
    CSkinButton* m_btnDelete;
    CFlatHeaderListCtrl* m_listMessages;
    QLabel* m_labelStatus;
    QLineEdit* m_editReceiver;
    QLineEdit* m_editIndex;
    QLineEdit* m_editSmsc;
    QRadioButton* m_radioKeyboard;
    QRadioButton* m_radioHexData;
    QRadioButton* m_radioPdu;
    QRadioButton* m_radioCurrentSelect;
    QTimer* m_timer;

    int m_nNewIndexes[kQueueSize] = {};
    int m_nNewCount = 0;
    int m_nMaxIndex = 0;
    CTextCodec m_codec;
    int m_nType = 0;
    int m_nInputMode = 0;

    // Rows and dialogs the workers hand over.
    void PutEntry(const SmsEntry& entry);
    void AppendEntry(const SmsEntry& entry);
    void RemoveEntriesOf(const QString& index);
    void ShowReadMessage(const SmsEntry& entry);
    SmsEntry EntryOfRow(int row) const;

    // The numbers used when sms_config.ini does not give them.
    static const QString kDefaultReceiver;
    static const QString kDefaultSmsc;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    class Sink;
    bool CanStart() const;
    SmsReadRequest ReadRequest() const;
    // Runs a worker with the page's sink; `button` is disabled meanwhile.
    bool StartWorker(CSkinButton* button, std::function<void(const ScriptRunner&, SmsPageSink&)> body);
    void ShowNextReadMessage();
    void SetBoxText(const QString& text);

    std::mutex m_csQueue;
    int m_nQueue[kQueueSize] = {};
    int m_nQueueRead = 0;
    int m_nQueueWrite = 0;
    int m_nQueueCount = 0;

    std::deque<SmsEntry> m_pendingShows;
    QPointer<CReadMessageDlg> m_readDlg;
    TaskWorkers m_workers;
};

// The SMS page while it exists; the SMS tool dialogs reach its message box here.
extern CTestItemDlg_sms* g_pSmsPage;

} // namespace ulv
