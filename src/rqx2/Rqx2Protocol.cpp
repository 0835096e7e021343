#include "Rqx2Protocol.h"

#include "Rqx2CoordinateRecord.h"
#include "core/AppState.h"
#include "core/CoordinateTableModel.h"
#include "core/InstrumentCode.h"
#include "core/NumericText.h"
#include "core/SendCheck.h"
#include "core/TransferView.h"
#include "serial/Frames.h"
#include "serial/ReceiveDispatcher.h"
#include "serial/SerialLink.h"

#include <thread>

const QString Rqx2Protocol::kErrorTitle = QStringLiteral("错误提示");
const QString Rqx2Protocol::kDamagedRecord =
    QStringLiteral("收到一条损坏的坐标数据（长度不对，或点序号、点数不是四位数字），该点未保存。"
                   "请在全站仪上重新发送坐标数据！");
const QString Rqx2Protocol::kWaitingToReceive = QStringLiteral("等待接收坐标数据...");

namespace {
const QString kSuccessTitle = QStringLiteral("成功");
const QString kNoticeTitle = QStringLiteral("提示");
const QString kReceiveComplete = QStringLiteral("坐标数据传输完毕！");
const QString kSendComplete = QStringLiteral("坐标数据发送完毕！");
const QString kNoTable = QStringLiteral("请首先打开一个坐标数据文件");
const QString kTransferring = QStringLiteral("数据传输中。。。");
const QString kWaitingToSend = QStringLiteral("等待发送坐标数据...");
const QString kSending = QStringLiteral("发送中...");

// Upper bounds the receive buffer is given at each step: the whole port at the start, one answer
// or record afterwards.
constexpr int kTransferBufferBound = 50000;
constexpr int kAnswerBufferBound = 5000;
constexpr int kSendBufferBound = 2000;

// Measurement records are announced by a 16-byte header.
constexpr int kMeasurementHeaderLength = 16;
// The handshake answer: transfer kind, "J", CR.
constexpr char kCoordinateTransfer = 0x01;
constexpr char kMeasurementTransfer = 0x05;

constexpr int kCharCodeTableBound = 100;
// Characters 0..63 cover a record in either layout.
constexpr int kDecodedCharacters = 64;
// A whole record has its CR here; with one extra byte in front of it, one place later.
constexpr int kStandardEndPosition = Rqx2CoordinateRecord::kLength - 1;
constexpr int kShiftedEndPosition = Rqx2CoordinateRecord::kLength;

// Where the fields of a record start, as characters of the standard layout (character k is block byte k + 1).
constexpr int kCurrentAt = 0;
constexpr int kTotalAt = 4;
constexpr int kNumberAt = 8;
constexpr int kNameAt = 15;
constexpr int kFirstCoordinateAt = 22;
constexpr int kSecondCoordinateAt = 35;
constexpr int kThirdCoordinateAt = 48;
// The point and 3 decimals that follow the 9 integer characters of a coordinate.
constexpr int kFractionWidth = 1 + Rqx2CoordinateRecord::kDecimals;
} // namespace

Rqx2Protocol::Rqx2Protocol(AppState &state, SerialLink &link, CoordinateTableModel &table, TransferView &view)
    : m_state(state), m_link(link), m_table(table), m_view(view),
      m_pause([](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); })
{
}

void Rqx2Protocol::install(ReceiveRoutines &routines)
{
    routines.AnswerRqx2Handshake = [this] { AnswerRqx2Handshake(); };
    routines.ReceiveRqx2CoordinateRecord = [this] { ReceiveRqx2CoordinateRecord(); };
}

void Rqx2Protocol::commandReceiveCoordinates()
{
    m_state.HandshakeAnswered = 0;
    m_state.ReceiveCoordinatesMode = 1;
    m_state.ReceiveMeasurementsMode = 0;
    m_state.SendCoordinatesMode = 0;
    m_view.setStatus(kWaitingToReceive);
    PrepareRqx2Transfer();
}

void Rqx2Protocol::commandSendCoordinates()
{
    // A row the instrument cannot take would otherwise be found only in the middle of the send,
    // with part of the table already in the instrument.
    const QString refusal = CheckRowsForSend(m_table, Rqx2CoordinateRecord::sendLimits());
    if (!refusal.isEmpty()) {
        m_view.showMessage(kErrorTitle, refusal);
        return;
    }
    m_state.HandshakeAnswered = 0;
    m_state.ReceiveCoordinatesMode = 0;
    m_state.ReceiveMeasurementsMode = 0;
    m_state.SendCoordinatesMode = 1;
    m_state.RecordCount = 0;
    PrepareRqx2Transfer();
}

bool Rqx2Protocol::PrepareRqx2Transfer()
{
    if (!PrepareRqx2Port(m_state, m_link)) {
        m_view.reportPortFailure();
        return false;
    }
    return true;
}

