#pragma once

// The number of a coordinate file format, 1-based in the order of the rows of CoordinateFormats,
// which is the order of the open and save dialogs' lists.
enum CoordinateFileFormat {
    HylNez = 1,
    HylEnz = 2,
    CadDrawing = 3,
    SouthCass = 4,     // 南方开思
    GuangzhouCass = 5, // 广州开思
    Sv300 = 6,
    Topcon = 7,
    PlainText = 8,
    Csv = 9,
};

// Whether number names a row of CoordinateFormats.
bool isCoordinateFileFormat(int number);
