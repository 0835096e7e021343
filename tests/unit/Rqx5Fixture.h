#pragma once

#include "rqx5/Rqx5Protocol.h"
#include "support/ProtocolFixture.h"

// The RQX5 protocol on the shared fixture.
class Rqx5Fixture : public ProtocolFixture {
protected:
    Rqx5Fixture() : ProtocolFixture(true) { protocol.install(dispatcher.routines()); }

    Rqx5Protocol protocol{state, link, table, view};
};
