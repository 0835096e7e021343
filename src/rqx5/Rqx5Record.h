#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The RQX5 frames the program builds, and the reading of a received point number.
namespace Rqx5Record {

// The six-byte header that opens a coordinate send: 0xAA 0x80, the count in two bytes (high byte
// first), 0xAA 0x82. count must lie within 0..65535.
QByteArray sendHeader(int count);

// The 60-byte coordinate record of one point: start byte, point number, point name, N, E and Z as
// instrument-code text in fields of fixed width, terminator. Texts too long for their field are cut.
// Nothing when a character that goes on the wire has no instrument code.
std::optional<QByteArray> coordinateRecord(const QString &number, const QString &name, const QString &north,
                                           const QString &east, const QString &height);

// The text the table shows for a received point-number field whose spaces have been left out. A
// plain number appears in its shortest form (000012 gives 12, nothing at all gives 0); any other
// text keeps its identity and loses only its leading zeros (000A12 gives A12).
QString receivedPointNumber(const QString &text);

} // namespace Rqx5Record
