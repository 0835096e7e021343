#pragma once

#include <QString>

class CoordinateTableModel;

// The table as a drawing in the DXF exchange format (ASCII), every line ended by CR LF: a point
// entity with its point-number and height labels per row. An empty table gives an empty text.
// X is E and Y is N whichever order the table shows; nez tells which column holds N.
QString BuildDxfDrawing(const CoordinateTableModel &table, bool nez);
