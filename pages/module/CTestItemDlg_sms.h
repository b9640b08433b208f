#pragma once

#include "pages/PageDialog.h"
#include <mutex>
#include <vector>
namespace ulv {

class CHexRichEdit;

// The SMS page.
class CTestItemDlg_sms : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_sms(QWidget* parent = nullptr);
    ~CTestItemDlg_sms() override;
    // New-message indexes handed over by the receive path, oldest first.
    void QueueNewMessage(int index);
    std::vector<int> TakeQueuedMessages();

    // The message box (1350); the PDU and character dialogs append to it or
    // replace its content.
    CHexRichEdit* m_editMessage;

private:
    std::mutex m_queueLock;
    std::vector<int> m_queue;
};

// The SMS page while it exists; the SMS tool dialogs reach its message box here.
extern CTestItemDlg_sms* g_pSmsPage;

} // namespace ulv
