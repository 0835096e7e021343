#include "rqx5/Rqx5Protocol.h"
#include "serial/PortCommands.h"
#include "support/FuzzTargets.h"
#include "support/ReceiveHarness.h"

#include <cstring>

// The RQX5 receive path from coordinate receive, coordinate send and the connection test.
QString FuzzRqx5Receive(FuzzInput &input)
{
    ReceiveHarness harness(true, input);
    Rqx5Protocol protocol(harness.state, harness.link, harness.table, harness.view);
    protocol.install(harness.dispatcher.routines());
    PortCommands port(harness.state, harness.link, harness.view);

    harness.setRecordAcknowledgement([](const char *routine, const QByteArray &) {
        return std::strcmp(routine, "ReceiveRqx5CoordinateRecord") == 0;
    });
    return harness.run({
        [&] { protocol.commandReceiveCoordinates(); },
        [&] { protocol.commandSendCoordinates(); },
        [&] { port.RunConnectionTest(); },
    });
}
