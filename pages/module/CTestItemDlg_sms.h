#pragma once

#include "pages/PageDialog.h"
#include <mutex>
#include <vector>
namespace ulv {

// The SMS page.
class CTestItemDlg_sms : public PageDialog {
    Q_OBJECT
public:
    explicit CTestItemDlg_sms(QWidget* parent = nullptr);
    // New-message indexes handed over by the receive path, oldest first.
    void QueueNewMessage(int index);
    std::vector<int> TakeQueuedMessages();

private:
    std::mutex m_queueLock;
    std::vector<int> m_queue;
};

} // namespace ulv
