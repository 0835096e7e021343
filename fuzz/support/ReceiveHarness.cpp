#include "ReceiveHarness.h"

#include "support/Recorder.h"

#include <cstdio>
#include <utility>

namespace {
constexpr uint8_t kFirstCommandCode = 0xF0;
constexpr uint8_t kLastCommandCode = 0xF7;
constexpr uint8_t kCableCode = 0xF8;
constexpr int kOrderEnzBit = 0x01;
constexpr int kRowsShift = 1;
constexpr int kRowsMask = 0x07;

// The coordinate transfers report to the main window's table; the others to a measurement window's list.
bool reportsToTable(const Transfer &transfer)
{
    return transfer.kind().contains(QLatin1String("coordinate"));
}
} // namespace

bool ReceiveHarness::Segment::contains(TransferAction::Kind kind) const
{
    for (const TransferAction *action = first; action != last; ++action) {
        if (action->kind == kind)
            return true;
    }
    return false;
}

ReceiveHarness::ReceiveHarness(FuzzInput &input) : m_input(input)
{
    m_commandChoice = m_input.byte();
    const int options = m_input.byte();
    m_nez = (options & kOrderEnzBit) == 0;
    // Rows 1..count already in the table: point number n, name "Pn", coordinates 100.5, 200.25, 3.125.
    const int rows = (options >> kRowsShift) & kRowsMask;
    if (rows > 0) {
        table.buildColumns(m_nez);
        std::vector<CoordinatePoint> points;
        for (int i = 1; i <= rows; ++i) {
            const QString n = QString::number(i);
            points.push_back({n, n, QStringLiteral("P") + n, QStringLiteral("100.5"),
                              QStringLiteral("200.25"), QStringLiteral("3.125")});
        }
        table.append(points);
    }
}

void ReceiveHarness::setRecords(const QStringList &kinds, Acknowledgement acknowledgement,
                                const QStringList &answeredWithoutRecord)
{
    m_recordKinds = kinds;
    m_acknowledgement = std::move(acknowledgement);
    for (const QString &number : answeredWithoutRecord)
        m_answeredNumbers.insert(number);
}

void ReceiveHarness::fail(const QString &what)
{
    if (m_broken.isEmpty())
        m_broken = what;
}

bool ReceiveHarness::portShownClosed() const
{
    return m_portShownClosed;
}

QString ReceiveHarness::run(const std::vector<Command> &commands)
{
    begin(commands[m_commandChoice % commands.size()]);
    while (!m_input.atEnd() && !m_ended && m_broken.isEmpty()) {
        const uint8_t code = m_input.byte();
        if (code >= kFirstCommandCode && code <= kLastCommandCode) {
            begin(commands[(code - kFirstCommandCode) % commands.size()]);
        } else if (code == kCableCode) {
            m_cablePulled = !m_cablePulled;
            // Only an open port goes away by itself; the transfer is told, as the executor tells it.
            if (m_cablePulled && m_portOpen) {
                m_portOpen = false;
                m_trace.append(QStringLiteral("lost"));
                if (m_transfer)
                    m_transfer->portLost();
            }
        } else {
            deliver(m_input.bytes(code));
        }
    }
    // RQX_FUZZ_TRACE=1 fuzz_<name> INPUT shows what the program did with an input.
    if (qEnvironmentVariableIsSet("RQX_FUZZ_TRACE"))
        std::fprintf(stderr, "%s\nrecords stored %ld and acknowledged %ld\n",
                     m_trace.join(u'\n').toUtf8().constData(), m_rowsStored, m_recordAcks);
    return m_broken;
}

void ReceiveHarness::begin(const Command &command)
{
    m_transfer = command.make();
    m_records = m_recordKinds.contains(m_transfer->kind());
    m_trace.append((command.start ? QStringLiteral("begin ") : QStringLiteral("adopt ")) +
                   m_transfer->kind());
    if (command.start)
        perform(m_transfer->start());
}

void ReceiveHarness::deliver(const QByteArray &bytes)
{
    if (bytes.isEmpty() || !m_portOpen || !m_transfer)
        return;
    m_trace.append(QStringLiteral("read ") + hex(bytes));
    perform(m_transfer->take(bytes));
}

void ReceiveHarness::perform(const TransferActions &actions)
{
    // The invariants hold for what the transfer asks, whether or not the port lets all of it be done:
    // an acknowledgement after a failed write or open was meant, and the user is told of the failure.
    if (m_records && m_acknowledgement) {
        m_rowsInTake = 0;
        m_acksInTake = 0;
        size_t segmentFirst = 0;
        for (size_t i = 0; i < actions.size() && m_broken.isEmpty(); ++i) {
            if (actions[i].kind == TransferAction::Show &&
                std::holds_alternative<TransferEvents::Row>(actions[i].event)) {
                ++m_rowsInTake;
                ++m_rowsStored;
            } else if (actions[i].kind == TransferAction::Write) {
                checkAcknowledgement(actions, i, segmentFirst);
                segmentFirst = i + 1;
            }
        }
        if (m_rowsStored > m_recordAcks)
            fail(QStringLiteral(
                     "%1 stored a record it did not acknowledge: %2 records stored, %3 acknowledged")
                     .arg(m_transfer->kind())
                     .arg(m_rowsStored)
                     .arg(m_recordAcks));
    }
    for (const TransferAction &action : actions) {
        m_trace.append(action.describe());
        if (!perform(action)) {
            // The executor drops the rest of the transfer's actions and tells the user.
            m_trace.append(QStringLiteral("port failed"));
            m_transfer->portFailed();
            return;
        }
    }
}

void ReceiveHarness::checkAcknowledgement(const TransferActions &actions, size_t index, size_t segmentFirst)
{
    const Segment segment{actions.data() + segmentFirst, actions.data() + index + 1};
    const std::optional<QString> number = m_acknowledgement(*m_transfer, segment);
    if (!number)
        return;
    if (m_rowsInTake > m_acksInTake) {
        ++m_acksInTake;
        ++m_recordAcks;
        if (!number->isEmpty())
            m_answeredNumbers.insert(*number);
        return;
    }
    if (number->isEmpty() || !m_answeredNumbers.contains(*number))
        fail(QStringLiteral("%1 wrote the acknowledgement %2 for no record stored (%3 stored and %4 "
                            "acknowledged in this take)")
                 .arg(m_transfer->kind(), hex(actions[index].bytes))
                 .arg(m_rowsInTake)
                 .arg(m_acksInTake));
}

bool ReceiveHarness::perform(const TransferAction &action)
{
    switch (action.kind) {
    case TransferAction::Write:
        return m_portOpen && !m_cablePulled;
    case TransferAction::OpenPort:
        if (!m_portOpen && !m_cablePulled)
            m_portOpen = true;
        return m_portOpen;
    case TransferAction::ClosePort:
        m_portOpen = false;
        return true;
    case TransferAction::Show:
        if (const auto *port = std::get_if<TransferEvents::PortShown>(&action.event))
            m_portShownClosed = !port->open;
        rows.reportToTable(reportsToTable(*m_transfer));
        rows.apply(action.event);
        return true;
    case TransferAction::ReportPortFailure:
        return false;
    case TransferAction::EndProgram:
        m_ended = true;
        return true;
    default:
        return true;
    }
}
