#include "ui/controls/CPageTabCtrl.h"

#include "ui/chrome/WinMenu.h"

namespace ulv {

CPageTabCtrl::CPageTabCtrl(QWidget* parent)
    : QWidget(parent)
    , m_tabs(new QTabBar(this))
{
    m_tabs->setDrawBase(true);
    connect(m_tabs, &QTabBar::currentChanged, this, &CPageTabCtrl::OnTabChanged);
}

bool CPageTabCtrl::AddPage(const QString& title, QWidget* page, int templateId)
{
    if (m_nPageCount >= kMaxPages)
        return false;
    m_titles[size_t(m_nPageCount)] = title;
    m_pages[size_t(m_nPageCount)] = page;
    m_templateIds[size_t(m_nPageCount)] = templateId;
    ++m_nPageCount;
    return true;
}

void CPageTabCtrl::CreatePages()
{
    m_selecting = true;
    for (int i = 0; i < m_nPageCount; ++i) {
        if (QWidget* page = m_pages[size_t(i)]) {
            page->setParent(this);
            page->setWindowFlags(Qt::Widget);
            page->setVisible(i == 0);
        }
        m_tabs->addTab(m_titles[size_t(i)]);
    }
    m_selecting = false;
    m_nCurrentPage = 0;
    ResizePages();
}

void CPageTabCtrl::ResizePages()
{
    m_tabs->setGeometry(0, 0, width(), m_tabs->sizeHint().height());
    if (m_nPageCount == 0)
        return;
    const QRect tab = m_tabs->count() > 0 ? m_tabs->tabRect(0) : QRect();
    const int x = tab.left();
    const int y = tab.bottom() + 1 + 1;
    for (int i = 0; i < m_nPageCount; ++i) {
        if (QWidget* page = m_pages[size_t(i)]) {
            page->setGeometry(x, y, std::max(0, width() - x - 2), std::max(0, height() - y - 2));
            page->setVisible(i == m_nCurrentPage);
        }
    }
}

int CPageTabCtrl::SelectPage(int index)
{
    if (index < 0 || index >= m_nPageCount)
        return -1;
    const int previous = m_nCurrentPage;
    if (index != m_nCurrentPage) {
        if (QWidget* old = m_pages[size_t(m_nCurrentPage)])
            old->hide();
        if (QWidget* page = m_pages[size_t(index)])
            page->show();
        m_nCurrentPage = index;
        m_selecting = true;
        m_tabs->setCurrentIndex(index);
        m_selecting = false;
    }
    return previous;
}

QWidget* CPageTabCtrl::GetActivePage() const
{
    const int index = m_tabs->currentIndex();
    return index >= 0 && index < m_nPageCount ? m_pages[size_t(index)].data() : nullptr;
}

void CPageTabCtrl::OnTabChanged(int index)
{
    if (m_selecting || index < 0 || index >= m_nPageCount)
        return;
    if (index != m_nCurrentPage) {
        if (QWidget* old = m_pages[size_t(m_nCurrentPage)])
            old->hide();
        if (QWidget* page = m_pages[size_t(index)])
            page->show();
        m_nCurrentPage = index;
    }
    QWidget* page = m_pages[size_t(index)];
    SendMessage(page, WM_PAGE_SELECTED, WPARAM(index), 0);
    Q_EMIT PageSelected(page, index);
}

void CPageTabCtrl::resizeEvent(QResizeEvent*)
{
    ResizePages();
}

} // namespace ulv
