#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <vector>

class QScrollBar;

namespace ulv {

// A scrollable grid: fixed header rows and columns, scrolling rows and columns
// of their own heights and widths, one selected cell (or row), keyboard
// navigation, divider drags in the header area and its own scroll bars. A
// derived class gives the dimensions, draws every cell and takes the events.
class CGridWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarThickness = 16;
    static constexpr int kPage = 4;

    explicit CGridWnd(QWidget* parent = nullptr);
    ~CGridWnd() override;

    virtual bool Create(const QString& title, const QRect& rect, QWidget* parent, int id);

    // ---- What a derived class supplies.
    virtual int GetFixedRowCount() = 0;
    virtual int GetFixedColumnCount() = 0;
    virtual int GetRowCount() = 0;
    virtual int GetColumnCount() = 0;
    virtual int GetDefaultRowHeight() = 0;
    virtual int GetDefaultColumnWidth() = 0;
    virtual void DrawCornerCell(QPainter& p, int row, int column, const QRect& r, bool selected) = 0;
    virtual void DrawColumnHeaderCell(QPainter& p, int row, int column, const QRect& r, bool selected) = 0;
    virtual void DrawRowHeaderCell(QPainter& p, int row, int column, const QRect& r, bool selected) = 0;
    virtual void DrawCell(QPainter& p, int row, int column, const QRect& r, bool selected) = 0;
    virtual void OnInsertRow(int index) = 0;
    virtual void OnInsertColumn(int index) = 0;
    virtual void OnCellEnter(int row, int column) = 0;
    virtual void OnCellRightClick(int row, int column) = 0;
    // Only a row (column -1) or only a column (row -1) was double-clicked.
    virtual void OnHeaderDblClk(int row, int rowFlag, int column, int columnFlag) = 0;
    virtual void OnColumnResized(int column, int width) = 0;
    virtual void PaintBackground(QPainter& p, const QRect& r);
    // Takes the counts and sizes from the derived class; Create calls it.
    virtual void InitGrid();

    // ---- Geometry (client coordinates).
    QRect GetFixedCellRect(int fixedRow, int fixedColumn) const;
    QRect GetColumnHeaderRect(int fixedRow, int column) const;
    QRect GetRowHeaderRect(int row, int fixedColumn) const;
    QRect GetCellRect(int row, int column) const;
    int RowFromPoint(int x, int y) const;
    int ColumnFromPoint(int x, int y) const;
    int RowDividerFromPoint(int x, int y) const;
    int ColumnDividerFromPoint(int x, int y) const;
    bool CellFromScreenPoint(int x, int y, int* row, int* column) const;
    bool IsCellVisible(int row, int column) const;
    // The client area less the scroll bars shown.
    QRect GridArea() const { return m_rcGrid; }

    // ---- Structure and sizes.
    bool InsertRow(bool fixed, int index = -1, bool redraw = true);
    bool InsertColumn(bool fixed, int index = -1, bool redraw = true);
    bool DeleteRow(bool fixed, int index = -1, bool redraw = true);
    bool DeleteColumn(bool fixed, int index = -1, bool redraw = true);
    void SetRowHeight(int row, int height, bool fixed = false);
    void SetColumnWidth(int column, int width, bool fixed = false);
    int RowHeight(int row, bool fixed = false) const;
    int ColumnWidth(int column, bool fixed = false) const;
    void SetRowResizable(int row, bool resizable);
    void SetColumnResizable(int column, bool resizable);
    int RowCount() const { return int(m_rowHeights.size()); }
    int ColumnCount() const { return int(m_columnWidths.size()); }

    // ---- Selection and scrolling.
    int SelectedRow() const { return m_selRow; }
    int SelectedColumn() const { return m_selColumn; }
    void SetSelection(int row, int column);
    int FirstRow() const { return m_firstRow; }
    int FirstColumn() const { return m_firstColumn; }
    // Scrolls by whole rows or columns; the selected row moves along.
    void ScrollRows(int delta);
    void ScrollColumns(int delta);
    QScrollBar* HorizontalBar() const { return m_hBar; }
    QScrollBar* VerticalBar() const { return m_vBar; }

    // ---- Drawing.
    void RedrawCell(int row, bool fixedRow, int column, bool fixedColumn);
    void RedrawRow(int row);
    void RedrawColumn(int column);
    void RedrawFixedRow(int row);
    void RedrawFixedColumn(int column);
    void DrawSelection(int row, int column, bool selected);
    // Renders the whole picture again and repaints at once.
    void Refresh();
    // Fills the picture with white and draws every cell into it.
    virtual void RenderAll(QPainter& p);
    // The off-screen picture the window shows; cells reach it only through
    // the redraw operations and the grid's own changes.
    const QImage& Buffer() const { return m_buffer; }
    void SetStatusText(const QString& text);

    QFont m_font;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // Draws every cell that starts inside the window.
    void PaintCells(QPainter& p);

private:
    int FixedWidth() const;
    int FixedHeight() const;
    int ColumnLeft(int column) const;
    int RowTop(int row) const;
    int MaxFirstRow() const;
    void UpdateBars();
    void PageDown();
    void PageUp();
    void RenderCell(int row, bool fixedRow, int column, bool fixedColumn);
    void RenderBuffer();
    // The grid's own change: the whole picture again, then a repaint.
    void Rerender();

    std::vector<int> m_fixedRowHeights;
    std::vector<int> m_fixedColumnWidths;
    std::vector<int> m_rowHeights;
    std::vector<int> m_columnWidths;
    std::vector<int> m_rowLocks;
    std::vector<int> m_columnLocks;
    int m_defaultRowHeight = 0;
    int m_defaultColumnWidth = 0;
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_selRow = -1;
    int m_selColumn = -1;
    QRect m_rcHotRow;
    QRect m_rcHotColumn;
    int m_hotRowDivider = -1;
    int m_hotColumnDivider = -1;
    int m_columnLineX = 0;
    int m_rowLineY = 0;
    bool m_resizingColumn = false;
    bool m_resizingRow = false;
    bool m_created = false;
    QRect m_rcGrid;
    QScrollBar* m_hBar = nullptr;
    QScrollBar* m_vBar = nullptr;
    bool m_syncingBars = false;
    QImage m_buffer;
    bool m_painted = false;
};

} // namespace ulv
