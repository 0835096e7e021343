#include "Rqx2CoordinateSend.h"

#include "Rqx2CoordinateRecord.h"
#include "core/CoordinateTableModel.h"
#include "core/MessageTitles.h"
#include "core/SendCheck.h"

Rqx2CoordinateSend::Rqx2CoordinateSend(const CoordinateTableModel &table, bool nez)
    : m_table(table), m_nez(nez)
{
}

TransferActions Rqx2CoordinateSend::start()
{
    const QString refusal = CheckRowsForSend(m_table, Rqx2CoordinateRecord::sendLimits());
    if (!refusal.isEmpty())
        return {TransferAction::message(kErrorTitle, refusal)};
    setRecordCount(0);
    setProgress(0, m_table.count());
    return PrepareRqx2Transfer();
}

void Rqx2CoordinateSend::handle(const QByteArray &, int, Rqx2Frames::Frame kind, TransferActions &actions)
{
    if (kind != Rqx2Frames::Frame::Handshake)
        return;
    AnswerRqx2Handshake(actions);
    // Every request, the first included, asks for the next point.
    actions.push_back(TransferAction::pause(m_sendPause));
    SendRqx2NextCoordinate(actions);
}

int Rqx2CoordinateSend::bytesPerRecord() const
{
    return Rqx2CoordinateRecord::kLength + kRequestLength;
}

void Rqx2CoordinateSend::SendRqx2NextCoordinate(TransferActions &actions)
{
    actions.push_back(status(TransferEvents::State::AwaitingRequest));
    const long record = countRecord();
    const int n = m_table.count();
    if (n < record) {
        if (n == 0) {
            actions.push_back(TransferAction::message(MessageTitles::kNotice,
                                                      QStringLiteral("请首先打开一个坐标数据文件")));
            actions.push_back(TransferAction::of(TransferAction::EndProgram));
        }
        // Every row has been sent: a late request gets nothing.
        return;
    }

    // Only the input is discarded. The output can hold nothing but the handshake answer written
    // just before the pause, and a short pause (or a slow line) would cut it off.
    clearInput(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::show(TransferEvents::Progress{record, n}));
    actions.push_back(status(TransferEvents::State::Sending));

    // The table was checked when the send started, but it can be edited while the send runs.
    const SendLimits limits = Rqx2CoordinateRecord::sendLimits();
    QString refusal = CheckRowCountForSend(n, limits);
    if (refusal.isEmpty())
        refusal = CheckRowForSend(m_table, static_cast<int>(record), limits);
    const CoordinatePoint row = m_table.point(static_cast<int>(record));
    const auto bytes = refusal.isEmpty()
                           ? Rqx2CoordinateRecord::encode(static_cast<int>(record), n, row.number, row.name,
                                                          m_nez ? row.first : row.second,
                                                          m_nez ? row.second : row.first, row.height)
                           : std::nullopt;
    if (!bytes) {
        actions.push_back(status(TransferEvents::State::Idle));
        actions.push_back(TransferAction::message(kErrorTitle, refusal));
        return;
    }
    actions.push_back(TransferAction::write(*bytes));
    setProgress(record, n);
    if (record == n) {
        setUnderway(false);
        actions.push_back(status(TransferEvents::State::Idle));
        // The port is closed once the record has left, so the instrument gets all of it.
        actions.push_back(TransferAction::of(TransferAction::ClosePort));
        actions.push_back(
            TransferAction::message(MessageTitles::kSuccess, QStringLiteral("坐标数据发送完毕！")));
    }
}
