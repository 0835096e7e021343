#pragma once

#include <QString>
#include <QStringList>

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
