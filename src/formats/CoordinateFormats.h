#pragma once

#include "CoordinateFormat.h"

#include <QString>

// The coordinate file formats, one row each, in the order the open and save dialogs list them. The
// dialogs' filter lists are built from the rows, and the filter chosen is mapped back to its row:
// a new format is a new row.
class CoordinateFormats {
public:
    static int count();
    // Row 0..count()-1.
    static const CoordinateFormat &at(int index);
    // The row of a format's number; null when there is none.
    static const CoordinateFormat *find(int number);

    // "description|*.extension|" for every row offered in the dialog, in order.
    static QString openFilter();
    static QString saveFilter();

    // The row of the filter at 1-based position filterIndex of the list above; the first row offered
    // when the dialog reports a position it did not offer.
    static const CoordinateFormat &opened(int filterIndex);
    static const CoordinateFormat &saved(int filterIndex);
};
