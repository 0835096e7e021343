#include "MeasurementCsv.h"

#include "core/MeasurementTableModel.h"
#include "core/NumericText.h"

namespace {
constexpr QChar kSeparator(u',');
constexpr QChar kQuote(u'"');
const QString kLineEnd = QStringLiteral("\r\n");
constexpr QChar kFormulaGuard(u'\'');

// A spreadsheet takes a field that begins with one of these as a formula, unless it is a number.
bool readAsFormula(const QString &cell)
{
    if (cell.isEmpty() || !QStringView(u"=+-@").contains(cell.front()))
        return false;
    const QStringView number = QStringView(cell).trimmed();
    return DecimalNumberLength(number) != number.size();
}

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
    QString text = readAsFormula(cell) ? kFormulaGuard + cell : cell;
    const bool quoted =
        text.contains(kSeparator) || text.contains(kQuote) || text.contains(u'\r') || text.contains(u'\n');
    if (!quoted)
        return text;
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
