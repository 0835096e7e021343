#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

class MeasurementTableModel;

// A measurement window's list as an Excel workbook, for spreadsheets that would misread the
// comma-separated file: one sheet, the captions of the given columns as its header row (frozen, so it
// stays in sight), then one row per list row with the cells of those columns, in the order given.
// A cell that shows a measured quantity (a coordinate, a height, a distance) as a plain decimal number
// is a number cell whose format shows the decimals the list shows: "12.345" is 12.345 shown as
// 0.000. Every other cell (point numbers and names, angles in degrees, minutes and seconds) is a text
// cell exactly as the list shows it, padding included, so "0012" stays 0012 and "1-2" no date. An
// empty cell stays empty. Each column is as wide as its widest text.
namespace MeasurementXlsx {

// A cell text read as a number cell: its value and the decimals it shows.
struct ShownNumber {
    double value = 0;
    int decimals = 0;
};

// True for the caption of a column that holds a measured quantity.
bool holdsNumbers(const QString &caption);

// The number a cell of such a column shows, when a number cell would show the same text (blanks
// around it aside): an optional minus, digits and an optional point and decimals, written as a
// spreadsheet writes a number, no more than 15 significant digits (a double holds no more). Anything
// else, the empty text among it, is no number cell.
std::optional<ShownNumber> shownNumber(QStringView text);

// The width of a text in a spreadsheet's column units: a Chinese (full-width) character counts two.
int textWidth(QStringView text);

// Writes the workbook to path. It is built in a temporary file beside path and put in place only once
// it is whole, so a failed save never leaves a half-written file in place of the old one. On failure
// returns false and sets error to the reason, in words for the user.
bool write(const QString &path, const MeasurementTableModel &list, const std::vector<int> &columns,
           QString *error);

} // namespace MeasurementXlsx
