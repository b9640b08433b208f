#include "pages/module/CTestItemDlg_sms.h"

namespace ulv {

CTestItemDlg_sms::CTestItemDlg_sms(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_sms"), parent)
{
}

void CTestItemDlg_sms::QueueNewMessage(int index)
{
    std::lock_guard<std::mutex> g(m_queueLock);
    m_queue.push_back(index);
}

std::vector<int> CTestItemDlg_sms::TakeQueuedMessages()
{
    std::lock_guard<std::mutex> g(m_queueLock);
    std::vector<int> taken;
    taken.swap(m_queue);
    return taken;
}

} // namespace ulv
