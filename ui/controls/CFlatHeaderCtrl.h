#pragma once

#include "ui/controls/ListHeaderView.h"

#include <QPixmap>
#include <QPointer>
#include <QSize>

#include <vector>

namespace ulv {

class CHeaderDragWnd;
class CHeaderDropWnd;

// Header drag notifications.
constexpr int HDN_BEGINDRAG = -310;
constexpr int HDN_ENDDRAG = -311;

// Width limits of one header column.
enum HeaderColumnLimitFlags : unsigned {
    HCL_FITCONTENT = 1,   // the width becomes the content width
    HCL_FITWITHARROW = 2, // ... with room for the sort arrow
    HCL_FIXED = 4,        // the user cannot resize the column
};
struct HeaderColumnLimits {
    unsigned flags = 0;
    int minWidth = 0;
    int maxWidth = -1; // below the minimum: no limit
};

enum HeaderProperty : int {
    FH_PROPERTY_SPACING = 1,
    FH_PROPERTY_ARROW = 2,        // cx in the low 16 bits, cy in the high
    FH_PROPERTY_STATICBORDER = 3,
    FH_PROPERTY_DONTDROPCURSOR = 4,
    FH_PROPERTY_DROPTARGET = 5,
};

// The flat header of the report lists: painted in the program's grey with
// etched dividers, a 3-D frame and a 3-D sort triangle on the column the
// owning list names; a pressed column shows inverted. It sorts nothing.
class CFlatHeaderCtrl : public ListHeaderView {
    Q_OBJECT
public:
    // What DrawHeaderItem draws of one column.
    struct HeaderItem {
        QString text;
        Qt::Alignment alignment = Qt::AlignLeft;
        QPixmap image;
    };

    explicit CFlatHeaderCtrl(QWidget* parent = nullptr);
    ~CFlatHeaderCtrl() override;

    void SetSortColumn(int column, bool ascending);
    int GetSortColumn(bool* ascending = nullptr) const;

    bool GetColumnLimits(int index, HeaderColumnLimits* limits) const;
    bool SetColumnLimits(int index, const HeaderColumnLimits& limits);

    bool SetHeaderProperty(int property, quintptr value);

    // Width of a column's parts with the spacing around them.
    int CalcContentWidth(int index, bool withArrow) const;

    void setModel(QAbstractItemModel* model) override;
    QSize sizeHint() const override;

    // The drag-and-drop style: columns are reordered by dragging a picture of
    // them to a position marked by the drop marker.
    void SetDragDropStyle(bool on) { m_bDragDrop = on; }
    // Where the cursor is during a drag: 0 over the header, 1 over the drop
    // target window, -1 elsewhere.
    int GetDropResult() const { return m_iDropResult; }
    // Sets the drop position (by point: the display position under a header
    // point, one more right of the item's middle, -1 off the items) and
    // places or removes the marker; returns the drop position.
    int OnSetHotDivider(bool byPoint, int value);
    int DropPosition() const { return m_iDropPos; }
    bool IsDragging() const { return m_bDragging; }
    CHeaderDragWnd* DragWindow() const;
    CHeaderDropWnd* DropMarker() const;
    bool HasStaticBorder() const { return m_bStaticBorder; }

Q_SIGNALS:
    // HDN_BEGINDRAG and HDN_ENDDRAG for the pressed item; setting *refuse
    // keeps the header from showing the drag (begin) or reordering (end).
    void HeaderDragNotify(int code, int item, bool* refuse);

protected:
    // Lays out and draws one item inside r (already shrunk by the spacing).
    virtual void DrawHeaderItem(QPainter& p, const QRect& r, const HeaderItem& item, bool sorted, bool ascending);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class CHeaderDragWnd;
    HeaderItem ItemOf(int logical) const;
    void StartColumnDrag();
    void TrackColumnDrag(const QPoint& pos);
    void EndColumnDrag();
    bool OnDivider(const QPoint& pos, int* logical) const;
    // Draws the parts, each returning the width it took (0 when not drawn).
    int DrawImage(QPainter& p, const QRect& r, const HeaderItem& item, bool atRight);
    int DrawLabel(QPainter& p, const QRect& r, const HeaderItem& item, Qt::Alignment alignment);
    int DrawSortArrow(QPainter& p, const QRect& r, bool ascending, bool atRight);
    void ApplyLimits(int logical);
    void OnColumnsInserted(const QModelIndex& parent, int first, int last);
    void OnColumnsRemoved(const QModelIndex& parent, int first, int last);

    int m_spacing = 6;
    QSize m_arrowSize{8, 8};
    int m_pressed = -1; // column pressed on its face (not a divider)
    int m_hot = -1;     // column under the mouse while the button is held
    bool m_sortAscending = false;
    int m_sortColumn = -1;
    std::vector<HeaderColumnLimits> m_limits;
    COLORREF m_highlight, m_shadow, m_text;
    QMetaObject::Connection m_inserted, m_removed, m_reset;

    bool m_bDragDrop = false;
    bool m_bStaticBorder = false;
    unsigned m_noDropCursor = 0;
    QPointer<QWidget> m_dropTarget;
    QRect m_rcDropTarget;
    int m_iDropResult = 0;
    int m_iDropPos = -1;
    QRgb m_crDropMarker = 0xFFFF0000; // COLORREF 0x0000FF
    bool m_bDragging = false;
    bool m_bDragRefused = false;
    int m_dragItem = -1;
    QPoint m_pressPoint;
    QPointer<CHeaderDropWnd> m_pDropWnd;
    QPointer<CHeaderDragWnd> m_pDragWnd;
};

} // namespace ulv
