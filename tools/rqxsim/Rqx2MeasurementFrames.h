#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The RQX2 instrument's side of the measurement exchange, built here without the program's code:
// the header of a stored measurement file, its station, backsight and measurement records, and the
// acknowledgement the program must answer each of them with.
namespace Rqx2Sim {

inline constexpr char kMeasurementTransfer = 0x05;
inline constexpr int kMeasurementAcknowledgementLength = 10;
inline constexpr int kFileNameWidth = 5;

// One record of a measurement file as the instrument stores it, its fields as texts:
//   station     number, name, instrument height, N, E, Z
//   backsight   number, name, azimuth
//   measurement number, name, horizontal angle, vertical angle, slope distance, height difference,
//               horizontal distance, instrument height, prism height, N, E, Z
// Angles are seven digits dddmmss ('1234506' is 123°45′06″); numbers are decimal texts with at most
// 3 decimals ('-1.2').
struct MeasurementRecord {
    enum Kind { Station = 8, Backsight = 9, Measurement = 10 };
    Kind kind = Measurement;
    QStringList fields;
};

// The program's answer to the request of a measurement transfer: 05 4A 0D.
QByteArray measurementAnswer();
// The 16-byte header: 0x02, "0000", the count, kind 0x07, the file name (5 characters), CR.
QByteArray measurementHeader(const QString &fileName, int count);
// The record current of count: 72 bytes for a station, 32 for a backsight, 121 for a measurement.
// Empty when a field does not fit its place (see measurementProblem).
QByteArray measurementRecord(int current, int count, const MeasurementRecord &record);
// 0x06, current and count (4 digits each), CR.
QByteArray measurementAcknowledgement(int current, int count);

// Empty when the record fits its layout, else what is wrong with it.
QString measurementProblem(const MeasurementRecord &record);
// count records: a station and its backsight, then measurements, a new station every 50 records.
QVector<MeasurementRecord> generateMeasurements(int count);
// A file of lines "station,...", "backsight,...", "measurement,..." (fields as above) and at most
// one line "name,F0001"; empty lines and lines starting with # are skipped. False with error set
// when a line is not one of those or a record does not fit.
bool readMeasurementsFile(const QString &path, QString *fileName, QVector<MeasurementRecord> *records,
                          QString *error);

} // namespace Rqx2Sim
