#include "ui/controls/CGridWnd.h"

#include "ui/controls/WinLook.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <numeric>

namespace ulv {

namespace {

int SizeAt(const std::vector<int>& sizes, int index)
{
    return index >= 0 && index < int(sizes.size()) ? sizes[size_t(index)] : 0;
}

} // namespace

CGridWnd::CGridWnd(QWidget* parent)
    : QWidget(parent)
    , m_font(LogFont(QStringLiteral("Arial Unicode MS"), -12, 550))
    , m_hBar(new QScrollBar(Qt::Horizontal, this))
    , m_vBar(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_hBar->hide();
    m_vBar->hide();
    connect(m_vBar, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncingBars)
            ScrollRows(v - m_firstRow);
    });
    connect(m_hBar, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncingBars)
            ScrollColumns(v - m_firstColumn);
    });
}

CGridWnd::~CGridWnd() = default;

bool CGridWnd::Create(const QString& title, const QRect& rect, QWidget* parent, int /*id*/)
{
    setParent(parent);
    setWindowTitle(title);
    setGeometry(rect);
    InitGrid();
    m_created = true;
    UpdateBars();
    show();
    return true;
}

void CGridWnd::InitGrid()
{
    m_defaultRowHeight = GetDefaultRowHeight();
    m_defaultColumnWidth = GetDefaultColumnWidth();
    m_fixedRowHeights.assign(size_t(std::max(0, GetFixedRowCount())), m_defaultRowHeight);
    m_fixedColumnWidths.assign(size_t(std::max(0, GetFixedColumnCount())), m_defaultColumnWidth);
    m_rowHeights.assign(size_t(std::max(0, GetRowCount())), m_defaultRowHeight);
    m_columnWidths.assign(size_t(std::max(0, GetColumnCount())), m_defaultColumnWidth);
    m_rowLocks.assign(m_rowHeights.size(), 1);
    m_columnLocks.assign(m_columnWidths.size(), 0);
    m_firstRow = m_firstColumn = 0;
    m_selRow = m_selColumn = -1;
    UpdateBars();
}

void CGridWnd::PaintBackground(QPainter& p, const QRect& r)
{
    p.fillRect(r, QColor(SysRgb(COLOR_BTNFACE)));
}

// ---- Geometry

int CGridWnd::FixedWidth() const
{
    return std::accumulate(m_fixedColumnWidths.begin(), m_fixedColumnWidths.end(), 0);
}

int CGridWnd::FixedHeight() const
{
    return std::accumulate(m_fixedRowHeights.begin(), m_fixedRowHeights.end(), 0);
}

int CGridWnd::ColumnLeft(int column) const
{
    int x = FixedWidth();
    for (int c = m_firstColumn; c < column; ++c)
        x += SizeAt(m_columnWidths, c);
    return x;
}

int CGridWnd::RowTop(int row) const
{
    int y = FixedHeight();
    for (int r = m_firstRow; r < row; ++r)
        y += SizeAt(m_rowHeights, r);
    return y;
}

QRect CGridWnd::GetFixedCellRect(int fixedRow, int fixedColumn) const
{
    int x = 0;
    for (int c = 0; c < fixedColumn; ++c)
        x += SizeAt(m_fixedColumnWidths, c);
    int y = 0;
    for (int r = 0; r < fixedRow; ++r)
        y += SizeAt(m_fixedRowHeights, r);
    return QRect(x, y, SizeAt(m_fixedColumnWidths, fixedColumn), SizeAt(m_fixedRowHeights, fixedRow));
}

QRect CGridWnd::GetColumnHeaderRect(int fixedRow, int column) const
{
    const QRect fixed = GetFixedCellRect(fixedRow, 0);
    return QRect(ColumnLeft(column), fixed.top(), SizeAt(m_columnWidths, column), fixed.height());
}

QRect CGridWnd::GetRowHeaderRect(int row, int fixedColumn) const
{
    const QRect fixed = GetFixedCellRect(0, fixedColumn);
    return QRect(fixed.left(), RowTop(row), fixed.width(), SizeAt(m_rowHeights, row));
}

QRect CGridWnd::GetCellRect(int row, int column) const
{
    return QRect(ColumnLeft(column), RowTop(row), SizeAt(m_columnWidths, column), SizeAt(m_rowHeights, row));
}

