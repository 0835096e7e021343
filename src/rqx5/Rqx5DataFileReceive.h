#pragma once

#include "Rqx5Transfer.h"

// An RQX5 data file into the measurement window's list: a 33-byte header (name, record count,
// instrument number, date), then one 246-byte record per observation, each answered with
// 0xAA 0x81 as points are; the instrument closes with a bare 0xAA 0x82, echoed once the user has
// read that the transfer is complete.
class Rqx5DataFileReceive : public Rqx5Transfer {
public:
    explicit Rqx5DataFileReceive(bool nez) : m_nez(nez) {}

    TransferActions start() override { return StartRqx5DataFileReceive(); }
    QString kind() const override { return QStringLiteral("rqx5-datafile-receive"); }

    TransferActions StartRqx5DataFileReceive();

    // What the window is told when a frame is not whole (its terminator stands where no frame of its
    // kind ends): the frame is not stored.
    static const QString kDamagedHeader;
    static const QString kDamagedDataFileRecord;

protected:
    int frameEnd(const FrameBuffer &bytes) const override;
    int bytesPerRecord() const override;
    void handle(const QByteArray &frame, int end, TransferActions &actions) override;

private:
    void ReceiveRqx5DataFileHeader(const QByteArray &header, int end, TransferActions &actions);
    void ReceiveRqx5DataFileRecord(const QByteArray &record, TransferActions &actions);
    void AcknowledgeRqx5DataFileRecord(TransferActions &actions);
    // Drops a damaged frame; nothing is acknowledged, so the instrument does not go on as if the
    // frame had been taken.
    void rejectDataFileFrame(const QString &message, TransferActions &actions);

    bool m_nez;
};
