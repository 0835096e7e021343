#include "ReceiveHarness.h"

#include <QAbstractItemModel>
#include <cstdio>
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
                         m_rowsInserted += last - first + 1;
                         if (!m_recordRoutine)
                             return;
                         m_rowsInCall += last - first + 1;
                         m_rowsStored += last - first + 1;
                     });
}

void ReceiveHarness::setRecords(const QStringList &routines, Acknowledgement acknowledgement,
                                const QStringList &answeredWithoutRecord)
{
    m_recordRoutines = routines;
    m_acknowledgement = std::move(acknowledgement);
    for (const QString &number : answeredWithoutRecord)
        m_answeredNumbers.insert(number);
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
    // RQX_FUZZ_TRACE=1 fuzz_<name> INPUT shows what the program did with an input.
    if (qEnvironmentVariableIsSet("RQX_FUZZ_TRACE"))
        std::fprintf(stderr, "%s\nrows inserted %ld, records stored %ld and acknowledged %ld\n",
                     log.events.join(u'\n').toUtf8().constData(), m_rowsInserted, m_rowsStored, m_recordAcks);
    return m_broken;
}

void ReceiveHarness::watchRoutines()
{
    ReceiveRoutines &routines = dispatcher.routines();
    for (const auto &[name, member] : kRoutines) {
        std::function<void()> &routine = routines.*member;
        if (!routine)
            continue;
        const bool record = m_recordRoutines.contains(QLatin1String(name));
        routine = [this, name = name, record, inner = std::move(routine)] {
            const char *outer = std::exchange(m_routine, name);
            const bool outerRecord = std::exchange(m_recordRoutine, record);
            const int outerRows = std::exchange(m_rowsInCall, 0);
            const int outerAcks = std::exchange(m_acksInCall, 0);
            inner();
            m_routine = outer;
            m_recordRoutine = outerRecord;
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
    if (!m_recordRoutine || !m_acknowledgement)
        return;
    const std::optional<QString> number = m_acknowledgement(m_routine, bytes);
    if (!number)
        return;
    // A failed write counts too: the record was answered as far as the program could.
    if (m_rowsInCall > m_acksInCall) {
        ++m_acksInCall;
        ++m_recordAcks;
        if (!number->isEmpty())
            m_answeredNumbers.insert(*number);
        return;
    }
    if (number->isEmpty() || !m_answeredNumbers.contains(*number))
        fail(QStringLiteral("%1 wrote the acknowledgement %2 for no record stored (%3 stored and %4 "
                            "acknowledged in this call)")
                 .arg(QLatin1String(m_routine), hex(bytes))
                 .arg(m_rowsInCall)
                 .arg(m_acksInCall));
}
