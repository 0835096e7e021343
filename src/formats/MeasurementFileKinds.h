#pragma once

#include "MeasurementFileKind.h"

#include <QString>
#include <initializer_list>

// The kinds of file the measurement windows save and open, one row each. A dialog offers some of
// them, in the order given; its filter list is built from their rows and the entry chosen is mapped
// back to its row: a new kind is a new row.
class MeasurementFileKinds {
public:
    using Id = MeasurementFileKind::Id;

    static const MeasurementFileKind &of(Id id);

    // The entries of the kinds offered, joined by "|": "description|*.extension" for a kind that
    // lists its pattern, the description alone for one that does not.
    static QString openFilter(std::initializer_list<Id> kinds);
    static QString saveFilter(std::initializer_list<Id> kinds);

    // The kind a file is saved as: the one among kinds whose extension the name has, else the one
    // at 1-based position filterIndex, else the first.
    static const MeasurementFileKind &saved(std::initializer_list<Id> kinds, const QString &path,
                                            int filterIndex);
};
