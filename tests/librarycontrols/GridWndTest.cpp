#include "ui/controls/CGridWnd.h"

#include "../controls/ControlTestUtil.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace ulv;

namespace {

constexpr QRgb kSelected = 0xFF3366CC;
constexpr QRgb kCell = 0xFFFFFFF0;

// A grid of rows x columns cells of 20 x 60 with one header row and column;
// it records what the grid reports.
class TestGrid : public CGridWnd {
public:
    TestGrid(int rows, int columns)
        : m_rows(rows)
        , m_columns(columns)
    {
    }
    int GetFixedRowCount() override { return 1; }
    int GetFixedColumnCount() override { return 1; }
    int GetRowCount() override { return m_rows; }
    int GetColumnCount() override { return m_columns; }
    int GetDefaultRowHeight() override { return 20; }
    int GetDefaultColumnWidth() override { return 60; }
    void DrawCornerCell(QPainter& p, int, int, const QRect& r, bool) override { p.fillRect(r, Qt::gray); }
    void DrawColumnHeaderCell(QPainter& p, int, int, const QRect& r, bool selected) override
    {
        p.fillRect(r, selected ? QColor(kSelected) : QColor(Qt::lightGray));
    }
    void DrawRowHeaderCell(QPainter& p, int, int, const QRect& r, bool selected) override
    {
        p.fillRect(r, selected ? QColor(kSelected) : QColor(Qt::lightGray));
    }
    void DrawCell(QPainter& p, int, int, const QRect& r, bool selected) override
    {
        p.fillRect(r.adjusted(0, 0, -1, -1), selected ? QColor(kSelected) : cellColour);
    }
    void OnInsertRow(int index) override { inserted.push_back(index); }
    void OnInsertColumn(int index) override { inserted.push_back(1000 + index); }
    void OnCellEnter(int row, int column) override { entered = {row, column}; }
    void OnCellRightClick(int row, int column) override { rightClicked = {row, column}; }
    void OnHeaderDblClk(int row, int, int column, int) override { headerDblClk = {row, column}; }
    void OnColumnResized(int column, int width) override { resized = {column, width}; }

