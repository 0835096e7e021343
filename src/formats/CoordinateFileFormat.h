#pragma once

#include <QString>

// A coordinate file format is its 1-based position in the open and save dialogs' filter lists.
enum CoordinateFileFormat {
    HylNez = 1,      // point number, point name, N, E, Z
    HylEnz = 2,      // point number, point name, E, N, Z
    CadDrawing = 3,  // written as a drawing; read as raw lines
    SouthCass = 4,   // 南方开思: point number, point name, E, N, Z
    GuangzhouCass = 5, // 广州开思: sequence, point number, N, E, Z, point name
    Sv300 = 6,       // sequence, point number, point name, N, E, Z
    Topcon = 7,      // point number, E, N, Z, point name
    PlainText = 8,   // point number, point name, N, E, Z; read as raw lines
    Csv = 9,         // point number, point name, N, E, Z
};

inline bool isCoordinateFileFormat(int position) { return position >= HylNez && position <= Csv; }
// Formats 3 and 8 are read back as raw lines, one table item per line.
inline bool isRawLinesFormat(int format) { return format == CadDrawing || format == PlainText; }
