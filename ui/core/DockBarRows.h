#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace ulv {

// Dock-bar ids a docked bar reports as its side; a floating bar reports 59423.
constexpr unsigned AFX_IDW_DOCKBAR_TOP = 59419;
constexpr unsigned AFX_IDW_DOCKBAR_LEFT = 59420;
constexpr unsigned AFX_IDW_DOCKBAR_RIGHT = 59421;
constexpr unsigned AFX_IDW_DOCKBAR_BOTTOM = 59422;
constexpr unsigned AFX_IDW_DOCKBAR_FLOAT = 59423;

// Hit codes of the sizing edges.
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;

class SizingBarState;

// Anything docked in a row of a dock bar. A sizing bar shares the row's
// length with the other sizing bars; any other bar keeps its window's length.
class DockRowBar {
public:
    virtual ~DockRowBar() = default;
    virtual bool IsRowVisible() const = 0;
    // The window rectangle relative to the dock bar.
    virtual QRect RowRect() const = 0;
    virtual void MoveInRow(const QRect& rect) = 0;
    virtual SizingBarState* AsSizingBar() { return nullptr; }
    const SizingBarState* AsSizingBar() const { return const_cast<DockRowBar*>(this)->AsSizingBar(); }
};

// The bars docked on one side of a frame, row after row, in one array: a
// null entry ends a row, and an entry holding only a control id (below
// 0x10000) keeps the place of a bar that is hidden or floating, so that it
// comes back where it was. The array starts and ends with a row end.
class DockBarRows {
public:
    struct Entry {
        DockRowBar* bar = nullptr;
        unsigned placeholder = 0;
        bool IsRowEnd() const { return !bar && placeholder == 0; }
    };
    static constexpr unsigned kPlaceholderLimit = 0x10000;

    explicit DockBarRows(unsigned side = AFX_IDW_DOCKBAR_TOP);

    unsigned Side() const { return m_side; }
    bool IsHorz() const { return m_side == AFX_IDW_DOCKBAR_TOP || m_side == AFX_IDW_DOCKBAR_BOTTOM; }
    const std::vector<Entry>& Entries() const { return m_arrBars; }

    // Puts the bar at the end of the last row, or in a new row of its own.
    void AddBar(DockRowBar* bar, bool newRow = false);
    // Keeps the place of a hidden or floating bar by its id; ids from
    // 0x10000 up (and 0) cannot be told from a bar or a row end and are
    // refused.
    bool AddPlaceholder(unsigned id, bool newRow = false);
    // Ends a row just before index (an index of Entries()).
    void InsertRowBreak(int index);
    // Takes the bar out; a row left empty goes with it.
    bool RemoveBar(const DockRowBar* bar);
    int FindBar(const DockRowBar* bar) const;
    void Clear();
    // The bars of each row, placeholders left out (visible or not).
    std::vector<std::vector<DockRowBar*>> Rows() const;

    // The rectangle the frame lays the side out in, and the frame's client
    // rectangle used when that is empty.
    QRect m_rectLayout;
    QRect m_rectSiteClient;
    // The frame's client area left over by all its bars, in which a bar's
    // cross size may grow.
    QRect m_rectFreeClient;
    // The side is only being measured: delayed shows and hides wait.
    bool m_bLayoutQuery = false;
    // A bar moved by a row operation: the frame must lay out again.
    bool m_bDelayedLayout = false;
    // A row operation inserted a row break.
    bool m_bRowsChanged = false;

private:
    unsigned m_side;
    std::vector<Entry> m_arrBars;
};

// What a sizing bar keeps and does without its window: its sizes, the
// sharing of its row's length, the lining up of the row and the edge drag.
class SizingBarState : public DockRowBar {
public:
    SizingBarState* AsSizingBar() override { return this; }
    bool IsRowVisible() const override;
    QRect RowRect() const override { return m_rcRow; }
    void MoveInRow(const QRect& rect) override { m_rcRow = rect; }

