#pragma once

#include "Rqx5Transfer.h"

class MeasurementTableModel;

// Single measurements from an RQX5 instrument into the measurement window's list, sent as they are
// measured: 14-character fields and a terminator 0xB2..0xB5 that names the record's kind; none is
// acknowledged, and a bare end frame from the instrument is echoed as every exchange's is.
class Rqx5MeasurementReceive : public Rqx5Transfer {
public:
    Rqx5MeasurementReceive(const MeasurementTableModel &list, bool nez);

    TransferActions start() override { return StartRqx5MeasurementReceive(); }
    QString kind() const override { return QStringLiteral("rqx5-measurement-receive"); }

    TransferActions take(QByteArrayView bytes) override;
    bool midFrame() const override;
    TransferActions StartRqx5MeasurementReceive();

    // The kind of the record taken last: 1..4 for the terminators 0xB2..0xB5.
    int Rqx5DataKind = 0;

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

    const MeasurementTableModel &m_list;
    bool m_nez;
    int m_rowsAdded = 0; // rows of this take not yet in the list
};
