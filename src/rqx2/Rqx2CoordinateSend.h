#pragma once

#include "Rqx2Transfer.h"

class CoordinateTableModel;

// The main table's points to an RQX2 instrument: every request "J" CR, the first included, asks for
// the next point, which follows a pause the instrument needs to be ready for it. After the last
// point the port is closed once the record has left, and the user is told.
class Rqx2CoordinateSend : public Rqx2Transfer {
public:
    Rqx2CoordinateSend(const CoordinateTableModel &table, bool nez);

    // Every row is checked first: a row the instrument cannot take would otherwise be found only in
    // the middle of the send, with part of the table already in the instrument.
    TransferActions start() override;
    QString kind() const override { return QStringLiteral("rqx2-coordinate-send"); }

    // The pause before each point of a send; a benchmark sets it to 0 to measure the program's own time.
    static constexpr int kSendPauseMs = 100;
    void setSendPause(int milliseconds) { m_sendPause = milliseconds; }

protected:
    char transferKindByte() const override { return 0x01; }
    bool sends() const override { return true; }
    int bytesPerRecord() const override;
    // As after the last point: the port closed once the record on its way has left, so the
    // instrument gets it whole.
    void stopping(TransferActions &actions) override
    {
        actions.push_back(TransferAction::of(TransferAction::ClosePort));
    }
    void handle(const QByteArray &frame, int end, Rqx2Frames::Frame kind, TransferActions &actions) override;

private:
    void SendRqx2NextCoordinate(TransferActions &actions);

    const CoordinateTableModel &m_table;
    bool m_nez;
    int m_sendPause = kSendPauseMs;
};
