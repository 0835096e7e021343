#pragma once

#include "core/CoordinatePoint.h"
#include "core/CoordinateRows.h"

#include <QString>
#include <QStringList>
#include <vector>

class CoordinateTableModel;

// What reading a coordinate file yields, before it replaces the table: the rows already as the table
// keeps them (their text in large blocks, the cells in the table's column order), so that the table
// takes them over without a copy.
class CoordinateFileContent {
public:
    // A format read as raw lines: every line of 2 or more characters, no columns.
    bool rawLines() const { return m_rawLines; }
    // The order of the plan coordinates in the rows: N then E (true), or E then N.
    bool nez() const { return m_nez; }
    // Rows of a fields format, or lines of a raw-lines format.
    int count() const { return m_rows.count(); }

    // Row 1..count() of a fields format in the table's column order, its sequence the text of index.
    CoordinatePoint row(int index) const;
    std::vector<CoordinatePoint> rows() const;
    // Line 1..count() of a raw-lines format, as it stands in the file.
    QString line(int index) const;
    QStringList lines() const;

    // Lines with fewer commas than the format needs: not read, reported once to the user.
    int skippedLines() const { return m_skippedLines; }
    // The 1-based line number in the file of the first of them (0 when none was skipped).
    int firstSkippedLine() const { return m_firstSkippedLine; }

    // Replaces the whole table. Fields formats: the six columns in this content's order, then the
    // rows. Raw-lines formats: no columns, one row per line whose own text (column 0) is the line.
    // A content that is no longer needed hands its rows over (std::move(content).replaceTable).
    void replaceTable(CoordinateTableModel &table) const &;
    void replaceTable(CoordinateTableModel &table) &&;

private:
    friend struct CoordinateFileReading;

    // Fields formats: the six cells of the table's columns. Raw-lines formats: the line as cell 0.
    CoordinateRows m_rows;
    bool m_rawLines = false;
    bool m_nez = true;
    int m_skippedLines = 0;
    int m_firstSkippedLine = 0;
};
