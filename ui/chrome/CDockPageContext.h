#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <memory>
#include <vector>

class QRubberBand;

namespace ulv {

class CDockPageBar;

// Where a dragged page bar would land.
struct DockDropZone {
    unsigned overDockStyle = 0; // CBRS_ALIGN_* of the zone; 0 floats
    unsigned zoneBit = 0; // 0x100 left, 0x200 right, 0x400 top, 0x800 bottom
    QRect dropRect; // empty without a target
};

// The drag of a page bar by its caption or of one of its tabs: the bar (or the
// torn-off page) merges into another page bar's tabs, docks beside a docked
// page bar, at an edge of the work area or of the frame, or floats.
class CDockPageContext {
public:
    // Drop modes.
    static constexpr unsigned kNone = 0;
    static constexpr unsigned kWorkArea = 2;
    static constexpr unsigned kFrameEdge = 4;
    static constexpr unsigned kBesideBar = 8;
    // The over-dock style of a merge.
    static constexpr unsigned kMerge = 1;
    static constexpr int kTearOffFirstId = 12345;

    explicit CDockPageContext(CDockPageBar* bar);
    ~CDockPageContext();

    void StartDrag(const QPoint& globalPos);
    void MoveDrag(const QPoint& globalPos);
    // Ends the drag where the last move left it.
    void DropBar();
    void CancelDrag();
    bool IsDragging() const { return m_bDragging; }

    // The zone of a target for a point: the left and right strips are 16
    // pixels wide, the top and bottom ones 32 high, tested in that order; a
    // target under 34 x 66 has none. The drop band is at most half the
    // target deep and at most depthLimit (across: the dragged bar's or the
    // frame's size). A frame-edge band (mode 4) spans the whole frame.
    static DockDropZone ComputeDropZone(const QRect& target, const QPoint& point, unsigned mode,
        const QSize& depthLimit, const QRect& frameRect, unsigned sideTargetStyle);

    // Takes the active page off the dragged bar into a new floating-ready
    // page bar with an id no other bar of the frame uses.
    CDockPageBar* CreateBarForPage();

    bool m_bOverItself = false;
    bool m_bPageDrag = false;
    QPointer<CDockPageBar> m_pMergeTarget;
    unsigned m_dwDropMode = kNone;
    unsigned m_dwOverDockStyle = 0;
    QPointer<CDockPageBar> m_pSideTarget;
    std::vector<QPointer<CDockPageBar>> m_createdBars;
    QRect m_rcMerge;
    QRect m_rcDrop;
    bool m_bDropTarget = false;
    QPoint m_ptLast;

private:
    bool FindMergeTarget(const QPoint& globalPos);
    void ShowDragFrame();

    CDockPageBar* m_pBar;
    bool m_bDragging = false;
    std::unique_ptr<QRubberBand> m_frame;
};

} // namespace ulv