int CGridWnd::RowFromPoint(int x, int y) const
{
    if (m_columnWidths.empty())
        return -1;
    const int last = ColumnCount() - 1;
    if (x >= ColumnLeft(last) + SizeAt(m_columnWidths, last))
        return -1;
    int top = FixedHeight();
    for (int r = m_firstRow; r < RowCount(); ++r) {
        const int bottom = top + m_rowHeights[size_t(r)];
        if (top < y && y < bottom)
            return r;
        top = bottom;
    }
    return -1;
}

int CGridWnd::ColumnFromPoint(int x, int y) const
{
    if (m_rowHeights.empty())
        return -1;
    const int last = RowCount() - 1;
    if (y >= RowTop(last) + SizeAt(m_rowHeights, last))
        return -1;
    int left = FixedWidth();
    for (int c = m_firstColumn; c < ColumnCount(); ++c) {
        const int right = left + m_columnWidths[size_t(c)];
        if (left < x && x < right)
            return c;
        left = right;
    }
    return -1;
}

int CGridWnd::RowDividerFromPoint(int x, int y) const
{
    if (m_fixedColumnWidths.empty() || x > FixedWidth())
        return -1;
    int bottom = FixedHeight();
    for (int r = m_firstRow; r < RowCount(); ++r) {
        bottom += m_rowHeights[size_t(r)];
        if (bottom == y || bottom == y - 1)
            return r;
    }
    return -1;
}

int CGridWnd::ColumnDividerFromPoint(int x, int y) const
{
    if (m_fixedRowHeights.empty() || y > FixedHeight())
        return -1;
    int right = FixedWidth();
    for (int c = m_firstColumn; c < ColumnCount(); ++c) {
        right += m_columnWidths[size_t(c)];
        if (right == x || right == x - 1)
            return c;
    }
    return -1;
}

bool CGridWnd::CellFromScreenPoint(int x, int y, int* row, int* column) const
{
    const QPoint p = mapFromGlobal(QPoint(x, y));
    const int r = RowFromPoint(p.x(), p.y());
    const int c = ColumnFromPoint(p.x(), p.y());
    const bool hit = r >= 0 && c >= 0 && GetCellRect(r, c).contains(p);
    if (row)
        *row = hit ? r : -1;
    if (column)
        *column = hit ? c : -1;
    return hit;
}

bool CGridWnd::IsCellVisible(int row, int column) const
{
    if (row < m_firstRow || column < m_firstColumn)
        return false;
    const QRect r = GetCellRect(row, column);
    return m_rcGrid.contains(r.topLeft());
}

// ---- Structure

bool CGridWnd::InsertRow(bool fixed, int index, bool redraw)
{
    std::vector<int>& sizes = fixed ? m_fixedRowHeights : m_rowHeights;
    if (index > int(sizes.size()))
        return false;
    if (index < 0)
        index = int(sizes.size());
    if (!fixed)
        OnInsertRow(index);
    sizes.insert(sizes.begin() + index, m_defaultRowHeight);
    if (!fixed)
        m_rowLocks.insert(m_rowLocks.begin() + index, 1);
    UpdateBars();
    if (redraw)
        Rerender();
    return true;
}

bool CGridWnd::InsertColumn(bool fixed, int index, bool redraw)
{
    std::vector<int>& sizes = fixed ? m_fixedColumnWidths : m_columnWidths;
    if (index > int(sizes.size()))
        return false;
    if (index < 0)
        index = int(sizes.size());
    if (!fixed)
        OnInsertColumn(index);
    sizes.insert(sizes.begin() + index, m_defaultColumnWidth);
    if (!fixed)
        m_columnLocks.insert(m_columnLocks.begin() + index, 0);
    UpdateBars();
    if (redraw)
        Rerender();
    return true;
}

bool CGridWnd::DeleteRow(bool fixed, int index, bool redraw)
{
    std::vector<int>& sizes = fixed ? m_fixedRowHeights : m_rowHeights;
    if (sizes.empty() || index >= int(sizes.size()))
        return false;
    if (index < 0)
        index = int(sizes.size()) - 1;
    sizes.erase(sizes.begin() + index);
    if (!fixed) {
        m_rowLocks.erase(m_rowLocks.begin() + index);
        if (m_firstRow >= RowCount() && m_firstRow > 0)
            --m_firstRow;
        if (m_selRow >= RowCount())
            m_selRow = m_selColumn = -1;
    }
    UpdateBars();
    if (redraw)
        Rerender();
    return true;
}

