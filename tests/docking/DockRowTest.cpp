// The row operations of sizing bars on a dock bar's array, without windows.
#include "ui/core/DockBarRows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ulv;

namespace {

// A bar that is not a sizing bar: its length in the row is its window's.
struct PlainBar : DockRowBar {
    explicit PlainBar(QRect r)
        : rect(r)
    {
    }
    bool IsRowVisible() const override { return true; }
    QRect RowRect() const override { return rect; }
    void MoveInRow(const QRect& r) override { rect = r; }
    QRect rect;
};

struct BarSizes {
    int length;
    int minimum = 33;
    bool keep = false;
    int cross = 100;
};

// One side of a frame whose rows are made from lists of bar lengths.
struct Side {
    explicit Side(unsigned id = AFX_IDW_DOCKBAR_TOP)
        : dock(id)
    {
    }
    SizingBarModel* Add(const BarSizes& sizes, bool newRow = false)
    {
        auto bar = std::make_unique<SizingBarModel>();
        const bool horz = dock.IsHorz();
        bar->m_nDockBarID = dock.Side();
        bar->m_pDockBar = &dock;
        bar->SetLengthIn(horz, sizes.length);
        bar->SetCrossIn(horz, sizes.cross);
        if (horz)
            bar->m_szMinHorz.setWidth(sizes.minimum);
        else
            bar->m_szMinVert.setHeight(sizes.minimum);
        bar->m_bKeepSize = sizes.keep;
        dock.AddBar(bar.get(), newRow);
        bars.push_back(std::move(bar));
        return bars.back().get();
    }
    void AddRow(const std::vector<BarSizes>& list)
    {
        bool first = true;
        for (const BarSizes& s : list) {
            Add(s, first && !bars.empty());
            first = false;
        }
    }
    std::vector<int> Lengths() const
    {
        std::vector<int> out;
        for (const auto& b : bars)
            out.push_back(b->LengthIn(dock.IsHorz()));
        return out;
    }
    // The array as text: "|" a row end, "p<id>" a placeholder, "b<n>" the
    // n-th bar made, "x" any other bar.
    std::string Layout() const
    {
        std::string s;
        for (const auto& e : dock.Entries()) {
            if (e.IsRowEnd()) {
                s += "|";
                continue;
            }
            if (!e.bar) {
                s += "p" + std::to_string(e.placeholder);
                continue;
            }
            std::string name = "x";
            for (size_t i = 0; i < bars.size(); ++i)
                if (bars[i].get() == e.bar)
                    name = "b" + std::to_string(i);
            s += name;
        }
        return s;
    }
    // Bars are destroyed before the dock bar they sit in.
    DockBarRows dock;
    std::vector<std::unique_ptr<SizingBarModel>> bars;
};

TEST(DockRow, SharingTheRowLengthOnePixelAtATime)
{
    struct Case {
        const char* name;
        std::vector<BarSizes> row;
        int total;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"one bar follows the row length", {{100}}, 250, {250}},
        {"one bar shrinks to the row length", {{300}}, 120, {120}},
        {"one bar marked to keep its size still follows", {{100, 33, true}}, 180, {180}},
        {"one bar with nothing to take loses its mark all the same", {{180, 33, true}}, 180, {180}},
        {"five over two: the first takes the odd pixel", {{100}, {100}}, 205, {103, 102}},
        {"minus five over two", {{100}, {100}}, 195, {97, 98}},
        {"seven over three", {{50}, {50}, {50}}, 157, {53, 52, 52}},
        {"a bar at its minimum is skipped while shrinking", {{33}, {100}, {100}}, 226, {33, 96, 97}},
        {"a bar marked to keep its size keeps it", {{100, 33, true}, {100}, {100}}, 306, {100, 103, 103}},
        {"the marked bar gives way once the others are at their minimums",
            {{100, 33, true}, {40}, {40}}, 150, {84, 33, 33}},
        {"bars at their minimums leave the rest unabsorbed", {{33}, {33}}, 64, {33, 33}},
        {"each bar's own minimum", {{100, 90}, {100, 33}}, 150, {90, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Side side;
        side.AddRow(c.row);
        EXPECT_TRUE(side.bars.front()->ShareRowLength(c.total, true));
        EXPECT_EQ(side.Lengths(), c.expected);
        for (const auto& b : side.bars)
            EXPECT_FALSE(b->m_bKeepSize) << "no keep-size mark outlives a sharing";
        EXPECT_FALSE(side.dock.m_bRowsChanged) << "the row holds its minimums";
    }
}

TEST(DockRow, SharingGivesEveryBarTheRowsWidestCrossSize)
{
    for (const unsigned id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT}) {
        SCOPED_TRACE(id);
        Side side(id);
        const bool horz = side.dock.IsHorz();
        side.AddRow({{100, 33, false, 80}, {100, 33, false, 120}, {100, 33, false, 60}});
        ASSERT_TRUE(side.bars[0]->ShareRowLength(300, horz));
        for (const auto& b : side.bars)
            EXPECT_EQ(b->CrossIn(horz), 120);
        // The other orientation's size is not touched.
        EXPECT_EQ(horz ? side.bars[0]->m_szVert : side.bars[0]->m_szHorz, QSize(200, 200));
    }
}

TEST(DockRow, ARowThatCannotHoldItsMinimumsIsBroken)
{
    struct Case {
        const char* name;
        bool plainFirst; // a 100-pixel bar that is not a sizing bar opens the row
        std::vector<BarSizes> row;
        int total;
        bool result;
        bool broken;
        const char* layout;
        std::vector<int> lengths;
    };
    const Case cases[] = {
        // Minimums 2 + 31 + 31 = 64 fit 70; the third bar's 95 does not.
        {"a bar after this one starts the next row", false, {{100}, {100}, {100}}, 70, true, true, "|b0b1|b2|",
            {35, 35, 100}},
        {"this bar alone past the total takes its minimum", true, {{200}, {100}}, 120, true, false, "|xb0b1|",
            {33, 100}},
        {"a bar before this one overflows: break after it, lay out again", true, {{100}}, 90, false, true,
            "|x|b0|", {100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Side side;
        PlainBar plain(QRect(0, 0, 100, 30));
        if (c.plainFirst)
            side.dock.AddBar(&plain);
        side.AddRow(c.row);
        side.dock.m_bRowsChanged = false;
        EXPECT_EQ(side.bars.front()->ShareRowLength(c.total, true), c.result);
        EXPECT_EQ(side.Layout(), c.layout);
        EXPECT_EQ(side.Lengths(), c.lengths);
        EXPECT_EQ(side.dock.m_bRowsChanged, c.broken);
        side.dock.RemoveBar(&plain);
    }
}

TEST(DockRow, OtherBarsTakeTheirWindowLengthOutOfTheRow)
{
    Side side;
    side.Add({100});
    PlainBar plain(QRect(0, 0, 50, 30));
    side.dock.AddBar(&plain);
    side.Add({100});
    // Available: 300 - (50 - 2) = 252 for two bars of 100.
    ASSERT_TRUE(side.bars[0]->ShareRowLength(300, true));
    EXPECT_EQ(side.Lengths(), (std::vector<int>{126, 126}));
    side.dock.RemoveBar(&plain);
}

TEST(DockRow, PlaceholdersAndHiddenBarsTakeNoPartOfTheRow)
{
    Side side;
    side.Add({100});
    ASSERT_TRUE(side.dock.AddPlaceholder(4711));
    side.Add({100});
    SizingBarModel* hidden = side.Add({100});
    hidden->m_bVisible = false;
    EXPECT_FALSE(side.dock.AddPlaceholder(0x10000)) << "not told apart from a bar";
    EXPECT_FALSE(side.dock.AddPlaceholder(0)) << "not told apart from a row end";
    EXPECT_EQ(side.Layout(), "|b0p4711b1b2|");
    ASSERT_TRUE(side.bars[0]->ShareRowLength(210, true));
    EXPECT_EQ(side.Lengths(), (std::vector<int>{105, 105, 100}));
    int at = -1;
    EXPECT_EQ(side.bars[1]->CollectRowBars(&at), (std::vector<SizingBarState*>{side.bars[0].get(), side.bars[1].get()}));
    EXPECT_EQ(at, 1);
}

TEST(DockRow, RowBoundsStopAtRowEnds)
{
    Side side;
    side.AddRow({{100}, {100}});
    side.AddRow({{100}, {100}, {100}});
    EXPECT_EQ(side.Layout(), "|b0b1|b2b3b4|");
    const SizingBarState::RowBounds b = side.bars[3]->FindRowBounds();
    EXPECT_EQ(b.first, 4);
    EXPECT_EQ(b.last, 6);
    EXPECT_EQ(b.self, 5);
    // Sharing one row leaves the other alone.
    ASSERT_TRUE(side.bars[2]->ShareRowLength(150, true));
    EXPECT_EQ(side.Lengths(), (std::vector<int>{100, 100, 50, 50, 50}));
    // A removed bar's empty row goes with it.
    side.dock.RemoveBar(side.bars[0].get());
    side.dock.RemoveBar(side.bars[1].get());
    EXPECT_EQ(side.Layout(), "|b2b3b4|");
}

TEST(DockRow, LiningUpTheRowOverlapsNeighboursByTwoPixels)
{
    struct Case {
        unsigned side;
        std::vector<QPoint> expected; // top-left of each bar
    };
    const Case cases[] = {
        {AFX_IDW_DOCKBAR_TOP, {{0, 8}, {98, 8}, {176, 8}}}, // 2 pixels up on the top side
        {AFX_IDW_DOCKBAR_BOTTOM, {{0, 10}, {98, 10}, {176, 10}}},
        {AFX_IDW_DOCKBAR_LEFT, {{10, -2}, {10, 96}, {10, 174}}},
        {AFX_IDW_DOCKBAR_RIGHT, {{10, -2}, {10, 96}, {10, 174}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        Side side(c.side);
        side.AddRow({{100}, {80}, {60}});
        for (const auto& b : side.bars)
            b->m_rcRow = QRect(QPoint(10, 10), QSize(5, 5));
        side.bars[0]->LineUpRow(side.dock.IsHorz());
        EXPECT_TRUE(side.dock.m_bDelayedLayout) << "a moved bar asks for a layout";
        for (size_t i = 0; i < side.bars.size(); ++i) {
            EXPECT_EQ(side.bars[i]->m_rcRow.topLeft(), c.expected[i]) << i;
            EXPECT_EQ(side.bars[i]->m_rcRow.size(), side.dock.IsHorz() ? side.bars[i]->m_szHorz : side.bars[i]->m_szVert);
        }
        // A row in place stays put and asks for nothing.
        side.dock.m_bDelayedLayout = false;
        side.bars[0]->LineUpRow(side.dock.IsHorz());
        EXPECT_FALSE(side.dock.m_bDelayedLayout);
        EXPECT_EQ(side.bars[2]->m_rcRow.topLeft(), c.expected[2]);
    }
}

TEST(DockRow, NothingMovesWhileAnEdgeIsDragged)
{
    Side side;
    side.AddRow({{100}, {100}});
    side.bars[1]->m_rcRow = QRect(500, 0, 100, 100);
    side.bars[0]->BeginEdgeDrag(HTRIGHT, QPoint(100, 0), 100);
    side.bars[0]->LineUpRow(true);
    EXPECT_EQ(side.bars[1]->m_rcRow.left(), 500);
    EXPECT_FALSE(side.dock.m_bDelayedLayout);
    side.bars[0]->EndEdgeDrag();
    EXPECT_TRUE(side.dock.m_bDelayedLayout) << "the frame lays out when the drag ends";
    side.bars[0]->LineUpRow(true);
    EXPECT_EQ(side.bars[1]->m_rcRow.left(), 98);
}

TEST(DockRow, ADragBelongsToTheBarThatBeganIt)
{
    Side side;
    side.AddRow({{100}, {100}});
    SizingBarModel other; // made before any drag: a new bar resets the drag flag
    other.m_pDockBar = &side.dock;
    side.bars[1]->BeginEdgeDrag(HTLEFT, QPoint(100, 0), 100);
    ASSERT_TRUE(SizingBarState::IsEdgeDragging());
    side.dock.RemoveBar(side.bars[1].get());
    side.bars.pop_back();
    EXPECT_FALSE(SizingBarState::IsEdgeDragging()) << "no drag is left running for a bar that is gone";
    // Nor does a neighbour that never began one move or end anything.
    side.bars[0]->BeginEdgeDrag(HTRIGHT, QPoint(100, 0), 100);
    other.DragEdgeTo(QPoint(150, 0));
    other.EndEdgeDrag();
    EXPECT_TRUE(SizingBarState::IsEdgeDragging());
    EXPECT_EQ(side.Lengths(), (std::vector<int>{100}));
    side.bars[0]->EndEdgeDrag();
    EXPECT_FALSE(SizingBarState::IsEdgeDragging());
    // And the row is lined up again.
    side.bars[0]->m_rcRow = QRect(50, 0, 10, 10);
    side.bars[0]->LineUpRow(true);
    EXPECT_EQ(side.bars[0]->m_rcRow.left(), 0);
}

TEST(DockRow, FixedLayoutSharesTheRowOnceWhenTheFrameLaysOut)
{
    for (const unsigned id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT}) {
        SCOPED_TRACE(id);
        Side side(id);
        const bool horz = side.dock.IsHorz();
        side.AddRow({{100}, {100}});
        // The row's total is the layout width + 2, or its height - 2.
        side.dock.m_rectLayout = horz ? QRect(0, 0, 298, 50) : QRect(0, 0, 50, 302);
        // Only the first sizing bar of the row shares, and only when the
        // frame is laying out (the flag a length of -1 sets).
        side.bars[1]->m_bParentSizing = true;
        side.bars[1]->CalcFixedLayout(false, horz);
        EXPECT_EQ(side.Lengths(), (std::vector<int>{100, 100}));
        side.bars[0]->CalcFixedLayout(false, horz);
        EXPECT_EQ(side.Lengths(), (std::vector<int>{100, 100}));
        side.bars[0]->m_bParentSizing = true;
        const QSize size = side.bars[0]->CalcFixedLayout(false, horz);
        EXPECT_EQ(side.Lengths(), (std::vector<int>{150, 150}));
        EXPECT_FALSE(side.bars[0]->m_bParentSizing);
        EXPECT_EQ(size, horz ? QSize(150, 100) : QSize(100, 150));
        EXPECT_EQ(side.bars[1]->m_rcRow.topLeft(), horz ? QPoint(148, -2) : QPoint(0, 146)) << "lined up";
        // Sizes below the minimums come back raised; a stretched bar spans the side.
        side.bars[0]->m_szHorz = side.bars[0]->m_szVert = QSize(5, 5);
        EXPECT_EQ(side.bars[0]->CalcFixedLayout(false, true), QSize(33, 32));
        EXPECT_EQ(side.bars[0]->CalcFixedLayout(true, true), QSize(32767, 5));
        EXPECT_EQ(side.bars[0]->CalcFixedLayout(true, false), QSize(5, 32767));
    }
}

TEST(DockRow, ABarShownWhileDockedKeepsItsLengthThroughTheNextSharing)
{
    Side side;
    side.AddRow({{100}, {100}});
    side.dock.m_rectLayout = QRect(0, 0, 258, 40); // total 260
    SizingBarModel* shown = side.bars[1].get();
    shown->m_bVisible = false;
    shown->m_pendingShow = SizingBarState::PendingShow::Show;
    // A side only being measured leaves the deferred show waiting.
    side.dock.m_bLayoutQuery = true;
    side.bars[0]->CalcFixedLayout(false, true);
    EXPECT_FALSE(shown->m_bVisible);
    EXPECT_FALSE(shown->m_bKeepSize);
    side.dock.m_bLayoutQuery = false;
    side.bars[0]->m_bParentSizing = true;
    side.bars[0]->CalcFixedLayout(false, true);
    EXPECT_TRUE(shown->m_bVisible);
    EXPECT_EQ(side.Lengths(), (std::vector<int>{160, 100}));
    EXPECT_FALSE(shown->m_bKeepSize);
    // The next sharing treats both alike.
    side.dock.m_rectLayout = QRect(0, 0, 268, 40);
    side.bars[0]->m_bParentSizing = true;
    side.bars[0]->CalcFixedLayout(false, true);
    EXPECT_EQ(side.Lengths(), (std::vector<int>{165, 105}));

    // Shown while floating: nothing to keep.
    SizingBarModel loose;
    loose.OnPositionChanging(AFX_IDW_DOCKBAR_FLOAT, true);
    EXPECT_FALSE(loose.m_bKeepSize);
    loose.OnPositionChanging(AFX_IDW_DOCKBAR_BOTTOM, false);
    EXPECT_FALSE(loose.m_bKeepSize) << "moved, not shown";
    loose.OnPositionChanging(AFX_IDW_DOCKBAR_BOTTOM, true);
    EXPECT_TRUE(loose.m_bKeepSize);
}

TEST(DockRow, DraggingTheEdgeBetweenBarsMovesLengthNearestFirst)
{
    struct Case {
        const char* name;
        unsigned side;
        int self;
        int edge;
        int move;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"left edge forward: the bar before grows", AFX_IDW_DOCKBAR_TOP, 1, HTLEFT, 30, {130, 70, 100}},
        {"past this bar's minimum the next gives way", AFX_IDW_DOCKBAR_TOP, 1, HTLEFT, 90, {190, 33, 77}},
        {"left edge back: this bar grows, stopped at the minimum before", AFX_IDW_DOCKBAR_TOP, 1, HTLEFT, -200,
            {33, 167, 100}},
        {"right edge back: the bar after grows", AFX_IDW_DOCKBAR_TOP, 1, HTRIGHT, -40, {100, 60, 140}},
        {"right edge back past the minimum: the bar before gives too", AFX_IDW_DOCKBAR_TOP, 1, HTRIGHT, -100,
            {67, 33, 200}},
        {"right edge forward: limited by all that follows", AFX_IDW_DOCKBAR_TOP, 0, HTRIGHT, 500, {234, 33, 33}},
        {"vertical: the minimum is 32", AFX_IDW_DOCKBAR_LEFT, 0, HTBOTTOM, 500, {236, 32, 32}},
        {"vertical top edge forward", AFX_IDW_DOCKBAR_RIGHT, 2, HTTOP, 20, {100, 120, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Side side(c.side);
        const int minimum = side.dock.IsHorz() ? 33 : 32;
        side.AddRow({{100, minimum}, {100, minimum}, {100, minimum}});
        SizingBarState* bar = side.bars[c.self].get();
        const QPoint start(400, 300);
        bar->BeginEdgeDrag(c.edge, start, 400);
        EXPECT_TRUE(bar->IsDragAlongRow());
        EXPECT_TRUE(SizingBarState::IsEdgeDragging());
        // In small steps, as the mouse moves.
        const bool onX = c.edge == HTLEFT || c.edge == HTRIGHT;
        const int stepSign = c.move > 0 ? 1 : -1;
        for (int moved = 0; moved != c.move;) {
            moved += stepSign * std::min(7, std::abs(c.move - moved));
            bar->DragEdgeTo(onX ? start + QPoint(moved, 0) : start + QPoint(0, moved));
        }
        bar->EndEdgeDrag();
        EXPECT_EQ(side.Lengths(), c.expected);
        EXPECT_FALSE(SizingBarState::IsEdgeDragging());
    }
}

TEST(DockRow, DraggingAcrossTheRowChangesEveryBarsCrossSize)
{
    struct Case {
        const char* name;
        int edge;
        int move;
        int expected;
    };
    // Cross size 100, cross minimum 32, 200 pixels of free client area.
    const Case cases[] = {
        {"bottom edge down", HTBOTTOM, 30, 130},
        {"bottom edge up, stopped at the minimum", HTBOTTOM, -200, 32},
        {"bottom edge down, stopped by the free area", HTBOTTOM, 500, 298},
        {"top edge down, stopped at the minimum", HTTOP, 100, 32},
        {"top edge up", HTTOP, -50, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Side side;
        side.AddRow({{100}, {100}});
        side.dock.m_rectFreeClient = QRect(0, 0, 400, 200);
        SizingBarState* bar = side.bars[0].get();
        bar->BeginEdgeDrag(c.edge, QPoint(50, 300), 300);
        EXPECT_FALSE(bar->IsDragAlongRow());
        bar->DragEdgeTo(QPoint(50, 300 + c.move));
        bar->EndEdgeDrag();
        EXPECT_EQ(side.bars[0]->CrossIn(true), c.expected);
        EXPECT_EQ(side.bars[1]->CrossIn(true), c.expected);
        EXPECT_EQ(side.Lengths(), (std::vector<int>{100, 100}));
    }
}

TEST(DockRow, NeighboursInTheRowMakeTheFacingEdgesSizable)
{
    for (const unsigned id : {AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT}) {
        SCOPED_TRACE(id);
        Side side(id);
        side.AddRow({{100}, {100}, {100}});
        side.AddRow({{100}});
        const bool horz = side.dock.IsHorz();
        const unsigned before = horz ? 0x01 : 0x04;
        const unsigned after = horz ? 0x02 : 0x08;
        EXPECT_EQ(side.bars[0]->RowSizingEdges(), after);
        EXPECT_EQ(side.bars[1]->RowSizingEdges(), before | after);
        EXPECT_EQ(side.bars[2]->RowSizingEdges(), before);
        EXPECT_EQ(side.bars[3]->RowSizingEdges(), 0u) << "alone in its row";
    }
}

} // namespace
