#include "Rqx5Protocol.h"

#include "Rqx5Decode.h"
#include "Rqx5Frames.h"
#include "Rqx5Record.h"
#include "core/AppState.h"
#include "core/CoordinateTableModel.h"
#include "core/SendCheck.h"
#include "core/TransferView.h"
#include "serial/Frames.h"
#include "serial/ReceiveDispatcher.h"
#include "serial/SerialLink.h"

using namespace Rqx5Frames;

namespace {

const QByteArray kNextPair(Frames::kRqx5NextPair, 2);
const QByteArray kEndPair(Frames::kRqx5EndPair, 2);

// PointText1..PointText5 hold N, E, Z, point number and point name of the record being handled.
constexpr int kNorthText = 0;
constexpr int kEastText = 1;
constexpr int kHeightText = 2;
constexpr int kNumberText = 3;
constexpr int kNameText = 4;

// The 14th character of a received coordinate is not taken; this digit stands in for it.
const QString kCoordinateTail = QStringLiteral("0");

const QString kErrorTitle = QStringLiteral("错误提示");

// The header counts the rows in two bytes; any text of codable characters fits the coordinate fields.
SendLimits sendLimits()
{
    SendLimits limits;
    limits.maxRows = kMaxSendCount;
    return limits;
}

} // namespace

Rqx5Protocol::Rqx5Protocol(AppState &state, SerialLink &link, CoordinateTableModel &table, TransferView &view)
    : m_state(state), m_link(link), m_table(table), m_view(view)
{
}

void Rqx5Protocol::install(ReceiveRoutines &routines)
{
    routines.ShowRqx5TransferComplete = [this] { ShowRqx5TransferComplete(); };
    routines.ReceiveRqx5DataBlock = [this] { ReceiveRqx5DataBlock(); };
    routines.SendRqx5NextCoordinate = [this] { SendRqx5NextCoordinate(); };
    routines.ReceiveRqx5CoordinateRecord = [this] { ReceiveRqx5CoordinateRecord(); };
}

void Rqx5Protocol::commandReceiveCoordinates()
{
    m_view.setStatus(QStringLiteral("等待接收坐标数据..."));
    StartRqx5CoordinateReceive();
}

void Rqx5Protocol::commandSendCoordinates()
{
    m_state.HandshakeAnswered = 0;
    // Nothing goes out, not even the header, unless every row can be sent as it stands.
    const QString refusal = CheckRowsForSend(m_table, sendLimits());
    if (!refusal.isEmpty()) {
        m_view.showMessage(kErrorTitle, refusal);
        return;
    }
    StartRqx5CoordinateSend();
}

bool Rqx5Protocol::StartRqx5CoordinateReceive()
{
    m_state.Rqx5MeasureReceiveStarted = false;
    // A coordinate receive started here owns the next header, even after the measurement window
    // has been opened; the measurement window claims it again when it prepares its own receive.
    m_state.Rqx5MeasureWindowOpen = false;
    m_state.RecordBuffer.reallocate(kPreparedBufferBound);
    m_state.ReceiveBuffer.reallocate(kPreparedBufferBound);
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(kSendThreshold);
    m_link.setReceiveThreshold(kCoordinateHeaderLength);
    if (!openPort())
        return false;
    m_state.TransferUnderway = true;
    return true;
}

void Rqx5Protocol::ReceiveRqx5DataBlock()
{
    m_state.RecordCount = 0;
    if (!m_state.Rqx5AckNotFirst) {
        // A bare end frame: the completion message has been shown and closed; echo the frame. The
        // receive threshold stays as it was.
        m_state.TransferUnderway = false;
        resetPort();
        if (openPort())
            send(kEndPair);
        return;
    }

    m_state.RecordBuffer.copyShiftedFrom(m_state.ReceiveBuffer);
    // While the measurement window owns the receive its header is a data file's. Without a data-file
    // receive to hand it to, the header is taken as the coordinate header it may well be rather
    // than dropped.
    if (m_state.Rqx5MeasureWindowOpen && m_dataFileHeader) {
        m_dataFileHeader();
        return;
    }

    m_view.selectCoordinateData();
    const int nameLast = kHeaderNameFirst + kHeaderNameLength - 1;
    Rqx5Decode::recordBuffer(m_state, kHeaderNameFirst, nameLast);
    m_view.setFileName(Rqx5Decode::characters(m_state, kHeaderNameFirst, nameLast));
    m_state.Rqx5Count = m_state.RecordBuffer.at(kHeaderCountHigh) * kHeaderCountBase +
                        m_state.RecordBuffer.at(kHeaderCountLow);
    m_view.setProgress(QString::number(m_state.Rqx5Count));
    AcknowledgeRqx5CoordinateRecord();
}

void Rqx5Protocol::ShowRqx5TransferComplete()
{
    m_view.showMessage(QStringLiteral("成功"), QStringLiteral("数据传输完毕！"));
}

