#include "ReportListView.h"

#include "ListRepaintDeferral.h"

#include <QHeaderView>
#include <algorithm>

namespace {
constexpr int kRowPadding = 6;
} // namespace

ReportListView::ReportListView(QAbstractItemModel *model, QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("ListView1"));
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    horizontalHeader()->setHighlightSections(false);
    new ListRepaintDeferral(this);
}

void ReportListView::setColumnWidths(const std::vector<MeasurementColumn> &columns, double unit)
{
    QHeaderView *header = horizontalHeader();
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        const double width = columns[static_cast<size_t>(column)].width * unit;
        header->setSectionHidden(column, width <= 0);
        if (width > 0)
            header->resizeSection(column, std::max(kMinimumColumnWidth, static_cast<int>(width)));
    }
}
