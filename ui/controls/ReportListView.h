#pragma once

#include "ui/core/ReportListModel.h"

#include <QTableView>

class QHeaderView;

namespace ulv {

// Column formats, extended styles and item flags of the report list calls.
enum ListColumnFormat : int { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };
enum ListExtendedStyle : unsigned { LVS_EX_GRIDLINES = 0x1, LVS_EX_FULLROWSELECT = 0x20 };
enum ListNextFlags : int { LVNI_ALL = 0, LVNI_FOCUSED = 1, LVNI_SELECTED = 2 };

// A report-style list view with the item calls the pages are written against:
// columns and items by index, texts per column, item data, hot item and
// selection mark. The lists with flat and sort-arrow headers build on it.
class ReportListView : public QTableView {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

    ReportListModel* Model() const { return m_model; }

    // The dialog control id (names the list's entry in the profile).
    void SetDlgCtrlID(int id) { m_id = id; }
    int GetDlgCtrlID() const { return m_id; }

    // Returns the new column's index, or -1.
    int InsertColumn(int column, const QString& heading, int format = LVCFMT_LEFT, int width = -1);
    bool DeleteColumn(int column);
    int GetColumnCount() const;
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    // Widens every column that is too narrow for its title or for one of its
    // cell texts in the list's fonts; no column gets narrower.
    void FitColumnsToTexts();
    // The widths a column's title and its widest cell need to show whole.
    int TitleWidthNeeded(int column) const;
    int CellWidthNeeded(int column) const;

    void SetExtendedStyle(unsigned style);
    unsigned GetExtendedStyle() const { return m_exStyle; }

    // Returns the new item's index, or -1.
    int InsertItem(int row, const QString& text);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    bool DeleteAllItems();
    int GetItemCount() const;

    bool SetItemData(int row, quintptr data);
    quintptr GetItemData(int row) const;

    // The item under the mouse, -1 when none.
    int GetHotItem() const { return m_hot; }
    // The item the selection last started from, -1 when none.
    int GetSelectionMark() const;
    int SetSelectionMark(int row);
    // The next item after start (-1: from the first) that has the flags.
    int GetNextItem(int start, int flags) const;
    int GetSelectedCount() const;
    bool SetItemSelected(int row, bool selected);
    bool IsItemSelected(int row) const;
    bool EnsureVisible(int row);

Q_SIGNALS:
    // A click on a column title (after the list has handled it).
    void ColumnClicked(int column);

protected:
    // Puts a header of the list's own kind in place of the plain one.
    void InstallHeader(QHeaderView* header);
    virtual void OnColumnClick(int column);

    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ReportListModel* m_model;
    unsigned m_exStyle = 0;
    int m_id = 0;
    int m_hot = -1;
};

} // namespace ulv