    std::vector<int> inserted;
    QColor cellColour{kCell};
    QPoint entered{-9, -9};
    QPoint rightClicked{-9, -9};
    QPoint headerDblClk{-9, -9};
    QPoint resized{-9, -9};

private:
    int m_rows;
    int m_columns;
};

struct Grid {
    Grid(int rows, int columns, QSize size = {400, 300})
        : grid(rows, columns)
    {
        host.resize(size);
        grid.Create("grid", QRect(QPoint(0, 0), size), &host, 1);
        host.show();
        QApplication::processEvents();
    }
    void Key(Qt::Key key) { QTest::keyClick(&grid, key); }
    // Hovers a divider (coming from elsewhere, so that the move is seen) and
    // drags it.
    void Drag(QPoint from, QPoint to)
    {
        QTest::mouseMove(&grid, QPoint(5, 5));
        QTest::mouseMove(&grid, from);
        QTest::mousePress(&grid, Qt::LeftButton, {}, from);
        QTest::mouseMove(&grid, to);
        QTest::mouseRelease(&grid, Qt::LeftButton, {}, to);
    }
    QPoint Sel() const { return {grid.SelectedRow(), grid.SelectedColumn()}; }
    QWidget host;
    TestGrid grid;
};

TEST(GridWnd, CellGeometryAndHitTests)
{
    Grid g(3, 3);
    EXPECT_EQ(g.grid.GetFixedCellRect(0, 0), QRect(0, 0, 60, 20));
    EXPECT_EQ(g.grid.GetColumnHeaderRect(0, 1), QRect(120, 0, 60, 20));
    EXPECT_EQ(g.grid.GetRowHeaderRect(2, 0), QRect(0, 60, 60, 20));
    EXPECT_EQ(g.grid.GetCellRect(1, 2), QRect(180, 40, 60, 20));
    EXPECT_EQ(g.grid.GetCellRect(1, 7), QRect(60 + 180, 40, 0, 20)) << "outside the arrays: no width";
    EXPECT_EQ(g.grid.RowFromPoint(100, 50), 1);
    EXPECT_EQ(g.grid.RowFromPoint(30, 50), 1) << "the row header counts";
    EXPECT_EQ(g.grid.RowFromPoint(240, 50), -1) << "right of the last column";
    EXPECT_EQ(g.grid.RowFromPoint(100, 40), -1) << "on the line between rows";
    EXPECT_EQ(g.grid.ColumnFromPoint(130, 10), 1);
    EXPECT_EQ(g.grid.ColumnFromPoint(130, 80), -1) << "below the last row";
    EXPECT_EQ(g.grid.RowDividerFromPoint(30, 40), 0);
    EXPECT_EQ(g.grid.RowDividerFromPoint(30, 41), 0);
    EXPECT_EQ(g.grid.RowDividerFromPoint(90, 40), -1) << "only in the row headers";
    EXPECT_EQ(g.grid.ColumnDividerFromPoint(180, 10), 1);
    EXPECT_EQ(g.grid.ColumnDividerFromPoint(180, 30), -1) << "only in the column headers";
    int row = 0, column = 0;
    EXPECT_TRUE(g.grid.CellFromScreenPoint(g.grid.mapToGlobal(QPoint(130, 30)).x(),
        g.grid.mapToGlobal(QPoint(130, 30)).y(), &row, &column));
    EXPECT_EQ(QPoint(row, column), QPoint(0, 1));
    EXPECT_FALSE(g.grid.CellFromScreenPoint(g.grid.mapToGlobal(QPoint(5, 5)).x(),
        g.grid.mapToGlobal(QPoint(5, 5)).y(), &row, &column));
    EXPECT_EQ(QPoint(row, column), QPoint(-1, -1));
}

TEST(GridWnd, AGridThatFitsHasNoBarsAndPageDownChangesNothing)
{
    Grid g(3, 3);
    EXPECT_FALSE(g.grid.HorizontalBar()->isVisible());
    EXPECT_FALSE(g.grid.VerticalBar()->isVisible());
    g.grid.SetSelection(1, 1);
    g.Key(Qt::Key_PageDown);
    EXPECT_EQ(g.grid.FirstRow(), 0);
    EXPECT_EQ(g.Sel(), QPoint(1, 1));
}

TEST(GridWnd, ClickSelectsAndTheCellIsDrawnSelected)
{
    Grid g(3, 3);
    QTest::mouseClick(&g.grid, Qt::LeftButton, {}, QPoint(130, 50));
    EXPECT_EQ(g.Sel(), QPoint(1, 1));
    QImage img = test::Grab(g.grid);
    EXPECT_EQ(img.pixel(130, 50), kSelected);
    EXPECT_EQ(img.pixel(190, 50), kCell);
    EXPECT_EQ(img.pixel(30, 50), kSelected) << "its row header";
    // A row header keeps the column; a column header alone changes nothing.
    QTest::mouseClick(&g.grid, Qt::LeftButton, {}, QPoint(30, 70));
    EXPECT_EQ(g.Sel(), QPoint(2, 1));
    QTest::mouseClick(&g.grid, Qt::LeftButton, {}, QPoint(190, 10));
    EXPECT_EQ(g.Sel(), QPoint(2, 1));
}

TEST(GridWnd, CellsReachTheScreenThroughTheOffScreenPicture)
{
    Grid g(3, 3);
    test::Grab(g.grid); // the first paint makes the picture
    constexpr QRgb kGreen = 0xFF00C000;
    // What a derived class changes shows once it redraws the cell.
    g.grid.cellColour = QColor(kGreen);
    g.grid.update();
    QApplication::processEvents();
    EXPECT_EQ(test::Grab(g.grid).pixel(130, 50), kCell) << "the picture is unchanged";
    g.grid.RedrawCell(1, false, 1, false);
    QImage img = test::Grab(g.grid);
    EXPECT_EQ(img.pixel(130, 50), kGreen);
    EXPECT_EQ(img.pixel(190, 50), kCell);
    g.grid.RedrawRow(2);
    img = test::Grab(g.grid);
    EXPECT_EQ(img.pixel(70, 70), kGreen);
    EXPECT_EQ(img.pixel(70, 30), kCell);
    g.grid.RedrawColumn(0);
    EXPECT_EQ(test::Grab(g.grid).pixel(70, 30), kGreen);
    g.grid.Refresh();
    img = test::Grab(g.grid);
    EXPECT_EQ(img.pixel(190, 30), kGreen);
    EXPECT_EQ(img.pixel(300, 200), 0xFFFFFFFF) << "white beyond the last cell";
    // A redraw of a cell outside the grid is ignored.
    g.grid.RedrawCell(7, false, 7, false);
    g.grid.RedrawCell(-1, true, 0, true);

    // A larger window gets a new picture with the cells that come into view.
    g.grid.cellColour = QColor(kCell);
    for (int c = 0; c < 6; ++c)
        g.grid.InsertColumn(false);
    EXPECT_EQ(test::Grab(g.grid).pixel(370, 30), kCell);
    EXPECT_LT(g.grid.Buffer().width(), 500);
    g.host.resize(600, 300);
    g.grid.resize(600, 300);
    QApplication::processEvents();
    img = test::Grab(g.grid);
    EXPECT_GE(g.grid.Buffer().width(), 600);
    EXPECT_EQ(img.pixel(550, 30), kCell);
}

TEST(GridWnd, KeyboardNavigation)
{
    const struct {
        QPoint from;
        Qt::Key key;
        QPoint to;
    } cases[] = {
        {{0, 0}, Qt::Key_Tab, {0, 1}},
        {{0, 2}, Qt::Key_Tab, {1, 0}},
        {{2, 2}, Qt::Key_Tab, {0, 0}}, // the last cell wraps to the first shown
        {{1, 1}, Qt::Key_Left, {1, 0}},
        {{1, 0}, Qt::Key_Left, {1, 0}},
        {{1, 1}, Qt::Key_Right, {1, 2}},
        {{1, 2}, Qt::Key_Right, {1, 2}},
        {{1, 1}, Qt::Key_Up, {0, 1}},
        {{0, 1}, Qt::Key_Up, {0, 1}},
        {{1, 1}, Qt::Key_Down, {2, 1}},
        {{2, 1}, Qt::Key_Down, {2, 1}}, // nothing on the last row
    };
    for (const auto& c : cases) {
        Grid g(3, 3);
        g.grid.SetSelection(c.from.x(), c.from.y());
        g.Key(c.key);
        EXPECT_EQ(g.Sel(), c.to) << c.from.x() << "," << c.from.y() << " key " << c.key;
    }
    Grid g(3, 3);
    g.Key(Qt::Key_Down);
    EXPECT_EQ(g.Sel(), QPoint(-1, -1)) << "no selection, no move";
    g.grid.SetSelection(2, 1);
    g.Key(Qt::Key_Return);
    EXPECT_EQ(g.grid.entered, QPoint(2, 1));
}

TEST(GridWnd, DownAtTheBottomScrollsAndTheSelectionFollows)
{
    Grid g(30, 3, {300, 200});
    ASSERT_TRUE(g.grid.VerticalBar()->isVisible());
    EXPECT_FALSE(g.grid.HorizontalBar()->isVisible());
    const int visible = (g.grid.GridArea().height() - 20) / 20; // rows that fit under the header
    g.grid.SetSelection(visible - 1, 0);
    g.Key(Qt::Key_Down);
    EXPECT_EQ(g.grid.FirstRow(), 1);
    EXPECT_EQ(g.Sel(), QPoint(visible, 0));
    g.Key(Qt::Key_PageDown);
    EXPECT_EQ(g.grid.FirstRow(), 5);
    EXPECT_EQ(g.Sel(), QPoint(visible + 4, 0));
    EXPECT_EQ(g.grid.VerticalBar()->value(), 5);
    g.Key(Qt::Key_PageUp);
    g.Key(Qt::Key_PageUp);
    EXPECT_EQ(g.grid.FirstRow(), 0);
    EXPECT_EQ(g.Sel(), QPoint(visible - 1, 0)) << "never below 0, the selection moved back as far";
    // Scrolling ends once the last row fits.
    for (int i = 0; i < 20; ++i)
        g.Key(Qt::Key_PageDown);
    EXPECT_EQ(g.grid.FirstRow(), 30 - visible);
}

TEST(GridWnd, RowDividersAreLockedUntilMadeResizableColumnsAreNot)
{
    Grid g(3, 3);
    g.Drag(QPoint(30, 40), QPoint(30, 55));
    EXPECT_EQ(g.grid.RowHeight(0), 20);

    g.grid.SetRowResizable(0, true);
    g.Drag(QPoint(30, 40), QPoint(30, 55));
    EXPECT_EQ(g.grid.RowHeight(0), 55 - 20 + 1);

    g.Drag(QPoint(120, 10), QPoint(150, 10));
    EXPECT_EQ(g.grid.ColumnWidth(0), 150 - 60 + 1);
    EXPECT_EQ(g.grid.resized, QPoint(0, 91));
    g.grid.SetColumnResizable(1, false);
    g.Drag(QPoint(211, 10), QPoint(240, 10));
    EXPECT_EQ(g.grid.ColumnWidth(1), 60);
}

TEST(GridWnd, RightClickReportsTheCellAndClearsTheSelection)
{
    Grid g(3, 3);
    g.grid.SetSelection(2, 1);
    QTest::mouseClick(&g.grid, Qt::RightButton, {}, QPoint(100, 30));
    EXPECT_EQ(g.grid.rightClicked, QPoint(2, 1));
    EXPECT_EQ(g.Sel(), QPoint(-1, -1));
    QTest::mouseClick(&g.grid, Qt::RightButton, {}, QPoint(100, 30));
    EXPECT_EQ(g.grid.rightClicked, QPoint(2, 1)) << "nothing to report the second time";
}

TEST(GridWnd, HeaderDoubleClickReportsARowOrAColumnAlone)
{
    Grid g(3, 3);
    QTest::mouseDClick(&g.grid, Qt::LeftButton, {}, QPoint(130, 10));
    EXPECT_EQ(g.grid.headerDblClk, QPoint(-1, 1));
    g.grid.headerDblClk = {-9, -9};
    QTest::mouseDClick(&g.grid, Qt::LeftButton, {}, QPoint(130, 30));
    EXPECT_EQ(g.grid.headerDblClk, QPoint(-9, -9)) << "a cell";
}

TEST(GridWnd, DeletingARowKeepsTheSelectionIndex)
{
    const struct {
        int selected;
        QPoint after;
    } cases[] = {{4, {-1, -1}}, {3, {3, 1}}};
    for (const auto& c : cases) {
        Grid g(5, 3);
        g.grid.SetSelection(c.selected, 1);
        EXPECT_TRUE(g.grid.DeleteRow(false, 2));
        EXPECT_EQ(g.grid.RowCount(), 4);
        EXPECT_EQ(g.Sel(), c.after) << c.selected;
    }
    Grid g(2, 2);
    EXPECT_FALSE(g.grid.DeleteRow(false, 2));
    EXPECT_TRUE(g.grid.DeleteRow(false, -1));
    EXPECT_TRUE(g.grid.DeleteRow(false, -1));
    EXPECT_FALSE(g.grid.DeleteRow(false, -1)) << "nothing left";
    EXPECT_FALSE(g.grid.DeleteColumn(false, 5));
}

TEST(GridWnd, InsertedRowsAreLockedColumnsAreNot)
{
    Grid g(2, 2);
    EXPECT_FALSE(g.grid.InsertRow(false, 5));
    EXPECT_TRUE(g.grid.InsertRow(false, -1));
    EXPECT_TRUE(g.grid.InsertColumn(false, 0));
    EXPECT_TRUE(g.grid.InsertRow(true, -1));
    EXPECT_EQ(g.grid.inserted, (std::vector<int>{2, 1000}));
    EXPECT_EQ(g.grid.RowCount(), 3);
    EXPECT_EQ(g.grid.RowHeight(2), 20);
    EXPECT_EQ(g.grid.RowHeight(1, true), 20);
    // The new column 0 can be dragged at once; the new row 2 cannot.
    g.Drag(QPoint(120, 30), QPoint(100, 30));
    EXPECT_EQ(g.grid.ColumnWidth(0), 41);
    const int rowBottom = g.grid.GetRowHeaderRect(2, 0).bottom() + 1;
    g.Drag(QPoint(30, rowBottom), QPoint(30, rowBottom + 10));
    EXPECT_EQ(g.grid.RowHeight(2), 20);
}

} // namespace
