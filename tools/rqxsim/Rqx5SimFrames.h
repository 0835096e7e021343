#pragma once

#include "SimPoints.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The RQX5 instrument's side of the coordinate frames, built and read here without the program's
// code, so that a fault in the program's encoder cannot hide behind the same fault in the simulator.
namespace Rqx5Sim {

inline constexpr unsigned char kLead = 0xAA;
inline constexpr unsigned char kSendHeader = 0x80;
inline constexpr unsigned char kNext = 0x81;
inline constexpr unsigned char kEnd = 0x82;
inline constexpr unsigned char kRecordStart = 0x90;
inline constexpr unsigned char kRecordEnd = 0xB0;

inline constexpr int kHeaderLength = 18;
inline constexpr int kSendHeaderLength = 6;
inline constexpr int kRecordLength = 60;
inline constexpr int kFileNameWidth = 12;
inline constexpr int kNumberWidth = 8;
inline constexpr int kNameWidth = 8;
inline constexpr int kCoordinateWidth = 14;
// The header counts in hundreds: high * 100 + low, with low below 100.
inline constexpr int kMaxHeaderCount = 255 * 100 + 99;

QByteArray nextPair();
QByteArray endPair();

using Point = SimPoint;

// count points numbered 1..count with distinct N, E and Z.
QVector<Point> generatePoints(int count);
// Empty when the point fits a record, else what is wrong with it.
QString pointProblem(const Point &point);

// The 18-byte coordinate header: two lead bytes, the file name in 12 characters, the count as
// count / 100 and count % 100, 0xAA 0x82.
QByteArray coordinateHeader(const QString &fileName, int count);
// The 60-byte coordinate record: 0x90, number right-aligned in 8, name in 8, N, E and Z in 14 each,
// 0xB0.
QByteArray coordinateRecord(const Point &point);

// Reads a 60-byte record the program sent; false with error set when it is not one.
bool parseCoordinateRecord(const QByteArray &record, Point *point, QString *error);
// The count of a 6-byte send header; -1 when the bytes are not a send header.
int parseSendHeader(const QByteArray &header);

} // namespace Rqx5Sim
