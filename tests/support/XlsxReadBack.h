#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include "support/PythonReader.h"

// An Excel workbook as a spreadsheet program reads it, through Debian's python with openpyxl (the
// first python3 on PATH may be another one, without it).
namespace XlsxReadBack {

// Each cell of the first sheet as "" (empty), "n:<value>:<number format>" (a number) or "s:<text>" (a
// text); the frozen cell, the header row's boldness and the column widths in the sheet's units.
struct Sheet {
    QList<QStringList> rows;
    QString frozen;
    QList<bool> boldHeader;
    QList<double> widths;
    QString failure; // the reader's complaint when it could not read the file
};

inline Sheet read(const QString &path)
{
    static const char kReader[] = R"(import json, sys, openpyxl
from openpyxl.utils import get_column_letter
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def cell(c):
    if c.value is None:
        return ""
    if c.data_type == "n":
        return "n:%r:%s" % (c.value, c.number_format)
    return "%s:%s" % (c.data_type, c.value)
print(json.dumps({
    "rows": [[cell(c) for c in row] for row in sheet.iter_rows()],
    "frozen": sheet.freeze_panes or "",
    "bold": [bool(c.font.b) for c in sheet[1]],
    "widths": [sheet.column_dimensions[get_column_letter(i)].width for i in range(1, sheet.max_column + 1)],
}))
)";
    Sheet sheet;
    QProcess reader;
    reader.start(PythonReader::kPython, {QStringLiteral("-c"), QString::fromUtf8(kReader), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        sheet.failure = QString::fromUtf8(reader.readAllStandardError());
        return sheet;
    }
    const QJsonObject read = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    for (const QJsonValue row : read[QLatin1String("rows")].toArray())
        sheet.rows << row.toVariant().toStringList();
    sheet.frozen = read[QLatin1String("frozen")].toString();
    for (const QJsonValue bold : read[QLatin1String("bold")].toArray())
        sheet.boldHeader << bold.toBool();
    for (const QJsonValue width : read[QLatin1String("widths")].toArray())
        sheet.widths << width.toDouble();
    return sheet;
}

} // namespace XlsxReadBack

// A test that reads a workbook back: skipped where openpyxl is missing, failed in CI (CI=true).
#define RQX_REQUIRE_XLSX_READER() RQX_REQUIRE_PYTHON_MODULE("openpyxl", "python3-openpyxl")
