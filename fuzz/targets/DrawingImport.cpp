#include "formats/DrawingImport.h"
#include "support/FuzzTargets.h"

#include <cmath>

// The point import of a CAD drawing. Byte 0: bit 0 the order ENZ; the rest is the file. A drawing
// gives either a problem and no rows, or rows and no problem: every row numbered by its place, with
// a point number and plan coordinates that are numbers.
QString FuzzDrawingImport(FuzzInput &input)
{
    const bool nez = (input.byte() & 0x01) == 0;
    const DrawingImport drawing = DrawingImport::read(input.rest(), nez);
    const int rows = drawing.rows().count();
    if (drawing.problem() != DrawingImport::Problem::None)
        return rows == 0 ? QString() : QStringLiteral("%1 rows beside a problem").arg(rows);
    if (rows == 0)
        return QStringLiteral("no rows and no problem");
    if (drawing.problemText().size() != 0)
        return QStringLiteral("a problem's text without a problem");
    for (int r = 0; r < rows; ++r) {
        const auto cells = drawing.rows().cells(r);
        if (cells[0] != QString::number(r + 1))
            return QStringLiteral("row %1 has the sequence %2").arg(r + 1).arg(cells[0]);
        if (cells[1].isEmpty())
            return QStringLiteral("row %1 has no point number").arg(r + 1);
        for (int column : {3, 4, 5}) {
            bool number = false;
            const double value = cells[column].toDouble(&number);
            if (!number || !std::isfinite(value))
                return QStringLiteral("row %1 column %2 is no number: %3")
                    .arg(r + 1)
                    .arg(column)
                    .arg(cells[column]);
        }
    }
    return {};
}