bool CGridWnd::DeleteColumn(bool fixed, int index, bool redraw)
{
    std::vector<int>& sizes = fixed ? m_fixedColumnWidths : m_columnWidths;
    if (sizes.empty() || index >= int(sizes.size()))
        return false;
    if (index < 0)
        index = int(sizes.size()) - 1;
    sizes.erase(sizes.begin() + index);
    if (!fixed) {
        m_columnLocks.erase(m_columnLocks.begin() + index);
        if (m_firstColumn >= ColumnCount() && m_firstColumn > 0)
            --m_firstColumn;
        if (m_selColumn >= ColumnCount())
            m_selRow = m_selColumn = -1;
    }
    UpdateBars();
    if (redraw)
        Rerender();
    return true;
}

void CGridWnd::SetRowHeight(int row, int height, bool fixed)
{
    std::vector<int>& sizes = fixed ? m_fixedRowHeights : m_rowHeights;
    if (row < 0 || row >= int(sizes.size()))
        return;
    sizes[size_t(row)] = height;
    UpdateBars();
    Rerender();
}

void CGridWnd::SetColumnWidth(int column, int width, bool fixed)
{
    std::vector<int>& sizes = fixed ? m_fixedColumnWidths : m_columnWidths;
    if (column < 0 || column >= int(sizes.size()))
        return;
    sizes[size_t(column)] = width;
    UpdateBars();
    Rerender();
}

int CGridWnd::RowHeight(int row, bool fixed) const
{
    return SizeAt(fixed ? m_fixedRowHeights : m_rowHeights, row);
}

int CGridWnd::ColumnWidth(int column, bool fixed) const
{
    return SizeAt(fixed ? m_fixedColumnWidths : m_columnWidths, column);
}

void CGridWnd::SetRowResizable(int row, bool resizable)
{
    if (row >= 0 && row < int(m_rowLocks.size()))
        m_rowLocks[size_t(row)] = resizable ? 0 : 1;
}

void CGridWnd::SetColumnResizable(int column, bool resizable)
{
    if (column >= 0 && column < int(m_columnLocks.size()))
        m_columnLocks[size_t(column)] = resizable ? 0 : 1;
}

// ---- Selection and scrolling

void CGridWnd::SetSelection(int row, int column)
{
    m_selRow = row;
    m_selColumn = column;
    Rerender();
}

int CGridWnd::MaxFirstRow() const
{
    // The smallest first row at which the last row's bottom fits.
    const int room = m_rcGrid.height() - FixedHeight();
    int used = 0;
    int first = RowCount();
    while (first > 0 && used + m_rowHeights[size_t(first - 1)] <= room) {
        used += m_rowHeights[size_t(first - 1)];
        --first;
    }
    return first;
}

void CGridWnd::ScrollRows(int delta)
{
    const int target = std::clamp(m_firstRow + delta, 0, std::max(m_firstRow, MaxFirstRow()));
    const int moved = target - m_firstRow;
    if (moved == 0) {
        UpdateBars();
        return;
    }
    m_firstRow = target;
    // The selection keeps its place on the screen.
    if (m_selRow >= 0)
        m_selRow = std::clamp(m_selRow + moved, 0, RowCount() - 1);
    UpdateBars();
    Rerender();
}

void CGridWnd::ScrollColumns(int delta)
{
    const int target = std::clamp(m_firstColumn + delta, 0, std::max(0, ColumnCount() - 1));
    if (target == m_firstColumn)
        return;
    m_firstColumn = target;
    UpdateBars();
    Rerender();
}

void CGridWnd::PageDown()
{
    ScrollRows(kPage);
}

void CGridWnd::PageUp()
{
    ScrollRows(-kPage);
}

