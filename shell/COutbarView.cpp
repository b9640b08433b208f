#include "shell/COutbarView.h"

#include "shell/CTestView1.h"
#include "ui/chrome/COutlookBar.h"
#include "ui/chrome/CPagerCtrl.h"
#include "ui/controls/WinLook.h"

namespace ulv {

namespace {

    struct NavItem {
        const char* text;
        unsigned icon;
    };

    constexpr NavItem kUmtsItems[]
        = { { "Home", 283 }, { "SMS", 284 }, { "MMS", 284 }, { "Voice Call", 285 }, { "TCP/UDP", 286 }, { "PPP", 287 },
              { "MorvLocator", 313 }, { "GNSS", 367 }, { "AT Command", 288 }, { "WEXO", 289 } };
    constexpr NavItem kGsmItems[] = { { "Home", 283 }, { "SMS", 284 }, { "Voice Call", 285 }, { "TCP/UDP", 286 },
        { "PPP", 287 }, { "MorvLocator", 313 }, { "AT Command", 288 }, { "WEXO", 289 } };

} // namespace

COutbarView::COutbarView(int moduleType, QWidget* parent)
    : QWidget(parent)
    , m_moduleType(moduleType)
{
    m_switchPage = [](int page) {
        if (g_pTestView1)
            g_pTestView1->OnSwitchPage(0, page);
    };
}

bool COutbarView::OnCreate()
{
    m_pager = new CPagerCtrl;
    if (!m_pager->Create(this, kPagerId))
        return false;
    m_bar = new COutlookBar;
    if (!m_bar->Create(m_pager, kBarId))
        return false;
    connect(m_bar, &COutlookBar::OutlookBarClick, this, &COutbarView::OnOutlookBarClick, Qt::DirectConnection);
    m_bar->m_crBackground = 0xFFFFFF;
    m_bar->m_crText = 0;
    m_bar->setFont(LogFont(QStringLiteral("Arial Unicode MS"), -11, 300));
    if (m_moduleType != 0) {
        for (int i = 0; i < int(std::size(kUmtsItems)); ++i)
            m_bar->InsertItem(i, kUmtsItems[i].icon, QString::fromLatin1(kUmtsItems[i].text));
    } else {
        for (int i = 0; i < int(std::size(kGsmItems)); ++i)
            m_bar->InsertItem(i, kGsmItems[i].icon, QString::fromLatin1(kGsmItems[i].text));
    }
    m_pager->SetCalcSize([this] { return m_bar->GetCount() * 2 * GetSystemMetrics(SM_CYICON); });
    m_pager->SetChild(m_bar);
    m_pager->SetButtonSize(15);
    return true;
}

int COutbarView::OnOutlookBarClick(long wParam, long lParam)
{
    // A release with nothing selected reports -1: no page to ask for.
    if (lParam != kBarId || wParam < 0 || !m_bar || wParam >= m_bar->GetCount())
        return 0;
    if (m_switchPage)
        m_switchPage(int(wParam));
    return 0;
}

void COutbarView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_pager)
        m_pager->setGeometry(0, 0, width(), height());
}

} // namespace ulv
