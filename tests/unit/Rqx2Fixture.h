#pragma once

#include "support/QStringPrinter.h"
#include "support/TransferDriver.h"

#include <gtest/gtest.h>

// The RQX2 transfers driven without a port or a window: bytes in, the actions' describe() lines out.
class Rqx2Fixture : public ::testing::Test {
protected:
    // The instrument's request: "J" CR, with whatever byte the instrument puts in front of it.
    static QByteArray request() { return fromHex("02 4A 0D"); }

    // A coordinate record assembled from its fields as they stand on the wire.
    static QByteArray record(const char *current, const char *total, const char *number, const char *name,
                             const char *north, const char *east, const char *height)
    {
        return QByteArray("\x02") + current + total + number + name + north + east + height + "\r";
    }

    // An n-byte block of spaces (a byte no rule reacts to) with a CR at position end, 0x02 first.
    static QByteArray block(int n, int end)
    {
        QByteArray bytes(n, ' ');
        bytes[0] = '\x02';
        bytes[end] = '\r';
        return bytes;
    }

    // The last n lines, or all of them when there are fewer: a test fails rather than reads past the end.
    static QStringList tail(const QStringList &lines, qsizetype n = 1)
    {
        return lines.mid(qMax<qsizetype>(0, lines.size() - n));
    }

    TransferDriver driver;
};
