#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

struct Rqx2MeasurementTexts;

// The records of an RQX2 measurement file as the instrument sends them, and the acknowledgement
// the computer answers each one with. Every record begins with 0x02, its number in the file and the
// file's record count (four digits each), and a kind byte; it ends with CR. Its length follows from
// its kind.
class Rqx2MeasurementRecord {
public:
    enum Kind { Other = 0, Header = 7, Station = 8, Backsight = 9, Measurement = 10 };

    static constexpr int kHeaderLength = 16;
    static constexpr int kStationLength = 72;
    static constexpr int kBacksightLength = 32;
    static constexpr int kMeasurementLength = 121;
    // After the header any kind of record can come next; the backsight record is the shortest.
    static constexpr int kShortestAfterHeader = kBacksightLength;

    // Where the common fields stand, as bytes of the record (byte 0 is the 0x02).
    static constexpr int kCurrentByte = 1;
    static constexpr int kTotalByte = 5;
    static constexpr int kKindByte = 9;
    static constexpr int kCounterWidth = 4;
    // The header's file name: bytes 10 to 14, kept as they are.
    static constexpr int kFileNameByte = 10;
    static constexpr int kFileNameWidth = 5;

    // The kind a kind byte stands for: the code 7, 8, 9 or 10, or the digits "7", "8", "9" (which
    // decode the same); Other for any other byte.
    static Kind kind(unsigned char byte);
    // The whole length of a record of kind, 0x02 and CR included; 0 for Other.
    static int length(Kind kind);

    // 0x06, current and total as four digits each, CR.
    static QByteArray acknowledgement(int current, int total);

    // Stores the fields of a station, backsight or measurement record at index: characters[k] is
    // the decoded byte k + 1 of the record. Another kind stores nothing.
    static void storeFields(Kind kind, const std::vector<QString> &characters, Rqx2MeasurementTexts &texts,
                            long index);
};
