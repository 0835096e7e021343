// The instrument's side of a session log the program wrote: the bytes the instrument sent (rx) are
// sent again, each piece once the program has written the bytes (tx) that stand before it in the
// log. What the program writes is compared byte for byte with the log's tx bytes; the first
// difference is reported with its offset among them and the simulator ends with 1. A log that
// begins with the instrument's bytes (a receive the surveyor started on the instrument) is played
// once a line is read on standard input, when the program is ready. The log's times are not kept:
// each piece is sent as soon as it may be.
#include "Play.h"
#include "Wire.h"

#include <QFile>
#include <QVector>
#include <cstdio>

namespace {

// Consecutive lines of one direction, joined.
struct Turn {
    bool fromProgram = false; // tx
    QByteArray bytes;
    int line = 0; // the first line of the turn
};

struct SessionLogContent {
    QString series; // rqx2, rqx5; empty when the log does not say
    QString kind;
    QVector<Turn> turns;
};

// Reads a log line "SECONDS tx|rx HEX... | TEXT"; false when the line is not one. The text may be
// nothing but spaces (bytes 20 read alone), and a log that went through an editor or a mail may
// have lost them: everything from the first " |" on is the text, which hex never contains.
bool readDataLine(const QByteArray &line, bool *fromProgram, QByteArray *bytes)
{
    const qsizetype bar = line.indexOf(" |");
    const QList<QByteArray> words = (bar < 0 ? line : line.left(bar)).simplified().split(' ');
    if (words.size() < 2 || (words[1] != "tx" && words[1] != "rx"))
        return false;
    bool number = false;
    words[0].toDouble(&number);
    if (!number)
        return false;
    *fromProgram = words[1] == "tx";
    bytes->clear();
    for (qsizetype i = 2; i < words.size(); ++i) {
        bool ok = false;
        const uint value = words[i].toUInt(&ok, 16);
        if (!ok || words[i].size() != 2)
            return false;
        bytes->append(static_cast<char>(value));
    }
    return true;
}

bool readLog(const QString &path, SessionLogContent *log)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(QStringLiteral("cannot read the session log %1").arg(path));
        return false;
    }
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        // Only the line end goes: the spaces at the end of a line may be bytes of the log.
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith('#')) {
            const QByteArray comment = trimmed.mid(1).trimmed();
            if (comment.startsWith("series "))
                log->series = QString::fromUtf8(comment.mid(7)).trimmed().toLower();
            else if (comment.startsWith("kind "))
                log->kind = QString::fromUtf8(comment.mid(5)).trimmed();
            continue;
        }
        bool fromProgram = false;
        QByteArray bytes;
        if (!readDataLine(line, &fromProgram, &bytes)) {
            report(QStringLiteral("session log %1 line %2: cannot read \"%3\"")
                       .arg(path)
                       .arg(number)
                       .arg(QString::fromUtf8(line)));
            return false;
        }
        if (log->turns.isEmpty() || log->turns.last().fromProgram != fromProgram)
            log->turns.append({fromProgram, QByteArray(), number});
        log->turns.last().bytes += bytes;
    }
    return true;
}

bool readAnyLine()
{
    char line[256];
    return std::fgets(line, sizeof line, stdin) != nullptr;
}

// After the log's last tx byte the program must write nothing more for this long.
constexpr int kQuietAfterMs = 300;
// The first bytes of a log that begins with the program's wait for the person to start the program's
// command, however long that takes; this is how often the wait looks again.
constexpr int kFirstBytesSliceMs = 1000;

// Reads the program's next count bytes; the first turn waits without a time-out.
bool receiveTurn(Wire &wire, qsizetype count, QByteArray *got, int timeoutMs, bool first)
{
    if (!first)
        return wire.receive(static_cast<int>(count), got, timeoutMs);
    while (got->isEmpty())
        *got = wire.readAvailable(kFirstBytesSliceMs);
    if (got->size() >= count)
        return true;
    QByteArray rest;
    const bool complete = wire.receive(static_cast<int>(count - got->size()), &rest, timeoutMs);
    *got += rest;
    return complete;
}

} // namespace

int playReplay(Wire &wire, const SimOptions &options)
{
    SessionLogContent log;
    if (!readLog(options.replayPath, &log))
        return 2;
    const QString series = options.seriesGiven ? options.series : log.series;
    if (options.seriesGiven && !log.series.isEmpty() && log.series != options.series)
        report(QStringLiteral("the log was written with the series %1; playing it as %2")
                   .arg(log.series, series));
    report(QStringLiteral("replaying %1 (%2, %3 turns)")
               .arg(log.kind.isEmpty() ? QStringLiteral("a session") : log.kind,
                    series.isEmpty() ? QStringLiteral("series not given") : series.toUpper())
               .arg(log.turns.size()));
    if (log.turns.isEmpty())
        return 0;
    if (!log.turns.first().fromProgram) {
        report(QStringLiteral("the instrument sends first: start the program's receive, then press Enter"));
        if (!readAnyLine()) {
            report(QStringLiteral("standard input ended before the replay began"));
            return 1;
        }
    }

    qint64 offset = 0; // of the program's bytes, counted from its first
    bool first = true;
    for (const Turn &turn : log.turns) {
        if (!turn.fromProgram) {
            if (!wire.send(turn.bytes))
                return 1;
            first = false;
            continue;
        }
        QByteArray got;
        const bool complete = receiveTurn(wire, turn.bytes.size(), &got, options.timeoutMs, first);
        first = false;
        for (qsizetype i = 0; i < got.size(); ++i) {
            if (got[i] != turn.bytes[i]) {
                report(QStringLiteral("the program wrote %1 at offset %2 (log line %3), the log has %4")
                           .arg(hexOrNothing(got.mid(i, 16)))
                           .arg(offset + i)
                           .arg(turn.line)
                           .arg(hexOrNothing(turn.bytes.mid(i, 16))));
                return 1;
            }
        }
        if (!complete) {
            report(
                QStringLiteral("the program stopped writing at offset %1 (log line %2): expected %3 within "
                               "%4 ms")
                    .arg(offset + got.size())
                    .arg(turn.line)
                    .arg(hexOrNothing(turn.bytes.mid(got.size(), 16)))
                    .arg(options.timeoutMs));
            return 1;
        }
        offset += got.size();
    }
    const QByteArray more = wire.drain(kQuietAfterMs);
    if (!more.isEmpty()) {
        report(QStringLiteral("the program wrote %1 at offset %2, after the last bytes of the log")
                   .arg(hexOrNothing(more.left(16)))
                   .arg(offset));
        return 1;
    }
    report(QStringLiteral("replay complete: %1 bytes from the program as in the log").arg(offset));
    return 0;
}
