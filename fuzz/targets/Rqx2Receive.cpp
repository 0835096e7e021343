#include "rqx2/Rqx2CoordinateReceive.h"
#include "rqx2/Rqx2CoordinateSend.h"
#include "rqx2/Rqx2MeasurementList.h"
#include "rqx2/Rqx2MeasurementReceive.h"
#include "rqx5/ConnectionTest.h"
#include "support/FuzzTargets.h"
#include "support/ReceiveHarness.h"
#include "support/Recorder.h"

#include <memory>

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

// The answer to the instrument's request: 0x01 (coordinates) or 0x05 (measurements), "J", CR.
bool isHandshakeAnswer(const QByteArray &bytes)
{
    return bytes.size() == 3 && (bytes[0] == '\x01' || bytes[0] == '\x05') && bytes.endsWith("J\r");
}
} // namespace

// The RQX2 receive path from coordinate receive, coordinate send, the connection test and the
// measurement window (shown, and its 接收数据), as the windows begin the transfers.
QString FuzzRqx2Receive(FuzzInput &input)
{
    ReceiveHarness harness(input);

    // Every write of a receive other than the handshake answer is an acknowledgement; one whose
    // counters are not four digits would answer a damaged record with what it held. An
    // acknowledgement answers the record of its take, or again a record sent twice because its
    // answer was not heard; a measurement header's carries the number 0.
    harness.setRecords(
        {QStringLiteral("rqx2-coordinate-receive"), QStringLiteral("rqx2-measurement-receive")},
        [&harness](const Transfer &transfer,
                   const ReceiveHarness::Segment &segment) -> std::optional<QString> {
            const QByteArray &bytes = (segment.last - 1)->bytes;
            if (isHandshakeAnswer(bytes))
                return std::nullopt;
            if (std::optional<QString> number = acknowledgedNumber(bytes, '\x02', QByteArray("\r\0", 2)))
                return number;
            if (std::optional<QString> number = acknowledgedNumber(bytes, '\x06', "\r"))
                return number;
            harness.fail(
                QStringLiteral("%1 wrote %2, which acknowledges no record").arg(transfer.kind(), hex(bytes)));
            return QString();
        },
        {QStringLiteral("0000")});
    const bool nez = harness.nez();
    auto measurementWindow = [&harness, nez] {
        // The window shows its columns from the moment it is shown.
        if (harness.list.columnCount() == 0)
            harness.list.setColumns(Rqx2MeasurementList::columns(nez));
        return std::make_unique<Rqx2MeasurementReceive>(nez);
    };
    return harness.run({
        {[&] { return std::make_unique<Rqx2CoordinateReceive>(nez); }},
        {[&] { return std::make_unique<Rqx2CoordinateSend>(harness.table, nez); }},
        {[&] { return std::make_unique<ConnectionTest>(false, harness.portShownClosed()); }},
        // The measurement window shown serves a handshake request before its 接收数据.
        {measurementWindow, false},
        {measurementWindow},
        // After the selection the main window serves a handshake request of its own accord.
        {[&] { return std::make_unique<Rqx2CoordinateReceive>(nez); }, false},
    });
}
