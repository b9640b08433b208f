#include "ui/core/ReportListModel.h"

#include "ui/core/ListSort.h"

#include <algorithm>

namespace ulv {

ReportListModel::ReportListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int ReportListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    const Row* r = RowAt(index.row());
    if (!r || index.column() < 0 || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return OnOneLine(r->texts.value(index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[index.column()].alignment | Qt::AlignVCenter);
    return {};
}

QString ReportListModel::OnOneLine(QString text)
{
    // A row is one line high: a text of several lines (a parameter reference,
    // a function) shows them side by side rather than its first line alone.
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].heading;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[section].alignment | Qt::AlignVCenter);
    return {};
}

bool ReportListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return false;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        m_columns[section].heading = value.toString();
    else if (role == Qt::TextAlignmentRole)
        m_columns[section].alignment = Qt::Alignment(value.toInt()) & Qt::AlignHorizontal_Mask;
    else
        return false;
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int ReportListModel::InsertColumn(int column, const QString& heading, Qt::Alignment alignment)
{
    column = std::clamp(column, 0, columnCount());
    beginInsertColumns({}, column, column);
    m_columns.insert(m_columns.begin() + column, {heading, alignment & Qt::AlignHorizontal_Mask});
    for (Row& r : m_rows) {
        if (column <= r.texts.size())
            r.texts.insert(column, QString());
    }
    endInsertColumns();
    return column;
}

bool ReportListModel::RemoveColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return false;
    beginRemoveColumns({}, column, column);
    m_columns.erase(m_columns.begin() + column);
    for (Row& r : m_rows) {
        if (column < r.texts.size())
            r.texts.removeAt(column);
    }
    endRemoveColumns();
    return true;
}

QString ReportListModel::Heading(int column) const
{
    return column >= 0 && column < columnCount() ? m_columns[column].heading : QString();
}

Qt::Alignment ReportListModel::ColumnAlignment(int column) const
{
    return column >= 0 && column < columnCount() ? m_columns[column].alignment : Qt::AlignLeft;
}

int ReportListModel::InsertRow(int row, const QStringList& texts)
{
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row);
    Row r;
    r.texts = texts;
    while (r.texts.size() < columnCount())
        r.texts.append(QString());
    m_rows.insert(m_rows.begin() + row, std::move(r));
    endInsertRows();
    return row;
}

bool ReportListModel::RemoveRow(int row)
{
    if (!IsRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void ReportListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

bool ReportListModel::SetText(int row, int column, const QString& text)
{
    Row* r = RowAt(row);
    if (!r || column < 0 || column >= columnCount())
        return false;
    while (r->texts.size() <= column)
        r->texts.append(QString());
    r->texts[column] = text;
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
    return true;
}

QString ReportListModel::Text(int row, int column) const
{
    const Row* r = RowAt(row);
    return r ? r->texts.value(column) : QString();
}

void ReportListModel::SortByStored(int column, bool ascending)
{
    QStringList keys;
    keys.reserve(rowCount());
    for (const Row& r : m_rows)
        keys.append(r.stored.value(column));
    const std::vector<int> order = SortedRowOrder(keys, ascending);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newRowOf[order[i]] = static_cast<int>(i);
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (int from : order)
        sorted.push_back(std::move(m_rows[from]));
    m_rows.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.append(IsRow(i.row()) ? index(newRowOf[i.row()], i.column()) : QModelIndex());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace ulv
