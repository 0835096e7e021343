#pragma once

#include "Rqx5Transfer.h"

class CoordinateTableModel;

// The main table's points to an RQX5 instrument: a six-byte header with the count, then the
// instrument paces the send, asking for each point with 0xAA 0x81; once every row is sent each
// request is answered with 0xAA 0x82. The table is read at the moment of each request.
class Rqx5CoordinateSend : public Rqx5Transfer {
public:
    Rqx5CoordinateSend(const CoordinateTableModel &table, bool nez);

    // Every row is checked first: nothing goes out, not even the header, unless all can be sent.
    TransferActions start() override;
    QString kind() const override { return QStringLiteral("rqx5-coordinate-send"); }

    TransferActions StartRqx5CoordinateSend();

protected:
    int frameEnd(const FrameBuffer &bytes) const override;
    bool sends() const override { return true; }
    int bytesPerRecord() const override;
    void handle(const QByteArray &frame, int end, TransferActions &actions) override;

private:
    void SendRqx5NextCoordinate(TransferActions &actions);

    const CoordinateTableModel &m_table;
    bool m_nez;
};
