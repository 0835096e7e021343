#pragma once

#include <QString>

// One row of the coordinate table. Every value is text. The two plan coordinates are held in the
// order of the table's columns: first/second are N/E under the order NEZ and E/N under ENZ.
struct CoordinatePoint {
    QString sequence; // column 0 "序号"
    QString number;   // column 1 "点 号"
    QString name;     // column 2 "点 名"
    QString first;    // column 3
    QString second;   // column 4
    QString height;   // column 5 "坐标--Z"

    bool operator==(const CoordinatePoint &other) const
    {
        return sequence == other.sequence && number == other.number && name == other.name &&
               first == other.first && second == other.second && height == other.height;
    }
};
