#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class MeasurementTableModel;

// The files of the RQX5 measurement window: a data file (.raw, 20 fields per line) and a measurement
// file (.txt, 9 fields per line). A data line is the row's number followed, for each field, by the
// full-width separator "，" and the field's text as the list shows it, padding spaces included; an
// ASCII comma is ordinary text. After the data lines come two trailer lines, the creation date and
// the instrument number, either possibly empty. Lines end in CR LF.

inline constexpr char16_t kRqx5FieldSeparator = u'\uFF0C';
// The fields of a data line, and the separators a trailer line may hold, in the two files.
inline constexpr int kRqx5DataFileFields = 20;
inline constexpr int kRqx5DataFileTrailerSeparators = 1;
inline constexpr int kRqx5MeasurementFileFields = 9;
inline constexpr int kRqx5MeasurementFileTrailerSeparators = 0;

// The text of the file for the list's rows with subitems 1..fields, then the date line and the
// instrument-number line, each ended by CR LF. The caller writes it followed by one more CR LF, so
// the file ends with an empty line.
QString BuildRqx5MeasurementText(const MeasurementTableModel &list, int fields, const QString &date,
                                 const QString &instrumentNumber);

// What reading a file yields, before it replaces the list.
struct Rqx5MeasurementFileContent {
    // One row per data line in file order: cells[0] its number (1, 2, ...), cells[1..fields] the fields.
    std::vector<QStringList> rows;
    // The trailer lines: one of exactly 6 characters is the date, a longer one the instrument number;
    // a shorter one means nothing. Empty when the file has none.
    QString date;
    QString instrumentNumber;
    // Lines with fewer separators than a data line needs that are no trailer line: not read.
    int skippedLines = 0;
    int firstSkippedLine = 0; // 1-based line number in the file; 0 when none was skipped
};

// Reads a file of data lines of the given number of fields. A line with at most trailerSeparators
// separators is a trailer line (a data file's trailer may hold one; a measurement file's none). The
// last field runs to the end of the line and keeps any further separators. Empty lines are skipped;
// lines may end in CR LF, LF or CR; the bytes are decoded as DecodeFileText does.
Rqx5MeasurementFileContent ReadRqx5MeasurementFile(const QByteArray &bytes, int fields,
                                                   int trailerSeparators);