void Rqx5Protocol::AcknowledgeRqx5CoordinateRecord()
{
    m_state.ReceiveBuffer.reallocate(kAcknowledgedBufferBound);
    resetPort();
    if (m_state.Rqx5Count == m_state.RecordCount) {
        // Every announced point is in: only the instrument's bare end frame is still to come.
        m_link.setReceiveThreshold(kControlLength);
        if (!openPort())
            return;
        m_view.setStatus(QStringLiteral("传送完毕！"));
        m_view.setProgress(QString::number(m_table.count()));
    } else {
        m_view.setProgress(QStringLiteral("%1/%2").arg(m_state.RecordCount).arg(m_state.Rqx5Count));
        m_link.setReceiveThreshold(kCoordinateRecordLength);
        if (!openPort())
            return;
    }
    send(kNextPair);
}

void Rqx5Protocol::ReceiveRqx5CoordinateRecord()
{
    ++m_state.RecordCount;
    m_state.reallocateCharCodeTable(kCharCodeTableBound);
    m_view.setStatus(QStringLiteral("坐标数据传送中。。。"));
    m_state.RecordBuffer.copyShiftedFrom(m_state.ReceiveBuffer);
    Rqx5Decode::recordBuffer(m_state, 0, kRecordLastDecoded);

    const long index = m_state.RecordCount;
    auto &texts = m_state.PointText;
    texts[kNumberText].set(index, decodedText(kNumberFirst, kNumberLast));
    texts[kNameText].set(index, decodedText(kNameFirst, kNameLast));
    texts[kNorthText].set(index, decodedText(kNorthFirst, kNorthLast) + kCoordinateTail);
    texts[kEastText].set(index, decodedText(kEastFirst, kEastLast) + kCoordinateTail);
    texts[kHeightText].set(index, decodedText(kHeightFirst, kHeightLast) + kCoordinateTail);

    // A table without columns (cleared, or showing the lines of a raw-lines file) gets them first,
    // or the received points would not be seen.
    const bool nez = m_state.nez();
    if (m_table.count() == 0 || !m_table.hasColumns())
        m_table.buildColumns(nez);
    CoordinatePoint point;
    point.sequence = QString::number(m_table.count() + 1);
    point.number = Rqx5Record::receivedPointNumber(texts[kNumberText].at(index));
    point.name = texts[kNameText].at(index);
    const QString &north = texts[kNorthText].at(index);
    const QString &east = texts[kEastText].at(index);
    point.first = nez ? north : east;
    point.second = nez ? east : north;
    point.height = texts[kHeightText].at(index);
    m_table.append(point);

    AcknowledgeRqx5CoordinateRecord();
}

bool Rqx5Protocol::StartRqx5CoordinateSend()
{
    m_state.Rqx5MeasureReceiveStarted = false;
    m_state.ReceiveBuffer.reallocate(kSendBufferBound);
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(kSendThreshold);
    m_link.setReceiveThreshold(kControlLength);
    if (!openPort())
        return false;
    const int n = m_table.count();
    if (n < 1) {
        m_view.showMessage(QStringLiteral("提示"), QStringLiteral("请首先打开一个坐标数据文件"));
        return false;
    }
    if (!send(Rqx5Record::sendHeader(n)))
        return false;
    m_state.TransferUnderway = true;
    m_state.RecordCount = 0;
    return true;
}

void Rqx5Protocol::SendRqx5NextCoordinate()
{
    const long k = m_state.RecordCount;
    resetPort();
    m_link.setReceiveThreshold(kControlLength);
    if (!openPort())
        return;
    const int rows = m_table.count();
    if (k >= 1 && k <= rows) {
        m_view.setProgress(QStringLiteral("%1/%2").arg(k).arg(rows));
        m_view.setStatus(QStringLiteral("发送中："));
        const int row = static_cast<int>(k);
        // The table was checked when the send started, but it can be edited while the send runs.
        QString refusal = CheckRowCountForSend(rows, sendLimits());
        if (refusal.isEmpty())
            refusal = CheckRowForSend(m_table, row, sendLimits());
        // N always goes first on the wire, whichever column shows it.
        const bool nez = m_state.nez();
        const QString first = m_table.cell(row, 3);
        const QString second = m_table.cell(row, 4);
        const auto record = refusal.isEmpty()
                                ? Rqx5Record::coordinateRecord(m_table.cell(row, 1), m_table.cell(row, 2),
                                                               nez ? first : second, nez ? second : first,
                                                               m_table.cell(row, 5))
                                : std::nullopt;
        if (!record) {
            m_view.setStatus(QString());
            m_view.showMessage(kErrorTitle, refusal);
            return;
        }
        send(*record);
        return;
    }
    m_state.TransferUnderway = false;
    m_view.setCountLabel(QStringLiteral("完毕！"));
    resetPort();
    m_link.setReceiveThreshold(kControlLength);
    if (openPort())
        send(kEndPair);
}

void Rqx5Protocol::resetPort()
{
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(kSendThreshold);
}

bool Rqx5Protocol::openPort()
{
    if (m_link.openIfClosed())
        return true;
    m_view.reportPortFailure();
    return false;
}

bool Rqx5Protocol::send(const QByteArray &bytes)
{
    if (m_link.write(bytes))
        return true;
    m_view.reportPortFailure();
    return false;
}

QString Rqx5Protocol::decodedText(int first, int last) const
{
    QString text;
    for (int k = first; k <= last; ++k) {
        const QString &character = m_state.CharCodeTable[static_cast<size_t>(k)];
        if (character != QLatin1String(" "))
            text += character;
    }
    return text;
}
