#pragma once

#include <array>

// The fields of one line of a coordinate text format, in the order the file holds them. Reader and
// writer share it, so that a format is read by the same layout it is written in.
struct CoordinateFileLayout {
    enum Field { Sequence, Number, Name, North, East, Height };

    int fieldCount = 0; // 0: the file is not lines of fields (the drawing)
    std::array<Field, 6> fields{};
};
