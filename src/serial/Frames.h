#pragma once

// Wire values both protocols and the dispatcher share.
namespace Frames {
// RQX2: text records that begin with 0x02 and end with CR.
inline constexpr unsigned char kRqx2Start = 0x02;
inline constexpr unsigned char kRqx2End = 0x0D;
inline constexpr unsigned char kRqx2Handshake = 0x4A; // "J" before the CR of a request
// A coordinate record's CR stands at position 62 (61 to 64 are accepted); a long measurement
// record's at 116 or later.
inline constexpr int kRqx2CoordinateEndAfter = 60;
inline constexpr int kRqx2CoordinateEndBefore = 65;
inline constexpr int kRqx2LongEndAfter = 115;

// RQX5: control pairs that begin with 0xAA, records named by their terminator.
inline constexpr unsigned char kRqx5Lead = 0xAA;
inline constexpr unsigned char kRqx5SendHeader = 0x80;
inline constexpr unsigned char kRqx5Next = 0x81;
inline constexpr unsigned char kRqx5End = 0x82;
inline constexpr unsigned char kRqx5Test = 0xBB;
inline constexpr unsigned char kRqx5CoordinateStart = 0x90;
inline constexpr unsigned char kRqx5CoordinateEnd = 0xB0;
inline constexpr unsigned char kRqx5DataFileEnd = 0xB1;
inline constexpr unsigned char kRqx5MeasurementFirstEnd = 0xB2;
inline constexpr unsigned char kRqx5MeasurementLastEnd = 0xB5;
// A coordinate record's 0xB0 stands at position 59 and counts only beyond 55; a data-file record's
// 0xB1 at 245 and counts only beyond 200.
inline constexpr int kRqx5CoordinateEndAfter = 55;
inline constexpr int kRqx5DataFileEndAfter = 200;

inline constexpr char kRqx5NextPair[] = "\xAA\x81";
inline constexpr char kRqx5EndPair[] = "\xAA\x82";
inline constexpr char kRqx5TestPair[] = "\xAA\xBB";
} // namespace Frames
