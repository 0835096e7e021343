#pragma once

#include <QStringView>
#include <array>
#include <memory>
#include <vector>

// The text of the coordinate table's rows. A row is its six cells one after another in a large
// block of text, found through a small record: a million rows take some hundred blocks instead of a
// million allocations, and rows built apart (a file read on several cores) are joined without
// copying their text. Rows are addressed 0..count()-1 here.
class CoordinateRows {
public:
    static constexpr int kCells = 6;
    using Cells = std::array<QStringView, kCells>;

    CoordinateRows() = default;
    // A copy holds the live rows only, in fresh blocks.
    CoordinateRows(const CoordinateRows &other);
    CoordinateRows &operator=(const CoordinateRows &other);
    CoordinateRows(CoordinateRows &&other) noexcept = default;
    CoordinateRows &operator=(CoordinateRows &&other) noexcept = default;
    ~CoordinateRows();

    int count() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // The views stay valid until these rows next change.
    Cells cells(int row) const;
    QStringView cell(int row, int column) const;

    void reserve(qsizetype rows) { m_rows.reserve(static_cast<size_t>(rows)); }
    void append(const Cells &cells);
    // Moves the rows of other after these; their text stays where it is.
    void append(CoordinateRows &&other);
    void replace(int row, const Cells &cells);
    // A cell no longer than the one it replaces is written in place (a renumbering, the row numbers of
    // a file read in pieces); a longer one moves its row to free room.
    void replaceCell(int row, int column, QStringView text);
    void remove(int row);
    void clear();

private:
    // Where a row's text starts, and where each of its cells ends, counted from the start; cell k
    // begins where cell k-1 ends.
    struct Row {
        char16_t *text;
        std::array<qint32, kCells> ends;
    };

    static qsizetype lengthOf(const Row &row) { return row.ends[kCells - 1]; }
    // Writes the cells into free room and returns the row that refers to them.
    Row store(const Cells &cells);
    char16_t *room(qsizetype length);
    // Replaced and removed text is left in its block; when it outweighs the live text, the live rows
    // are copied into fresh blocks.
    void dropped(qsizetype length);

    std::vector<Row> m_rows;
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t *m_free = nullptr;
    qsizetype m_freeLength = 0;
    qsizetype m_liveLength = 0;
    qsizetype m_droppedLength = 0;
};
