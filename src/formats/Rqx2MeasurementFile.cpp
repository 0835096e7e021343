#include "Rqx2MeasurementFile.h"

#include "core/MeasurementTableModel.h"

namespace Rqx2MeasurementFile {

namespace {
constexpr char16_t kSeparator = u'\uFF0C';
const QString kLineEnd = QStringLiteral("\r\n");

void readLine(QStringView line, int lineNumber, Content *content)
{
    if (line.isEmpty())
        return;
    qsizetype cuts[kFieldCount + 1];
    int found = 0;
    for (qsizetype at = line.indexOf(kSeparator); at >= 0 && found < kFieldCount;
         at = line.indexOf(kSeparator, at + 1))
        cuts[found++] = at;
    if (found == 0)
        return;
    if (found < kFieldCount) {
        if (content->skippedLines++ == 0)
            content->firstSkippedLine = lineNumber;
        return;
    }
    cuts[kFieldCount] = line.size();
    QStringList cells;
    cells.reserve(kFieldCount + 1);
    cells.append(QString::number(content->rows.size() + 1));
    for (int k = 0; k < kFieldCount; ++k)
        cells.append(line.sliced(cuts[k] + 1, cuts[k + 1] - cuts[k] - 1).toString());
    content->rows.push_back(std::move(cells));
}
} // namespace

QString build(const QString &nameCaption, const MeasurementTableModel &list)
{
    QString text = nameCaption + kLineEnd;
    for (int row = 1; row <= list.count(); ++row) {
        text += list.cell(row, 0);
        for (int column = 1; column <= kFieldCount; ++column) {
            text += kSeparator;
            text += list.cell(row, column);
        }
        text += kLineEnd;
    }
    return text;
}

Content read(const QString &text)
{
    Content content;
    const QStringView all(text);
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        readLine(all.sliced(start, end - start), ++lineNumber, &content);
        // CR LF is one line end.
        if (end < all.size() && all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return content;
}

} // namespace Rqx2MeasurementFile
