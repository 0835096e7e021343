#include "Rqx5DataFileReceive.h"

#include "Rqx5Decode.h"
#include "Rqx5Frames.h"
#include "Rqx5MeasurementColumns.h"

#include <QStringList>
#include <array>

const QString Rqx5DataFileReceive::kDamagedHeader =
    QStringLiteral("收到的数据文件头不完整，未接收。请在全站仪上重新发送数据文件！");
const QString Rqx5DataFileReceive::kDamagedDataFileRecord =
    QStringLiteral("收到一条不完整的数据文件记录，该记录未保存。请在全站仪上重新发送数据文件！");

namespace {
constexpr int kHeaderLength = 33;
constexpr int kRecordLength = 246;

// Data-file header, in record positions (frame byte k + 1 is position k).
constexpr int kNameFirst = 1, kNameLast = 12;
constexpr int kCountHigh = 13, kCountLow = 14;
constexpr int kNumberFirst = 15, kNumberLast = 23;
constexpr int kDateFirst = 24, kDateLast = 29;
// The count is read unsigned: 0 to 65535.
constexpr int kCountBase = 256;

// Data-file record: 20 text fields one after the other from record position 0, the terminator at 245.
constexpr std::array<int, Rqx5MeasurementColumns::kDataFileSubitems> kFieldWidths = {
    8, 8, 14, 14, 14, 14, 8, 8, 14, 8, 8, 14, 14, 14, 14, 14, 14, 14, 14, 14};
// Fields that change places under ENZ: the station's and the point's N and E.
constexpr int kStationNorth = 3, kStationEast = 4, kPointNorth = 17, kPointEast = 18;
} // namespace

TransferActions Rqx5DataFileReceive::StartRqx5DataFileReceive()
{
    TransferActions actions;
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    setUnderway(true);
    return actions;
}

int Rqx5DataFileReceive::frameEnd(const FrameBuffer &bytes) const
{
    // Only this transfer's own frames count: a header whose count bytes happen to be 0xAA 0x81 or
    // 0xAA 0xBB is no acknowledgement or connection test, and one whose count bytes are 0xAA 0x82
    // ends at its own terminator.
    for (int i = 1; i < bytes.size(); ++i) {
        if (isEndPair(bytes, i))
            return isBareEndFrame(i) ? i : headerEnd(bytes, i, kHeaderLength);
        if (bytes.at(i) == Rqx5Frames::kDataFileEnd && i > Rqx5Frames::kDataFileEndAfter)
            return i;
    }
    return -1;
}

void Rqx5DataFileReceive::handle(const QByteArray &frame, int end, TransferActions &actions)
{
    if (frameByte(frame, end) == Rqx5Frames::kDataFileEnd) {
        // The instrument sends a record again when its terminator was lost: the remains of the first
        // go, the record is taken whole.
        const int first = countedBack(end, kRecordLength);
        if (first < 0) {
            rejectDataFileFrame(kDamagedDataFileRecord, actions);
            return;
        }
        ReceiveRqx5DataFileRecord(frame.mid(first), actions);
    } else if (!isBareEndFrame(end)) {
        const QByteArray header = ownHeader(frame, kHeaderLength);
        ReceiveRqx5DataFileHeader(header, static_cast<int>(header.size()) - 1, actions);
    } else {
        // Told over the measurement window that received the file, which the surveyor is looking at.
        actions.push_back(TransferAction::message(MessageTitles::kSuccess, QStringLiteral("数据传输完毕！")));
        EchoRqx5EndFrame(actions);
    }
}

void Rqx5DataFileReceive::ReceiveRqx5DataFileHeader(const QByteArray &header, int end,
                                                    TransferActions &actions)
{
    if (end != kHeaderLength - 1) {
        rejectDataFileFrame(kDamagedHeader, actions);
        return;
    }
    beginAttempt(actions);
    actions.push_back(status(TransferEvents::State::Receiving));
    announce(frameByte(header, kCountHigh + 1) * kCountBase + frameByte(header, kCountLow + 1));
    actions.push_back(TransferAction::show(
        TransferEvents::FileAnnounced{Rqx5Decode::characters(header, kNameFirst, kNameLast), announced(),
                                      Rqx5Decode::characters(header, kNumberFirst, kNumberLast),
                                      Rqx5Decode::characters(header, kDateFirst, kDateLast)}));
    setProgress(0, announced());
    AcknowledgeRqx5DataFileRecord(actions);
}

int Rqx5DataFileReceive::bytesPerRecord() const
{
    return kRecordLength + static_cast<int>(Rqx5Frames::kNextPair.size());
}

void Rqx5DataFileReceive::AcknowledgeRqx5DataFileRecord(TransferActions &actions)
{
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    if (announced() == recordCount()) {
        // Every announced record is in: only the instrument's bare end frame is still to come.
        endAttempt();
        actions.push_back(status(TransferEvents::State::Received));
    }
    actions.push_back(TransferAction::write(Rqx5Frames::kNextPair));
}

void Rqx5DataFileReceive::ReceiveRqx5DataFileRecord(const QByteArray &record, TransferActions &actions)
{
    const long index = countRecord();
    setDone(index);
    actions.push_back(TransferAction::show(TransferEvents::Progress{index, announced()}));

    QStringList cells;
    cells.reserve(Rqx5MeasurementColumns::kDataFileSubitems);
    int first = 0;
    for (const int width : kFieldWidths) {
        cells.append(Rqx5Decode::characters(record, first, first + width - 1));
        first += width;
    }
    if (!m_nez) {
        cells.swapItemsAt(kStationNorth, kStationEast);
        cells.swapItemsAt(kPointNorth, kPointEast);
    }
    // Numbered after the rows the list holds: a file is added to the records of its kind.
    actions.push_back(TransferAction::show(
        TransferEvents::Row{TransferEvents::RecordKind::Rqx5DataFile, m_nez, std::nullopt, cells}));
    AcknowledgeRqx5DataFileRecord(actions);
}

void Rqx5DataFileReceive::rejectDataFileFrame(const QString &message, TransferActions &actions)
{
    // The bytes after the damaged frame stay: the instrument starting over sends its header next.
    actions.push_back(TransferAction::message(kErrorTitle, message));
}
