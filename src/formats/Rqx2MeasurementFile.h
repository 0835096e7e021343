#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class MeasurementTableModel;

// The RQX2 measurement file ".txt": the caption of the file name ('文件名： F0001', empty when no
// header was received) on the first line, then one line per list row: the row's number, then each of
// its 21 fields after the separator "，" (U+FF0C), so every row line holds exactly 21 separators.
// Lines end in CR LF; the file is written in GB18030 and read as UTF-8 when it is, else GB18030.
namespace Rqx2MeasurementFile {
inline constexpr int kFieldCount = 21;

// The whole text, each line ended by CR LF. The caller writes it followed by one more CR LF, appended
// in place (text += "\r\n").
QString build(const QString &nameCaption, const MeasurementTableModel &list);

// What reading a file yields: the data rows numbered 1, 2, 3 ... with their 21 fields, and the lines
// that have separators but fewer than 21 of them, which are not read.
struct Content {
    std::vector<QStringList> rows;
    int skippedLines = 0;
    int firstSkippedLine = 0; // 1-based line number in the file; 0 when none was skipped
};

// Reads a file's text (CR LF, LF or CR line ends). Empty lines and lines without a separator (the
// name line) are passed over; the text before the first separator, the saved row number, is not
// used, and the 21st field runs to the end of its line.
Content read(const QString &text);
} // namespace Rqx2MeasurementFile
