#include "MeasurementCsv.h"

#include "core/MeasurementTableModel.h"

namespace {
constexpr QChar kSeparator(u',');
constexpr QChar kQuote(u'"');
const QString kLineEnd = QStringLiteral("\r\n");

template <class CellOf> void appendLine(QString &text, const std::vector<int> &columns, CellOf cellOf)
{
    bool first = true;
    for (const int column : columns) {
        if (!first)
            text += kSeparator;
        first = false;
        text += MeasurementCsv::field(cellOf(column));
    }
    text += kLineEnd;
}
} // namespace

QString MeasurementCsv::field(const QString &cell)
{
    const bool quoted =
        cell.contains(kSeparator) || cell.contains(kQuote) || cell.contains(u'\r') || cell.contains(u'\n');
    if (!quoted)
        return cell;
    QString text = cell;
    text.replace(kQuote, QStringLiteral("\"\""));
    return kQuote + text + kQuote;
}

QString MeasurementCsv::build(const MeasurementTableModel &list, const std::vector<int> &columns)
{
    const QStringList headers = list.headers();
    QString text;
    appendLine(text, columns, [&](int column) { return headers.value(column); });
    for (int row = 1; row <= list.count(); ++row)
        appendLine(text, columns, [&](int column) { return list.cell(row, column); });
    return text;
}
