#include "CoordinateTableModel.h"

#include <algorithm>

namespace {
constexpr QChar kSeparator(0x1F);
} // namespace

CoordinateTableModel::CoordinateTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void CoordinateTableModel::buildColumns(bool nez)
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_hasColumns = true;
    m_plainList = false;
    m_nez = nez;
    endResetModel();
}

void CoordinateTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
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
    return {QStringLiteral("序号"), QStringLiteral("点 号"), QStringLiteral("点 名"), m_nez ? n : e, m_nez ? e : n,
            QStringLiteral("坐标--Z")};
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
    if (!valid(row))
        return {};
    const QStringList cells = m_rows[static_cast<size_t>(row - 1)].split(kSeparator);
    CoordinatePoint p;
    QString *fields[kColumnCount] = {&p.sequence, &p.number, &p.name, &p.first, &p.second, &p.height};
    for (int i = 0; i < kColumnCount && i < cells.size(); ++i)
        *fields[i] = cells[i];
    return p;
}

QString CoordinateTableModel::cell(int row, int column) const
{
    return cellView(row, column).toString();
}

QStringView CoordinateTableModel::cellView(int row, int column) const
{
    if (!valid(row) || column < 0 || column >= kColumnCount)
        return {};
    const QString &joined = m_rows[static_cast<size_t>(row - 1)];
    qsizetype start = 0;
    for (int i = 0; i < column; ++i)
        start = joined.indexOf(kSeparator, start) + 1;
    qsizetype end = joined.indexOf(kSeparator, start);
    if (end < 0)
        end = joined.size();
    return QStringView(joined).mid(start, end - start);
}

std::array<QStringView, CoordinateTableModel::kColumnCount> CoordinateTableModel::cellViews(int row) const
{
    std::array<QStringView, kColumnCount> cells;
    if (!valid(row))
        return cells;
    const QStringView joined(m_rows[static_cast<size_t>(row - 1)]);
    qsizetype start = 0;
    for (int column = 0; column < kColumnCount; ++column) {
        qsizetype end = column + 1 < kColumnCount ? joined.indexOf(kSeparator, start) : joined.size();
        if (end < 0)
            end = joined.size();
        cells[static_cast<size_t>(column)] = joined.mid(start, end - start);
        start = std::min(end + 1, joined.size());
    }
    return cells;
}

void CoordinateTableModel::setCell(int row, int column, const QString &text)
{
    if (!valid(row) || column < 0 || column >= kColumnCount)
        return;
    CoordinatePoint p = point(row);
    QString *fields[kColumnCount] = {&p.sequence, &p.number, &p.name, &p.first, &p.second, &p.height};
    *fields[column] = text;
    setPoint(row, p);
}

void CoordinateTableModel::setPoint(int row, const CoordinatePoint &point)
{
    if (!valid(row))
        return;
    m_rows[static_cast<size_t>(row - 1)] = join(point);
    emit dataChanged(index(row - 1, 0), index(row - 1, kColumnCount - 1));
}

void CoordinateTableModel::append(const CoordinatePoint &point)
{
    const int at = count();
    beginInsertRows({}, at, at);
    m_rows.push_back(join(point));
    endInsertRows();
}

void CoordinateTableModel::append(const std::vector<CoordinatePoint> &points)
{
    if (points.empty())
        return;
    const int at = count();
    beginInsertRows({}, at, at + static_cast<int>(points.size()) - 1);
    // Grown geometrically: a file reader appends its rows in many batches, and an exact reserve per
    // batch would move every row already held each time and leave the old blocks scattered.
    if (m_rows.capacity() < m_rows.size() + points.size())
        m_rows.reserve(std::max(m_rows.size() + points.size(), 2 * m_rows.capacity()));
    for (const auto &p : points)
        m_rows.push_back(join(p));
    endInsertRows();
}

void CoordinateTableModel::remove(int row)
{
    if (!valid(row))
        return;
    beginRemoveRows({}, row - 1, row - 1);
    m_rows.erase(m_rows.begin() + (row - 1));
    endRemoveRows();
}

void CoordinateTableModel::renumberPointNumbers()
{
    const int n = count();
    if (n == 0)
        return;
    for (int row = 1; row <= n; ++row) {
        QString &joined = m_rows[static_cast<size_t>(row - 1)];
        const qsizetype start = joined.indexOf(kSeparator) + 1;
        const qsizetype end = joined.indexOf(kSeparator, start);
        joined.replace(start, end - start, QString::number(row));
    }
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

QString CoordinateTableModel::join(const CoordinatePoint &p)
{
    // A separator inside a cell (from a damaged file, say) would shift the cells after it.
    if (p.sequence.contains(kSeparator) || p.number.contains(kSeparator) || p.name.contains(kSeparator) ||
        p.first.contains(kSeparator) || p.second.contains(kSeparator) || p.height.contains(kSeparator)) {
        CoordinatePoint clean = p;
        for (QString *text : {&clean.sequence, &clean.number, &clean.name, &clean.first, &clean.second, &clean.height})
            text->replace(kSeparator, u' ');
        return join(clean);
    }
    QString joined;
    joined.reserve(p.sequence.size() + p.number.size() + p.name.size() + p.first.size() + p.second.size() +
                   p.height.size() + 5);
    joined += p.sequence;
    joined += kSeparator;
    joined += p.number;
    joined += kSeparator;
    joined += p.name;
    joined += kSeparator;
    joined += p.first;
    joined += kSeparator;
    joined += p.second;
    joined += kSeparator;
    joined += p.height;
    return joined;
}