    bool IsHorzDocked() const;
    bool IsVertDocked() const;
    bool IsFloatingState() const { return m_nDockBarID == AFX_IDW_DOCKBAR_FLOAT; }

    struct RowBounds {
        int first = -1;
        int last = -1;
        int self = -1; // -1: the bar is not in its dock bar
    };
    RowBounds FindRowBounds() const;
    // The visible sizing bars of the row in order; thisIndex gets this bar's
    // place among them (-1 when it is not one of them).
    std::vector<SizingBarState*> CollectRowBars(int* thisIndex = nullptr) const;

    // The docked size for an orientation, each dimension at least its
    // minimum; the first sizing bar of a row shares the row's length first
    // when the frame is laying out its bars.
    QSize CalcFixedLayout(bool stretch, bool horz);
    // Shares the row's total length among its sizing bars. False when a row
    // break was inserted before this bar, so the side must be laid out anew.
    bool ShareRowLength(int totalLength, bool horz);
    // Places the row's visible bars one after another, each overlapping the
    // one before by 2 pixels.
    void LineUpRow(bool horz);
    // The edges a neighbour in the row makes sizable (SCBS_EDGE* bits).
    unsigned RowSizingEdges() const;

    // Edge drag: edgeCentre is the centre of the dragged edge along the drag
    // axis, in the same coordinates as point.
    void BeginEdgeDrag(int hitCode, const QPoint& point, int edgeCentre);
    void DragEdgeTo(const QPoint& point);
    void EndEdgeDrag();
    bool IsDragAlongRow() const;
    static bool IsEdgeDragging() { return s_bDragging; }

    // The window is about to be shown or moved; a bar shown while docked
    // keeps its length through the next sharing of its row.
    void OnPositionChanging(unsigned dockBarId, bool showing);
    // A show or hide the frame deferred to its next layout.
    enum class PendingShow { None, Show, Hide };
    void ApplyPendingShow();

    int LengthIn(bool horz) const { return horz ? m_szHorz.width() : m_szVert.height(); }
    int MinLengthIn(bool horz) const
    {
        const int own = horz ? m_szMinHorz.width() : m_szMinVert.height();
        return own > WindowMinLength(horz) ? own : WindowMinLength(horz);
    }
    int CrossIn(bool horz) const { return horz ? m_szHorz.height() : m_szVert.width(); }
    void SetLengthIn(bool horz, int length);
    void SetCrossIn(bool horz, int cross);

    QSize m_szHorz{200, 200};
    QSize m_szVert{200, 200};
    QSize m_szFloat{200, 200};
    QSize m_szMinHorz{33, 32};
    QSize m_szMinVert{33, 32};
    QSize m_szMinFloat{37, 32};
    bool m_bKeepSize = false;
    bool m_bParentSizing = false;
    unsigned m_nDockBarID = 0;
    DockBarRows* m_pDockBar = nullptr;
    PendingShow m_pendingShow = PendingShow::None;
    bool m_bVisible = true;
    QRect m_rcRow;

    int m_htEdge = 0;
    int m_nTrackPosMin = 0;
    int m_nTrackPosMax = 0;
    int m_nTrackPosOld = 0;
    int m_nTrackEdgeOfs = 0;

protected:
    SizingBarState();
    ~SizingBarState() override;
    // Whether the window itself is shown (a delayed show or hide aside).
    virtual bool IsWindowShown() const { return m_bVisible; }
    virtual void SetWindowShown(bool shown) { m_bVisible = shown; }
    // The least length the window itself can be given along a row (its
    // title and content may need more than the bar's minimum).
    virtual int WindowMinLength(bool /*horz*/) const { return 0; }

    // One edge drag at a time in the whole program: the mouse is captured.
    static bool s_bDragging;
    // This bar runs the drag (a bar going away mid-drag ends it).
    bool m_bDragOwner = false;
};

// A sizing bar with no window, as the row operations see it.
class SizingBarModel : public SizingBarState {
public:
    SizingBarModel() = default;
    ~SizingBarModel() override = default;
};

} // namespace ulv
