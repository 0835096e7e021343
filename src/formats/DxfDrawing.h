#pragma once

#include <QString>

class CoordinateTableModel;
class QIODevice;

// The table as a drawing in the DXF exchange format (ASCII), every line ended by CR LF: a point
// entity with its point-number and height labels per row. An empty table gives an empty text.
// X is E and Y is N whichever order the table shows; nez tells which column holds N.
QString BuildDxfDrawing(const CoordinateTableModel &table, bool nez);

// Writes the whole file of the drawing as saved: the drawing in the file's code page (labels as
// EncodeFileText gives them) and the file's final CR LF. It is made in pieces on all cores and goes
// to the device piece by piece, in order, as a million-point drawing is some 260 MB and as text would
// take twice that again. False when the device did not take every byte.
bool WriteDxfDrawingFile(const CoordinateTableModel &table, bool nez, QIODevice &device);
