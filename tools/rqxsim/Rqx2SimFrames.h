#pragma once

#include "SimPoints.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The RQX2 instrument's side of the coordinate exchange, built and read here without the program's
// code, so that a fault in the program's encoder cannot hide behind the same fault in the simulator.
namespace Rqx2Sim {

inline constexpr char kStart = 0x02;
inline constexpr char kEnd = 0x0D;
inline constexpr char kRequestMark = 'J';
inline constexpr char kCoordinateTransfer = 0x01;

// The record the instrument sends: 0x02, current and total (4 digits each), point number and name
// (7 characters each), N, E and Z (13 each: 9 before the point, 3 decimals), CR.
inline constexpr int kRecordLength = 63;
// The program sends the same record followed by one 0x00.
inline constexpr int kSentRecordLength = 64;
// 0x02, current, total, CR, 0x00.
inline constexpr int kAcknowledgementLength = 11;
inline constexpr int kAnswerLength = 3;
inline constexpr int kCounterWidth = 4;
inline constexpr int kTextWidth = 7;
inline constexpr int kCoordinateWidth = 13;
inline constexpr int kIntegerWidth = 9;
inline constexpr int kDecimals = 3;
inline constexpr int kMaxCount = 9999;

// The instrument's request, "J" CR with its start byte in front: three bytes, as many as the program
// waits for before it looks at what came.
QByteArray request();
// The program's answer to the first request of a coordinate transfer: 01 4A 0D.
QByteArray coordinateAnswer();

using Point = SimPoint;

// count points numbered 1..count, with negative and positive coordinates, all distinct.
QVector<Point> generatePoints(int count);
// Empty when the point fits a record, else what is wrong with it.
QString pointProblem(const Point &point);

// The coordinate '-45.5' in the record's form '000000-45.500' (the sign after the padding zeros).
QString coordinateField(const QString &text);
// The 63-byte record of point current of total.
QByteArray coordinateRecord(int current, int total, const Point &point);
// The acknowledgement the program must answer record current of total with.
QByteArray acknowledgement(int current, int total);

// A record the program sent, field by field as it stood on the wire.
struct SentRecord {
    int current = 0;
    int total = 0;
    Point point;
};
// Reads a 64-byte record the program sent; false with error set when it is not one.
bool parseSentRecord(const QByteArray &bytes, SentRecord *record, QString *error);

} // namespace Rqx2Sim
