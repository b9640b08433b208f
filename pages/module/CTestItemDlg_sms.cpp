#include "pages/module/CTestItemDlg_sms.h"

#include "ui/controls/CHexRichEdit.h"

namespace ulv {

CTestItemDlg_sms* g_pSmsPage = nullptr;

CTestItemDlg_sms::CTestItemDlg_sms(QWidget* parent)
    : PageDialog(QStringLiteral("CTestItemDlg_sms"), parent)
    , m_editMessage(new CHexRichEdit(this))
{
    m_editMessage->setObjectName(QStringLiteral("message"));
    m_editMessage->setAcceptRichText(false);
    m_editMessage->setGeometry(27, 120, 364, 92);
    g_pSmsPage = this;
}

CTestItemDlg_sms::~CTestItemDlg_sms()
{
    if (g_pSmsPage == this)
        g_pSmsPage = nullptr;
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
