#include "Fault.h"

#include "Wire.h"

#include <QElapsedTimer>
#include <QtGlobal>

namespace {

constexpr int kMsPerSecond = 1000;
constexpr int kByteValues = 256;

bool s_cablePulled = false;

QString byteText(char byte)
{
    return QStringLiteral("0x") +
           QString::number(static_cast<unsigned char>(byte), 16).rightJustified(2, u'0').toUpper();
}

// The record runs from its start byte to its terminator; filler after that is the block's.
qsizetype terminatorIndex(const QByteArray &record, char end)
{
    const qsizetype at = record.lastIndexOf(end);
    return at > 0 ? at : record.size() - 1;
}

} // namespace

FaultOptionRead readFaultOption(const QStringList &args, int *i, FaultOptions *options, QString *error)
{
    const QString &arg = args[*i];
    const QString value = *i + 1 < args.size() ? args[*i + 1] : QString();
    bool number = false;
    FaultOptions::Kind kind = FaultOptions::None;
    if (arg == QLatin1String("--lose-byte"))
        kind = FaultOptions::LoseByte;
    else if (arg == QLatin1String("--lose-terminator"))
        kind = FaultOptions::LoseTerminator;
    else if (arg == QLatin1String("--add-byte"))
        kind = FaultOptions::AddByte;
    else if (arg == QLatin1String("--fall-silent"))
        kind = FaultOptions::FallSilent;
    else if (arg == QLatin1String("--pull-cable"))
        kind = FaultOptions::PullCable;
    else if (arg == QLatin1String("--terminator-inside"))
        kind = FaultOptions::TerminatorInside;
    else if (arg == QLatin1String("--repeat-record"))
        kind = FaultOptions::RepeatRecord;

    if (kind != FaultOptions::None) {
        const int record = value.toInt(&number);
        if (!number || record < 0) {
            *error = QStringLiteral("%1 needs a record number").arg(arg);
            return FaultOptionRead::Bad;
        }
        if (options->kind != FaultOptions::None || options->header != FaultOptions::HeaderIntact) {
            *error = QStringLiteral("one fault at a time");
            return FaultOptionRead::Bad;
        }
        options->kind = kind;
        options->record = record;
    } else if (arg == QLatin1String("--restart-after")) {
        const double seconds = value.toDouble(&number);
        if (!number || seconds < 0 || seconds > 3600) {
            *error = QStringLiteral("--restart-after needs seconds, 0 to 3600");
            return FaultOptionRead::Bad;
        }
        options->restartMs = qRound(seconds * kMsPerSecond);
    } else if (arg == QLatin1String("--fault-seed")) {
        options->seed = value.toUInt(&number);
        if (!number) {
            *error = QStringLiteral("--fault-seed needs a number");
            return FaultOptionRead::Bad;
        }
        options->seedGiven = true;
    } else if (arg == QLatin1String("--damage-header")) {
        if (options->kind != FaultOptions::None || options->header != FaultOptions::HeaderIntact) {
            *error = QStringLiteral("one fault at a time");
            return FaultOptionRead::Bad;
        }
        if (value == QLatin1String("lose"))
            options->header = FaultOptions::HeaderLoseByte;
        else if (value == QLatin1String("add"))
            options->header = FaultOptions::HeaderAddByte;
        else {
            *error = QStringLiteral("--damage-header takes lose or add");
            return FaultOptionRead::Bad;
        }
    } else if (arg == QLatin1String("--pad")) {
        if (value == QLatin1String("before"))
            options->padding = FaultOptions::PadBefore;
        else if (value == QLatin1String("nul"))
            options->padding = FaultOptions::PadAfterNul;
        else if (value == QLatin1String("space"))
            options->padding = FaultOptions::PadAfterSpace;
        else {
            *error = QStringLiteral("--pad takes before, nul or space");
            return FaultOptionRead::Bad;
        }
    } else {
        return FaultOptionRead::NotFault;
    }
    *i += 1;
    return FaultOptionRead::Read;
}

QString faultOptionsProblem(const FaultOptions &options)
{
    if (options.restartMs >= 0 && options.header == FaultOptions::HeaderIntact &&
        (options.kind == FaultOptions::None || options.kind == FaultOptions::PullCable ||
         options.kind == FaultOptions::RepeatRecord))
        return QStringLiteral("--restart-after goes with --lose-byte, --lose-terminator, --add-byte, "
                              "--terminator-inside, --fall-silent or --damage-header");
    return {};
}

