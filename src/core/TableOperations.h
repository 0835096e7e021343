#pragma once

#include <QString>
#include <functional>

class CoordinateTableModel;

// The five texts of the point editor, in the order of the table's columns 1..5.
struct PointFields {
    QString number;
    QString name;
    QString first;  // first plan coordinate (N under NEZ, E under ENZ)
    QString second; // second plan coordinate
    QString height;
};

// The rules of editing the coordinate table by hand, apart from any window: which data type New
// works on, the duplicate point-number check, the shortest form stored on change, renumbering after
// a delete. Each operation returns the text of the message that refuses it (title "错误提示"), or
// an empty text.
class TableOperations {
public:
    // The sequence number of a point added by hand is 16-bit.
    static constexpr int kMaxSequence = 32767;

    enum class DataType { Coordinates, Measurements, None }; // main window Option1 / Option3 / neither

    // nez: the coordinate order chosen at start, read each time it is needed.
    TableOperations(CoordinateTableModel &table, std::function<bool()> nez);

    // The main window's load step: the editor's modes as at start.
    void reset();

    // Empties the table and builds its six columns in the coordinate order chosen at start.
    void BuildTableColumns();

    // New: prepares the state for adding a point. An empty result means the editor is to be opened
    // with an empty point number and name and the coordinates "0.0000".
    QString NewPoint(DataType type);

    // Change: prepares the state for changing row (1-based; 0 when nothing is selected). An empty
    // result means the editor is to be opened on that row's fields.
    QString ChangeSelectedPoint(int row);

    // The editor's OK. editRow is the row being changed as it stands now (0 when it has gone from
    // the table since the editor opened; EditRowIndex is what it was at opening).
    struct CommitResult {
        QString message;     // shown first, when not empty
        bool keepEditorOpen; // the user must correct the fields
    };
    CommitResult CommitPointEditor(const PointFields &fields, int editRow);

    // Delete: removes row (0 when nothing is selected) and renumbers the point numbers 1..count.
    QString DeleteSelectedPoint(int row);

    // Removes all rows and all columns.
    void ClearTable();

    // The 25 sample rows of the "List" button.
    void FillSampleRows();

    // The editing buttons "修 改" and "删 除" after a commit: enabled once a point was added by hand.
    bool editButtonsEnabledAfterCommit() const;

    // The row whose point number has the numeric value of number, or 0.
    int findPointNumber(const QString &number) const;

    // The editor's modes: what the next OK does.
    int EditorMode = 4; // no data type chosen
    bool TableIsNew = true;
    int NextSequence = 0;
    long EditRowIndex = 0;

private:
    CoordinateTableModel &m_table;
    std::function<bool()> m_nez;
};
