#include "CoordinateTableModel.h"

#include "NumericText.h"

#include <iterator>

CoordinateTableModel::CoordinateTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void CoordinateTableModel::buildColumns(bool nez)
{
    beginResetModel();
    m_rows.clear();
    m_hasColumns = true;
    m_plainList = false;
    m_nez = nez;
    endResetModel();
}

void CoordinateTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_hasColumns = false;
    m_plainList = false;
    endResetModel();
}

void CoordinateTableModel::showAsPlainList()
{
    if (m_hasColumns || m_plainList)
        return;
    beginResetModel();
    m_plainList = true;
    endResetModel();
}

QStringList CoordinateTableModel::headers() const
{
    const QString n = QStringLiteral("坐标--N");
    const QString e = QStringLiteral("坐标--E");
    return {QStringLiteral("序号"), QStringLiteral("点 号"), QStringLiteral("点 名"),
            m_nez ? n : e,          m_nez ? e : n,           QStringLiteral("坐标--Z")};
}

double CoordinateTableModel::relativeWidth(int column)
{
    // In units of the list width / 18; the sequence column is 10 twips and the point-number column
    // 480 twips narrower than three units, so the columns fill the list less 470 twips.
    switch (column) {
    case 0:
        return 0.0;
    case 1:
    case 2:
        return 3.0;
    default:
        return 4.0;
    }
}

CoordinatePoint CoordinateTableModel::point(int row) const
{
    const auto cells = cellViews(row);
    return {cells[0].toString(), cells[1].toString(), cells[2].toString(),
            cells[3].toString(), cells[4].toString(), cells[5].toString()};
}

QString CoordinateTableModel::cell(int row, int column) const
{
    return cellView(row, column).toString();
}

QStringView CoordinateTableModel::cellView(int row, int column) const
{
    return m_rows.cell(row - 1, column);
}

std::array<QStringView, CoordinateTableModel::kColumnCount> CoordinateTableModel::cellViews(int row) const
{
    return m_rows.cells(row - 1);
}

void CoordinateTableModel::setCell(int row, int column, const QString &text)
{
    if (!valid(row) || column < 0 || column >= kColumnCount)
        return;
    m_rows.replaceCell(row - 1, column, text);
    emit dataChanged(index(row - 1, column), index(row - 1, column));
}

void CoordinateTableModel::setPoint(int row, const CoordinatePoint &point)
{
    if (!valid(row))
        return;
    m_rows.replace(row - 1, cellsOf(point));
    emit dataChanged(index(row - 1, 0), index(row - 1, kColumnCount - 1));
}

void CoordinateTableModel::append(const CoordinatePoint &point)
{
    const int at = count();
    beginInsertRows({}, at, at);
    m_rows.append(cellsOf(point));
    endInsertRows();
}

void CoordinateTableModel::append(const std::vector<CoordinatePoint> &points)
{
    if (points.empty())
        return;
    const int at = count();
    beginInsertRows({}, at, at + static_cast<int>(points.size()) - 1);
    for (const auto &p : points)
        m_rows.append(cellsOf(p));
    endInsertRows();
}

void CoordinateTableModel::append(CoordinateRows &&rows)
{
    if (rows.isEmpty())
        return;
    const int at = count();
    beginInsertRows({}, at, at + rows.count() - 1);
    m_rows.append(std::move(rows));
    endInsertRows();
}

void CoordinateTableModel::remove(int row)
{
    if (!valid(row))
        return;
    beginRemoveRows({}, row - 1, row - 1);
    m_rows.remove(row - 1);
    endRemoveRows();
}

void CoordinateTableModel::truncate(int rows)
{
    if (rows < 0 || rows >= count())
        return;
    beginRemoveRows({}, rows, count() - 1);
    while (m_rows.count() > rows)
        m_rows.remove(m_rows.count() - 1);
    endRemoveRows();
}

void CoordinateTableModel::renumberPointNumbers()
{
    const int n = count();
    if (n == 0)
        return;
    char16_t digits[kRowNumberMaxLength];
    for (int row = 1; row <= n; ++row)
        m_rows.replaceCell(row - 1, 1, QStringView(WriteRowNumber(row, std::end(digits)), std::end(digits)));
    emit dataChanged(index(0, 1), index(n - 1, 1));
}

int CoordinateTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int CoordinateTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_hasColumns ? kColumnCount : m_plainList ? 1 : 0;
}

QVariant CoordinateTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == 0)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (index.column() <= 2)
            return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant CoordinateTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !m_hasColumns || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return headers().at(section);
    if (role == Qt::TextAlignmentRole) {
        if (section == 0)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (section <= 2)
            return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

CoordinateRows::Cells CoordinateTableModel::cellsOf(const CoordinatePoint &p)
{
    return {p.sequence, p.number, p.name, p.first, p.second, p.height};
}
