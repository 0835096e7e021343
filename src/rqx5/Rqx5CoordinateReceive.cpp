#include "Rqx5CoordinateReceive.h"

#include "Rqx5Decode.h"
#include "Rqx5Frames.h"
#include "Rqx5Record.h"

using namespace Rqx5Frames;

namespace {
// The 14th character of a received coordinate is not taken; this digit stands in for it.
const QString kCoordinateTail = QStringLiteral("0");
} // namespace

TransferActions Rqx5CoordinateReceive::StartRqx5CoordinateReceive()
{
    TransferActions actions;
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    setUnderway(true);
    return actions;
}

const QString Rqx5CoordinateReceive::kDamagedRecord =
    QStringLiteral("收到一条损坏的坐标数据（长度不对），该点未保存。请在全站仪上重新发送坐标数据！");

const QString Rqx5CoordinateReceive::kDamagedHeader =
    QStringLiteral("收到的坐标数据头损坏（长度不对），未接收。请在全站仪上重新发送坐标数据！");

int Rqx5CoordinateReceive::frameEnd(const FrameBuffer &bytes) const
{
    for (int i = 1; i < bytes.size(); ++i) {
        if (isEndPair(bytes, i))
            return isBareEndFrame(i) ? i : headerEnd(bytes, i, kCoordinateHeaderLength);
        if (bytes.at(i) == kCoordinateEnd && i > kCoordinateEndAfter)
            return i;
    }
    return -1;
}

void Rqx5CoordinateReceive::handle(const QByteArray &frame, int end, TransferActions &actions)
{
    if (frameByte(frame, end) == kCoordinateEnd) {
        // The line carries no checksum: a record is whole when its 60 bytes run from the start byte
        // to the terminator. Bytes before those 60 are the rest of an earlier frame; a record with a
        // byte lost or added would be stored shifted, so it is refused and not acknowledged.
        const int first = end + 1 - kCoordinateRecordLength;
        if (first < 0 || frameByte(frame, first) != kCoordinateStart) {
            actions.push_back(TransferAction::message(kErrorTitle, kDamagedRecord));
            return;
        }
        ReceiveRqx5CoordinateRecord(frame.mid(first), actions);
    } else if (!isBareEndFrame(end)) {
        // A header with a byte lost or added would show another name and count: refused and not
        // acknowledged, so that the instrument starts over.
        const QByteArray header = ownHeader(frame, kCoordinateHeaderLength);
        if (header.isEmpty()) {
            actions.push_back(TransferAction::message(kErrorTitle, kDamagedHeader));
            return;
        }
        ReceiveRqx5DataBlock(header, actions);
    } else {
        // The completion is read before the echo lets the instrument end its send.
        actions.push_back(TransferAction::message(MessageTitles::kSuccess, QStringLiteral("数据传输完毕！")));
        EchoRqx5EndFrame(actions);
    }
}

int Rqx5CoordinateReceive::bytesPerRecord() const
{
    return kCoordinateRecordLength + static_cast<int>(kNextPair.size());
}

void Rqx5CoordinateReceive::ReceiveRqx5DataBlock(const QByteArray &header, TransferActions &actions)
{
    beginAttempt(actions);
    // From its header on the exchange is under way, also when the instrument began it on its own.
    setUnderway(true);
    const int nameLast = kHeaderNameFirst + kHeaderNameLength - 1;
    announce(frameByte(header, kHeaderCountHigh + 1) * kHeaderCountBase +
             frameByte(header, kHeaderCountLow + 1));
    actions.push_back(TransferAction::show(TransferEvents::FileAnnounced{
        Rqx5Decode::characters(header, kHeaderNameFirst, nameLast), announced(), {}, {}}));
    setProgress(0, announced());
    AcknowledgeRqx5CoordinateRecord(actions);
}

void Rqx5CoordinateReceive::ReceiveRqx5CoordinateRecord(const QByteArray &record, TransferActions &actions)
{
    setDone(countRecord());
    actions.push_back(status(TransferEvents::State::Receiving));
    const QString number = Rqx5Decode::withoutSpaces(record, kNumberFirst, kNumberLast);
    const QString name = Rqx5Decode::withoutSpaces(record, kNameFirst, kNameLast);
    const QString north = Rqx5Decode::withoutSpaces(record, kNorthFirst, kNorthLast) + kCoordinateTail;
    const QString east = Rqx5Decode::withoutSpaces(record, kEastFirst, kEastLast) + kCoordinateTail;
    const QString height = Rqx5Decode::withoutSpaces(record, kHeightFirst, kHeightLast) + kCoordinateTail;

    // Numbered after the rows the table holds: the points are added to them.
    actions.push_back(
        TransferAction::show(TransferEvents::Row{TransferEvents::RecordKind::Point,
                                                 m_nez,
                                                 std::nullopt,
                                                 {Rqx5Record::receivedPointNumber(number), name,
                                                  m_nez ? north : east, m_nez ? east : north, height}}));
    AcknowledgeRqx5CoordinateRecord(actions);
}

void Rqx5CoordinateReceive::AcknowledgeRqx5CoordinateRecord(TransferActions &actions)
{
    resetPort(actions);
    if (announced() == recordCount()) {
        // Every announced point is in: only the instrument's bare end frame is still to come.
        endAttempt();
        actions.push_back(TransferAction::of(TransferAction::OpenPort));
        actions.push_back(status(TransferEvents::State::Received));
    } else {
        actions.push_back(TransferAction::show(TransferEvents::Progress{recordCount(), announced()}));
        actions.push_back(TransferAction::of(TransferAction::OpenPort));
    }
    actions.push_back(TransferAction::write(kNextPair));
}
