#pragma once

#include "Rqx5Transfer.h"

// Coordinates from an RQX5 instrument into the main table: an 18-byte header with the file's name
// and point count, then one 60-byte record per point, each answered with 0xAA 0x81; the instrument
// closes with a bare 0xAA 0x82, which the program echoes once the user has read that the transfer
// is complete.
class Rqx5CoordinateReceive : public Rqx5Transfer {
public:
    explicit Rqx5CoordinateReceive(bool nez) : m_nez(nez) {}

    TransferActions start() override { return StartRqx5CoordinateReceive(); }
    QString kind() const override { return QStringLiteral("rqx5-coordinate-receive"); }

    TransferActions StartRqx5CoordinateReceive();

    // What the window is told of a record whose terminator or start byte is not where a whole
    // record has them: the point is not stored.
    static const QString kDamagedRecord;
    // What the window is told of a header whose terminator is not where a whole header has it.
    static const QString kDamagedHeader;

protected:
    int frameEnd(const FrameBuffer &bytes) const override;
    int bytesPerRecord() const override;
    void handle(const QByteArray &frame, int end, TransferActions &actions) override;

private:
    void ReceiveRqx5DataBlock(const QByteArray &header, TransferActions &actions);
    void ReceiveRqx5CoordinateRecord(const QByteArray &record, TransferActions &actions);
    void AcknowledgeRqx5CoordinateRecord(TransferActions &actions);

    bool m_nez;
};
