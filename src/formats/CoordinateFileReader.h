#pragma once

#include "core/CoordinatePoint.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

// What reading a coordinate file yields, before it replaces the table.
struct CoordinateFileContent {
    bool rawLines = false;               // formats 3 and 8: lines, no columns
    std::vector<CoordinatePoint> rows;   // fields formats: rows in the table's column order, sequence 1..n
    QStringList lines;                   // raw-lines formats: every line of 2 or more characters
    int skippedLines = 0;                // lines with fewer commas than the format needs
    int firstSkippedLine = 0;            // 1-based line number in the file of the first of them
};

// Reads the bytes of a coordinate file in the given format (1..9); the plan coordinates are placed
// in the table's column order (nez: N then E; otherwise E then N).
CoordinateFileContent ReadCoordinateFile(const QByteArray &bytes, int format, bool nez);
