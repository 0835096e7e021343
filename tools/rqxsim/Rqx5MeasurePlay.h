#pragma once

#include <QString>

class Wire;
struct SimOptions;

// The RQX5 instrument's observations:
//   datafile        a stored job of options.points records (station, backsight, observation): the
//                   header, each record after the program's 0xAA 0x81 to the one before, the end
//                   frame, and the program's echo of it checked
//   measure         options.points single measurements of the four kinds in turn, each sent as it is
//                   "measured", options.pauseMs apart and never acknowledged, each in two pieces
//                   (its last 9 bytes 20 ms after the rest); the program must not answer them
//   measure-padded  the same records padded with spaces to 58 bytes (terminator at byte 57)
// With options.outputFile, the fields sent are written there, one record a line, "|" between them
// (a measurement's kind first), as the program is to show them.
bool isRqx5MeasureAction(const QString &action);
int playRqx5Measure(Wire &wire, const SimOptions &options);
