#include "ReceiveHarness.h"

#include <QAbstractItemModel>
#include <utility>

namespace {
constexpr uint8_t kFirstCommandCode = 0xF0;
constexpr uint8_t kLastCommandCode = 0xF7;
constexpr uint8_t kCableCode = 0xF8;
constexpr int kOrderEnzBit = 0x01;
constexpr int kRowsShift = 1;
constexpr int kRowsMask = 0x07;

using Routine = std::function<void()> ReceiveRoutines::*;
const std::pair<const char *, Routine> kRoutines[] = {
    {"AnswerRqx2Handshake", &ReceiveRoutines::AnswerRqx2Handshake},
    {"ReceiveRqx2CoordinateRecord", &ReceiveRoutines::ReceiveRqx2CoordinateRecord},
    {"ReceiveRqx2LongRecord", &ReceiveRoutines::ReceiveRqx2LongRecord},
    {"ReceiveRqx2ShortRecord", &ReceiveRoutines::ReceiveRqx2ShortRecord},
    {"ShowRqx5TransferComplete", &ReceiveRoutines::ShowRqx5TransferComplete},
    {"ReceiveRqx5DataBlock", &ReceiveRoutines::ReceiveRqx5DataBlock},
    {"SendRqx5NextCoordinate", &ReceiveRoutines::SendRqx5NextCoordinate},
    {"ReceiveRqx5CoordinateRecord", &ReceiveRoutines::ReceiveRqx5CoordinateRecord},
    {"ReceiveRqx5DataFileRecord", &ReceiveRoutines::ReceiveRqx5DataFileRecord},
    {"ReceiveRqx5MeasurementRecord", &ReceiveRoutines::ReceiveRqx5MeasurementRecord},
};
} // namespace

ReceiveHarness::ReceiveHarness(bool rqx5, FuzzInput &input) : ReceiveSide(rqx5), m_input(input)
{
    m_commandChoice = m_input.byte();
    const int options = m_input.byte();
    selection.nez = (options & kOrderEnzBit) == 0;
    addRows((options >> kRowsShift) & kRowsMask);
    watchRows(table);
    link.onWrite = [this](const QByteArray &bytes) { onWrite(bytes); };
}

void ReceiveHarness::watchRows(QAbstractItemModel &model)
{
    QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                     [this](const QModelIndex &, int first, int last) {
                         if (!m_routine)
                             return;
                         m_rowsInCall += last - first + 1;
                         m_rowsStored += last - first + 1;
                     });
}

void ReceiveHarness::fail(const QString &what)
{
    if (m_broken.isEmpty())
        m_broken = what;
}

QString ReceiveHarness::run(const std::vector<Command> &commands)
{
    watchRoutines();
    commands[m_commandChoice % commands.size()]();
    while (!m_input.atEnd() && !view.ended && m_broken.isEmpty()) {
        const uint8_t code = m_input.byte();
        if (code >= kFirstCommandCode && code <= kLastCommandCode) {
            commands[(code - kFirstCommandCode) % commands.size()]();
        } else if (code == kCableCode) {
            m_cablePulled = !m_cablePulled;
            link.failOpen = link.failWrite = m_cablePulled;
        } else {
            deliver(m_input.bytes(code));
        }
    }
    return m_broken;
}

void ReceiveHarness::watchRoutines()
{
    ReceiveRoutines &routines = dispatcher.routines();
    for (const auto &[name, member] : kRoutines) {
        std::function<void()> &routine = routines.*member;
        if (!routine)
            continue;
        routine = [this, name = name, inner = std::move(routine)] {
            const char *outer = std::exchange(m_routine, name);
            const int outerRows = std::exchange(m_rowsInCall, 0);
            const int outerAcks = std::exchange(m_acksInCall, 0);
            inner();
            m_routine = outer;
            m_rowsInCall = outerRows;
            m_acksInCall = outerAcks;
            if (m_rowsStored > m_recordAcks)
                fail(QStringLiteral("%1 stored a record it did not acknowledge: %2 records stored, %3 "
                                    "acknowledged")
                         .arg(QLatin1String(name))
                         .arg(m_rowsStored)
                         .arg(m_recordAcks));
        };
    }
}

void ReceiveHarness::deliver(const QByteArray &bytes)
{
    link.waiting += bytes;
    if (!bytes.isEmpty() && link.portOpen && link.rThreshold > 0 && link.waitingCount() >= link.rThreshold)
        dispatcher.OnReceiveEvent();
}

void ReceiveHarness::onWrite(const QByteArray &bytes)
{
    if (!m_routine || !m_isRecordAck || !m_isRecordAck(m_routine, bytes))
        return;
    // A failed write counts too: the record was answered as far as the program could.
    if (m_rowsInCall == 0 || m_acksInCall > 0)
        fail(QStringLiteral("%1 wrote the acknowledgement %2 for no record it stored (%3 stored, %4 "
                            "acknowledged in this call)")
                 .arg(QLatin1String(m_routine), hex(bytes))
                 .arg(m_rowsInCall)
                 .arg(m_acksInCall));
    ++m_acksInCall;
    ++m_recordAcks;
}
