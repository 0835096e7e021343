#include "Rqx5MeasurementReceive.h"

#include "Rqx5Decode.h"
#include "Rqx5Frames.h"
#include "Rqx5MeasurementColumns.h"
#include "Rqx5Protocol.h"
#include "core/AppState.h"
#include "core/MeasurementTableModel.h"
#include "core/Rqx5MeasurementView.h"
#include "serial/Frames.h"
#include "serial/ReceiveDispatcher.h"
#include "serial/SerialLink.h"

#include <QStringList>
#include <array>

const QString Rqx5MeasurementReceive::kDamagedHeader =
    QStringLiteral("收到的数据文件头不完整，未接收。请在全站仪上重新发送数据文件！");
const QString Rqx5MeasurementReceive::kDamagedDataFileRecord =
    QStringLiteral("收到一条不完整的数据文件记录，该记录未保存。请在全站仪上重新发送数据文件！");
const QString Rqx5MeasurementReceive::kDamagedMeasurement =
    QStringLiteral("收到一条不完整的测量数据，该数据未保存。");

namespace {

const QString kErrorTitle = QStringLiteral("错误提示");
const QByteArray kNextPair(Frames::kRqx5NextPair, 2);

// Frame lengths; the receive threshold is set to the length of the frame expected next. A
// measurement record is taken by its terminator: the threshold is the shortest record's length, so
// a record of any kind becomes a row as soon as its terminator is in, whatever follows it.
constexpr int kHeaderLength = 33;
constexpr int kRecordLength = 246;
constexpr int kShortestMeasurementLength = 30;

// The ReceiveBuffer's bound after each acknowledgement: a data-file record is received next.
constexpr int kAcknowledgedBufferBound = 50000;
constexpr int kCharCodeTableBound = 300;

// Data-file header, in RecordBuffer positions (block byte k + 1 is position k).
constexpr int kNameFirst = 1, kNameLast = 12;
constexpr int kCountHigh = 13, kCountLow = 14;
constexpr int kNumberFirst = 15, kNumberLast = 23;
constexpr int kDateFirst = 24, kDateLast = 29;
// The count is read unsigned: 0 to 65535.
constexpr int kCountBase = 256;

// Data-file record: 20 text fields one after the other from block byte 1, the terminator at 245.
constexpr std::array<int, Rqx5MeasurementColumns::kDataFileSubitems> kFieldWidths = {
    8, 8, 14, 14, 14, 14, 8, 8, 14, 8, 8, 14, 14, 14, 14, 14, 14, 14, 14, 14};
constexpr int kRecordLastDecoded = kRecordLength - 2;
// Field k is held in MeasText k for k = 1..16 and in MeasText k + 1 for k = 17..20; MeasText k is
// MeasText[k - 1].
constexpr int measTextOfField(int k)
{
    return k <= 16 ? k - 1 : k;
}
// Subitems that change places under ENZ: the station's and the point's N and E.
constexpr int kStationNorth = 4, kStationEast = 5, kPointNorth = 18, kPointEast = 19;

// Measurement records: 14-character fields from block byte 1, the kind's terminator after the
// last field it carries, or at byte 57 when the instrument pads the record with spaces.
constexpr int kMeasurementFieldWidth = 14;
constexpr int kPaddedTerminatorAt = 57;
constexpr int kMeasurementLastDecoded = kPaddedTerminatorAt - 2;
enum MeasuredValue {
    HorizontalAngle,
    VerticalAngle,
    SlopeDistance,
    HeightDifference,
    HorizontalDistance,
    North,
    East,
    Height,
    kMeasuredValues
};
// MeasText12..16, 19..21 hold them.
constexpr std::array<int, kMeasuredValues> kMeasTextOf = {11, 12, 13, 14, 15, 18, 19, 20};
struct MeasurementKind {
    int terminatorAt;
    std::array<int, 4> fields; // the values of bytes 1-14, 15-28, 29-42, 43-56; -1: none
};
constexpr std::array<MeasurementKind, 4> kKinds = {{
    {29, {HorizontalAngle, VerticalAngle, -1, -1}},
    {43, {HorizontalAngle, VerticalAngle, SlopeDistance, -1}},
    {57, {HorizontalAngle, VerticalAngle, HorizontalDistance, HeightDifference}},
    {43, {North, East, Height, -1}},
}};

} // namespace

