#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

class MeasurementTableModel;

// What a measurement file holds besides its rows: the caption of the file name a receive brought
// (RQX2), the creation date and the instrument number (RQX5).
struct MeasurementFileHeading {
    QString nameCaption;
    QString date;
    QString instrumentNumber;
};

// What reading a measurement file yields, before it replaces a list.
struct MeasurementFileContent {
    std::vector<QStringList> rows; // cells[0] the row's number (1, 2, ...), then its fields
    MeasurementFileHeading heading;
    // Lines with fewer fields than a row needs: not read.
    int skippedLines = 0;
    int firstSkippedLine = 0; // 1-based line number in the file; 0 when none was skipped
};

// One kind of file a measurement window saves or opens: what its dialogs call it, its extension,
// how a name typed in the save dialog gets that extension, and how its text is built and read.
// The kinds are the rows of MeasurementFileKinds.
struct MeasurementFileKind {
    enum Id { Rqx2Measurements, Rqx5DataFile, Rqx5Measurements, CsvTable, XlsxTable };
    enum Naming {
        ExtensionWhenMissing, // added to a name typed without one ("JOB1" is JOB1.raw, "JOB1.old" stays)
        ExtensionAlways,      // added to every name that does not end in it ("job.raw" is job.raw.txt)
    };

    Id id;
    QStringView openLabel; // the description in the open dialog; empty: never opened
    QStringView saveLabel; // the description in the save dialog
    QStringView extension; // without the point
    bool listsPattern;     // the entry names its pattern after the description ("|*.raw")
    Naming naming;
    // The file's text, every line ended by CR LF (the file ends with one more, which the caller
    // adds), and the reading of a file's bytes. Null for a table for spreadsheets, which is written
    // by a writer of its own and never read.
    QString (*build)(const MeasurementTableModel &list, const MeasurementFileHeading &heading) = nullptr;
    MeasurementFileContent (*read)(const QByteArray &bytes) = nullptr;
};
