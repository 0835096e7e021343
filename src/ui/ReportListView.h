#pragma once

#include "core/MeasurementTableModel.h"

#include <QTableView>
#include <vector>

// A window's list (ListView1) in report view: whole rows selected one at a time, nothing edited in
// place, no grid and no row headers, and rows of one height, so a list of a million rows is as
// quick as a short one. Rows inserted in a burst are shown together (ListRepaintDeferral).
class ReportListView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kMinimumColumnWidth = 24;

    ReportListView(QAbstractItemModel *model, QWidget *parent);

    // A measurement list's columns, each its width in units times unit; a column of no width, the
    // row's own number, is not seen, and no other is narrower than kMinimumColumnWidth.
    void setColumnWidths(const std::vector<MeasurementColumn> &columns, double unit);
};
