#pragma once

#include <QPointer>
#include <QTabBar>
#include <QWidget>
#include <array>

namespace ulv {

// A tab strip hosting up to 16 dialog pages (owned by the caller) below it.
class CPageTabCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxPages = 16;
    // The number of the message a page gets when its tab is chosen.
    static constexpr int WM_PAGE_SELECTED = 0x434;

    explicit CPageTabCtrl(QWidget* parent = nullptr);

    // False when 16 pages exist.
    bool AddPage(const QString& title, QWidget* page, int templateId);
    // Makes the pages children of the control, one tab each; the first shows.
    void CreatePages();
    // Places every page below the tabs, inset by 2 at the right and bottom.
    void ResizePages();
    // The previous current page; -1 for an index outside the pages.
    int SelectPage(int index);
    QWidget* GetActivePage() const;
    int GetPageCount() const { return m_nPageCount; }
    int GetCurrentPage() const { return m_nCurrentPage; }
    QTabBar* TabBar() const { return m_tabs; }

Q_SIGNALS:
    // The user chose this tab; the page has had WM_PAGE_SELECTED (wParam =
    // the index) first.
    void PageSelected(QWidget* page, int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnTabChanged(int index);

    QTabBar* m_tabs;
    std::array<QString, kMaxPages> m_titles;
    std::array<int, kMaxPages> m_templateIds{};
    // The caller may delete a page; a deleted one is simply not shown.
    std::array<QPointer<QWidget>, kMaxPages> m_pages{};
    int m_nPageCount = 0;
    int m_nCurrentPage = 0;
    bool m_selecting = false;
};

} // namespace ulv