void CGridWnd::UpdateBars()
{
    const QRect client = rect();
    int widths = FixedWidth();
    for (int c = m_firstColumn; c < ColumnCount(); ++c)
        widths += m_columnWidths[size_t(c)];
    int heights = FixedHeight();
    for (int r = m_firstRow; r < RowCount(); ++r)
        heights += m_rowHeights[size_t(r)];
    const bool needH = widths > client.width() - kBarThickness || m_firstColumn != 0;
    const bool needV = heights > client.height() - kBarThickness || m_firstRow != 0;
    m_rcGrid = client;
    if (needH)
        m_rcGrid.setBottom(client.bottom() - kBarThickness);
    if (needV)
        m_rcGrid.setRight(client.right() - kBarThickness);
    m_syncingBars = true;
    m_hBar->setVisible(needH);
    m_vBar->setVisible(needV);
    if (needH) {
        m_hBar->setGeometry(0, client.bottom() + 1 - kBarThickness,
            client.width() - (needV ? kBarThickness : 0), kBarThickness);
        m_hBar->setRange(0, ColumnCount());
        m_hBar->setPageStep(kPage);
        m_hBar->setValue(m_firstColumn);
    }
    if (needV) {
        m_vBar->setGeometry(client.right() + 1 - kBarThickness, 0, kBarThickness,
            client.height() - (needH ? kBarThickness : 0));
        m_vBar->setRange(0, std::max(m_firstRow, MaxFirstRow()));
        m_vBar->setPageStep(kPage);
        m_vBar->setValue(m_firstRow);
    }
    m_syncingBars = false;
}

// ---- Drawing

void CGridWnd::RenderCell(int row, bool fixedRow, int column, bool fixedColumn)
{
    if (!m_painted)
        return;
    QRect r;
    if (fixedRow && fixedColumn)
        r = GetFixedCellRect(row, column);
    else if (fixedRow)
        r = GetColumnHeaderRect(row, column);
    else if (fixedColumn)
        r = GetRowHeaderRect(row, column);
    else
        r = GetCellRect(row, column);
    // Only what starts inside the picture, and never a row or column
    // scrolled out of view.
    if ((!fixedRow && (row < m_firstRow || row >= RowCount())) || (!fixedColumn && (column < m_firstColumn || column >= ColumnCount()))
        || (fixedRow && (row < 0 || row >= int(m_fixedRowHeights.size())))
        || (fixedColumn && (column < 0 || column >= int(m_fixedColumnWidths.size())))
        || !m_buffer.rect().contains(r.topLeft()))
        return;
    QPainter p(&m_buffer);
    p.setFont(m_font);
    p.setClipRect(r);
    if (fixedRow && fixedColumn) {
        DrawCornerCell(p, row, column, r, false);
    } else if (fixedRow) {
        DrawColumnHeaderCell(p, row, column, r, m_selRow < 0 && m_selColumn == column);
    } else if (fixedColumn) {
        DrawRowHeaderCell(p, row, column, r, row == m_selRow);
    } else {
        const bool selected = (row == m_selRow && column == m_selColumn) || (m_selColumn < 0 && row == m_selRow)
            || (m_selRow < 0 && column == m_selColumn);
        DrawCell(p, row, column, r, selected);
    }
    p.end();
    update(r);
}

void CGridWnd::RedrawCell(int row, bool fixedRow, int column, bool fixedColumn)
{
    RenderCell(row, fixedRow, column, fixedColumn);
}

void CGridWnd::RedrawRow(int row)
{
    for (int fc = 0; fc < int(m_fixedColumnWidths.size()); ++fc)
        RenderCell(row, false, fc, true);
    for (int c = m_firstColumn; c < ColumnCount(); ++c)
        RenderCell(row, false, c, false);
}

void CGridWnd::RedrawColumn(int column)
{
    for (int fr = 0; fr < int(m_fixedRowHeights.size()); ++fr)
        RenderCell(fr, true, column, false);
    for (int r = m_firstRow; r < RowCount(); ++r)
        RenderCell(r, false, column, false);
}

void CGridWnd::RedrawFixedRow(int row)
{
    for (int fc = 0; fc < int(m_fixedColumnWidths.size()); ++fc)
        RenderCell(row, true, fc, true);
    for (int c = m_firstColumn; c < ColumnCount(); ++c)
        RenderCell(row, true, c, false);
}

void CGridWnd::RedrawFixedColumn(int column)
{
    for (int fr = 0; fr < int(m_fixedRowHeights.size()); ++fr)
        RenderCell(fr, true, column, true);
    for (int r = m_firstRow; r < RowCount(); ++r)
        RenderCell(r, false, column, true);
}

void CGridWnd::DrawSelection(int row, int column, bool /*selected*/)
{
    // The cells take their look from the current selection.
    if (column < 0 && row >= 0) {
        RedrawRow(row);
    } else if (row < 0 && column >= 0) {
        RedrawColumn(column);
    } else if (row >= 0) {
        RenderCell(row, false, column, false);
        for (int fc = 0; fc < int(m_fixedColumnWidths.size()); ++fc)
            RenderCell(row, false, fc, true);
    }
}

