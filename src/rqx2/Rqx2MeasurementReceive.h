#pragma once

#include "Rqx2MeasurementList.h"
#include "Rqx2Transfer.h"

class MeasurementTableModel;

// An RQX2 instrument sends a stored measurement file: after the handshake a header announcing the
// file's name and record count, then station, backsight and measurement records in any order, each
// answered with an acknowledgement before the next one comes. A record is stored, shown as a row of
// the measurement list and acknowledged only once it has wholly arrived, and the transfer ends with
// the record whose number reaches the count, whatever its kind. A send started again on the
// instrument before the last record is answered at once; its header empties the list again.
class Rqx2MeasurementReceive : public Rqx2Transfer {
public:
    explicit Rqx2MeasurementReceive(bool nez) : m_nez(nez) {}

    // The measurement window's 接收数据: the list set up, the port prepared, the status waiting for
    // the instrument's request.
    TransferActions start() override;
    QString kind() const override { return QStringLiteral("rqx2-measurement-receive"); }
    // After the message the transfer waits for the send started again: its request is answered as
    // the first one and its header taken.
    TransferActions silence() override;

    static const QString kComplete;      // "传输完毕！", the completion message
    static const QString kDamagedRecord; // a record not whole, or its counters not four digits

protected:
    char transferKindByte() const override { return 0x05; }
    // A measurement record, the longest and the most frequent, with its acknowledgement.
    int bytesPerRecord() const override;
    void answering(TransferActions &actions) override;
    void handle(const QByteArray &frame, int end, Rqx2Frames::Frame kind, TransferActions &actions) override;

private:
    // A request: answered when it is the first, or when the file is not yet complete (a restart).
    void takeRequest(TransferActions &actions);
    // The bytes before a start byte that never reached their CR.
    void takeBroken(TransferActions &actions);
    // The header, then every station, backsight, measurement or other record.
    void ReceiveRqx2ShortRecord(const QByteArray &frame, int end, TransferActions &actions);
    void ReceiveRqx2LongRecord(const QByteArray &frame, int end, TransferActions &actions)
    {
        ReceiveRqx2ShortRecord(frame, end, actions);
    }
    void takeHeader(const QByteArray &frame, const std::vector<QString> &characters, int end,
                    TransferActions &actions);
    void takeRecord(const QByteArray &frame, const std::vector<QString> &characters, int end,
                    TransferActions &actions);
    void acknowledge(int current, int total, TransferActions &actions);
    void complete(TransferActions &actions);
    // A damaged header or record: nothing stored or answered. The bytes after it stay: they may be
    // the record sent again, or the request of a send started over.
    void reject(TransferActions &actions);
    void startOver();

    // After the answered request the header comes, then the records up to the count.
    enum class Phase { Header, Records, Complete };

    bool m_nez;
    Rqx2MeasurementTexts m_texts;
    Phase m_phase = Phase::Header;
    // The number of the record stored last (0: the header), and its bytes; -1 before the header.
    int m_lastCurrent = -1;
    QByteArray m_lastRecord;
};
