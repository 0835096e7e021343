#pragma once

// Lengths of the RQX5 frames the program expects next: the receive threshold is always set to one of
// them, so that one receive event delivers one whole frame and the dispatcher finds its terminator
// where it looks for it.
namespace Rqx5Frames {
inline constexpr int kCoordinateHeaderLength = 18;
inline constexpr int kCoordinateRecordLength = 60;
inline constexpr int kControlLength = 2;

// The send event is never acted on; the port is set to raise it on every byte all the same.
inline constexpr int kSendThreshold = 1;

// Upper bounds of the byte buffers while a transfer runs. Generous for the frames they hold: the
// dispatcher stores whatever a chunk brings, and nothing beyond a bound is kept.
inline constexpr int kPreparedBufferBound = 50000;
inline constexpr int kAcknowledgedBufferBound = 5000;
inline constexpr int kSendBufferBound = 2000;
inline constexpr int kCharCodeTableBound = 100;

// Positions in the RecordBuffer (block byte k + 1 is element k) of the coordinate header's fields.
inline constexpr int kHeaderNameFirst = 1;
inline constexpr int kHeaderNameLength = 12;
inline constexpr int kHeaderCountHigh = 13;
inline constexpr int kHeaderCountLow = 14;
// The header's count is high * 100 + low (the data-file header counts in 256s instead).
inline constexpr int kHeaderCountBase = 100;

// Positions in the RecordBuffer of a coordinate record's fields. Only the first 13 of the 14
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
