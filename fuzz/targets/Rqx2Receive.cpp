#include "rqx2/Rqx2Protocol.h"
#include "serial/PortCommands.h"
#include "support/FuzzTargets.h"
#include "support/ReceiveHarness.h"

#include <cstring>

// The RQX2 receive path from coordinate receive, coordinate send and the connection test.
QString FuzzRqx2Receive(FuzzInput &input)
{
    ReceiveHarness harness(false, input);
    Rqx2Protocol protocol(harness.state, harness.link, harness.table, harness.view);
    protocol.setPause([](std::chrono::milliseconds) {});
    protocol.install(harness.dispatcher.routines());
    PortCommands port(harness.state, harness.link, harness.view);

    harness.setRecordAcknowledgement([&harness](const char *routine, const QByteArray &bytes) {
        if (std::strcmp(routine, "ReceiveRqx2CoordinateRecord") != 0)
            return false;
        // 0x02, the point's number and the count as four digits each, CR, NUL: a damaged record is
        // never answered with what its counters held.
        bool digits = bytes.size() == 11 && bytes.startsWith('\x02') && bytes.endsWith(QByteArray("\r\0", 2));
        for (int k = 1; digits && k <= 8; ++k)
            digits = bytes[k] >= '0' && bytes[k] <= '9';
        if (!digits)
            harness.fail(QStringLiteral("a coordinate record was acknowledged with ") + hex(bytes));
        return true;
    });
    return harness.run({
        [&] { protocol.commandReceiveCoordinates(); },
        [&] { protocol.commandSendCoordinates(); },
        [&] { port.RunConnectionTest(); },
    });
}
