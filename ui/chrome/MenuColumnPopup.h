#pragma once

#include "ui/chrome/WinMenu.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

class QEventLoop;

namespace ulv {

// The popup that shows a menu whose items start new columns (MF_MENUBREAK,
// MF_MENUBARBREAK), which a QMenu cannot lay out. Every column is as wide as
// its widest item and the popup as tall as its tallest column; a bar break
// puts an etched line between two columns; a side bar is a column of its
// own, the full height of the popup. Items are measured and painted through
// the same WM_MEASUREITEM and WM_DRAWITEM routing as on a QMenu. Up and Down
// run through all items in order (Home and End to either end), Left and
// Right go to the neighbouring column; sub-menus open as popups of this kind.
class MenuColumnPopup : public QWidget {
public:
    // parentPopup is the popup whose item opened this one; null for the
    // tracked menu itself.
    explicit MenuColumnPopup(HMENU menu, MenuColumnPopup* parentPopup = nullptr);
    ~MenuColumnPopup() override;

    // Sends WM_INITMENUPOPUP and lays the items out; the size is then known.
    void Prepare();
    // Shows the prepared popup at a screen point, kept on the screen, and
    // runs until it closes; the item chosen, or null.
    QAction* Exec(const QPoint& at);

    HMENU Menu() const { return m_menu; }
    // The item's rectangle in the popup; empty when the position has none.
    QRect ItemRect(int position) const;
    // The highlighted item's position in the menu; -1 when none.
    int HilitePosition() const;
    // The sub-menu popup open now, if any.
    MenuColumnPopup* OpenSubMenu() const { return m_child; }

    QSize sizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Cell {
        QPointer<QAction> action;
        int position = 0; // in the menu
        int column = 0;
        QRect rect;
        bool selectable = false;
    };

    void Layout();
    void Unregister();
    void ShowAt(const QPoint& at);
    MenuColumnPopup* Root();
    int CellAt(const QPoint& local) const;
    int CellOfPosition(int position) const;
    void SetCurrent(int cell);
    int NextInOrder(int from, int step) const;
    int InNeighbourColumn(int from, int step, bool wrap) const;
    int FirstSelectable() const;
    void Activate(int cell, bool byKey);
    void OpenChild(int cell, bool selectFirst);
    void CloseChild();
    void Choose(QAction* action);
    void CloseAll();
    void HandleMenuChar(QChar c);
    // Mouse input that falls outside a sub-menu goes to the popups under it;
    // true when one of them (or the menu's own filters) took it.
    bool RouteMouse(QMouseEvent* event);
    void HoverAt(const QPoint& global);
    void PressAt(const QPoint& global);

    QPointer<QMenu> m_menu;
    QObject* m_menuObject = nullptr;
    QMenu* m_shownAs = nullptr; // the menu this popup is registered as showing
    QPointer<MenuColumnPopup> m_parent;
    QPointer<MenuColumnPopup> m_child;
    int m_childCell = -1;
    std::vector<Cell> m_cells;
    std::vector<int> m_barLines; // x of each etched line between columns
    int m_columns = 0;
    QSize m_size;
    int m_current = -1;
    // A release chooses only once the mouse was pressed in or moved over
    // the popup: not the release of the click that opened it.
    bool m_armed = false;
    bool m_relayoutQueued = false;
    QPointer<QAction> m_chosen;
    QEventLoop* m_loop = nullptr;
    QTimer m_subMenuTimer;
};

} // namespace ulv
