#pragma once

#include "support/QStringPrinter.h"
#include "support/ReceiveSide.h"

#include <gtest/gtest.h>

// The receive side of ReceiveSide as a test fixture. A series' fixture adds its protocol and installs
// it in the dispatcher.
class ProtocolFixture : public ::testing::Test, protected ReceiveSide {
protected:
    explicit ProtocolFixture(bool rqx5) : ReceiveSide(rqx5) {}

    void useEnz() { selection.nez = false; }

    // Delivers bytes the way the port does: newly arrived bytes raise a receive event when at least
    // the receive threshold of bytes is waiting on an open port (bytes the dispatcher handed back
    // included), with all waiting bytes in one chunk; the dispatcher reads on while whole frames wait.
    void deliver(const QByteArray &bytes)
    {
        link.waiting += bytes;
        deliverIfDue();
    }
    void deliverBytewise(const QByteArray &bytes)
    {
        for (char byte : bytes) {
            link.waiting.append(byte);
            deliverIfDue();
        }
    }
    void deliverIfDue()
    {
        if (link.portOpen && link.rThreshold > 0 && link.waitingCount() >= link.rThreshold)
            dispatcher.OnReceiveEvent();
    }
    // Bytes arriving as the port sees them when part of a frame waits in the link already: one
    // receive event once the waiting bytes, held ones included, reach the receive threshold.
    void arrive(const QByteArray &bytes)
    {
        link.waiting += bytes;
        if (link.portOpen && link.rThreshold > 0 && link.waitingCount() >= link.rThreshold)
            dispatcher.OnReceiveEvent();
    }

    void addRow(const QString &number, const QString &name, const QString &first, const QString &second,
                const QString &height)
    {
        if (!table.hasColumns())
            table.buildColumns(selection.nez);
        table.append(
            CoordinatePoint{QString::number(table.count() + 1), number, name, first, second, height});
    }

    // The row as "sequence|number|name|first|second|height".
    QString row(int index) const
    {
        const CoordinatePoint p = table.point(index);
        return QStringList{p.sequence, p.number, p.name, p.first, p.second, p.height}.join(u'|');
    }

    int countOf(const QString &event) const { return static_cast<int>(log.events.count(event)); }
};
