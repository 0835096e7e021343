#pragma once

#include "core/CoordinatePoint.h"
#include "core/CoordinateTableModel.h"
#include "ui/TransferWindow.h"

#include <QWidget>

// A window a transfer reports to with nothing to paint: its rows go into a coordinate table the
// transfer reads, its controls are none (texts set on them are dropped).
class BenchWindow : public TransferWindow {
public:
    QWidget *transferWidget() override { return &m_widget; }
    void setTransferColumns(const QString &layout, bool nez) override
    {
        if (layout == QLatin1String("coordinates"))
            table.buildColumns(nez);
    }
    void addTransferRow(const QStringList &cells) override
    {
        table.append(CoordinatePoint{cells.value(0), cells.value(1), cells.value(2), cells.value(3),
                                     cells.value(4), cells.value(5)});
    }
    void clearTransferRows() override { table.clear(); }
    void truncateTransferRows(int rows) override { table.truncate(rows); }
    void bringWindowForward() override {}

    CoordinateTableModel table;

private:
    QWidget m_widget;
};
