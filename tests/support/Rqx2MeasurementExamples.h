#pragma once

#include <QByteArray>

// The worked examples of an RQX2 measurement file of 10 records named 'F0001', as the instrument
// sends them: the header, record 1 (a station), record 2 (a backsight) and record 3 (a measurement).
namespace Rqx2MeasurementExamples {
inline constexpr char kHeader[] = "02 30 30 30 30 30 30 31 30 07 46 30 30 30 31 0D";
inline constexpr char kHeaderAck[] = "06 30 30 30 30 30 30 31 30 0D";
inline constexpr char kStation[] = "02 30 30 30 31 30 30 31 30 08 53 31 20 20 20 20 20 41 20 20 20 20 20 20 "
                                   "2B 30 30 31 2E 35 35 30 2B 30 30 30 "
                                   "30 31 30 30 30 2E 30 30 30 2B 30 30 30 30 32 30 30 30 2E 30 30 30 2B 30 "
                                   "30 30 30 30 31 30 30 2E 30 30 30 0D";
inline constexpr char kBacksight[] =
    "02 30 30 30 32 30 30 31 30 09 42 31 20 20 20 20 20 42 20 20 20 20 20 20 30 34 35 33 30 30 30 0D";

// A record as its fields stand on the wire: 0x02, current, total, kind byte, the rest, CR.
inline QByteArray record(const char *current, const char *total, char kind, const QByteArray &body)
{
    return QByteArray("\x02") + current + total + kind + body + "\r";
}

// Measurement record current of total; record 3 of 10 is the example ('M1', 'P7', 123°45′06″ ...).
inline QByteArray measurement(const char *current, const char *total,
                              const char *heightDifference = "-0001.200",
                              const char *instrumentHeight = "+001.500")
{
    return record(current, total, 0x0A,
                  QByteArray("M1     P7     12345060900000") + "00012.345" + heightDifference + "00012.300" +
                      instrumentHeight + "+001.800" + "+00001234.567" + "-00000045.500" + "+00000012.300");
}
} // namespace Rqx2MeasurementExamples
