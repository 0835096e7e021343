#pragma once

#include <QString>
#include <vector>

class MeasurementTableModel;

// A measurement window's list as comma-separated values for spreadsheets: the captions of the given
// columns on the first line, then one line per row with the cells of those columns, in the order
// given. ASCII commas, every line ended by CR LF and nothing after the last row; a cell that holds a
// comma, a double quote or a line break is put in double quotes with its quotes doubled, every other
// cell stands as it is, padding spaces included. A cell that begins with "=", "+", "-" or "@" and is no
// number gets a leading "'", so that a spreadsheet does not run it as a formula; a spreadsheet still
// reads "0012" as 12 and "1-2" as a date, which the workbook (MeasurementXlsx) does not.
namespace MeasurementCsv {
QString build(const MeasurementTableModel &list, const std::vector<int> &columns);
// One cell as a field of a line.
QString field(const QString &cell);
} // namespace MeasurementCsv