QString faultUsage()
{
    return QStringLiteral(
        "Faults, in the transfers the instrument sends (records counted from 1, bytes from 0):\n"
        "  --lose-byte N       one byte of record N, chosen by the seed, does not come\n"
        "  --lose-terminator N the terminator of record N does not come (RQX5 measure: the next\n"
        "                      measurement follows as usual)\n"
        "  --add-byte N        one extra byte comes inside record N, value and place chosen by the\n"
        "                      seed (never the record's start byte, nor a byte that ends a\n"
        "                      record: that is --terminator-inside)\n"
        "  --fall-silent N     after record N the instrument sends part of record N+1, then nothing\n"
        "  --restart-after S   after the lost, added or cut-off record the instrument waits S seconds\n"
        "                      (2, 0.5) and starts the same transfer over: RQX2 the request again,\n"
        "                      RQX5 the header again, then the whole file (RQX5 measure: the cut-off\n"
        "                      measurement again, then the rest). Without it the instrument waits\n"
        "                      --timeout for an answer that must not come and ends with status 0\n"
        "  --damage-header lose|add  RQX5 send and datafile: the header's first attempt loses a byte\n"
        "                      or gains one, place and value chosen by the seed (never its closing\n"
        "                      AA 82); unanswered, the instrument starts over as after a lost byte\n"
        "  --pull-cable N      after record N (0: before the first) the simulator ends, closing its\n"
        "                      end of the line\n"
        "  --terminator-inside N  one byte inside record N, chosen by the seed, comes as the record's\n"
        "                      terminator (noise, or a bit lost: RQX2 '-' 0x2D becomes CR 0x0D)\n"
        "  --repeat-record N   once record N has been answered it comes again, as when the instrument\n"
        "                      did not hear the answer; the program must answer it again. RQX2\n"
        "                      measurements: 0 is the header\n"
        "  --fault-seed N      the fault of an earlier run again (else RQXSIM_FAULT_SEED, else a new\n"
        "                      one); each fault is printed with its seed\n"
        "  --pad before|nul|space  RQX5 measure: each measurement filled to 58 bytes, with spaces\n"
        "                      before its terminator, or after it with NULs or spaces\n");
}

Fault::Fault(const FaultOptions &options) : m_options(options)
{
    if (options.seedGiven) {
        m_seed = options.seed;
    } else {
        bool number = false;
        m_seed = qEnvironmentVariable("RQXSIM_FAULT_SEED").toUInt(&number);
        if (!number)
            m_seed = std::random_device()();
    }
    m_random.seed(m_seed);
}

QString Fault::problem(int count, bool withHeader) const
{
    switch (m_options.kind) {
    case FaultOptions::None:
        return {};
    case FaultOptions::RepeatRecord:
        if (withHeader && m_options.record == 0)
            return {};
        [[fallthrough]];
    case FaultOptions::LoseByte:
    case FaultOptions::LoseTerminator:
    case FaultOptions::AddByte:
    case FaultOptions::TerminatorInside:
        if (m_options.record >= 1 && m_options.record <= count)
            return {};
        return QStringLiteral("the fault is in record %1, the transfer has records 1 to %2")
            .arg(m_options.record)
            .arg(count);
    case FaultOptions::FallSilent:
    case FaultOptions::PullCable:
        if (m_options.record < count)
            return {};
        return QStringLiteral("the fault comes after record %1, the transfer has records 1 to %2")
            .arg(m_options.record)
            .arg(count);
    }
    return {};
}

QString Fault::seedNote() const
{
    return QStringLiteral("(--fault-seed %1)").arg(m_seed);
}

bool Fault::pullsBefore(int current)
{
    if (m_played || m_options.kind != FaultOptions::PullCable || current != m_options.record + 1)
        return false;
    m_played = true;
    s_cablePulled = true;
    report(QStringLiteral("after record %1: the cable is pulled, the instrument's end of the line closes")
               .arg(m_options.record));
    return true;
}

bool Fault::cableWasPulled()
{
    return s_cablePulled;
}

bool Fault::repeats(int current)
{
    if (m_played || m_options.kind != FaultOptions::RepeatRecord || current != m_options.record)
        return false;
    m_played = true;
    report(QStringLiteral("record %1: answered, comes again as if the answer was not heard").arg(current));
    return true;
}

