#pragma once

#include "CoordinatePoint.h"
#include "CoordinateRows.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <vector>

// The coordinate table, the program's central document. Rows are addressed 1..count() as the
// protocols and file readers number them; columns 0..5 as in CoordinatePoint. The table starts with
// no columns: they appear with buildColumns() and vanish again with clear().
//
// The rows' text is kept in large blocks (CoordinateRows): a million rows stay well within memory,
// where six separate strings per row would not, and a file read into the table hands its rows over
// without a copy.
class CoordinateTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 6;

    explicit CoordinateTableModel(QObject *parent = nullptr);

    // Empties the table and builds the six columns; headers follow the order (NEZ or ENZ).
    void buildColumns(bool nez);
    // Removes all rows and all columns (the view then shows no headers).
    void clear();
    // Shows a table without columns as a plain list, one item per row (its own text, column 0) and
    // no headers, as the lines of a file read without fields are shown. buildColumns() and clear()
    // end it.
    void showAsPlainList();
    bool hasColumns() const { return m_hasColumns; }
    bool isPlainList() const { return m_plainList; }
    bool columnsNez() const { return m_nez; }
    QStringList headers() const;
    // Relative widths of the six columns, in units of the list width / 18 (column 0 practically hidden).
    static double relativeWidth(int column);

    int count() const { return m_rows.count(); }
    CoordinatePoint point(int row) const;
    QString cell(int row, int column) const;
    // The same text without a copy, valid until the table next changes (for scans over every row).
    QStringView cellView(int row, int column) const;
    // All six cells of a row at once, as cellView gives them (empty views for a row out of range).
    std::array<QStringView, kColumnCount> cellViews(int row) const;
    void setCell(int row, int column, const QString &text);
    void setPoint(int row, const CoordinatePoint &point);
    void append(const CoordinatePoint &point);
    void append(const std::vector<CoordinatePoint> &points);
    // Rows built elsewhere, in this table's column order, appended in one insertion.
    void append(CoordinateRows &&rows);
    void remove(int row);
    // Keeps the first rows rows.
    void truncate(int rows);
    // Sets every row's point number (column 1) to its row number, as a delete leaves them.
    void renumberPointNumbers();

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    static CoordinateRows::Cells cellsOf(const CoordinatePoint &point);
    bool valid(int row) const { return row >= 1 && row <= count(); }

    CoordinateRows m_rows;
    bool m_hasColumns = false;
    bool m_plainList = false;
    bool m_nez = true;
};
