#include "Rqx2MeasurementReceive.h"

#include "Rqx2MeasurementList.h"
#include "Rqx2MeasurementRecord.h"
#include "Rqx2Protocol.h"
#include "core/AppState.h"
#include "core/InstrumentCode.h"
#include "core/MeasurementTableModel.h"
#include "core/Rqx2MeasurementView.h"
#include "serial/ReceiveDispatcher.h"
#include "serial/SerialLink.h"

const QString Rqx2MeasurementReceive::kWaitingForHandshake = QStringLiteral("等待握手信号。。。");
const QString Rqx2MeasurementReceive::kTransferring = QStringLiteral("数据传输中。。。");
const QString Rqx2MeasurementReceive::kComplete = QStringLiteral("传输完毕！");
const QString Rqx2MeasurementReceive::kDamagedRecord =
    QStringLiteral("收到一条损坏的测量数据（不完整，或记录序号、记录总数不是四位数字），该条数据未保存。"
                   "请在全站仪上重新发送测量数据！");

namespace {
using Record = Rqx2MeasurementRecord;

const QString kErrorTitle = QStringLiteral("错误提示");
const QString kSuccessTitle = QStringLiteral("成功");
const QString kFileNameCaption = QStringLiteral("文件名： ");

// Every record fits in these bounds; a longer block is damaged whatever it holds.
constexpr int kRecordBufferBound = 300;
constexpr int kCharCodeTableBound = 300;
constexpr int kAnswerBufferBound = 5000;
constexpr char kHeaderKindCharacter[] = "7";
} // namespace

Rqx2MeasurementReceive::Rqx2MeasurementReceive(AppState &state, SerialLink &link, MeasurementTableModel &list,
                                               Rqx2MeasurementView &view)
    : m_state(state), m_link(link), m_list(list), m_view(view)
{
}

void Rqx2MeasurementReceive::install(ReceiveRoutines &routines)
{
    routines.ReceiveRqx2ShortRecord = [this] { ReceiveRqx2ShortRecord(); };
    routines.ReceiveRqx2LongRecord = [this] { ReceiveRqx2LongRecord(); };
    routines.ReceiveRqx2CoordinateRecord = [this, coordinate = routines.ReceiveRqx2CoordinateRecord] {
        if (m_state.ReceiveMeasurementsMode == 1)
            receive();
        else if (coordinate)
            coordinate();
    };
}

void Rqx2MeasurementReceive::selectMeasurementReceive()
{
    m_state.HandshakeAnswered = 0;
    m_state.ReceiveCoordinatesMode = 0;
    m_state.ReceiveMeasurementsMode = 1;
    m_state.SendCoordinatesMode = 0;
    startOver();
}

void Rqx2MeasurementReceive::commandReceive()
{
    // PointText1 to PointText3: the measured points' coordinates.
    m_state.PointText[0].clear();
    m_state.PointText[1].clear();
    m_state.PointText[2].clear();
    selectMeasurementReceive();
    SetupRqx2MeasurementList();
    PrepareRqx2Transfer();
    m_view.setStatus(kWaitingForHandshake);
}

void Rqx2MeasurementReceive::SetupRqx2MeasurementList()
{
    m_list.setColumns(Rqx2MeasurementList::columns(m_state.nez()));
}

bool Rqx2MeasurementReceive::PrepareRqx2Transfer()
{
    if (!Rqx2Protocol::PrepareRqx2Port(m_state, m_link)) {
        m_view.reportPortFailure();
        return false;
    }
    return true;
}

bool Rqx2MeasurementReceive::serving() const
{
    return m_state.ReceiveMeasurementsMode == 1 && m_state.HandshakeAnswered == 1;
}

void Rqx2MeasurementReceive::receive()
{
    // Outside a measurement receive, and before its handshake, a block ending in CR is not for here.
    if (!serving())
        return;
    // The dispatcher calls with LoopIndex at the CR, the block's bytes 1..LoopIndex in the
    // ReceiveBuffer; only those are read, so nothing left from an earlier block can be taken.
    const int end = static_cast<int>(m_state.LoopIndex);
    m_state.reallocateCharCodeTable(kCharCodeTableBound);
    m_state.RecordBuffer.copyShiftedFrom(m_state.ReceiveBuffer);
    for (int k = 0; k < end && k <= kCharCodeTableBound; ++k)
        m_state.CharCodeTable[static_cast<size_t>(k)] = CodeToCharacter(m_state.RecordBuffer.at(k));
    if (!m_headerTaken)
        takeHeader(end);
    else
        takeRecord(end);
}

