#pragma once

#include <QString>

class CoordinateTableModel;
class QIODevice;

// The whole text of a coordinate file in the format of the given number for the table, each line
// ended by CR LF, or the format's own text (the drawing). Fields are written by meaning: nez tells
// which of the table's third and fourth columns holds N. The file holds the text followed by one more
// CR LF; the text has room for it, so append it in place (text += "\r\n"): text + "\r\n" would copy
// the whole text. A number that is no format gives an empty text.
QString BuildCoordinateText(const CoordinateTableModel &table, int format, bool nez);

// The text of the older save: point number, point name and the table's third, fourth and fifth
// columns in the order shown, joined by "," and ended by CR LF, one line per row.
QString BuildTableOrderText(const CoordinateTableModel &table);

// The whole file as saved: the text above in the file's code page (EncodeFileText) and the final
// CR LF. It is made in pieces on all cores and goes to the device piece by piece, in order, so no
// copy of a large file is held in memory. False when the device did not take every byte.
bool WriteCoordinateFile(const CoordinateTableModel &table, int format, bool nez, QIODevice &device);
bool WriteTableOrderFile(const CoordinateTableModel &table, QIODevice &device);
bool WriteRawLinesFile(const CoordinateTableModel &table, QIODevice &device);
