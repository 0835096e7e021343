#include "CoordinateFileLayout.h"

#include "CoordinateFileFormat.h"

namespace {
using F = CoordinateFileLayout;

constexpr CoordinateFileLayout kNumberNameNez{5, {F::Number, F::Name, F::North, F::East, F::Height}};
constexpr CoordinateFileLayout kNumberNameEnz{5, {F::Number, F::Name, F::East, F::North, F::Height}};
constexpr CoordinateFileLayout kGuangzhouCass{
    6, {F::Sequence, F::Number, F::North, F::East, F::Height, F::Name}};
constexpr CoordinateFileLayout kSv300{6, {F::Sequence, F::Number, F::Name, F::North, F::East, F::Height}};
constexpr CoordinateFileLayout kTopcon{5, {F::Number, F::East, F::North, F::Height, F::Name}};
} // namespace

CoordinateFileLayout CoordinateFileLayout::written(int format)
{
    switch (format) {
    case HylNez:
    case PlainText:
    case Csv:
        return kNumberNameNez;
    case HylEnz:
    case SouthCass:
        return kNumberNameEnz;
    case GuangzhouCass:
        return kGuangzhouCass;
    case Sv300:
        return kSv300;
    case Topcon:
        return kTopcon;
    default:
        return {};
    }
}

CoordinateFileLayout CoordinateFileLayout::read(int format)
{
    return isRawLinesFormat(format) ? CoordinateFileLayout{} : written(format);
}
