#pragma once

#include "core/CoordinatePoint.h"

#include <ostream>

// Rows in failure reports as their six texts. GoogleTest finds it by argument-dependent lookup, so
// it stands in the namespace of CoordinatePoint.
inline void PrintTo(const CoordinatePoint &p, std::ostream *os)
{
    *os << '{' << p.sequence.toStdString() << '|' << p.number.toStdString() << '|' << p.name.toStdString()
        << '|' << p.first.toStdString() << '|' << p.second.toStdString() << '|' << p.height.toStdString()
        << '}';
}
