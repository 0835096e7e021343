#pragma once

#include "rqx2/Rqx2Protocol.h"
#include "support/ProtocolFixture.h"

// The RQX2 protocol on the shared fixture. The pause before each point of a send is recorded
// ("pause 100") instead of taken.
class Rqx2Fixture : public ProtocolFixture {
protected:
    Rqx2Fixture() : ProtocolFixture(false)
    {
        protocol.install(dispatcher.routines());
        protocol.setPause([this](std::chrono::milliseconds pause) {
            log.add(QStringLiteral("pause %1").arg(static_cast<long long>(pause.count())));
        });
    }

    // The instrument's request: "J" CR with one byte in front, so that it meets the receive threshold of 3.
    static QByteArray request() { return fromHex("02 4A 0D"); }

    // A received coordinate record assembled from its fields as they stand on the wire.
    static QByteArray record(const char *current, const char *total, const char *number, const char *name,
                             const char *north, const char *east, const char *height)
    {
        return QByteArray("\x02") + current + total + number + name + north + east + height + "\r";
    }

    Rqx2Protocol protocol{state, link, table, view};
};
