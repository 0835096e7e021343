#include "TableOperations.h"

#include "CoordinateTableModel.h"
#include "NumericText.h"

namespace {
constexpr int kEditorAdding = 0;
constexpr int kEditorMeasurements = 2;
constexpr int kEditorNoType = 4;
constexpr int kSampleRows = 25;

QString sequenceLimitMessage()
{
    return QStringLiteral("手工新建的点已达%1个（序号上限），不能再新建点！")
        .arg(TableOperations::kMaxSequence);
}
} // namespace

TableOperations::TableOperations(CoordinateTableModel &table, std::function<bool()> nez)
    : m_table(table), m_nez(std::move(nez))
{
}

void TableOperations::reset()
{
    EditorMode = kEditorNoType;
    TableIsNew = true;
    NextSequence = 0;
    EditRowIndex = 0;
}

void TableOperations::BuildTableColumns()
{
    m_table.buildColumns(!m_nez || m_nez());
}

QString TableOperations::NewPoint(DataType type)
{
    // Refused before anything changes: the next sequence number would not fit its 16 bits.
    if (type == DataType::Coordinates && m_table.count() >= kMaxSequence)
        return sequenceLimitMessage();

    TableIsNew = false;
    NextSequence = m_table.count();
    switch (type) {
    case DataType::Coordinates:
        EditorMode = kEditorAdding;
        if (NextSequence == 0)
            BuildTableColumns();
        return {};
    case DataType::Measurements:
        EditorMode = kEditorMeasurements;
        return {};
    case DataType::None:
        break;
    }
    EditorMode = kEditorNoType;
    return QStringLiteral("请选择新建数据类型！");
}

QString TableOperations::ChangeSelectedPoint(int row)
{
    if (row < 1 || row > m_table.count())
        return QStringLiteral("当前没有数据可以修改！");
    TableIsNew = true;
    EditorMode = kEditorAdding;
    EditRowIndex = row;
    return {};
}

TableOperations::CommitResult TableOperations::CommitPointEditor(const PointFields &fields, int editRow)
{
    const QString duplicate = QStringLiteral("此点号已经存在！");
    const QString empty = QStringLiteral("点号不能为空！");

    if (!TableIsNew && EditorMode == kEditorAdding) {
        if (fields.number.isEmpty())
            return {empty, true};
        if (findPointNumber(fields.number) != 0)
            return {duplicate, true};
        if (NextSequence >= kMaxSequence)
            return {sequenceLimitMessage(), false};
        m_table.append({QString::number(NextSequence + 1), fields.number, fields.name, fields.first,
                        fields.second, fields.height});
        ++NextSequence;
        return {{}, false};
    }

    if (TableIsNew && EditorMode == kEditorAdding) {
        // The row opened for the change may have gone meanwhile (a coordinate receive rebuilds the table).
        if (editRow < 1 || editRow > m_table.count())
            return {QStringLiteral("要修改的点已不在坐标表中，请重新选择！"), false};
        EditRowIndex = editRow;
        const double value = NumericValue(fields.number);
        // Keeping the row's own number, in any spelling of the same value, is no duplicate.
        if (NumericValue(m_table.cell(editRow, 1)) != value && findPointNumber(fields.number) != 0)
            return {duplicate, true};
        if (fields.number.isEmpty())
            return {empty, true};
        CoordinatePoint point = m_table.point(editRow);
        point.number = ShortestDecimal(value);
        point.name = fields.name;
        point.first = fields.first;
        point.second = fields.second;
        point.height = fields.height;
        m_table.setPoint(editRow, point);
        return {{}, false};
    }

    if (!TableIsNew && EditorMode == kEditorNoType)
        return {QStringLiteral("请选择数据类型！"), false};
    return {{}, false};
}

QString TableOperations::DeleteSelectedPoint(int row)
{
    if (row < 1 || row > m_table.count())
        return QStringLiteral("当前没有数据可以删除！");
    m_table.remove(row);
    m_table.renumberPointNumbers();
    return {};
}

void TableOperations::ClearTable()
{
    m_table.clear();
}

void TableOperations::FillSampleRows()
{
    BuildTableColumns();
    std::vector<CoordinatePoint> rows;
    rows.reserve(kSampleRows);
    for (int i = 1; i <= kSampleRows; ++i) {
        const QString n = QString::number(i);
        rows.push_back({n, n, n, QString::number(10 * i), QStringLiteral("66"), QStringLiteral("66")});
    }
    m_table.append(rows);
}

bool TableOperations::editButtonsEnabledAfterCommit() const
{
    return NextSequence != 0;
}

int TableOperations::findPointNumber(const QString &number) const
{
    const double value = NumericValue(number);
    const int n = m_table.count();
    for (int row = 1; row <= n; ++row) {
        if (NumericValue(m_table.cellView(row, 1)) == value)
            return row;
    }
    return 0;
}
