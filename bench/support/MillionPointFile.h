#pragma once

#include <QString>

// Writes a coordinate file of the given number of points in the layout of formats 1 and 9 (point
// number, name, N, E, Z) as a surveyor's own file would hold them: a Chinese name on every line, so
// that every piece of the text goes through the GB18030 encoder and decoder. Written in pieces, so
// that making the file leaves no large heap behind to blur the memory measures.
void WriteMillionPointFile(const QString &path, int points);
