#pragma once

#include "core/CoordinateRows.h"

#include <QByteArray>
#include <QString>

// The points of a CAD drawing (DXF in text, R12 to R2018) as rows of the coordinate table, read with
// dxflib: every POINT and every block reference of the model space, in the drawing's order, numbered,
// named and given heights by the rules of DrawingPointRules. Either the rows of a whole drawing or a
// problem and no rows: a damaged drawing never gives some of its points.
class DrawingImport {
public:
    enum class Problem {
        None,
        BinaryDrawing, // a DXF in the binary form
        Dwg,           // the CAD program's own format
        NotADrawing,
        Damaged, // at damagedLine()
        NoPoints,
    };

    // nez: the plan coordinates in the table's order N then E; otherwise E then N.
    static DrawingImport read(const QByteArray &bytes, bool nez);

    Problem problem() const { return m_problem; }
    int damagedLine() const { return m_damagedLine; }
    // The rows in the table's column order, the sequence column their place (1, 2, 3 ...).
    CoordinateRows &rows() { return m_rows; }
    const CoordinateRows &rows() const { return m_rows; }

    // The text of the box that tells the surveyor of the problem, what it is and what to do; whether
    // that box is an error (错误提示) or a notice (提示).
    QString problemText() const;
    bool problemIsError() const { return m_problem != Problem::NoPoints; }

private:
    Problem m_problem = Problem::None;
    int m_damagedLine = 0;
    CoordinateRows m_rows;
};
