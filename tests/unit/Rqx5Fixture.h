#pragma once

// What the RQX5 transfer tests share: frames written out by hand from the instrument's layouts, and
// the ways a line delivers them.
#include "support/QStringPrinter.h"
#include "support/Recorder.h"
#include "support/TransferDriver.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace Rqx5Test {

// Point 12, name A1, N 3456.789, E 1234.5, Z 12.34, as the program sends it and the instrument
// sends it back.
inline const char kWorkedRecord[] =
    "90 20 20 30 30 30 30 31 32 20 41 31 20 20 20 20 20 33 34 35 36 2E 37 38 39 20 20 20 20 20 20"
    " 31 32 33 34 2E 35 20 20 20 20 20 20 20 20 31 32 2E 33 34 20 20 20 20 20 20 20 20 20 B0";

// An n-byte block of spaces (a byte no frame ends with) with the given bytes at the given positions.
inline QByteArray block(int n, std::initializer_list<std::pair<int, unsigned char>> bytes)
{
    QByteArray result(n, ' ');
    for (const auto &[position, value] : bytes)
        result[position] = static_cast<char>(value);
    return result;
}

// How a line hands over a frame: in one read, one byte at a time, or cut in three pieces.
enum class Delivery { Whole, Bytewise, Pieces };

inline QStringList deliver(TransferDriver &driver, Transfer &transfer, const QByteArray &bytes, Delivery how)
{
    switch (how) {
    case Delivery::Whole:
        return driver.feed(transfer, bytes);
    case Delivery::Bytewise:
        return driver.feedBytewise(transfer, bytes);
    case Delivery::Pieces:
        break;
    }
    const int third = static_cast<int>(bytes.size() / 3);
    return driver.feedInPieces(transfer, bytes, {third, third});
}

inline std::string deliveryName(const ::testing::TestParamInfo<Delivery> &info)
{
    switch (info.param) {
    case Delivery::Whole:
        return "Whole";
    case Delivery::Bytewise:
        return "Bytewise";
    case Delivery::Pieces:
        break;
    }
    return "Pieces";
}

} // namespace Rqx5Test
