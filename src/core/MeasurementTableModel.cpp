#include "MeasurementTableModel.h"

MeasurementTableModel::MeasurementTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void MeasurementTableModel::setColumns(std::vector<MeasurementColumn> columns)
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_columns = std::move(columns);
    endResetModel();
}

QStringList MeasurementTableModel::headers() const
{
    QStringList texts;
    for (const MeasurementColumn &column : m_columns)
        texts << column.header;
    return texts;
}

void MeasurementTableModel::clearRows()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

QString MeasurementTableModel::cell(int row, int column) const
{
    if (row < 1 || row > count() || column < 0)
        return {};
    const QStringList &cells = m_rows[static_cast<size_t>(row - 1)];
    return column < cells.size() ? cells[column] : QString();
}

QStringList MeasurementTableModel::row(int row) const
{
    if (row < 1 || row > count())
        return {};
    return m_rows[static_cast<size_t>(row - 1)];
}

void MeasurementTableModel::append(const QStringList &cells)
{
    const int at = count();
    beginInsertRows({}, at, at);
    m_rows.push_back(cells);
    endInsertRows();
}

void MeasurementTableModel::append(std::vector<QStringList> rows)
{
    if (rows.empty())
        return;
    const int at = count();
    beginInsertRows({}, at, at + static_cast<int>(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (QStringList &cells : rows)
        m_rows.push_back(std::move(cells));
    endInsertRows();
}

int MeasurementTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int MeasurementTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant MeasurementTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[static_cast<size_t>(index.column())].alignment);
    return {};
}

QVariant MeasurementTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[static_cast<size_t>(section)].header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[static_cast<size_t>(section)].alignment);
    return {};
}

void MeasurementTableModel::truncate(int rows)
{
    if (rows < 0 || rows >= count())
        return;
    beginRemoveRows({}, rows, count() - 1);
    m_rows.resize(static_cast<size_t>(rows));
    endRemoveRows();
}
