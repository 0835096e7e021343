#pragma once

#include <QString>

class CoordinateTableModel;

// The whole text of a coordinate file of the given format (1..9) for the table, each line ended by
// CR LF; format 3 gives the drawing. Fields are written by meaning: nez tells which of the table's
// third and fourth columns holds N. The caller writes the text followed by one more CR LF; the text
// has room for it, so append it in place (text += "\r\n"): text + "\r\n" would copy the whole text,
// some hundred megabytes for a million points. A format outside 1..9 gives an empty text.
QString BuildCoordinateText(const CoordinateTableModel &table, int format, bool nez);

// The text of the older save: point number, point name and the table's third, fourth and fifth
// columns in the order shown, joined by "," and ended by CR LF, one line per row.
QString BuildTableOrderText(const CoordinateTableModel &table);

// The text of a table that shows the raw lines of a file read without fields: each line as it is,
// ended by CR LF. The caller appends the final CR LF in place, as for BuildCoordinateText.
QString BuildRawLinesText(const CoordinateTableModel &table);
