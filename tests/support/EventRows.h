#pragma once

#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "core/TransferEvent.h"
#include "rqx2/Rqx2MeasurementList.h"
#include "rqx5/Rqx5MeasurementColumns.h"

// The rows a transfer's events carry, put into a coordinate table (points) or a measurement list
// (the other kinds) as the windows put them, for drivers that run transfers without a window: a
// second record sees the first one's row. Events of no row are left to the caller.
class EventRows {
public:
    CoordinateTableModel table; // the main table (coordinate transfers)
    MeasurementTableModel list; // a measurement window's list

    // The list that rows not named by their kind (cleared, withdrawn) belong to.
    void reportToTable(bool table) { m_toTable = table; }

    void apply(const TransferEvent &event)
    {
        using namespace TransferEvents;
        std::visit(Overloaded{
                       [](const Status &) {},
                       [](const FileAnnounced &) {},
                       [this](const ListStarted &e) { start(e.kind, e.nez); },
                       [this](const RowsCleared &) {
                           if (m_toTable)
                               table.buildColumns(table.columnsNez());
                           else
                               list.clearRows();
                       },
                       [this](const Row &e) {
                           m_toTable = e.kind == RecordKind::Point;
                           if ((m_toTable ? table.count() : list.count()) == 0 ||
                               (m_toTable ? !table.hasColumns() : list.columnCount() == 0))
                               start(e.kind, e.nez);
                           const int rows = m_toTable ? table.count() : list.count();
                           QStringList cells = e.fields;
                           cells.prepend(QString::number(e.number ? *e.number : rows + 1));
                           if (m_toTable)
                               table.append(CoordinatePoint{cells.value(0), cells.value(1), cells.value(2),
                                                            cells.value(3), cells.value(4), cells.value(5)});
                           else
                               list.append(cells);
                       },
                       [this](const RowsWithdrawn &e) {
                           if (m_toTable)
                               table.truncate(qMax(0, table.count() - e.rows));
                           else
                               list.truncate(qMax(0, list.count() - e.rows));
                       },
                       [](const Progress &) {},
                       [](const PortShown &) {},
                   },
                   event);
    }

    // The rows of the table as "sequence|number|name|first|second|height".
    QStringList tableRows() const
    {
        QStringList rows;
        for (int r = 1; r <= table.count(); ++r) {
            const CoordinatePoint p = table.point(r);
            rows.append(QStringList{p.sequence, p.number, p.name, p.first, p.second, p.height}.join(u'|'));
        }
        return rows;
    }
    // The rows of the list, their cells joined with "|".
    QStringList listRows() const
    {
        QStringList rows;
        for (int r = 1; r <= list.count(); ++r)
            rows.append(list.row(r).join(u'|'));
        return rows;
    }

private:
    void start(TransferEvents::RecordKind kind, bool nez)
    {
        using TransferEvents::RecordKind;
        m_toTable = kind == RecordKind::Point;
        if (kind == RecordKind::Point)
            table.buildColumns(nez);
        else if (kind == RecordKind::Rqx2Measurement)
            list.setColumns(Rqx2MeasurementList::columns(nez));
        else if (kind == RecordKind::Rqx5DataFile)
            SetRqx5DataFileColumns(list, nez);
        else
            SetRqx5MeasurementColumns(list, nez);
    }

    bool m_toTable = true;
};
