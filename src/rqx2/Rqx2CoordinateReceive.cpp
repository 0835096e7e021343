#include "Rqx2CoordinateReceive.h"

#include "Rqx2CoordinateRecord.h"
#include "core/InstrumentCode.h"
#include "core/MessageTitles.h"
#include "core/NumericText.h"

const QString Rqx2CoordinateReceive::kDamagedRecord =
    QStringLiteral("收到一条损坏的坐标数据（长度不对，或点序号、点数不是四位数字），该点未保存。"
                   "请在全站仪上重新发送坐标数据！");

namespace {
// Characters 0..63 cover a record in either layout; character k is frame byte k + 1.
constexpr int kDecodedCharacters = 64;
// A whole record has its CR here; with one extra byte in front of it, one place later.
constexpr int kStandardEndPosition = Rqx2CoordinateRecord::kLength - 1;
constexpr int kShiftedEndPosition = Rqx2CoordinateRecord::kLength;

// Where the fields of a record start, as characters of the standard layout.
constexpr int kCurrentAt = 0;
constexpr int kTotalAt = 4;
constexpr int kNumberAt = 8;
constexpr int kNameAt = 15;
constexpr int kFirstCoordinateAt = 22;
constexpr int kSecondCoordinateAt = 35;
constexpr int kThirdCoordinateAt = 48;
// The point and 3 decimals that follow the 9 integer characters of a coordinate.
constexpr int kFractionWidth = 1 + Rqx2CoordinateRecord::kDecimals;

class RecordText {
public:
    explicit RecordText(const QByteArray &frame) : m_frame(frame)
    {
        m_characters.reserve(kDecodedCharacters);
        for (int k = 0; k < kDecodedCharacters; ++k)
            m_characters.push_back(CodeToCharacter(frameByte(frame, k + 1)));
    }

    QString text(int from, int width) const
    {
        QString text;
        for (int k = from; k < from + width; ++k)
            text += m_characters.at(static_cast<size_t>(k));
        return text;
    }

    // The number in the four bytes from character from on, or -1 when they are not four digits.
    // Judged on the bytes themselves: decoded, a NUL or the start byte 0x02 would read as a digit.
    int counter(int from) const
    {
        int number = 0;
        for (int k = from; k < from + Rqx2CoordinateRecord::kCounterWidth; ++k) {
            const unsigned char byte = frameByte(m_frame, k + 1);
            if (byte < '0' || byte > '9')
                return -1;
            number = number * 10 + (byte - '0');
        }
        return number;
    }

    QString coordinate(int from, bool standardLayout) const
    {
        bool negative = false;
        QString integer;
        for (int k = from; k < from + Rqx2CoordinateRecord::kIntegerWidth; ++k) {
            const QString &character = m_characters.at(static_cast<size_t>(k));
            if (character == QLatin1String("-"))
                negative = true;
            else
                integer += character;
        }
        // The instrument may pad with spaces as well as zeros; both vanish.
        QString result = ShortestDecimal(NumericValue(integer.remove(u' ')));
        // The sign is put back in front of the absolute value, so '0000000-0' stays negative as '-0'.
        if (negative)
            result.prepend(u'-');
        result += text(from + Rqx2CoordinateRecord::kIntegerWidth, kFractionWidth);
        // A standard record carries 3 decimals; the table shows 4.
        if (standardLayout)
            result += u'0';
        return result;
    }

private:
    const QByteArray &m_frame;
    std::vector<QString> m_characters;
};
} // namespace

void Rqx2CoordinateReceive::handle(const QByteArray &frame, int end, Rqx2Frames::Frame kind,
                                   TransferActions &actions)
{
    if (kind == Rqx2Frames::Frame::Handshake) {
        takeRequest(actions);
    } else if (kind == Rqx2Frames::Frame::Coordinate) {
        ReceiveRqx2CoordinateRecord(frame, end, actions);
    } else if (m_phase == Phase::Attempt) {
        // Between the answer and the last record every frame is a record: one whose CR stands
        // elsewhere, or that never reached it, is damaged (a CR among its bytes, or a lost one).
        rejectDamagedRecord(actions);
    }
    // Outside a transfer a block ending in CR anywhere else is no coordinate record and is let be.
}

void Rqx2CoordinateReceive::takeRequest(TransferActions &actions)
{
    // The instrument started its send again before the last record (after a damaged record, a
    // silence, or because the surveyor chose to): the rows of the unfinished attempt go and the
    // restart's rows take their place. Rows from before the attempt stay.
    if (m_phase == Phase::Attempt) {
        const long rows = recordCount() - m_recordCountBeforeAttempt;
        if (rows > 0)
            actions.push_back(TransferAction::show(TransferEvents::RowsWithdrawn{static_cast<int>(rows)}));
        setRecordCount(m_recordCountBeforeAttempt);
        forgetHandshake();
    }
    if (!handshakeAnswered())
        m_lastRecord.clear();
    AnswerRqx2Handshake(actions);
}

