#pragma once

// The RQX2 wire: fixed-length text records that begin with 0x02 and end with CR.
namespace Rqx2Frames {
inline constexpr unsigned char kStart = 0x02;
inline constexpr unsigned char kEnd = 0x0D;
inline constexpr unsigned char kHandshake = 0x4A; // "J" before the CR of a request
// A coordinate record's CR stands at position 62 (61 to 64 are taken for one); a long measurement
// record's at 116 or later; any other CR ends a short record.
inline constexpr int kCoordinateEndAfter = 60;
inline constexpr int kCoordinateEndBefore = 65;
inline constexpr int kLongEndAfter = 115;

// What a CR ends, judged by the byte before it and by where it lands; Broken: the bytes before a
// start byte that never reached their CR.
enum class Frame { Handshake, Coordinate, Long, Short, Broken };
} // namespace Rqx2Frames