void CGridWnd::RenderAll(QPainter& p)
{
    p.fillRect(QRect(QPoint(0, 0), m_buffer.size()), Qt::white);
    PaintCells(p);
}

void CGridWnd::RenderBuffer()
{
    // A picture at least as large as the window; it is only made anew when
    // the window has grown beyond it.
    if (m_buffer.isNull() || m_buffer.width() < width() || m_buffer.height() < height())
        m_buffer = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    QPainter p(&m_buffer);
    RenderAll(p);
}

void CGridWnd::Rerender()
{
    if (m_painted)
        RenderBuffer();
    update();
}

void CGridWnd::Refresh()
{
    UpdateBars();
    if (m_painted)
        RenderBuffer();
    repaint();
}

void CGridWnd::SetStatusText(const QString& text)
{
    if (auto* frame = qobject_cast<QMainWindow*>(window()))
        frame->statusBar()->showMessage(text);
}

void CGridWnd::PaintCells(QPainter& p)
{
    const int w = width();
    const int h = height();
    p.setFont(m_font);
    for (int fr = 0; fr < int(m_fixedRowHeights.size()); ++fr)
        for (int fc = 0; fc < int(m_fixedColumnWidths.size()); ++fc)
            DrawCornerCell(p, fr, fc, GetFixedCellRect(fr, fc), false);
    for (int fr = 0; fr < int(m_fixedRowHeights.size()); ++fr) {
        for (int c = m_firstColumn; c < ColumnCount(); ++c) {
            const QRect r = GetColumnHeaderRect(fr, c);
            if (r.left() >= w)
                break;
            DrawColumnHeaderCell(p, fr, c, r, m_selRow < 0 && m_selColumn == c);
        }
    }
    for (int row = m_firstRow; row < RowCount(); ++row) {
        if (RowTop(row) >= h)
            break;
        for (int fc = 0; fc < int(m_fixedColumnWidths.size()); ++fc)
            DrawRowHeaderCell(p, row, fc, GetRowHeaderRect(row, fc), row == m_selRow);
        for (int c = m_firstColumn; c < ColumnCount(); ++c) {
            const QRect r = GetCellRect(row, c);
            if (r.left() >= w)
                break;
            const bool selected = (row == m_selRow && c == m_selColumn) || (m_selColumn < 0 && row == m_selRow)
                || (m_selRow < 0 && c == m_selColumn);
            DrawCell(p, row, c, r, selected);
        }
    }
}

void CGridWnd::paintEvent(QPaintEvent* event)
{
    if (!m_painted) {
        m_painted = true;
        UpdateBars();
        RenderBuffer();
    } else if (m_buffer.width() < width() || m_buffer.height() < height()) {
        RenderBuffer();
    }
    QPainter p(this);
    const QRect area = event->rect().intersected(m_rcGrid);
    if (!area.isEmpty())
        p.drawImage(area.topLeft(), m_buffer, area);
    if (m_hBar->isVisible() && m_vBar->isVisible())
        PaintBackground(p, QRect(m_rcGrid.right() + 1, m_rcGrid.bottom() + 1, kBarThickness, kBarThickness));
    if (m_resizingRow || m_resizingColumn) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(Qt::white);
        if (m_resizingRow)
            p.drawLine(m_rcGrid.left(), m_rowLineY, m_rcGrid.right(), m_rowLineY);
        else
            p.drawLine(m_columnLineX, m_rcGrid.top(), m_columnLineX, m_rcGrid.bottom());
    }
}

void CGridWnd::resizeEvent(QResizeEvent*)
{
    UpdateBars();
}

// ---- Keys

bool CGridWnd::focusNextPrevChild(bool)
{
    return false; // Tab moves between cells
}

