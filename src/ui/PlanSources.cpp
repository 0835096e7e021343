#include "PlanSources.h"

#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "core/NumericText.h"

namespace {

// The value of a cell that is wholly a number.
bool numberIn(QStringView cell, double *value)
{
    const QStringView text = cell.trimmed();
    if (text.isEmpty() || DecimalNumberLength(text) != text.size())
        return false;
    *value = NumericValue(text);
    return true;
}

int columnOf(const MeasurementTableModel &list, QStringView header)
{
    const auto &columns = list.columns();
    for (size_t k = 0; k < columns.size(); ++k) {
        if (columns[k].header == header)
            return int(k);
    }
    return -1;
}

} // namespace

PlanView::Source CoordinateTablePlan(const CoordinateTableModel &table)
{
    PlanView::Source source;
    source.position = [&table](int row, double *east, double *north) {
        if (!table.hasColumns() || table.isPlainList())
            return false;
        const auto cells = table.cellViews(row + 1);
        const bool nez = table.columnsNez();
        return numberIn(cells[nez ? 4 : 3], east) && numberIn(cells[nez ? 3 : 4], north);
    };
    source.number = [&table](int row) { return table.cell(row + 1, 1); };
    return source;
}

PlanView::Source MeasurementListPlan(const MeasurementTableModel &list)
{
    PlanView::Source source;
    source.position = [&list](int row, double *east, double *north) {
        const int e = columnOf(list, u"坐标--E");
        const int n = columnOf(list, u"坐标--N");
        return e >= 0 && n >= 0 && numberIn(list.cell(row + 1, e), east) &&
               numberIn(list.cell(row + 1, n), north);
    };
    source.number = [&list](int row) {
        int column = columnOf(list, u"测量序号");
        if (column < 0)
            column = columnOf(list, u"接收序号");
        return column >= 0 ? list.cell(row + 1, column) : QString::number(row + 1);
    };
    return source;
}
