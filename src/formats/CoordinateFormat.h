#pragma once

#include "CoordinateFileFormat.h"
#include "CoordinateFileLayout.h"

#include <QStringView>

class CoordinateTableModel;
class QIODevice;

// One coordinate file format: what the dialogs call it, its extension, and how a file of it is read
// and written. The formats are the rows of CoordinateFormats.
struct CoordinateFormat {
    enum Reading {
        ByFields,   // one point per line, cut at the commas by the layout
        AsRawLines, // every line of 2 or more characters as it stands, no columns
    };

    CoordinateFileFormat number;
    QStringView openLabel;       // the description in the open dialog; empty: not offered for opening
    QStringView saveLabel;       // the description in the save dialog; empty: not offered for saving
    QStringView extension;       // without the point
    CoordinateFileLayout layout; // the fields of a line as written, and as read ByFields
    Reading reading = ByFields;
    // A format whose file is not lines of fields (the drawing) has a writer of its own.
    QString (*build)(const CoordinateTableModel &table, bool nez) = nullptr;
    bool (*write)(const CoordinateTableModel &table, bool nez, QIODevice &device) = nullptr;
};
