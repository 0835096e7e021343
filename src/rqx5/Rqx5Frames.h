#pragma once

#include <QByteArray>

// The RQX5 wire: control pairs that begin with 0xAA, records named by their terminator byte.
namespace Rqx5Frames {
inline constexpr unsigned char kLead = 0xAA;
inline constexpr unsigned char kSendHeaderMark = 0x80;
inline constexpr unsigned char kNext = 0x81;
inline constexpr unsigned char kEnd = 0x82;
inline constexpr unsigned char kTest = 0xBB;
inline constexpr unsigned char kCoordinateStart = 0x90;
inline constexpr unsigned char kCoordinateEnd = 0xB0;
inline constexpr unsigned char kDataFileEnd = 0xB1;
inline constexpr unsigned char kMeasurementFirstEnd = 0xB2;
inline constexpr unsigned char kMeasurementLastEnd = 0xB5;
// A coordinate record's 0xB0 stands at position 59 and counts only beyond 55; a data-file record's
// 0xB1 at 245 and counts only beyond 200. A 0xAA 0x82 beyond position 2 closes a header; at the
// start it is the instrument's bare end frame.
inline constexpr int kCoordinateEndAfter = 55;
inline constexpr int kDataFileEndAfter = 200;
inline constexpr int kHeaderEndAfter = 2;

inline const QByteArray kNextPair = QByteArrayLiteral("\xAA\x81");
inline const QByteArray kEndPair = QByteArrayLiteral("\xAA\x82");
inline const QByteArray kTestPair = QByteArrayLiteral("\xAA\xBB");

inline constexpr int kCoordinateHeaderLength = 18;
inline constexpr int kCoordinateRecordLength = 60;

// Positions of the coordinate header's fields, as record positions (frame byte k + 1 is position k).
inline constexpr int kHeaderNameFirst = 1;
inline constexpr int kHeaderNameLength = 12;
inline constexpr int kHeaderCountHigh = 13;
inline constexpr int kHeaderCountLow = 14;
// The header's count is high * 100 + low (the data-file header counts in 256s instead).
inline constexpr int kHeaderCountBase = 100;

// Record positions of a coordinate record's fields. Only the first 13 of the 14
// characters of each coordinate are taken; a "0" stands in for the 14th.
inline constexpr int kRecordLastDecoded = 58;
inline constexpr int kNumberFirst = 0, kNumberLast = 7;
inline constexpr int kNameFirst = 8, kNameLast = 15;
inline constexpr int kNorthFirst = 16, kNorthLast = 28;
inline constexpr int kEastFirst = 30, kEastLast = 42;
inline constexpr int kHeightFirst = 44, kHeightLast = 56;

// Widths of the record's text fields on the wire.
inline constexpr int kNumberWidth = 8;
inline constexpr int kNameWidth = 8;
inline constexpr int kCoordinateWidth = 14;
// A point number is sent as two spaces and the number zero-padded to six digits.
inline constexpr int kNumberDigits = 6;

// The largest count the send header's two bytes can carry.
inline constexpr int kMaxSendCount = 65535;
} // namespace Rqx5Frames
