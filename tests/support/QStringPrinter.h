#pragma once

#include <QString>
#include <ostream>

// Texts in failure reports as text rather than as arrays of characters. GoogleTest finds it by
// argument-dependent lookup, so it stands in the namespace of QString.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
