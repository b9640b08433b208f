#pragma once

#include <QWidget>
#include <functional>

namespace ulv {

class COutlookBar;
class CPagerCtrl;

// The left pane: one large icon per page of the module family in the
// navigation bar, inside a pager that scrolls it when the pane is too short.
// A click asks the page host for that page.
class COutbarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarId = 101;
    static constexpr int kPagerId = 50050;

    explicit COutbarView(int moduleType, QWidget* parent = nullptr);

    // Builds the pager, the bar and the family's items; false when a control
    // cannot be made.
    bool OnCreate();
    // WM_OUTLOOKBAR_CLICK from the bar: the selected line and the control id.
    int OnOutlookBarClick(long wParam, long lParam);

    // Where a page request goes (WM_SWITCHPAGE to the page host by default).
    void SetPageSwitcher(std::function<void(int page)> switcher) { m_switchPage = std::move(switcher); }

    COutlookBar* Bar() const { return m_bar; }
    CPagerCtrl* Pager() const { return m_pager; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_moduleType;
    COutlookBar* m_bar = nullptr;
    CPagerCtrl* m_pager = nullptr;
    std::function<void(int)> m_switchPage;
};

} // namespace ulv
