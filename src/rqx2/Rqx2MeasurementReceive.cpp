#include "Rqx2MeasurementReceive.h"

#include "Rqx2MeasurementRecord.h"
#include "core/InstrumentCode.h"
#include "core/MessageTitles.h"

const QString Rqx2MeasurementReceive::kComplete = QStringLiteral("传输完毕！");
const QString Rqx2MeasurementReceive::kDamagedRecord =
    QStringLiteral("收到一条损坏的测量数据（不完整，或记录序号、记录总数不是四位数字），该条数据未保存。"
                   "请在全站仪上重新发送测量数据！");

namespace {
using Record = Rqx2MeasurementRecord;

// Every record fits in this many characters; a longer block is damaged whatever it holds.
constexpr int kCharacterBound = 300;
constexpr char kHeaderKindCharacter[] = "7";

// The four digits from frame byte at, or -1 when they are not four ASCII digits. Read from the bytes
// themselves: the codes 0 to 9 decode to the same texts as the digits.
int counter(const QByteArray &frame, int at)
{
    int number = 0;
    for (int i = at; i < at + Record::kCounterWidth; ++i) {
        const unsigned char byte = frameByte(frame, i);
        if (byte < '0' || byte > '9')
            return -1;
        number = number * 10 + (byte - '0');
    }
    return number;
}
} // namespace

TransferActions Rqx2MeasurementReceive::start()
{
    startOver();
    TransferActions actions{TransferAction::show(
        TransferEvents::ListStarted{TransferEvents::RecordKind::Rqx2Measurement, m_nez})};
    for (TransferAction &action : PrepareRqx2Transfer())
        actions.push_back(std::move(action));
    actions.push_back(status(TransferEvents::State::AwaitingHandshake));
    return actions;
}

void Rqx2MeasurementReceive::answering(TransferActions &actions)
{
    actions.push_back(status(TransferEvents::State::Receiving));
}

void Rqx2MeasurementReceive::handle(const QByteArray &frame, int end, Rqx2Frames::Frame kind,
                                    TransferActions &actions)
{
    if (kind == Rqx2Frames::Frame::Handshake)
        takeRequest(actions);
    else if (kind == Rqx2Frames::Frame::Broken)
        takeBroken(actions);
    else if (kind == Rqx2Frames::Frame::Long)
        ReceiveRqx2LongRecord(frame, end, actions);
    else
        ReceiveRqx2ShortRecord(frame, end, actions);
}

void Rqx2MeasurementReceive::takeRequest(TransferActions &actions)
{
    // The surveyor started the send again before its last record: the file comes again from its
    // header, which empties the list, so the list holds it once. A complete file is not started over.
    if (handshakeAnswered() && m_phase != Phase::Complete) {
        forgetHandshake();
        startOver();
    }
    AnswerRqx2Handshake(actions);
}

void Rqx2MeasurementReceive::takeBroken(TransferActions &actions)
{
    // A record that never reached its CR, within the file: damaged.
    if (handshakeAnswered() && m_phase != Phase::Complete)
        reject(actions);
}

TransferActions Rqx2MeasurementReceive::silence()
{
    forgetHandshake();
    startOver();
    TransferActions actions{status(TransferEvents::State::AwaitingHandshake)};
    for (TransferAction &action : Rqx2Transfer::silence())
        actions.push_back(std::move(action));
    return actions;
}

void Rqx2MeasurementReceive::ReceiveRqx2ShortRecord(const QByteArray &frame, int end,
                                                    TransferActions &actions)
{
    // Before the handshake, and after damage until the next one, a block ending in CR is not for here.
    if (!handshakeAnswered())
        return;
    // Character k is frame byte k + 1; only the block's own bytes are read.
    std::vector<QString> characters(kCharacterBound + 1);
    for (int k = 0; k < end && k <= kCharacterBound; ++k)
        characters[static_cast<size_t>(k)] = CodeToCharacter(frameByte(frame, k + 1));
    if (m_phase == Phase::Header)
        takeHeader(frame, characters, end, actions);
    else
        takeRecord(frame, characters, end, actions);
}

