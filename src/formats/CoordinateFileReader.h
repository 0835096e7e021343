#pragma once

#include "CoordinateFileContent.h"

#include <QByteArray>
#include <QString>

// Reads the bytes of a coordinate file in the format of the given number (CoordinateFileFormat); the
// plan coordinates are placed in the table's column order (nez: N then E; otherwise E then N). The
// text is decoded as DecodeFileText does. Lines may end in CR LF, LF or CR. The file is decoded and cut
// in pieces on all cores. The content does not refer to the bytes; bytes handed over with std::move
// are let go as soon as they are decoded. A number that is no format reads nothing.
CoordinateFileContent ReadCoordinateFile(QByteArray bytes, int format, bool nez);

// The same for text already decoded.
CoordinateFileContent ReadCoordinateText(const QString &text, int format, bool nez);
