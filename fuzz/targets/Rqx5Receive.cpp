#include "rqx5/ConnectionTest.h"
#include "rqx5/Rqx5CoordinateReceive.h"
#include "rqx5/Rqx5CoordinateSend.h"
#include "rqx5/Rqx5DataFileReceive.h"
#include "rqx5/Rqx5Frames.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "rqx5/Rqx5MeasurementReceive.h"
#include "support/FuzzTargets.h"
#include "support/ReceiveHarness.h"
#include "support/Recorder.h"

#include <memory>

// The RQX5 receive path from coordinate receive, coordinate send, the connection test, and the
// measurement window's data-file and measurement receives, as the windows begin the transfers.
QString FuzzRqx5Receive(FuzzInput &input)
{
    ReceiveHarness harness(input);

    // Coordinate and data-file records are each answered with 0xAA 0x81 once stored, as is a header
    // (the file announced before the answer); the echoed end frame answers no
    // record. Measurement records are never answered.
    harness.setRecords({QStringLiteral("rqx5-coordinate-receive"), QStringLiteral("rqx5-datafile-receive")},
                       [&harness](const Transfer &transfer,
                                  const ReceiveHarness::Segment &segment) -> std::optional<QString> {
                           const QByteArray &bytes = (segment.last - 1)->bytes;
                           if (bytes == Rqx5Frames::kEndPair)
                               return std::nullopt;
                           if (bytes != Rqx5Frames::kNextPair) {
                               harness.fail(QStringLiteral("%1 wrote %2, which acknowledges no record")
                                                .arg(transfer.kind(), hex(bytes)));
                               return QString();
                           }
                           if (segment.shows<TransferEvents::FileAnnounced>() &&
                               !segment.shows<TransferEvents::Row>())
                               return std::nullopt;
                           return QString();
                       });
    const bool nez = harness.nez();
    return harness.run({
        {[&] { return std::make_unique<Rqx5CoordinateReceive>(nez); }},
        {[&] { return std::make_unique<Rqx5CoordinateSend>(harness.table, nez); }},
        {[&] { return std::make_unique<ConnectionTest>(true, harness.portShownClosed()); }},
        // After the selection the main window serves a coordinate header of its own accord.
        {[&] { return std::make_unique<Rqx5CoordinateReceive>(nez); }, false},
        // The measurement window's 接收数据 with 数据文件 chosen: the list laid out first.
        {[&] {
            SetRqx5DataFileColumns(harness.list, nez);
            return std::make_unique<Rqx5DataFileReceive>(nez);
        }},
        {[&] { return std::make_unique<Rqx5MeasurementReceive>(nez); }},
    });
}
