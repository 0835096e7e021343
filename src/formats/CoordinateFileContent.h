#pragma once

#include "core/CoordinatePoint.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class CoordinateTableModel;

// What reading a coordinate file yields, before it replaces the table. The content holds the
// decoded text once and the places of the fields in it: a million-point file would not fit the
// memory of a surveyor's laptop as a million rows of six separate strings on top of the table.
class CoordinateFileContent {
public:
    // Formats 3 and 8: every line of 2 or more characters, no columns.
    bool rawLines() const { return m_rawLines; }
    // The order of the plan coordinates in the rows: N then E (true), or E then N.
    bool nez() const { return m_nez; }
    // Rows of a fields format, or lines of a raw-lines format.
    int count() const;

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
    void replaceTable(CoordinateTableModel &table) const;

private:
    friend CoordinateFileContent ReadCoordinateText(const QString &text, int format, bool nez);

    // One row: where its line starts in the text, and where each field of the line ends (a comma
    // or the end of the line), relative to the start. Field k begins just after the end of k-1.
    struct Cuts {
        qsizetype start = 0;
        std::array<qint32, 6> ends{};
    };
    // The fields of a row in table column order 1..5: number, name, first, second, height.
    std::array<QStringView, 5> fieldViews(const Cuts &cuts) const;

    QString m_text;
    bool m_rawLines = false;
    bool m_nez = true;
    std::array<int, 5> m_fieldOfColumn{}; // for columns 1..5, the field's position in the line
    std::vector<Cuts> m_rows;
    std::vector<std::pair<qsizetype, qint32>> m_lines; // start and length
    int m_skippedLines = 0;
    int m_firstSkippedLine = 0;
};