bool Rqx2Protocol::PrepareRqx2Port(AppState &state, SerialLink &link)
{
    // From now on the port serves this transfer; an RQX5 measurement receive is over.
    state.Rqx5MeasureReceiveStarted = false;
    state.RecordBuffer.reallocate(kTransferBufferBound);
    state.ReceiveBuffer.reallocate(kTransferBufferBound);
    link.clearOutput();
    link.clearInput();
    link.setSendThreshold(1);
    link.setReceiveThreshold(kRequestLength);
    if (!link.openIfClosed())
        return false;
    // Nothing is sent: the instrument opens the transfer with its handshake request.
    state.TransferUnderway = true;
    return true;
}

void Rqx2Protocol::AnswerRqx2Handshake()
{
    m_state.ReceiveBuffer.reallocate(kAnswerBufferBound);
    if (m_state.HandshakeAnswered == 0) {
        m_link.clearOutput();
        m_link.clearInput();
        m_link.setSendThreshold(kRequestLength);
        if (m_state.ReceiveCoordinatesMode == 1)
            m_link.setReceiveThreshold(Rqx2CoordinateRecord::kLength);
        else if (m_state.SendCoordinatesMode == 1)
            m_link.setReceiveThreshold(kRequestLength);
        else if (m_state.ReceiveMeasurementsMode == 1)
            m_link.setReceiveThreshold(kMeasurementHeaderLength);
        if (!m_link.openIfClosed()) {
            m_view.reportPortFailure();
            return;
        }
        QByteArray answer;
        if (m_state.ReceiveMeasurementsMode == 1) {
            m_view.setMeasurementStatus(kTransferring);
            m_link.setReceiveThreshold(kMeasurementHeaderLength);
            answer.append(kMeasurementTransfer);
        } else {
            answer.append(kCoordinateTransfer);
        }
        answer.append(static_cast<char>(Frames::kRqx2Handshake));
        answer.append(static_cast<char>(Frames::kRqx2End));
        if (!m_link.write(answer)) {
            m_view.reportPortFailure();
            return;
        }
        m_state.HandshakeAnswered = 1;
    }
    // In a send every request, the first included, asks for the next point.
    if (m_state.SendCoordinatesMode == 1) {
        m_pause(m_sendPause);
        SendRqx2NextCoordinate();
    }
}

void Rqx2Protocol::ReceiveRqx2CoordinateRecord()
{
    // The dispatcher calls this routine with LoopIndex at the position of the record's CR.
    const int endPosition = static_cast<int>(m_state.LoopIndex);

    m_state.reallocateCharCodeTable(kCharCodeTableBound);
    m_view.setStatus(QString());
    m_state.RecordBuffer.copyShiftedFrom(m_state.ReceiveBuffer);
    for (int k = 0; k < kDecodedCharacters; ++k)
        m_state.CharCodeTable[static_cast<size_t>(k)] = CodeToCharacter(m_state.RecordBuffer.at(k));

    // The layout follows from where the CR stands, not from character 0: in a standard record
    // numbered 2000 to 2999 character 0 is the digit 2 as well. A CR anywhere else ends a record
    // that lost or gained bytes on the line, whose fields cannot be found.
    const bool standard = endPosition == kStandardEndPosition;
    const int s = standard ? 0 : 1;

    const bool whole = standard || endPosition == kShiftedEndPosition;
    const int current = receivedCounter(s + kCurrentAt);
    const int total = receivedCounter(s + kTotalAt);
    if (!whole || current < 0 || total < 0) {
        rejectDamagedRecord();
        return;
    }

    const long record = ++m_state.RecordCount;
    m_view.setProgress(QString::number(current) + u'/' + QString::number(total));

    const QString number = decodedText(s + kNumberAt, Rqx2CoordinateRecord::kTextWidth).remove(u' ');
    const QString name = decodedText(s + kNameAt, Rqx2CoordinateRecord::kTextWidth).remove(u' ');
    const QString first = decodedCoordinate(s + kFirstCoordinateAt, standard);
    const QString second = decodedCoordinate(s + kSecondCoordinateAt, standard);
    const QString third = decodedCoordinate(s + kThirdCoordinateAt, standard);
    // Set rather than appended: after a send has put RecordCount back to 0, a later receive reuses
    // indexes that still hold the texts of an earlier one.
    m_state.PointText[3].set(record, number);
    m_state.PointText[4].set(record, name);
    m_state.PointText[0].set(record, first);
    m_state.PointText[1].set(record, second);
    m_state.PointText[2].set(record, third);

    // A table cleared between two receives has no columns left, and rows without columns would not be seen.
    const bool nez = m_state.nez();
    if (record == 1 || !m_table.hasColumns())
        m_table.buildColumns(nez);
    CoordinatePoint row;
    row.sequence = QString::number(record);
    row.number = number;
    row.name = name;
    row.first = nez ? first : second;
    row.second = nez ? second : first;
    row.height = third;
    m_table.append(row);

    m_state.ReceiveBuffer.reallocate(kAnswerBufferBound);
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(1);
    m_link.setReceiveThreshold(Rqx2CoordinateRecord::kLength);
    if (!m_link.openIfClosed()) {
        m_view.reportPortFailure();
        return;
    }
    const QByteArray acknowledgement = Rqx2CoordinateRecord::acknowledgement(current, total);

    // The completion message comes before the last acknowledgement: the instrument ends its send
    // only once the user has closed the message.
    if (current < total) {
        m_view.setStatus(kTransferring);
    } else {
        m_state.TransferUnderway = false;
        m_view.setStatus(QString());
        m_view.showMessage(kSuccessTitle, kReceiveComplete);
    }
    if (!m_link.write(acknowledgement))
        m_view.reportPortFailure();
}

