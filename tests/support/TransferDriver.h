#pragma once

#include "Recorder.h"
#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "core/Transfer.h"
#include "rqx2/Rqx2MeasurementList.h"
#include "rqx5/Rqx5MeasurementColumns.h"

#include <QStringList>
#include <vector>

// Drives a transfer as the executor does, without a port or a window: bytes in, the actions out as
// their describe() lines ("write 01 4A 0D", "set Label4 ...", "row 1|P1|..."). Rows and columns are
// put into the table or list the transfer reads, so that a second record sees the first one's row.
class TransferDriver {
public:
    CoordinateTableModel table; // the main table (coordinate transfers)
    MeasurementTableModel list; // a measurement window's list

    QStringList start(Transfer &transfer) { return applied(transfer.start()); }
    // The bytes in one piece.
    QStringList feed(Transfer &transfer, const QByteArray &bytes) { return applied(transfer.feed(bytes)); }
    // The bytes one at a time; the actions of every piece joined.
    QStringList feedBytewise(Transfer &transfer, const QByteArray &bytes)
    {
        QStringList lines;
        for (char byte : bytes)
            lines += applied(transfer.feed(QByteArray(1, byte)));
        return lines;
    }
    // The bytes cut after each of the given lengths (the rest in a last piece).
    QStringList feedInPieces(Transfer &transfer, const QByteArray &bytes, const std::vector<int> &lengths)
    {
        QStringList lines;
        int at = 0;
        for (int length : lengths) {
            lines += applied(transfer.feed(bytes.mid(at, length)));
            at += length;
        }
        if (at < bytes.size())
            lines += applied(transfer.feed(bytes.mid(at)));
        return lines;
    }

    QStringList applied(const TransferActions &actions)
    {
        for (const TransferAction &action : actions)
            apply(action);
        return describe(actions);
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
    void apply(const TransferAction &action)
    {
        const bool nez = action.number != 0;
        switch (action.kind) {
        case TransferAction::SetColumns:
            if (action.target == QLatin1String("coordinates"))
                table.buildColumns(nez);
            else if (action.target == QLatin1String("rqx2-measurement"))
                list.setColumns(Rqx2MeasurementList::columns(nez));
            else if (action.target == QLatin1String("rqx5-datafile"))
                SetRqx5DataFileColumns(list, nez);
            else
                SetRqx5MeasurementColumns(list, nez);
            break;
        case TransferAction::AddRow:
            // A list with columns is a measurement window's; otherwise the row is the main table's.
            if (list.columnCount() > 0)
                list.append(action.cells);
            else
                table.append(CoordinatePoint{action.cells.value(0), action.cells.value(1),
                                             action.cells.value(2), action.cells.value(3),
                                             action.cells.value(4), action.cells.value(5)});
            break;
        case TransferAction::ClearRows:
            list.clearRows();
            break;
        case TransferAction::TruncateRows:
            if (list.columnCount() > 0)
                list.truncate(action.number);
            else
                table.truncate(action.number);
            break;
        default:
            break;
        }
    }
};
