#pragma once

#include "ui/controls/WinLook.h"

#include <QBrush>
#include <QPixmap>
#include <QWidget>
#include <list>

namespace ulv {

constexpr int WM_OUTLOOKBAR_CLICK = 0x7FB;

struct OutlookBarItem {
    QPixmap icon; // null when the icon resource is missing
    int index = -1; // list index the line got when it was inserted
    QString text;
};

// The navigation bar: a column of large icons with a caption under each. The
// line under the mouse is highlighted (raised), a pressed line is sunken, and a
// press and release reports the selected line to the owner.
class COutlookBar : public QWidget {
    Q_OBJECT
public:
    explicit COutlookBar(QWidget* parent = nullptr);
    ~COutlookBar() override;

    virtual bool Create(QWidget* parent, int id);

    int InsertItem(int index, unsigned iconId, const QString& text);
    int AddItem(unsigned iconId, const QString& text);
    // The same with a bitmap resource for the picture (drawn at the icon size).
    int InsertBitmapItem(int index, int bitmapId, const QString& text);
    // The item at a list position; null outside 0 .. count - 1.
    OutlookBarItem* GetItem(int index) const;
    int GetCount() const { return int(m_items.size()); }
    int GetCurSel() const { return m_curSel; }
    void SetCurSel(int index);
    int ControlId() const { return m_id; }
    int LineHeight() const { return 2 * m_iconHeight; }
    // Height all lines need.
    int ContentHeight() const { return GetCount() * LineHeight(); }
    // The nearest line to a point and whether the point lies outside every line.
    int ItemFromPoint(const QPoint& point, bool* outside) const;
    QRect ItemRect(int index) const;

    COLORREF m_crBackground;
    COLORREF m_crText;

Q_SIGNALS:
    // WM_OUTLOOKBAR_CLICK: the selection at the release (-1 for none) and the
    // bar's control id; delivered synchronously.
    void OutlookBarClick(long wParam, long lParam);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void TrackHover();
    void DrawItem(QPainter& p, int index) const;

    QBrush m_background;
    int m_iconWidth;
    int m_iconHeight;
    bool m_bHover = true;
    bool m_bPressed = false;
    QPoint m_lastMouse;
    std::list<OutlookBarItem> m_items;
    int m_curSel = -1;
    int m_id = 0;
};

} // namespace ulv
