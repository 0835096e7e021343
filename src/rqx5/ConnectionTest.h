#pragma once

#include "Rqx5Transfer.h"

// The main window's 连接测试: the port button's state is worked (a port shown as closed is opened,
// an open one closed and opened again, so the port is open afterwards), then the test pair
// 0xAA 0xBB is sent. An RQX5 instrument answers with the same pair; with the RQX2 series the answer
// is not looked for. There is no time-out: without an answer the test simply stays shown.
class ConnectionTest : public Rqx5Transfer {
public:
    // portShownClosed: the main window shows the port closed.
    ConnectionTest(bool rqx5, bool portShownClosed) : m_rqx5(rqx5), m_portShownClosed(portShownClosed) {}

    TransferActions start() override { return RunConnectionTest(); }
    QString kind() const override { return QStringLiteral("connection-test"); }

    TransferActions RunConnectionTest();

protected:
    // The instrument answers the test pair the same with either series.
    TransferEvents::Series series() const override
    {
        return m_rqx5 ? TransferEvents::Series::Rqx5 : TransferEvents::Series::Rqx2;
    }
    int frameEnd(const FrameBuffer &bytes) const override;
    void handle(const QByteArray &frame, int end, TransferActions &actions) override;

private:
    bool m_rqx5;
    bool m_portShownClosed;
};
