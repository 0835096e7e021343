#include "Rqx5CoordinateSend.h"

#include "Rqx5Frames.h"
#include "Rqx5Record.h"
#include "core/CoordinateTableModel.h"
#include "core/MessageTitles.h"
#include "core/SendCheck.h"

using namespace Rqx5Frames;

namespace {
// The header counts the rows in two bytes; any text of codable characters fits the coordinate fields.
SendLimits sendLimits()
{
    SendLimits limits;
    limits.maxRows = kMaxSendCount;
    return limits;
}
} // namespace

Rqx5CoordinateSend::Rqx5CoordinateSend(const CoordinateTableModel &table, bool nez)
    : m_table(table), m_nez(nez)
{
}

TransferActions Rqx5CoordinateSend::start()
{
    const QString refusal = CheckRowsForSend(m_table, sendLimits());
    if (!refusal.isEmpty())
        return {TransferAction::message(kErrorTitle, refusal)};
    return StartRqx5CoordinateSend();
}

TransferActions Rqx5CoordinateSend::StartRqx5CoordinateSend()
{
    TransferActions actions;
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    const int n = m_table.count();
    if (n < 1) {
        actions.push_back(
            TransferAction::message(MessageTitles::kNotice, QStringLiteral("请首先打开一个坐标数据文件")));
        return actions;
    }
    actions.push_back(TransferAction::write(Rqx5Record::sendHeader(n)));
    setUnderway(true);
    setRecordCount(0);
    setProgress(0, n);
    return actions;
}

int Rqx5CoordinateSend::frameEnd(const FrameBuffer &bytes) const
{
    for (int i = 1; i < bytes.size(); ++i) {
        if (bytes.at(i - 1) == kLead && bytes.at(i) == kNext)
            return i;
        // After the last point the instrument may close with a bare end frame.
        if (i <= 2 && isEndPair(bytes, i))
            return i;
    }
    return -1;
}

void Rqx5CoordinateSend::handle(const QByteArray &frame, int end, TransferActions &actions)
{
    if (frameByte(frame, end) == kNext) {
        countRecord();
        SendRqx5NextCoordinate(actions);
        return;
    }
    actions.push_back(TransferAction::message(MessageTitles::kSuccess, QStringLiteral("数据传输完毕！")));
    EchoRqx5EndFrame(actions);
}

int Rqx5CoordinateSend::bytesPerRecord() const
{
    return kCoordinateRecordLength + static_cast<int>(kNextPair.size());
}

void Rqx5CoordinateSend::SendRqx5NextCoordinate(TransferActions &actions)
{
    const long k = recordCount();
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    const int rows = m_table.count();
    if (k >= 1 && k <= rows) {
        actions.push_back(TransferAction::show(TransferEvents::Progress{k, rows}));
        actions.push_back(status(TransferEvents::State::Sending));
        const int row = static_cast<int>(k);
        // The table was checked when the send started, but it can be edited while the send runs.
        QString refusal = CheckRowCountForSend(rows, sendLimits());
        if (refusal.isEmpty())
            refusal = CheckRowForSend(m_table, row, sendLimits());
        // N always goes first on the wire, whichever column shows it.
        const QString first = m_table.cell(row, 3);
        const QString second = m_table.cell(row, 4);
        const auto record = refusal.isEmpty()
                                ? Rqx5Record::coordinateRecord(m_table.cell(row, 1), m_table.cell(row, 2),
                                                               m_nez ? first : second, m_nez ? second : first,
                                                               m_table.cell(row, 5))
                                : std::nullopt;
        if (!record) {
            actions.push_back(status(TransferEvents::State::Idle));
            actions.push_back(TransferAction::message(kErrorTitle, refusal));
            return;
        }
        actions.push_back(TransferAction::write(*record));
        setProgress(k, rows);
        return;
    }
    setUnderway(false);
    actions.push_back(status(TransferEvents::State::Sent));
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(kEndPair));
}