void Rqx2MeasurementReceive::takeHeader(const QByteArray &frame, const std::vector<QString> &characters,
                                        int end, TransferActions &actions)
{
    if (end != Record::kHeaderLength - 1) {
        reject(actions);
        return;
    }
    // The count stands in bytes 5 to 8 before the kind byte 7. Only a header whose kind byte is not
    // where it belongs is searched for its last "7", the count then taken from the four bytes before.
    int totalAt = Record::kTotalByte;
    if (Record::kind(frameByte(frame, Record::kKindByte)) != Record::Header) {
        int last = -1;
        for (int k = 0; k < end; ++k) {
            if (characters[static_cast<size_t>(k)] == QLatin1String(kHeaderKindCharacter))
                last = k;
        }
        // Character k is byte k + 1: the count is bytes last - 3 to last.
        totalAt = last - Record::kCounterWidth + 1;
    }
    const int total = totalAt >= Record::kCurrentByte ? counter(frame, totalAt) : -1;
    if (total < 0 || counter(frame, Record::kCurrentByte) < 0) {
        reject(actions);
        return;
    }

    // A header after a damaged record starts the file over: its records come again from the first.
    m_phase = Phase::Records;
    m_lastCurrent = 0;
    m_lastRecord = frame;
    setRecordCount(0);
    setProgress(0, total);
    m_texts = {};
    actions.push_back(TransferAction::show(TransferEvents::RowsCleared{}));

    QString name;
    for (int k = Record::kFileNameByte - 1; k < Record::kFileNameByte - 1 + Record::kFileNameWidth; ++k)
        name += characters[static_cast<size_t>(k)];
    actions.push_back(TransferAction::show(TransferEvents::FileAnnounced{name, total, {}, {}}));

    acknowledge(0, total, actions);
    // A file of no records is over with its header.
    if (total == 0)
        complete(actions);
}

void Rqx2MeasurementReceive::takeRecord(const QByteArray &frame, const std::vector<QString> &characters,
                                        int end, TransferActions &actions)
{
    const Record::Kind kind = Record::kind(frameByte(frame, Record::kKindByte));
    const int length = Record::length(kind);
    // A record of an unknown kind is taken at any length that holds its kind byte; the others only
    // whole, their CR where their length puts it.
    bool whole = length > 0 ? end == length - 1 : end > Record::kKindByte;
    // A byte added just before the kind byte leaves the counters whole and makes the record look like
    // one of another kind; it is the record whose kind byte stands one further on when its CR stands
    // one further too, and then damaged, not an empty row.
    if (kind == Record::Other) {
        const int shifted = Record::length(Record::kind(frameByte(frame, Record::kKindByte + 1)));
        if (shifted > 0 && end == shifted)
            whole = false;
        // A record whose kind byte was lost on the line looks like one of another kind too, its CR
        // one short of where a station's, a backsight's or a measurement's stands: damaged as well.
        for (const Record::Kind known : {Record::Station, Record::Backsight, Record::Measurement}) {
            if (end == Record::length(known) - 2)
                whole = false;
        }
    }
    const int current = counter(frame, Record::kCurrentByte);
    const int total = counter(frame, Record::kTotalByte);
    if (!whole || current < 0 || total < 0) {
        // Once the file is complete the instrument has nothing more to send; stray bytes are let be.
        if (m_phase != Phase::Complete)
            reject(actions);
        return;
    }
    // The instrument sends a record (the header too) again when its acknowledgement did not reach
    // it: the same record is answered again and not stored twice. Other bytes under the same number
    // are damage.
    if (current == m_lastCurrent) {
        if (frame == m_lastRecord)
            acknowledge(current, total, actions);
        else if (m_phase != Phase::Complete)
            reject(actions);
        return;
    }
    if (m_phase == Phase::Complete)
        return;

    m_lastCurrent = current;
    m_lastRecord = frame;
    const long index = countRecord();
    setProgress(index, total);
    Record::storeFields(kind, characters, m_texts, index);
    // Every record adds a row, also one of a kind that stores nothing.
    QStringList fields = Rqx2MeasurementList::row(m_texts, index, m_nez);
    fields.removeFirst();
    actions.push_back(TransferAction::show(
        TransferEvents::Row{TransferEvents::RecordKind::Rqx2Measurement, m_nez, index, fields}));

    acknowledge(current, total, actions);
    actions.push_back(TransferAction::show(TransferEvents::Progress{current, total}));
    if (current < total)
        actions.push_back(status(TransferEvents::State::Receiving));
    else
        complete(actions);
}

int Rqx2MeasurementReceive::bytesPerRecord() const
{
    return Record::kMeasurementLength + static_cast<int>(Record::acknowledgement(0, 0).size());
}

void Rqx2MeasurementReceive::acknowledge(int current, int total, TransferActions &actions)
{
    prepareAnswer(actions);
    actions.push_back(TransferAction::write(Record::acknowledgement(current, total)));
}

void Rqx2MeasurementReceive::complete(TransferActions &actions)
{
    m_phase = Phase::Complete;
    setUnderway(false);
    actions.push_back(status(TransferEvents::State::Received));
    actions.push_back(TransferAction::message(MessageTitles::kSuccess, kComplete));
}

void Rqx2MeasurementReceive::reject(TransferActions &actions)
{
    // The instrument still waits for the acknowledgement of the damaged record. The record sent
    // again is taken as usual; a send started again on the instrument opens with its request, which
    // is answered as the first one was.
    if (!damageToTell())
        return;
    actions.push_back(TransferAction::message(kErrorTitle, kDamagedRecord));
}

void Rqx2MeasurementReceive::startOver()
{
    m_phase = Phase::Header;
    m_lastCurrent = -1;
    m_lastRecord.clear();
}