Fault::Damage Fault::damage(int current, QByteArray *record, char start, char end,
                            const QByteArray &otherEnds)
{
    if (m_played || record->size() < 2)
        return Intact;
    const qsizetype last = terminatorIndex(*record, end);
    const qsizetype length = record->size();
    if (m_options.kind == FaultOptions::LoseByte && current == m_options.record) {
        m_played = true;
        const qsizetype at = static_cast<qsizetype>(m_random() % static_cast<quint32>(last + 1));
        const char lost = record->at(at);
        record->remove(at, 1);
        report(QStringLiteral("record %1: byte %2 (%3) lost, %4 of %5 bytes sent %6")
                   .arg(current)
                   .arg(at)
                   .arg(byteText(lost))
                   .arg(record->size())
                   .arg(length)
                   .arg(seedNote()));
        return Damaged;
    }
    if (m_options.kind == FaultOptions::LoseTerminator && current == m_options.record) {
        m_played = true;
        record->remove(last, 1);
        report(QStringLiteral("record %1: its terminator %2 lost, %3 of %4 bytes sent")
                   .arg(current)
                   .arg(byteText(end))
                   .arg(record->size())
                   .arg(length));
        return Damaged;
    }
    if (m_options.kind == FaultOptions::AddByte && current == m_options.record) {
        m_played = true;
        const qsizetype at = 1 + static_cast<qsizetype>(m_random() % static_cast<quint32>(last));
        char added;
        do
            added = static_cast<char>(m_random() % kByteValues);
        while (added == start || added == end || otherEnds.contains(added));
        record->insert(at, added);
        report(QStringLiteral("record %1: byte %2 (%3) added, %4 bytes sent %5")
                   .arg(current)
                   .arg(at)
                   .arg(byteText(added))
                   .arg(record->size())
                   .arg(seedNote()));
        return Damaged;
    }
    if (m_options.kind == FaultOptions::TerminatorInside && current == m_options.record && last >= 2) {
        m_played = true;
        // Never the start byte or the terminator itself.
        const qsizetype at = 1 + static_cast<qsizetype>(m_random() % static_cast<quint32>(last - 1));
        const char replaced = record->at(at);
        (*record)[at] = end;
        report(QStringLiteral("record %1: byte %2 (%3) comes as the terminator %4 %5")
                   .arg(current)
                   .arg(at)
                   .arg(byteText(replaced))
                   .arg(byteText(end))
                   .arg(seedNote()));
        return Damaged;
    }
    if (m_options.kind == FaultOptions::FallSilent && current == m_options.record + 1) {
        m_played = true;
        // At least the start byte comes, never the terminator.
        const qsizetype sent = 1 + static_cast<qsizetype>(m_random() % static_cast<quint32>(last));
        record->truncate(sent);
        report(QStringLiteral("record %1: %2 of %3 bytes sent, then the instrument falls silent %4")
                   .arg(current)
                   .arg(sent)
                   .arg(length)
                   .arg(seedNote()));
        return CutOff;
    }
    return Intact;
}

Fault::Next Fault::waitUnanswered(Wire &wire, int timeoutMs)
{
    const int waitMs = m_options.restartMs >= 0 ? m_options.restartMs : timeoutMs;
    QElapsedTimer waited;
    waited.start();
    QByteArray answer;
    while (answer.isEmpty() && waited.elapsed() < waitMs)
        answer = wire.readAvailable(static_cast<int>(waitMs - waited.elapsed()));
    if (!answer.isEmpty()) {
        report(QStringLiteral("the program answered the damaged record with %1; it must refuse it")
                   .arg(hexOrNothing(answer)));
        return Failed;
    }
    if (m_options.restartMs >= 0) {
        report(QStringLiteral("unanswered, as it should be; after %1 s the instrument starts over")
                   .arg(m_options.restartMs / double(kMsPerSecond)));
        return StartOver;
    }
    report(QStringLiteral("unanswered for %1 ms, as it should be; the instrument gives up the transfer")
               .arg(waitMs));
    return GiveUp;
}

Fault::Outcome Fault::sendHeader(Wire &wire, QByteArray header, int timeoutMs, int *status)
{
    constexpr qsizetype kPair = 2;
    const bool damaged = !m_played && m_options.header != FaultOptions::HeaderIntact && header.size() > kPair;
    if (damaged) {
        m_played = true;
        const qsizetype length = header.size();
        const quint32 before = static_cast<quint32>(length - kPair);
        if (m_options.header == FaultOptions::HeaderLoseByte) {
            const qsizetype at = static_cast<qsizetype>(m_random() % before);
            const char lost = header.at(at);
            header.remove(at, 1);
            report(QStringLiteral("header: byte %1 (%2) lost, %3 of %4 bytes sent %5")
                       .arg(at)
                       .arg(byteText(lost))
                       .arg(header.size())
                       .arg(length)
                       .arg(seedNote()));
        } else {
            // Before the closing pair, and never a byte that would make one with its neighbour.
            const qsizetype at = 1 + static_cast<qsizetype>(m_random() % before);
            const char lead = header.at(length - kPair);
            char added;
            do
                added = static_cast<char>(m_random() % kByteValues);
            while (added == lead || added == header.at(length - 1));
            header.insert(at, added);
            report(QStringLiteral("header: byte %1 (%2) added, %3 bytes sent %4")
                       .arg(at)
                       .arg(byteText(added))
                       .arg(header.size())
                       .arg(seedNote()));
        }
    }
    if (!wire.send(header)) {
        *status = 1;
        return Ended;
    }
    if (!damaged)
        return Whole;
    return afterDamage(wire, timeoutMs, status);
}

Fault::Outcome Fault::send(Wire &wire, int current, QByteArray record, char start, char end, int timeoutMs,
                           int *status)
{
    if (pullsBefore(current)) {
        *status = 0;
        return Ended;
    }
    const Damage damaged = damage(current, &record, start, end);
    if (!wire.send(record)) {
        *status = 1;
        return Ended;
    }
    if (damaged == Intact)
        return Whole;
    return afterDamage(wire, timeoutMs, status);
}

Fault::Outcome Fault::afterDamage(Wire &wire, int timeoutMs, int *status)
{
    switch (waitUnanswered(wire, timeoutMs)) {
    case StartOver:
        return Restart;
    case GiveUp:
        *status = 0;
        return Ended;
    case Failed:
        break;
    }
    *status = 1;
    return Ended;
}