void Rqx2Protocol::SendRqx2NextCoordinate()
{
    m_view.setStatus(kWaitingToSend);
    m_state.ReceiveBuffer.reallocate(kSendBufferBound);
    const long record = ++m_state.RecordCount;
    const int n = m_table.count();
    if (n < record) {
        if (n == 0) {
            m_view.showMessage(kNoticeTitle, kNoTable);
            m_view.endProgram();
        }
        // Every row has been sent: a late request gets nothing.
        return;
    }

    // Only the input is discarded. The output can hold nothing but the handshake answer written
    // just before the pause, and a short pause (or a slow line) would cut it off.
    m_link.clearInput();
    m_link.setSendThreshold(Rqx2CoordinateRecord::kLength);
    m_link.setReceiveThreshold(kRequestLength);
    if (!m_link.openIfClosed()) {
        m_view.reportPortFailure();
        return;
    }
    m_view.setProgress(QString::number(record) + u'/' + QString::number(n));
    m_view.setStatus(kSending);

    // The table was checked when the send started, but it can be edited while the send runs.
    const SendLimits limits = Rqx2CoordinateRecord::sendLimits();
    QString refusal = CheckRowCountForSend(n, limits);
    if (refusal.isEmpty())
        refusal = CheckRowForSend(m_table, static_cast<int>(record), limits);
    const CoordinatePoint row = m_table.point(static_cast<int>(record));
    const bool nez = m_state.nez();
    const auto bytes = refusal.isEmpty()
                           ? Rqx2CoordinateRecord::encode(static_cast<int>(record), n, row.number, row.name,
                                                          nez ? row.first : row.second,
                                                          nez ? row.second : row.first, row.height)
                           : std::nullopt;
    if (!bytes) {
        m_view.setStatus(QString());
        m_view.showMessage(kErrorTitle, refusal);
        return;
    }
    if (!m_link.write(*bytes)) {
        m_view.reportPortFailure();
        return;
    }

    if (record == n) {
        m_state.TransferUnderway = false;
        m_view.setStatus(QString());
        // The link's close waits until the record has left, so the instrument gets all of it.
        m_link.close();
        m_view.showMessage(kSuccessTitle, kSendComplete);
    }
}

void Rqx2Protocol::rejectDamagedRecord()
{
    // Nothing is stored and nothing is acknowledged: the instrument still waits for the
    // acknowledgement of this point. The rest of the damaged block is dropped. What comes next is
    // either the record sent anew or, when the user starts the send again on the instrument, a new
    // handshake request; the port is armed for the shorter of the two, and the request is answered
    // as the first of a transfer, so both sides start over instead of waiting for each other.
    m_state.ReceiveBuffer.reallocate(kAnswerBufferBound);
    m_state.HandshakeAnswered = 0;
    m_link.clearInput();
    m_link.setReceiveThreshold(kRequestLength);
    m_view.showMessage(kErrorTitle, kDamagedRecord);
}

QString Rqx2Protocol::decodedText(int from, int width) const
{
    QString text;
    for (int k = from; k < from + width; ++k)
        text += m_state.CharCodeTable.at(static_cast<size_t>(k));
    return text;
}

int Rqx2Protocol::receivedCounter(int from) const
{
    // Judged on the bytes themselves: decoded, a NUL or the start byte 0x02 would read as a digit.
    int number = 0;
    for (int k = from; k < from + Rqx2CoordinateRecord::kCounterWidth; ++k) {
        const unsigned char byte = m_state.RecordBuffer.at(k);
        if (byte < '0' || byte > '9')
            return -1;
        number = number * 10 + (byte - '0');
    }
    return number;
}

QString Rqx2Protocol::decodedCoordinate(int from, bool standardLayout) const
{
    bool negative = false;
    QString integer;
    for (int k = from; k < from + Rqx2CoordinateRecord::kIntegerWidth; ++k) {
        const QString &character = m_state.CharCodeTable.at(static_cast<size_t>(k));
        if (character == QLatin1String("-"))
            negative = true;
        else
            integer += character;
    }
    // The instrument may pad with spaces as well as zeros; both vanish.
    QString text = ShortestDecimal(NumericValue(integer.remove(u' ')));
    // The sign is put back in front of the absolute value, so '0000000-0' stays negative as '-0'.
    if (negative)
        text.prepend(u'-');
    text += decodedText(from + Rqx2CoordinateRecord::kIntegerWidth, kFractionWidth);
    // A standard record carries 3 decimals; the table shows 4.
    if (standardLayout)
        text += u'0';
    return text;
}