void Rqx2CoordinateReceive::answering(TransferActions &)
{
    // A restart has already gone back to the count its attempt began with.
    m_recordCountBeforeAttempt = recordCount();
    m_phase = Phase::Attempt;
}

void Rqx2CoordinateReceive::ReceiveRqx2CoordinateRecord(const QByteArray &frame, int end,
                                                        TransferActions &actions)
{
    const RecordText record(frame);

    // The layout follows from where the CR stands, not from character 0: in a standard record
    // numbered 2000 to 2999 character 0 is the digit 2 as well. A CR anywhere else ends a record
    // that lost or gained bytes on the line, whose fields cannot be found.
    // A CR one place late is a record behind one extra byte only when its start byte moved with
    // it; otherwise a byte was added inside the record and every field after it is shifted.
    const bool standard = end == kStandardEndPosition;
    const int s = standard ? 0 : 1;
    const bool whole = standard || (end == kShiftedEndPosition && frameByte(frame, 1) == Rqx2Frames::kStart);
    const int current = record.counter(s + kCurrentAt);
    const int total = record.counter(s + kTotalAt);
    // The instrument sends a record again when it did not hear its acknowledgement: the same
    // record is answered again and stored once. Other bytes under the same number are damage.
    const QByteArray own = frame.mid(s);
    const bool again = whole && !m_lastRecord.isEmpty() && current == m_lastCurrent;
    if (again && own == m_lastRecord) {
        acknowledge(current, total, actions);
        return;
    }
    if (!whole || current < 0 || total < 0 || again) {
        rejectDamagedRecord(actions);
        return;
    }
    actions.push_back(status(TransferEvents::State::Idle));
    m_lastRecord = own;
    m_lastCurrent = current;

    const long index = countRecord();
    setProgress(current, total);
    actions.push_back(TransferAction::show(TransferEvents::Progress{current, total}));
    const QString number = record.text(s + kNumberAt, Rqx2CoordinateRecord::kTextWidth).remove(u' ');
    const QString name = record.text(s + kNameAt, Rqx2CoordinateRecord::kTextWidth).remove(u' ');
    const QString first = record.coordinate(s + kFirstCoordinateAt, standard);
    const QString second = record.coordinate(s + kSecondCoordinateAt, standard);
    const QString third = record.coordinate(s + kThirdCoordinateAt, standard);

    // The first record of the program's numbering begins the table anew.
    if (index == 1)
        actions.push_back(
            TransferAction::show(TransferEvents::ListStarted{TransferEvents::RecordKind::Point, m_nez}));
    actions.push_back(TransferAction::show(
        TransferEvents::Row{TransferEvents::RecordKind::Point,
                            m_nez,
                            index,
                            {number, name, m_nez ? first : second, m_nez ? second : first, third}}));

    // The completion message comes before the last acknowledgement: the instrument ends its send
    // only once the user has closed the message.
    TransferActions completion;
    if (current < total) {
        completion.push_back(status(TransferEvents::State::Receiving));
    } else {
        setUnderway(false);
        m_phase = Phase::Idle;
        completion.push_back(status(TransferEvents::State::Idle));
        completion.push_back(
            TransferAction::message(MessageTitles::kSuccess, QStringLiteral("坐标数据传输完毕！")));
    }
    acknowledge(current, total, actions, completion);
}

void Rqx2CoordinateReceive::acknowledge(int current, int total, TransferActions &actions,
                                        const TransferActions &before)
{
    prepareAnswer(actions);
    actions.insert(actions.end(), before.begin(), before.end());
    actions.push_back(TransferAction::write(Rqx2CoordinateRecord::acknowledgement(current, total)));
}

int Rqx2CoordinateReceive::bytesPerRecord() const
{
    return Rqx2CoordinateRecord::kLength +
           static_cast<int>(Rqx2CoordinateRecord::acknowledgement(0, 0).size());
}

void Rqx2CoordinateReceive::rejectDamagedRecord(TransferActions &actions)
{
    // The instrument still waits for the acknowledgement of this point. What comes next is either
    // the record sent anew or, when the user starts the send again on the instrument, a new
    // handshake request, answered as the first of a transfer, so both sides start over instead of
    // waiting for each other. That request may already follow in the same bytes, so they stay.
    if (!damageToTell())
        return;
    actions.push_back(status(TransferEvents::State::Idle));
    actions.push_back(TransferAction::message(kErrorTitle, kDamagedRecord));
}
