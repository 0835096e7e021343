#include "Rqx5MeasurementFile.h"

#include "FileText.h"
#include "core/MeasurementTableModel.h"

namespace {
const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kDateLength = 6;
} // namespace

QString BuildRqx5MeasurementText(const MeasurementTableModel &list, int fields, const QString &date,
                                 const QString &instrumentNumber)
{
    QString text;
    const int rows = list.count();
    for (int row = 1; row <= rows; ++row) {
        const QStringList cells = list.row(row);
        if (row == 1) {
            // Rows of one list are alike: the first tells how much room the text needs.
            qsizetype length = kLineEnd.size() + fields;
            for (const QString &cell : cells)
                length += cell.size();
            text.reserve(length * (rows + 1) + date.size() + instrumentNumber.size() + 3 * kLineEnd.size());
        }
        text += cells.value(0);
        for (int k = 1; k <= fields; ++k) {
            text += kRqx5FieldSeparator;
            text += cells.value(k);
        }
        text += kLineEnd;
    }
    text += date;
    text += kLineEnd;
    text += instrumentNumber;
    text += kLineEnd;
    return text;
}

Rqx5MeasurementFileContent ReadRqx5MeasurementFile(const QByteArray &bytes, int fields, int trailerSeparators)
{
    Rqx5MeasurementFileContent content;
    const QString text = DecodeFileText(bytes);
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    std::vector<qsizetype> separators;
    qsizetype pos = 0;
    int lineNumber = 0;
    while (pos < size) {
        ++lineNumber;
        const qsizetype start = pos;
        separators.clear();
        qsizetype i = start;
        for (; i < size; ++i) {
            const char16_t c = data[i].unicode();
            if (c == kRqx5FieldSeparator)
                separators.push_back(i);
            else if (c == u'\r' || c == u'\n')
                break;
        }
        const qsizetype length = i - start;
        pos = i;
        if (pos < size)
            pos += (data[pos] == u'\r' && pos + 1 < size && data[pos + 1] == u'\n') ? 2 : 1;
        if (length == 0)
            continue;

        const QStringView line(data + start, length);
        const auto found = static_cast<int>(separators.size());
        if (found <= trailerSeparators) {
            if (length == kDateLength)
                content.date = line.toString();
            else if (length > kDateLength)
                content.instrumentNumber = line.toString();
            continue;
        }
        if (found < fields) {
            if (content.skippedLines++ == 0)
                content.firstSkippedLine = lineNumber;
            continue;
        }
        QStringList cells;
        cells.reserve(fields + 1);
        cells.append(QString::number(content.rows.size() + 1));
        for (int k = 1; k <= fields; ++k) {
            const qsizetype from = separators[static_cast<size_t>(k - 1)] + 1;
            const qsizetype to = k < fields ? separators[static_cast<size_t>(k)] : i;
            cells.append(QString(data + from, to - from));
        }
        content.rows.push_back(std::move(cells));
    }
    return content;
}
