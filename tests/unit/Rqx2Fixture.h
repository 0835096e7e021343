#pragma once

#include "core/AppState.h"
#include "core/CoordinateTableModel.h"
#include "rqx2/Rqx2Protocol.h"
#include "serial/ReceiveDispatcher.h"
#include "support/FakeSerialLink.h"
#include "support/RecordingView.h"

#include <gtest/gtest.h>
#include <ostream>

// Texts in failure reports as text rather than as arrays of characters.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// The RQX2 protocol wired as the main window wires it (real dispatcher, real table model), with a
// recording port and window sharing one ordered log. The pause before each point of a send is
// recorded ("pause 100") instead of taken.
class Rqx2Fixture : public ::testing::Test {
protected:
    Rqx2Fixture()
    {
        state.Selection = &selection;
        state.load();
        protocol.install(dispatcher.routines());
        protocol.setPause([this](std::chrono::milliseconds pause) {
            log.add(QStringLiteral("pause %1").arg(static_cast<long long>(pause.count())));
        });
    }

    void useEnz() { selection.nez = false; }

    // The instrument's request: "J" CR with one byte in front, so that it meets the receive threshold of 3.
    static QByteArray request() { return fromHex("02 4A 0D"); }

    // A received coordinate record assembled from its fields as they stand on the wire.
    static QByteArray record(const char *current, const char *total, const char *number, const char *name,
                             const char *north, const char *east, const char *height)
    {
        return QByteArray("\x02") + current + total + number + name + north + east + height + "\r";
    }

    // Delivers bytes the way the port does: a receive event whenever at least the receive threshold
    // of bytes is waiting on an open port, with all waiting bytes in one chunk.
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
        while (link.portOpen && link.rThreshold > 0 && link.waitingCount() >= link.rThreshold)
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
    void addRows(int count)
    {
        std::vector<CoordinatePoint> rows;
        for (int i = 1; i <= count; ++i) {
            const QString n = QString::number(i);
            rows.push_back({n, n, QStringLiteral("P") + n, QStringLiteral("100.5"), QStringLiteral("200.25"),
                            QStringLiteral("3.125")});
        }
        if (!table.hasColumns())
            table.buildColumns(selection.nez);
        table.append(rows);
    }

    // The row as "sequence|number|name|first|second|height".
    QString row(int index) const
    {
        const CoordinatePoint p = table.point(index);
        return QStringList{p.sequence, p.number, p.name, p.first, p.second, p.height}.join(u'|');
    }

    int countOf(const QString &event) const { return static_cast<int>(log.events.count(event)); }

    Recorder log;
    FakeSerialLink link{log};
    RecordingView view{log};
    FixedSelection selection;
    AppState state;
    CoordinateTableModel table;
    ReceiveDispatcher dispatcher{state, link, view};
    Rqx2Protocol protocol{state, link, table, view};
};
