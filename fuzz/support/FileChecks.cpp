#include "FileChecks.h"

#include "formats/CoordinateFileContent.h"

#include <QStringList>

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
    const QStringList lines = FileLines(text);
    const char *layout = lineLayout(format);
    const bool withSequence = layout[0] == 'S';
    qsizetype next = 0;
    for (int i = 1; i <= content.count(); ++i) {
        const QString wanted =
            content.rawLines() ? content.line(i) : lineOfRow(content.row(i), layout, content.nez());
        while (next < lines.size() &&
               (content.rawLines() ? lines[next] != wanted : !isLineOfRow(lines[next], wanted, withSequence)))
            ++next;
        if (next == lines.size())
            return QStringLiteral("row %1 (%2) is no line of the file, or stands out of order")
                .arg(i)
                .arg(wanted);
        ++next;
    }
    return {};
}
