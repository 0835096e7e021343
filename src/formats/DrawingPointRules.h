#pragma once

#include "DrawingEntities.h"
#include "core/CoordinateRows.h"

// The rows of the coordinate table from a drawing's points, in the drawing's order:
// - a label (TEXT or MTEXT) belongs to the nearest point within its own height of its position, in
//   plan; of points equally near, to the one drawn last before it;
// - a label that reads as the point's height (a whole number equal to Z, a number with decimals equal
//   to Z to the decimals it shows, or, for a point at Z 0, any number with decimals) is the height
//   label; of several, the last; the first other label is the point's number;
// - 点号 comes from a number attribute, else the number label, else the point's place (1, 2, 3 ...);
//   点名 from a name attribute only; Z from the point, or for a point at Z 0 from its height
//   attribute, else its height label;
// - the plan coordinates in the table's order (nez: N then E), each in its shortest decimal form.
class DrawingPointRules {
public:
    static CoordinateRows rowsOf(const DrawingEntities &entities, bool nez);
};
