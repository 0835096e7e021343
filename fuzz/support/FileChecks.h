#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

class CoordinateFileContent;
struct CoordinatePoint;

// A row as "sequence|number|name|first|second|height", for reports.
QString RowText(const CoordinatePoint &row);

// The lines of a decoded file as the readers cut them: at CR LF, at a lone CR and at a lone LF.
QStringList FileLines(const QString &text);

// Whether every row (fields formats) or line (raw-lines formats) of the content is one line of the
// file, whole, taken in file order: a row built from the fields of two lines fails. Returns what is
// wrong, or nothing.
QString CheckRowsFromOwnLines(const CoordinateFileContent &content, const QString &text, int format);

// The same for the rows of a measurement file: cells[0] the row's own number, then the fields, which
// joined by the separator are what follows the first separator of their line.
QString CheckRowsFromOwnLines(const std::vector<QStringList> &rows, const QString &text, QChar separator);

// Whether two readings of a measurement file give the same rows; what differs, or nothing.
QString CompareRows(const std::vector<QStringList> &read, const std::vector<QStringList> &again);
