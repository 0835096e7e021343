#pragma once

#include "Rqx2Transfer.h"

#include <vector>

// Coordinates from an RQX2 instrument into the main table: after the handshake one 63-byte record
// per point, each answered with an acknowledgement that repeats its counters; the completion
// message comes before the last acknowledgement, as the instrument ends its send only once the
// user has closed it. A send started again on the instrument before its last record takes the
// place of the unfinished one, so the table holds the file once.
class Rqx2CoordinateReceive : public Rqx2Transfer {
public:
    explicit Rqx2CoordinateReceive(bool nez) : m_nez(nez) {}

    TransferActions start() override { return PrepareRqx2Transfer(); }
    QString kind() const override { return QStringLiteral("rqx2-coordinate-receive"); }

    static const QString kDamagedRecord; // a record of the wrong length or whose counters are not four digits

protected:
    char transferKindByte() const override { return 0x01; }
    int bytesPerRecord() const override;
    void answering(TransferActions &actions) override;
    void handle(const QByteArray &frame, int end, Rqx2Frames::Frame kind, TransferActions &actions) override;
    // One byte before the start byte is a record in the shifted layout.
    int leadBytes() const override { return 1; }

private:
    // A request: the first of an attempt answered; one while an attempt is unfinished starts it over.
    void takeRequest(TransferActions &actions);
    void ReceiveRqx2CoordinateRecord(const QByteArray &frame, int end, TransferActions &actions);
    // The port's buffers emptied, the actions before, then the acknowledgement.
    void acknowledge(int current, int total, TransferActions &actions, const TransferActions &before = {});
    // Nothing is stored and nothing is acknowledged; a new handshake request starts the transfer over.
    // The bytes after the damaged record stay: they may be that request.
    void rejectDamagedRecord(TransferActions &actions);

    // Idle until the first request is answered; an attempt is open from then until its last record.
    enum class Phase { Idle, Attempt };

    bool m_nez;
    Phase m_phase = Phase::Idle;
    // The record count when the attempt began: the rows counted since are the attempt's own.
    long m_recordCountBeforeAttempt = 0;
    // The record stored last, from its start byte, and its number: a record sent again is known by them.
    QByteArray m_lastRecord;
    int m_lastCurrent = -1;
};
