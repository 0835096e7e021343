#pragma once

#include <QString>
#include <vector>

class CoordinateTableModel;

// A point as a test hands it to the instrument or puts it in the table: texts, N before E.
struct TestPoint {
    QString number, name, north, east, height;
};

// Appends p as the table's next row, its coordinates in the order the table shows (N E or E N).
void appendPoint(CoordinateTableModel &table, bool nez, const TestPoint &p);
// Writes points as rqxsim reads its points file: one line "number,name,N,E,Z" each.
bool writePointsFile(const QString &path, const std::vector<TestPoint> &points);
