#include "CoordinateFileContent.h"

#include "core/CoordinateTableModel.h"

CoordinatePoint CoordinateFileContent::row(int index) const
{
    if (m_rawLines || index < 1 || index > count())
        return {};
    const auto cells = m_rows.cells(index - 1);
    return {cells[0].toString(), cells[1].toString(), cells[2].toString(),
            cells[3].toString(), cells[4].toString(), cells[5].toString()};
}

std::vector<CoordinatePoint> CoordinateFileContent::rows() const
{
    std::vector<CoordinatePoint> points;
    if (m_rawLines)
        return points;
    points.reserve(static_cast<size_t>(count()));
    for (int index = 1; index <= count(); ++index)
        points.push_back(row(index));
    return points;
}

QString CoordinateFileContent::line(int index) const
{
    if (!m_rawLines || index < 1 || index > count())
        return {};
    return m_rows.cell(index - 1, 0).toString();
}

QStringList CoordinateFileContent::lines() const
{
    QStringList result;
    if (!m_rawLines)
        return result;
    result.reserve(count());
    for (int index = 1; index <= count(); ++index)
        result.append(line(index));
    return result;
}

void CoordinateFileContent::replaceTable(CoordinateTableModel &table) const &
{
    CoordinateFileContent(*this).replaceTable(table);
}

void CoordinateFileContent::replaceTable(CoordinateTableModel &table) &&
{
    if (m_rawLines)
        table.clear();
    else
        table.buildColumns(m_nez);
    table.append(std::move(m_rows));
}
