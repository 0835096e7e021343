#include "FileChecks.h"

#include "formats/CoordinateFileContent.h"

#include <QStringList>
#include <functional>

namespace {
// The fields of a line of each fields format, by meaning: S sequence (not kept), P point number,
// A point name, N, E, Z.
const char *lineLayout(int format)
{
    switch (format) {
    case 1:
    case 9:
        return "PANEZ";
    case 2:
    case 4:
        return "PAENZ";
    case 5:
        return "SPNEZA";
    case 6:
        return "SPANEZ";
    case 7:
        return "PENZA";
    default:
        return "";
    }
}

// The line a row of the format was read from, its sequence (if the format has one) left out.
QString lineOfRow(const CoordinatePoint &row, const char *layout, bool nez)
{
    QStringList fields;
    for (const char *field = layout; *field; ++field) {
        switch (*field) {
        case 'P':
            fields << row.number;
            break;
        case 'A':
            fields << row.name;
            break;
        case 'N':
            fields << (nez ? row.first : row.second);
            break;
        case 'E':
            fields << (nez ? row.second : row.first);
            break;
        case 'Z':
            fields << row.height;
            break;
        }
    }
    return fields.join(u',');
}

// Rows 1..count, each the line wanted(i), must be found among the lines in order.
QString checkRowsAreLines(const QStringList &lines, int count, const std::function<QString(int)> &wanted,
                          const std::function<bool(const QString &, const QString &)> &isLine)
{
    qsizetype next = 0;
    for (int i = 1; i <= count; ++i) {
        const QString row = wanted(i);
        while (next < lines.size() && !isLine(lines[next], row))
            ++next;
        if (next == lines.size())
            return QStringLiteral("row %1 (%2) is no line of the file, or stands out of order")
                .arg(i)
                .arg(row);
        ++next;
    }
    return {};
}

bool isLineOfRow(const QString &line, const QString &rowLine, bool withSequence)
{
    if (!withSequence)
        return line == rowLine;
    // Whatever stood before the first comma was the sequence.
    const qsizetype comma = line.indexOf(u',');
    return comma >= 0 && QStringView(line).mid(comma + 1) == rowLine;
}
} // namespace

QString RowText(const CoordinatePoint &row)
{
    return QStringList{row.sequence, row.number, row.name, row.first, row.second, row.height}.join(u'|');
}

QStringList FileLines(const QString &text)
{
    QString joined = text;
    joined.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return joined.split(u'\n');
}

QString CheckRowsFromOwnLines(const CoordinateFileContent &content, const QString &text, int format)
{
    const char *layout = lineLayout(format);
    const bool withSequence = layout[0] == 'S';
    return checkRowsAreLines(
        FileLines(text), content.count(),
        [&](int i) {
            return content.rawLines() ? content.line(i) : lineOfRow(content.row(i), layout, content.nez());
        },
        [&](const QString &line, const QString &wanted) {
            return content.rawLines() ? line == wanted : isLineOfRow(line, wanted, withSequence);
        });
}

QString CheckRowsFromOwnLines(const std::vector<QStringList> &rows, const QString &text, QChar separator)
{
    return checkRowsAreLines(
        FileLines(text), static_cast<int>(rows.size()),
        [&](int i) { return rows[static_cast<size_t>(i - 1)].mid(1).join(separator); },
        [separator](const QString &line, const QString &wanted) {
            const qsizetype first = line.indexOf(separator);
            return first >= 0 && QStringView(line).mid(first + 1) == wanted;
        });
}

QString CompareRows(const std::vector<QStringList> &read, const std::vector<QStringList> &again)
{
    if (again.size() != read.size())
        return QStringLiteral("%1 rows read, %2 after a save and open").arg(read.size()).arg(again.size());
    for (size_t i = 0; i < read.size(); ++i) {
        if (again[i] != read[i])
            return QStringLiteral("row %1 changed in a save and open: %2 became %3")
                .arg(i + 1)
                .arg(read[i].join(u'|'), again[i].join(u'|'));
    }
    return {};
}
