#include "core/MeasurementTableModel.h"
#include "rqx2/Rqx2MeasurementReceive.h"
#include "rqx2/Rqx2Protocol.h"
#include "serial/PortCommands.h"
#include "support/FuzzTargets.h"
#include "support/ReceiveHarness.h"
#include "support/RecordingMeasurementViews.h"

namespace {
// 0x02 or 0x06, the record's number and the count as four digits each, CR, and for a coordinate
// record a NUL: the number, or nothing when the frame is no such acknowledgement.
std::optional<QString> acknowledgedNumber(const QByteArray &bytes, char start, const QByteArray &end)
{
    if (bytes.size() != 9 + end.size() || bytes[0] != start || !bytes.endsWith(end))
        return std::nullopt;
    for (int k = 1; k <= 8; ++k) {
        if (bytes[k] < '0' || bytes[k] > '9')
            return std::nullopt;
    }
    return QString::fromLatin1(bytes.mid(1, 4));
}
} // namespace

// The RQX2 receive path from coordinate receive, coordinate send, the connection test and the
// measurement window's receive, as the main window installs the routines.
QString FuzzRqx2Receive(FuzzInput &input)
{
    ReceiveHarness harness(false, input);
    Rqx2Protocol protocol(harness.state, harness.link, harness.table, harness.view);
    protocol.setPause([](std::chrono::milliseconds) {});
    protocol.install(harness.dispatcher.routines());
    MeasurementTableModel list;
    RecordingRqx2MeasurementView form7(harness.log);
    Rqx2MeasurementReceive measurement(harness.state, harness.link, list, form7);
    measurement.install(harness.dispatcher.routines());
    harness.watchRows(list);
    PortCommands port(harness.state, harness.link, harness.view);

    // Every write of the record routines is an acknowledgement; one whose counters are not four
    // digits would answer a damaged record with what it held. A coordinate acknowledgement answers
    // the record of its call; a measurement one may answer again a record sent twice, and the
    // header's carries the number 0.
    harness.setRecords(
        {"ReceiveRqx2CoordinateRecord", "ReceiveRqx2ShortRecord", "ReceiveRqx2LongRecord"},
        [&harness](const char *routine, const QByteArray &bytes) -> std::optional<QString> {
            if (acknowledgedNumber(bytes, '\x02', QByteArray("\r\0", 2)))
                return QString();
            if (std::optional<QString> number = acknowledgedNumber(bytes, '\x06', "\r"))
                return number;
            harness.fail(
                QStringLiteral("%1 wrote %2, which acknowledges no record").arg(routine, hex(bytes)));
            return QString();
        },
        {QStringLiteral("0000")});
    return harness.run({
        [&] { protocol.commandReceiveCoordinates(); },
        [&] { protocol.commandSendCoordinates(); },
        [&] { port.RunConnectionTest(); },
        [&] { measurement.selectMeasurementReceive(); },
        [&] { measurement.commandReceive(); },
    });
}