void Rqx2MeasurementReceive::takeHeader(int end)
{
    if (end != Record::kHeaderLength - 1) {
        reject();
        return;
    }
    // The count stands in bytes 5 to 8 before the kind byte 7. Only a header whose kind byte is not
    // where it belongs is searched for its last "7", the count then taken from the four bytes before.
    int totalAt = Record::kTotalByte;
    if (Record::kind(m_state.ReceiveBuffer.at(Record::kKindByte)) != Record::Header) {
        int last = -1;
        for (int k = 0; k < end; ++k) {
            if (m_state.CharCodeTable[static_cast<size_t>(k)] == QLatin1String(kHeaderKindCharacter))
                last = k;
        }
        // Character k is byte k + 1: the count is bytes last - 3 to last.
        totalAt = last - Record::kCounterWidth + 1;
    }
    const int total = totalAt >= Record::kCurrentByte ? counter(totalAt) : -1;
    if (total < 0 || counter(Record::kCurrentByte) < 0) {
        reject();
        return;
    }

    // A header after a damaged record starts the file over: its records come again from the first.
    m_headerTaken = true;
    m_state.RecordCount = 0;
    for (int column = 1; column <= Rqx2MeasurementList::kFieldCount; ++column)
        Rqx2MeasurementList::columnStore(m_state, column).clear();
    m_list.clearRows();

    QString name;
    for (int k = Record::kFileNameByte - 1; k < Record::kFileNameByte - 1 + Record::kFileNameWidth; ++k)
        name += m_state.CharCodeTable[static_cast<size_t>(k)];
    m_view.setFileName(kFileNameCaption + name);

    if (!acknowledge(0, total))
        return;
    m_state.ReceiveBuffer.reallocate(kRecordBufferBound);
    // A file of no records is over with its header.
    if (total == 0)
        complete();
}

void Rqx2MeasurementReceive::takeRecord(int end)
{
    const Record::Kind kind = Record::kind(m_state.ReceiveBuffer.at(Record::kKindByte));
    const int length = Record::length(kind);
    // A record of an unknown kind is taken at any length that holds its kind byte; the others only
    // whole, their CR where their length puts it.
    const bool whole = length > 0 ? end == length - 1 : end > Record::kKindByte;
    const int current = counter(Record::kCurrentByte);
    const int total = counter(Record::kTotalByte);
    if (!whole || current < 0 || total < 0) {
        // Once the file is complete the instrument has nothing more to send; stray bytes are let be.
        if (!m_complete)
            reject();
        return;
    }
    // The instrument sends a record again when its acknowledgement did not reach it: it is answered
    // again, and not stored twice.
    if (current == m_lastCurrent) {
        acknowledge(current, total);
        return;
    }
    if (m_complete)
        return;

    m_lastCurrent = current;
    if (kind != Record::Other)
        m_state.Rqx2RecordKind = kind;
    const long index = ++m_state.RecordCount;
    Record::storeFields(kind, m_state.CharCodeTable, m_state, index);
    // Every record adds a row, also one of a kind that stores nothing.
    m_list.append(Rqx2MeasurementList::row(m_state, index, m_state.nez()));

    if (!acknowledge(current, total))
        return;
    m_view.setProgress(QString::number(current) + u'/' + QString::number(total));
    if (current < total)
        m_view.setStatus(kTransferring);
    else
        complete();
}

bool Rqx2MeasurementReceive::acknowledge(int current, int total)
{
    m_link.clearOutput();
    m_link.clearInput();
    m_link.setSendThreshold(1);
    // Any kind of record can come next; a longer one raises its event once it is whole.
    m_link.setReceiveThreshold(Record::kShortestAfterHeader);
    if (!m_link.openIfClosed() || !m_link.write(Record::acknowledgement(current, total))) {
        m_view.reportPortFailure();
        return false;
    }
    return true;
}

void Rqx2MeasurementReceive::complete()
{
    m_complete = true;
    m_state.TransferUnderway = false;
    m_view.setStatus(kComplete);
    m_view.showMessage(kSuccessTitle, kComplete);
}

void Rqx2MeasurementReceive::reject()
{
    // The instrument still waits for the acknowledgement of the damaged record; the person starts
    // the send again on it, and its new handshake request is answered as the first one was.
    m_state.HandshakeAnswered = 0;
    startOver();
    m_state.ReceiveBuffer.reallocate(kAnswerBufferBound);
    m_link.clearInput();
    m_link.setReceiveThreshold(Rqx2Protocol::kRequestLength);
    m_view.setStatus(kWaitingForHandshake);
    m_view.showMessage(kErrorTitle, kDamagedRecord);
}

void Rqx2MeasurementReceive::startOver()
{
    m_headerTaken = false;
    m_complete = false;
    m_lastCurrent = -1;
}

int Rqx2MeasurementReceive::counter(int at) const
{
    // Read from the bytes themselves: the codes 0 to 9 decode to the same texts as the digits.
    int number = 0;
    for (int i = at; i < at + Record::kCounterWidth; ++i) {
        const unsigned char byte = m_state.ReceiveBuffer.at(i);
        if (byte < '0' || byte > '9')
            return -1;
        number = number * 10 + (byte - '0');
    }
    return number;
}
