#pragma once

#include "EventRows.h"
#include "Recorder.h"
#include "core/Transfer.h"

#include <QStringList>
#include <vector>

// Drives a transfer as the executor does, without a port or a window: bytes in, the actions out as
// their describe() lines ("write 01 4A 0D", "status rqx2 receiving", "row 1|P1|..."). The rows the
// events carry are put into the table or list a window would show them in.
class TransferDriver : public EventRows {
public:
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

private:
    void apply(const TransferAction &action)
    {
        if (action.kind == TransferAction::Show)
            EventRows::apply(action.event);
    }
};
