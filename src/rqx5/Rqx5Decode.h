#pragma once

#include <QByteArray>
#include <QString>

// The text fields of RQX5 frames are addressed as record positions: position k is frame byte k + 1
// (the byte after the one the frame starts with). Each byte is a character of the instrument code.
namespace Rqx5Decode {

// The decoded characters of record positions first..last in order, spaces included; a position past
// the frame's end reads as code 0.
QString characters(const QByteArray &frame, int first, int last);
// The same with single spaces left out.
QString withoutSpaces(const QByteArray &frame, int first, int last);

} // namespace Rqx5Decode
