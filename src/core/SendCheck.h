#pragma once

#include <QString>
#include <functional>

class CoordinateTableModel;

// What an instrument series can take in one coordinate send.
struct SendLimits {
    int maxRows = 0;
    // Whether a coordinate text can take the series' fixed form on the wire; unset: any text of codable
    // characters.
    std::function<bool(const QString &)> coordinateFits;
};

// Checks every row before a send starts, so that nothing is sent when one row cannot be: a character
// the instrument code cannot carry, a coordinate that does not fit, or more rows than the series can
// count. Returns the text of the message that refuses the send (title "错误提示"), naming the first
// such row and field, or an empty text when the table can be sent.
QString CheckRowsForSend(const CoordinateTableModel &table, const SendLimits &limits);

// The same check for a table of rows rows, and for the one row (1-based) about to be sent: the table
// can change while a send is under way, since no command is blocked during a transfer.
QString CheckRowCountForSend(int rows, const SendLimits &limits);
QString CheckRowForSend(const CoordinateTableModel &table, int row, const SendLimits &limits);