void CGridWnd::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_PageDown) {
        PageDown();
        return;
    }
    if (key == Qt::Key_PageUp) {
        PageUp();
        return;
    }
    if (m_selRow < 0 && m_selColumn < 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int lastRow = RowCount() - 1;
    const int lastColumn = ColumnCount() - 1;
    switch (key) {
    case Qt::Key_Tab:
        if (m_selColumn < lastColumn) {
            ++m_selColumn;
        } else if (m_selRow < lastRow) {
            ++m_selRow;
            m_selColumn = m_firstColumn;
        } else {
            m_selRow = m_firstRow;
            m_selColumn = m_firstColumn;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnCellEnter(m_selRow, m_selColumn);
        return;
    case Qt::Key_Left:
        if (m_selColumn > 0) {
            if (m_selColumn == m_firstColumn)
                ScrollColumns(-1);
            --m_selColumn;
        }
        break;
    case Qt::Key_Right:
        if (m_selColumn < lastColumn) {
            ++m_selColumn;
            while (m_firstColumn < m_selColumn && GetCellRect(m_selRow, m_selColumn).right() > m_rcGrid.right())
                ScrollColumns(1);
        }
        break;
    case Qt::Key_Up:
        if (m_selRow > m_firstRow)
            --m_selRow;
        else
            ScrollRows(-1);
        break;
    case Qt::Key_Down:
        if (m_selRow >= lastRow)
            break;
        if (GetCellRect(m_selRow + 1, std::max(0, m_selColumn)).bottom() <= m_rcGrid.bottom())
            ++m_selRow;
        else
            ScrollRows(1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    Rerender();
}

// ---- Mouse

void CGridWnd::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_rcGrid.contains(pos))
        return;
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::RightButton) {
        if (m_selRow >= 0 && m_selColumn >= 0)
            OnCellRightClick(m_selRow, m_selColumn);
        m_selRow = m_selColumn = -1;
        Rerender();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_hotRowDivider >= 0) {
        if (m_rowLocks[size_t(m_hotRowDivider)] == 0) {
            m_resizingRow = true;
            m_rowLineY = pos.y();
            update();
        }
        return;
    }
    if (m_hotColumnDivider >= 0) {
        if (m_columnLocks[size_t(m_hotColumnDivider)] == 0) {
            m_resizingColumn = true;
            m_columnLineX = pos.x();
            update();
        }
        return;
    }
    const int row = RowFromPoint(pos.x(), pos.y());
    const int column = ColumnFromPoint(pos.x(), pos.y());
    if (row < 0)
        return; // a column alone changes nothing
    m_selRow = row;
    if (column >= 0)
        m_selColumn = column;
    Rerender();
}

void CGridWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_resizingRow) {
        // The line stays within the row's reach: from its top to the grid's bottom.
        m_rowLineY = std::clamp(pos.y(), m_rcHotRow.top(), m_rcGrid.bottom());
        update();
        return;
    }
    if (m_resizingColumn) {
        m_columnLineX = std::clamp(pos.x(), m_rcHotColumn.left(), m_rcGrid.right());
        update();
        return;
    }
    const int rowDivider = RowDividerFromPoint(pos.x(), pos.y());
    const int columnDivider = rowDivider >= 0 ? -1 : ColumnDividerFromPoint(pos.x(), pos.y());
    if (rowDivider >= 0 && m_rowLocks[size_t(rowDivider)] == 0) {
        setCursor(Qt::SizeVerCursor);
        m_hotRowDivider = rowDivider;
        m_rcHotRow = GetRowHeaderRect(rowDivider, 0);
        m_rowLineY = pos.y();
        m_hotColumnDivider = -1;
    } else if (columnDivider >= 0) {
        setCursor(Qt::SizeHorCursor);
        m_hotColumnDivider = columnDivider;
        m_rcHotColumn = GetColumnHeaderRect(0, columnDivider);
        m_columnLineX = pos.x();
        m_hotRowDivider = -1;
    } else {
        unsetCursor();
        m_hotRowDivider = m_hotColumnDivider = -1;
    }
}

void CGridWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (m_resizingRow) {
        m_resizingRow = false;
        unsetCursor();
        const int y = std::clamp(pos.y(), m_rcHotRow.top(), m_rcGrid.bottom());
        SetRowHeight(m_hotRowDivider, std::min(y, m_rcGrid.bottom()) - m_rcHotRow.top() + 1);
        return;
    }
    if (m_resizingColumn) {
        m_resizingColumn = false;
        unsetCursor();
        const int x = std::clamp(pos.x(), m_rcHotColumn.left(), m_rcGrid.right());
        const int width = std::min(x, m_rcGrid.right()) - m_rcHotColumn.left() + 1;
        SetColumnWidth(m_hotColumnDivider, width);
        OnColumnResized(m_hotColumnDivider, width);
    }
}

void CGridWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_rcGrid.contains(pos))
        return;
    const int row = RowFromPoint(pos.x(), pos.y());
    const int column = ColumnFromPoint(pos.x(), pos.y());
    if ((row >= 0) != (column >= 0))
        OnHeaderDblClk(row, 0, column, 1);
}

} // namespace ulv
