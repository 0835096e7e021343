#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

// A column of a measurement list: its header, its width in units of the window's measure (the
// window turns units into pixels) and the alignment of its cells.
struct MeasurementColumn {
    QString header;
    double width = 0;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// The list of a measurement window: rows of texts under a set of columns that the window chooses
// (the layouts differ by series and by mode). Rows are addressed 1..count() as the protocols and the
// file readers number them; column 0 is the row's own text, the others its subitems.
class MeasurementTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MeasurementTableModel(QObject *parent = nullptr);

    // Removes every row and column, then sets these columns.
    void setColumns(std::vector<MeasurementColumn> columns);
    const std::vector<MeasurementColumn> &columns() const { return m_columns; }
    QStringList headers() const;
    // Removes every row; the columns stay.
    void clearRows();
    // Keeps the first rows rows.
    void truncate(int rows);

    int count() const { return static_cast<int>(m_rows.size()); }
    // A cell outside the table, or a subitem the row was not given, is empty.
    QString cell(int row, int column) const;
    QStringList row(int row) const;
    // cells[0] is the row's text, cells[k] subitem k; missing subitems are empty, extra ones are kept
    // but not shown.
    void append(const QStringList &cells);
    void append(std::vector<QStringList> rows);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<MeasurementColumn> m_columns;
    std::vector<QStringList> m_rows;
};
