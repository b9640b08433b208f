#pragma once

#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QToolBar>
#include <memory>
#include <vector>

class QMainWindow;

namespace ulv {

class CAutoHideBar;
class CAutoHideFloatWnd;
class CDockPageBar;

// Strip ids of the four frame edges.
constexpr int kAutoHideTopId = 59435;
constexpr int kAutoHideBottomId = 59436;
constexpr int kAutoHideLeftId = 59437;
constexpr int kAutoHideRightId = 59438;

// One page of a pinned page bar.
struct AutoHideTabItem {
    QPointer<QWidget> m_pWnd;
    QString m_sTitle;
    QIcon m_hIcon;
    QRect m_rect; // in the strip
    bool m_bShowText = false; // only the active tab shows its title
    QRect m_rcSlideOut; // the window's size when it last slid back; empty until then

    void Draw(QPainter& p, bool horz) const;
};

// A page bar pinned into a strip: its tabs and its sliding window.
class AutoHideGroup {
public:
    AutoHideGroup() = default;
    virtual ~AutoHideGroup();
    AutoHideGroup(const AutoHideGroup&) = delete;
    AutoHideGroup& operator=(const AutoHideGroup&) = delete;

    void AttachBar(CDockPageBar* bar, CAutoHideBar* strip, unsigned sideStyle);
    void ShowTab(int index);
    // Gives every page back to the bar, shows the bar again and leaves the
    // group without tabs (the strip then removes it).
    void RestoreBar();
    // Lays the tabs out from the running position and moves it past them.
    void LayoutTabs(const QFontMetrics& fm, QRect& running);
    void Draw(QPainter& p) const;
    // The tab under a strip point, -1 for none.
    int TabAt(const QPoint& pos) const;
    bool IsHorz() const;

    QRect m_rect;
    QPointer<CDockPageBar> m_pBar;
    CAutoHideFloatWnd* m_pFloatWnd = nullptr;
    std::vector<std::unique_ptr<AutoHideTabItem>> m_tabs;
    QRect m_rcSlideOut;
    unsigned m_dwStyle = 0;
    int m_nActiveTab = -1;
    CAutoHideBar* m_pStrip = nullptr;
};

// The strip along one frame edge that holds the tabs of pinned page bars. It
// lies outside the dock areas and is hidden while it holds no group.
class CAutoHideBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr QRgb kBackground = 0xFFF7F3E9; // RGB(247, 243, 233)
    static constexpr QRgb kFrame = 0xFFD6D7CE; // RGB(214, 215, 206)
    static constexpr int kDepth = 24;
    static constexpr int kBottomDepth = 22;
    static constexpr int kHoverMs = 400;

    explicit CAutoHideBar(QWidget* parent = nullptr);
    // Gives every pinned page back to its bar first: pages must not vanish
    // with the strip.
    ~CAutoHideBar() override;

    // Places the strip on the edge of sideStyle (CBRS_ALIGN_* bits).
    bool Create(QMainWindow* parent, unsigned sideStyle, int id);
    int GetDlgCtrlID() const { return m_id; }
    unsigned SideStyle() const { return m_dwStyle; }
    bool IsHorz() const;
    // The room the strip takes across its edge.
    int Depth() const;

    void AddGroup(CDockPageBar* bar);
    void RemoveClosedGroups();
    int GroupCount() const { return int(m_groups.size()); }
    AutoHideGroup* Group(int index) const;
    AutoHideGroup* HoveredGroup() const { return m_pHoveredGroup; }
    QMainWindow* Frame() const { return m_frame; }

    // Lays the groups out along the strip.
    void LayoutGroups();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void OnHover();
    void ShowTabAt(const QPoint& pos);

    std::vector<std::unique_ptr<AutoHideGroup>> m_groups;
    QMainWindow* m_frame = nullptr;
    int m_id = 0;
    unsigned m_dwStyle = 0;
    QFont m_font;
    AutoHideGroup* m_pHoveredGroup = nullptr;
    QTimer m_hoverTimer;
    QPoint m_hoverPos;
};

} // namespace ulv