Rqx5MeasurementReceive::Rqx5MeasurementReceive(AppState &state, SerialLink &link, MeasurementTableModel &list,
                                               Rqx5MeasurementView &view)
    : m_state(state), m_link(link), m_list(list), m_view(view)
{
}

void Rqx5MeasurementReceive::install(ReceiveRoutines &routines, Rqx5Protocol &protocol)
{
    routines.ReceiveRqx5DataFileRecord = [this] { ReceiveRqx5DataFileRecord(); };
    routines.ReceiveRqx5MeasurementRecord = [this] { ReceiveRqx5MeasurementRecord(); };
    protocol.setDataFileHeaderHandler([this] { ReceiveRqx5DataFileHeader(); });
}

bool Rqx5MeasurementReceive::StartRqx5DataFileReceive()
{
    // A header's count byte may happen to be a measurement terminator: only a measurement receive
    // takes those bytes for records.
    m_state.Rqx5MeasureReceiveStarted = false;
    return prepare(kHeaderLength);
}

bool Rqx5MeasurementReceive::StartRqx5MeasurementReceive()
{
    m_state.Rqx5MeasureReceiveStarted = true;
    return prepare(kShortestMeasurementLength);
}

bool Rqx5MeasurementReceive::prepare(int receiveThreshold)
{
    // The next header belongs to this window, even after a coordinate receive from the main window.
    m_state.Rqx5MeasureWindowOpen = true;
    m_state.RecordBuffer.reallocate(Rqx5Frames::kPreparedBufferBound);
    m_state.ReceiveBuffer.reallocate(Rqx5Frames::kPreparedBufferBound);
    resetPort();
    m_link.setReceiveThreshold(receiveThreshold);
    if (!openPort())
        return false;
    m_state.TransferUnderway = true;
    return true;
}

void Rqx5MeasurementReceive::ReceiveRqx5DataFileHeader()
{
    // LoopIndex stands at the 0x82 that closes the header: byte 32 of a whole one.
    if (m_state.LoopIndex != kHeaderLength - 1) {
        rejectDataFileFrame(kDamagedHeader, kHeaderLength);
        return;
    }
    m_view.selectMeasurementData();
    m_view.setStatus(QStringLiteral("正在接收数据..."));
    Rqx5Decode::recordBuffer(m_state, kNameFirst, kDateLast);
    m_view.setFileName(Rqx5Decode::characters(m_state, kNameFirst, kNameLast));
    m_state.Rqx5Count = m_state.RecordBuffer.at(kCountHigh) * kCountBase + m_state.RecordBuffer.at(kCountLow);
    m_view.setCount(QString::number(m_state.Rqx5Count));
    m_view.setInstrumentNumber(Rqx5Decode::characters(m_state, kNumberFirst, kNumberLast));
    m_view.setDate(Rqx5Decode::characters(m_state, kDateFirst, kDateLast));
    AcknowledgeRqx5DataFileRecord();
}

void Rqx5MeasurementReceive::AcknowledgeRqx5DataFileRecord()
{
    m_state.ReceiveBuffer.reallocate(kAcknowledgedBufferBound);
    resetPort();
    if (m_state.Rqx5Count == m_state.RecordCount) {
        // Every announced record is in: only the instrument's bare end frame is still to come.
        m_link.setReceiveThreshold(Rqx5Frames::kControlLength);
        if (!openPort())
            return;
        m_view.setStatus(QStringLiteral("接收完毕！"));
        m_view.setCount(QString::number(m_list.count()));
    } else {
        m_link.setReceiveThreshold(kRecordLength);
        if (!openPort())
            return;
    }
    if (!m_link.write(kNextPair))
        m_view.reportPortFailure();
}

