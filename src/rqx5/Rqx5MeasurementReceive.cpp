#include "Rqx5MeasurementReceive.h"

#include "Rqx5Decode.h"
#include "Rqx5Frames.h"

#include <QStringList>
#include <algorithm>
#include <array>

using namespace Rqx5Frames;

const QString Rqx5MeasurementReceive::kDamagedMeasurement =
    QStringLiteral("收到一条不完整的测量数据，该数据未保存。");

namespace {
// 14-character fields from record position 0, the kind's terminator after the last field it
// carries, or at byte 57 when the instrument pads the record with spaces.
constexpr int kMeasurementFieldWidth = 14;
constexpr int kPaddedTerminatorAt = 57;
// What an instrument may fill a block with after a record's terminator.
constexpr char kNulFiller = '\0';
constexpr char kSpaceFiller = ' ';
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

TransferActions Rqx5MeasurementReceive::StartRqx5MeasurementReceive()
{
    TransferActions actions;
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    setUnderway(true);
    return actions;
}

int Rqx5MeasurementReceive::frameEnd(const FrameBuffer &bytes) const
{
    for (int i = 1; i < bytes.size(); ++i) {
        // The instrument may close a series of measurements with a bare end frame (after the filler
        // of the last record's block), which is answered as every exchange's is; left waiting, it
        // would spoil the next record.
        if (isEndPair(bytes, i) && (i <= kHeaderEndAfter || onlyFillerBefore(bytes, i - 1)))
            return i;
        if (bytes.at(i) >= kMeasurementFirstEnd && bytes.at(i) <= kMeasurementLastEnd)
            return i;
    }
    return -1;
}

void Rqx5MeasurementReceive::handle(const QByteArray &frame, int end, TransferActions &actions)
{
    if (frameByte(frame, end) == kEnd) {
        actions.push_back(TransferAction::message(MessageTitles::kSuccess, QStringLiteral("数据传输完毕！")));
        EchoRqx5EndFrame(actions);
        // Measurements go on arriving after an end frame as long as the window's receive is the
        // one in progress: a cable pulled then is still told.
        setUnderway(true);
        return;
    }
    m_kind = frameByte(frame, end) - kMeasurementFirstEnd + 1;
    ReceiveRqx5MeasurementRecord(frame, end, actions);
}

int Rqx5MeasurementReceive::recordLength(const QByteArray &frame, int end) const
{
    // Padded, the record has spaces from the end of its kind's fields to its terminator at byte 57.
    const int own = kKinds[static_cast<size_t>(m_kind - 1)].terminatorAt + 1;
    const int paddedFirst = end - kPaddedTerminatorAt;
    if (paddedFirst < 0 || own == kPaddedTerminatorAt + 1)
        return own;
    for (int i = paddedFirst + own - 1; i < end; ++i) {
        if (frame.at(i) != kSpaceFiller)
            return own;
    }
    return kPaddedTerminatorAt + 1;
}

bool Rqx5MeasurementReceive::isFiller(char byte)
{
    return byte == kNulFiller || byte == kSpaceFiller;
}

bool Rqx5MeasurementReceive::onlyFillerBefore(const FrameBuffer &bytes, int position)
{
    const QByteArray &all = bytes.bytes();
    return std::all_of(all.cbegin(), all.cbegin() + position, isFiller);
}

bool Rqx5MeasurementReceive::midFrame() const
{
    // Filler after the last record is no broken frame: the surveyor may take long to the next point.
    if (!underway())
        return false;
    const QByteArray &bytes = pending().bytes();
    return std::any_of(bytes.cbegin(), bytes.cend(), [](char byte) { return !isFiller(byte); });
}

void Rqx5MeasurementReceive::ReceiveRqx5MeasurementRecord(const QByteArray &frame, int end,
                                                          TransferActions &actions)
{
    // A measurement has no start byte to find it by: it is counted back from its terminator. Before
    // it may stand the filler of an instrument that sends fixed blocks, and the remains of a
    // measurement whose terminator was lost, which cost that measurement only. Nothing is cleared
    // here: the records that follow this one in the same read are still to come.
    const bool known = m_kind >= 1 && m_kind <= static_cast<int>(kKinds.size());
    const int start = known ? end + 1 - recordLength(frame, end) : -1;
    int filler = 0;
    while (filler < start && isFiller(frame.at(filler)))
        ++filler;
    const int remains = start - filler;
    // After anything else the record begins with its start byte, which is no filler; remains too few
    // for an earlier measurement were added to this one on the line.
    const bool taken =
        start == 0 || (start > 0 && !isFiller(frame.at(start)) && (remains == 0 || remains >= kLeastRemains));
    if (!taken || remains > 0)
        actions.push_back(TransferAction::message(kErrorTitle, kDamagedMeasurement));
    if (!taken)
        return;
    const QByteArray record = frame.mid(start);
    const MeasurementKind &kind = kKinds[static_cast<size_t>(m_kind - 1)];
    const long index = countRecord();
    setDone(done() + 1);
    std::array<QString, kMeasuredValues> values;
    for (size_t f = 0; f < kind.fields.size(); ++f) {
        if (kind.fields[f] < 0)
            continue;
        const int first = static_cast<int>(f) * kMeasurementFieldWidth;
        values[static_cast<size_t>(kind.fields[f])] =
            Rqx5Decode::characters(record, first, first + kMeasurementFieldWidth - 1);
    }

    // Numbered after the rows the list holds; the measurement's own number follows.
    actions.push_back(TransferAction::show(TransferEvents::Row{
        TransferEvents::RecordKind::Rqx5Measurement,
        m_nez,
        std::nullopt,
        {QString::number(index), values[HorizontalAngle], values[VerticalAngle], values[SlopeDistance],
         values[HeightDifference], values[HorizontalDistance], m_nez ? values[North] : values[East],
         m_nez ? values[East] : values[North], values[Height]}}));
}
