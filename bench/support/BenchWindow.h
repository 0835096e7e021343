#pragma once

#include "core/CoordinatePoint.h"
#include "core/CoordinateTableModel.h"
#include "ui/TransferWindow.h"

#include <QWidget>

// A window a transfer reports to with nothing to paint: the points go into a coordinate table, as
// the main window puts them; it has no other controls, so everything else is taken and not shown.
class BenchWindow : public TransferWindow {
public:
    QWidget *transferWidget() override { return &m_widget; }
    bool showTransferEvent(const TransferEvent &event) override
    {
        if (const auto *row = std::get_if<TransferEvents::Row>(&event)) {
            if (!table.hasColumns())
                table.buildColumns(row->nez);
            const QString number = QString::number(row->number ? *row->number : table.count() + 1);
            table.append(CoordinatePoint{number, row->fields.value(0), row->fields.value(1),
                                         row->fields.value(2), row->fields.value(3), row->fields.value(4)});
        }
        return true;
    }
    void bringWindowForward() override {}

    CoordinateTableModel table;

private:
    QWidget m_widget;
};
