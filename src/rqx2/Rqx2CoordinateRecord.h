#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct SendLimits;

// The RQX2 coordinate record as the computer builds it, and the acknowledgement it answers each
// received record with. Every byte of a text field is one code of the instrument character code;
// the counters are four decimal digits with leading zeros.
class Rqx2CoordinateRecord {
public:
    // A received record: 0x02, current and total (4 + 4), point number and name (7 + 7), N, E and Z
    // (13 each), CR. The record the computer sends has one byte 0x00 more.
    static constexpr int kLength = 63;
    static constexpr int kSentLength = 64;
    // 0x02, current and total as read from the record, CR, and a trailing NUL the instrument expects.
    static constexpr int kAcknowledgementLength = 11;

    static constexpr int kCounterWidth = 4;
    static constexpr int kTextWidth = 7;
    static constexpr int kCoordinateWidth = 13;
    static constexpr int kIntegerWidth = 9;
    static constexpr int kDecimals = 3;
    // The counters have four digits, so one transfer holds at most this many points.
    static constexpr int kMaxCount = 9999;

    // The 13-character form of a coordinate cell: 9 characters before the point, zero-padded on the
    // left with a minus sign left where it stands, and 3 decimals ('-45.5' gives '000000-45.500').
    // Further decimals are cut, not rounded; a point in the last place counts as no decimals. Nothing
    // when the text is not a plain decimal number or has more than 9 characters before the point.
    static std::optional<QString> coordinateText(const QString &cell);
    static bool coordinateFits(const QString &cell) { return coordinateText(cell).has_value(); }

    // What the instrument can take in one coordinate send; the check before a send uses these.
    static SendLimits sendLimits();

    // number as four digits with leading zeros (7 gives '0007'); number must be 0..9999.
    static QByteArray fourDigits(int number);
    static QByteArray acknowledgement(int current, int total);

    // The 64 bytes that carry one table row as point number of count, or nothing when a text cannot
    // be carried (a character outside the instrument code, a coordinate that does not fit).
    // Point number and name longer than 7 characters are cut to their first 7.
    static std::optional<QByteArray> encode(int number, int count, const QString &pointNumber,
                                            const QString &pointName, const QString &north,
                                            const QString &east, const QString &height);
};
