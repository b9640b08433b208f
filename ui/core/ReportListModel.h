#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace ulv {

// The rows and columns behind a report-style list: what a list view holds for
// each item (the cell texts and the item data) and, for the sortable lists, the
// row's own copy of its texts and its free value. Indexes are display order.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QStringList texts;         // one per column, what the list shows
        quintptr itemData = 0;     // the owner's item data
        QStringList stored;        // the row's own copies, read by the sort
        int value = 0;             // free value for the owner
    };

    explicit ReportListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // A cell shows its text on one line: line breaks show as blanks.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    static QString OnOneLine(QString text);
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Returns the new column's index (clamped to the column count).
    int InsertColumn(int column, const QString& heading, Qt::Alignment alignment);
    bool RemoveColumn(int column);
    QString Heading(int column) const;
    Qt::Alignment ColumnAlignment(int column) const;

    // Returns the new row's index (clamped to the row count), or -1.
    int InsertRow(int row, const QStringList& texts);
    bool RemoveRow(int row);
    void Clear();

    bool SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;

    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    Row* RowAt(int row) { return IsRow(row) ? &m_rows[row] : nullptr; }
    const Row* RowAt(int row) const { return IsRow(row) ? &m_rows[row] : nullptr; }

    // Reorders the rows by the stored copies at column, keeping selections and
    // current items on the rows they belong to.
    void SortByStored(int column, bool ascending);

private:
    struct Column {
        QString heading;
        Qt::Alignment alignment;
    };
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};

} // namespace ulv
