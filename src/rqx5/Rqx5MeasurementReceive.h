#pragma once

#include "Rqx5Transfer.h"

// Single measurements from an RQX5 instrument into the measurement window's list, sent as they are
// measured: 14-character fields and a terminator 0xB2..0xB5 that names the record's kind; none is
// acknowledged, and a bare end frame from the instrument is echoed as every exchange's is.
class Rqx5MeasurementReceive : public Rqx5Transfer {
public:
    explicit Rqx5MeasurementReceive(bool nez) : m_nez(nez) {}

    TransferActions start() override { return StartRqx5MeasurementReceive(); }
    QString kind() const override { return QStringLiteral("rqx5-measurement-receive"); }

    bool midFrame() const override;
    TransferActions StartRqx5MeasurementReceive();
    // Started again, the receive numbers its measurements on from where the one before stood.
    void numberOnFrom(const Rqx5MeasurementReceive &before) { setRecordCount(before.recordCount()); }
    // Numbers its measurements on from count measurements received before.
    void numberOnFrom(long count) { setRecordCount(count); }

    static const QString kDamagedMeasurement;

protected:
    int frameEnd(const FrameBuffer &bytes) const override;
    void handle(const QByteArray &frame, int end, TransferActions &actions) override;

private:
    void ReceiveRqx5MeasurementRecord(const QByteArray &record, int end, TransferActions &actions);
    // The length of the record of the current kind that ends at end: padded or as the kind has it.
    int recordLength(const QByteArray &frame, int end) const;
    static bool isFiller(char byte);
    static bool onlyFillerBefore(const FrameBuffer &bytes, int position);

    bool m_nez;
    // The kind of the record taken last: 1..4 for the terminators 0xB2..0xB5.
    int m_kind = 0;
};
