#include "core/MeasurementTableModel.h"
#include "rqx5/Rqx5MeasurementReceive.h"
#include "rqx5/Rqx5Protocol.h"
#include "serial/Frames.h"
#include "serial/PortCommands.h"
#include "support/FuzzTargets.h"
#include "support/ReceiveHarness.h"
#include "support/RecordingMeasurementViews.h"

// The RQX5 receive path from coordinate receive, coordinate send, the connection test, and the
// measurement window's data-file and measurement receives, as the main window installs the routines.
QString FuzzRqx5Receive(FuzzInput &input)
{
    ReceiveHarness harness(true, input);
    Rqx5Protocol protocol(harness.state, harness.link, harness.table, harness.view);
    protocol.install(harness.dispatcher.routines());
    MeasurementTableModel list;
    RecordingRqx5MeasurementView form4(harness.log);
    Rqx5MeasurementReceive measurement(harness.state, harness.link, list, form4);
    measurement.install(harness.dispatcher.routines(), protocol);
    harness.watchRows(list);
    PortCommands port(harness.state, harness.link, harness.view);

    // Coordinate and data-file records are each answered with 0xAA 0x81 once stored; measurement
    // records are never answered.
    harness.setRecords(
        {"ReceiveRqx5CoordinateRecord", "ReceiveRqx5DataFileRecord"},
        [&harness](const char *routine, const QByteArray &bytes) {
            if (bytes != QByteArray(Frames::kRqx5NextPair))
                harness.fail(
                    QStringLiteral("%1 wrote %2, which acknowledges no record").arg(routine, hex(bytes)));
            return std::optional<QString>(QString());
        });
    return harness.run({
        [&] { protocol.commandReceiveCoordinates(); },
        [&] { protocol.commandSendCoordinates(); },
        [&] { port.RunConnectionTest(); },
        // 测量数据 on the main window, then the measurement window's two receives.
        [&] { harness.state.Rqx5MeasureWindowOpen = true; },
        [&] { measurement.StartRqx5DataFileReceive(); },
        [&] { measurement.StartRqx5MeasurementReceive(); },
    });
}
