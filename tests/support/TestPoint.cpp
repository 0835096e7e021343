#include "TestPoint.h"

#include "core/CoordinateTableModel.h"

#include <QFile>
#include <QStringList>

void appendPoint(CoordinateTableModel &table, bool nez, const TestPoint &p)
{
    if (!table.hasColumns())
        table.buildColumns(nez);
    table.append(CoordinatePoint{QString::number(table.count() + 1), p.number, p.name, nez ? p.north : p.east,
                                 nez ? p.east : p.north, p.height});
}

bool writePointsFile(const QString &path, const std::vector<TestPoint> &points)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const TestPoint &p : points)
        file.write(QStringList{p.number, p.name, p.north, p.east, p.height}.join(u',').toUtf8() + '\n');
    return file.flush();
}
