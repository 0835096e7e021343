#pragma once

#include <array>

// The fields of one line of a coordinate text format, in the order the file holds them. Reader and
// writer share this table so that a format is read by the same layout it is written in.
struct CoordinateFileLayout {
    enum Field { Sequence, Number, Name, North, East, Height };

    int fieldCount = 0; // 0: the format is not a fields format (drawing, plain text read as lines)
    std::array<Field, 6> fields{};

    // The layout of a format (1..9) as it is written. Formats 3 and 8 are read as raw lines, so
    // their reading layout is empty; format 8 is written like format 1.
    static CoordinateFileLayout written(int format);
    static CoordinateFileLayout read(int format);
};
