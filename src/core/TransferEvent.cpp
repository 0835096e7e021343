#include "TransferEvent.h"

namespace {
using namespace TransferEvents;

QString seriesName(Series series)
{
    return series == Series::Rqx2 ? QStringLiteral("rqx2") : QStringLiteral("rqx5");
}

QString stateName(State state)
{
    switch (state) {
    case State::Idle:
        return QStringLiteral("idle");
    case State::AwaitingHandshake:
        return QStringLiteral("awaiting-handshake");
    case State::AwaitingRequest:
        return QStringLiteral("awaiting-request");
    case State::Receiving:
        return QStringLiteral("receiving");
    case State::Received:
        return QStringLiteral("received");
    case State::Sending:
        return QStringLiteral("sending");
    case State::Sent:
        return QStringLiteral("sent");
    case State::Testing:
        return QStringLiteral("testing");
    case State::Tested:
        return QStringLiteral("tested");
    }
    return {};
}

QString kindName(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Point:
        return QStringLiteral("points");
    case RecordKind::Rqx2Measurement:
        return QStringLiteral("rqx2-measurements");
    case RecordKind::Rqx5DataFile:
        return QStringLiteral("rqx5-datafile");
    case RecordKind::Rqx5Measurement:
        return QStringLiteral("rqx5-measurements");
    }
    return {};
}

QString order(bool nez)
{
    return nez ? QStringLiteral("nez") : QStringLiteral("enz");
}
} // namespace

QString describe(const TransferEvent &event)
{
    return std::visit(
        Overloaded{
            [](const Status &e) {
                return QStringLiteral("status %1 %2").arg(seriesName(e.series), stateName(e.state));
            },
            [](const FileAnnounced &e) {
                return QStringLiteral("file %1|%2|%3|%4").arg(e.name).arg(e.count).arg(e.instrument, e.date);
            },
            [](const ListStarted &e) {
                return QStringLiteral("list %1 %2").arg(kindName(e.kind), order(e.nez));
            },
            [](const RowsCleared &) { return QStringLiteral("clearRows"); },
            [](const Row &e) {
                // The kind and order are the transfer's own; the line shows the cells, "#" for a number
                // the list gives.
                QStringList cells = e.fields;
                cells.prepend(e.number ? QString::number(*e.number) : QStringLiteral("#"));
                return QStringLiteral("row ") + cells.join(u'|');
            },
            [](const RowsWithdrawn &e) { return QStringLiteral("withdraw %1").arg(e.rows); },
            [](const Progress &e) { return QStringLiteral("progress %1/%2").arg(e.done).arg(e.total); },
            [](const PortShown &e) {
                return e.open ? QStringLiteral("port shown open") : QStringLiteral("port shown closed");
            },
        },
        event);
}
