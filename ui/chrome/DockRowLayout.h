#pragma once

#include "ui/core/DockBarRows.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class QDockWidget;
class QMainWindow;

namespace ulv {

class CSizingControlBar;

// The rows of docked bars on the four sides of a main window, kept as dock-bar
// arrays, and the layout that makes the window's dock areas follow them: each
// row's length is shared among its sizing bars by their own rule (one pixel at
// a time, bars just shown keeping their length, a row too short for its bars'
// minimums broken in two), and the lengths found are handed to the main
// window's dock layout so the bars get exactly those lengths. A drag on the
// gap between two bars of a row moves length by the same bars' rule: while the
// mouse moves, a halftone line shows where the edge goes, and the row takes
// the new lengths when the mouse is released.
//
// Qt keeps a separator between neighbours where the bars here overlap by 2
// pixels: the room a row's bars share is what the dock area leaves them after
// its separators, so the lengths the bars compute are their widgets' lengths.
class DockRowLayout : public QObject {
    Q_OBJECT
public:
    // The row layout of the frame, made on first use.
    static DockRowLayout* Of(QMainWindow* frame);
    ~DockRowLayout() override;

    // Lays the rows out once the events waiting now are handled; several
    // requests make one layout.
    void DelayRecalcLayout();
    // Lays the rows out now.
    void RecalcLayout();
    // Reads the rows from where the dock layout has put the bars.
    void ReadRows();
    // The dock bar of a side (one of the AFX_IDW_DOCKBAR_* ids but floating).
    DockBarRows& Side(unsigned id);
    // Bars re-docked by the layout itself are not being shown by anyone.
    bool IsRearranging() const { return m_rearranging; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DockRowLayout(QMainWindow* frame);
    struct PlainBar;
    void ReadSide(int index);
    // Shares every row of the side; true when the rows had to be broken
    // and the dock areas were re-arranged.
    bool ShareSide(int index);
    void ApplyLengths(int index);
    void Rearrange(int index);
    bool BeginRowDrag(const QPoint& pos);
    void EndRowDrag();
    void MoveDragLine();
    void ApplyRow(const std::vector<DockRowBar*>& row, bool horz);
    QDockWidget* WidgetOf(DockRowBar* bar) const;

    QMainWindow* m_frame;
    std::array<DockBarRows, 4> m_sides;
    std::vector<std::unique_ptr<PlainBar>> m_plain;
    bool m_pending = false;
    bool m_inLayout = false;
    bool m_rearranging = false;
    QPointer<CSizingControlBar> m_dragBar;
    QPointer<QWidget> m_dragLine;

public:
    // The line shown during an edge drag (null when no drag runs).
    QWidget* DragLine() const { return m_dragLine; }
    // Thickness of a sizing edge, and so of the drag line.
    static constexpr int kEdgeWidth = 5;
};

} // namespace ulv