void Rqx5MeasurementReceive::ReceiveRqx5DataFileRecord()
{
    if (m_state.LoopIndex != kRecordLength - 1) {
        rejectDataFileFrame(kDamagedDataFileRecord, kRecordLength);
        return;
    }
    const long index = ++m_state.RecordCount;
    m_state.reallocateCharCodeTable(kCharCodeTableBound);
    m_view.setCount(QStringLiteral("%1/%2").arg(index).arg(m_state.Rqx5Count));
    m_state.RecordBuffer.copyShiftedFrom(m_state.ReceiveBuffer);
    Rqx5Decode::recordBuffer(m_state, 0, kRecordLastDecoded);

    // Only this record's texts are emptied: emptying every record's would cost a pass over all the
    // records received so far, for each record.
    for (TextStore &texts : m_state.MeasText)
        texts.set(index, QString());
    QStringList cells;
    cells.reserve(Rqx5MeasurementColumns::kDataFileSubitems + 1);
    cells.append(QString::number(m_list.count() + 1));
    int first = 0;
    for (int k = 1; k <= Rqx5MeasurementColumns::kDataFileSubitems; ++k) {
        const int width = kFieldWidths[static_cast<size_t>(k - 1)];
        TextStore &texts = m_state.MeasText[static_cast<size_t>(measTextOfField(k))];
        texts.set(index, Rqx5Decode::characters(m_state, first, first + width - 1));
        cells.append(texts.at(index));
        first += width;
    }
    if (!m_state.nez()) {
        cells.swapItemsAt(kStationNorth, kStationEast);
        cells.swapItemsAt(kPointNorth, kPointEast);
    }
    if (m_list.count() == 0)
        SetRqx5DataFileColumns(m_list, m_state.nez());
    m_list.append(cells);

    AcknowledgeRqx5DataFileRecord();
}

bool Rqx5MeasurementReceive::measurementIsWhole(long terminatorPosition) const
{
    const int kind = m_state.Rqx5DataKind;
    if (kind < 1 || kind > static_cast<int>(kKinds.size()))
        return false;
    return terminatorPosition == kKinds[static_cast<size_t>(kind - 1)].terminatorAt ||
           terminatorPosition == kPaddedTerminatorAt;
}

void Rqx5MeasurementReceive::ReceiveRqx5MeasurementRecord()
{
    // Nothing is cleared here: the records that follow this one in the same read are still to come.
    if (!measurementIsWhole(m_state.LoopIndex)) {
        m_view.showMessage(kErrorTitle, kDamagedMeasurement);
        return;
    }
    const MeasurementKind &kind = kKinds[static_cast<size_t>(m_state.Rqx5DataKind - 1)];
    const long index = ++m_state.RecordCount;
    m_state.reallocateCharCodeTable(kCharCodeTableBound);
    m_state.RecordBuffer.copyShiftedFrom(m_state.ReceiveBuffer);
    Rqx5Decode::recordBuffer(m_state, 0, kMeasurementLastDecoded);

    std::array<QString, kMeasuredValues> values;
    for (size_t f = 0; f < kind.fields.size(); ++f) {
        if (kind.fields[f] < 0)
            continue;
        const int first = static_cast<int>(f) * kMeasurementFieldWidth;
        values[static_cast<size_t>(kind.fields[f])] =
            Rqx5Decode::characters(m_state, first, first + kMeasurementFieldWidth - 1);
    }
    for (int v = 0; v < kMeasuredValues; ++v)
        m_state.MeasText[static_cast<size_t>(kMeasTextOf[static_cast<size_t>(v)])].set(index,
                                                                                       values[size_t(v)]);

    // Each measurement is whole in itself: a cable unplugged after one (when the surveyor is done)
    // loses nothing and is left to the next command to find.
    m_state.TransferUnderway = false;
    if (m_list.count() == 0)
        SetRqx5MeasurementColumns(m_list, m_state.nez());
    const bool nez = m_state.nez();
    m_list.append(QStringList{
        QString::number(m_list.count() + 1), QString::number(index), values[HorizontalAngle],
        values[VerticalAngle], values[SlopeDistance], values[HeightDifference], values[HorizontalDistance],
        nez ? values[North] : values[East], nez ? values[East] : values[North], values[Height]});
}

void Rqx5MeasurementReceive::rejectDataFileFrame(const QString &message, int expectedLength)
{
    m_state.ReceiveBuffer.reallocate(kAcknowledgedBufferBound);
    m_link.clearInput();
    m_link.setReceiveThreshold(expectedLength);
    m_view.showMessage(kErrorTitle, message);
}

void Rqx5MeasurementReceive::resetPort()
{
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(Rqx5Frames::kSendThreshold);
}

bool Rqx5MeasurementReceive::openPort()
{
    if (m_link.openIfClosed())
        return true;
    m_view.reportPortFailure();
    return false;
}
