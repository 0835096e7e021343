// The RQX2 instrument's two coordinate transfers. Each call plays one transfer, so the demo can call
// again for the next one. The instrument opens both with its request "J" CR once it is told 'go'.
#include "Play.h"
#include "Rqx2SimFrames.h"
#include "Wire.h"

#include <QSaveFile>

using namespace Rqx2Sim;

namespace {

// Bytes that come after a transfer has ended are reported if they come within this time.
constexpr int kAfterEndMs = 50;

QString hexOf(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QStringLiteral("nothing") : QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Reads exactly count bytes. A negative time-out waits as long as it takes (the demo waits for the
// person at the program, who may have a message box to close).
bool receiveExactly(Wire &wire, int count, QByteArray *got, int timeoutMs)
{
    got->clear();
    constexpr int kSlice = 1000;
    for (;;) {
        QByteArray part;
        const bool complete =
            wire.receive(count - static_cast<int>(got->size()), &part, timeoutMs < 0 ? kSlice : timeoutMs);
        got->append(part);
        if (complete)
            return true;
        if (timeoutMs >= 0)
            return false;
    }
}

// Waits for a frame of expected's length and checks it is expected.
bool expectFrame(Wire &wire, const QByteArray &expected, const QString &when, int timeoutMs)
{
    QByteArray got;
    if (!receiveExactly(wire, static_cast<int>(expected.size()), &got, timeoutMs)) {
        report(QStringLiteral("expected %1 %2, got %3 within %4 ms")
                   .arg(hexOf(expected), when, hexOf(got))
                   .arg(timeoutMs));
        return false;
    }
    if (got != expected) {
        report(QStringLiteral("expected %1 %2, got %3").arg(hexOf(expected), when, hexOf(got)));
        return false;
    }
    return true;
}

bool nothingMore(Wire &wire, const QString &after)
{
    const QByteArray extra = wire.drain(kAfterEndMs);
    if (!extra.isEmpty()) {
        report(QStringLiteral("unexpected bytes %1: %2").arg(after, hexOf(extra)));
        return false;
    }
    return true;
}

// Instrument to program: the request, then one record per acknowledgement.
int sendPoints(Wire &wire, const SimOptions &options)
{
    QVector<Point> points;
    if (!options.pointsFile.isEmpty()) {
        QString error;
        if (!readPoints(options.pointsFile, &points, &error)) {
            report(error);
            return 1;
        }
    } else {
        if (options.points > kMaxCount) {
            report(
                QStringLiteral("%1 points: a transfer counts at most %2").arg(options.points).arg(kMaxCount));
            return 1;
        }
        points = generatePoints(options.points);
    }
    if (points.isEmpty()) {
        report(QStringLiteral("no points to send"));
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }

    const int total = static_cast<int>(points.size());
    if (!wire.send(request()))
        return 1;
    if (!expectFrame(wire, coordinateAnswer(), QStringLiteral("answering the request"), options.timeoutMs))
        return 1;
    for (int current = 1; current <= total; ++current) {
        if (!wire.send(coordinateRecord(current, total, points[current - 1])))
            return 1;
        // The last acknowledgement waits until the person has closed the program's completion message.
        const int timeoutMs = options.demo && current == total ? -1 : options.timeoutMs;
        if (!expectFrame(wire, acknowledgement(current, total),
                         QStringLiteral("acknowledging point %1 of %2").arg(current).arg(total), timeoutMs))
            return 1;
    }
    return nothingMore(wire, QStringLiteral("after the last acknowledgement")) ? 0 : 1;
}

bool writePoints(const QString &path, const QVector<SentRecord> &records)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    for (const SentRecord &r : records)
        file.write(QStringList{r.number, r.name, r.north, r.east, r.height}.join(u',').toLatin1() + '\n');
    if (!file.commit()) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    return true;
}

// Program to instrument: a request for each point, until the point whose number reaches the count.
int receivePoints(Wire &wire, const SimOptions &options)
{
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }
    if (!wire.send(request()))
        return 1;
    if (!expectFrame(wire, coordinateAnswer(), QStringLiteral("answering the first request"),
                     options.timeoutMs))
        return 1;

    QVector<SentRecord> records;
    for (;;) {
        const int expected = static_cast<int>(records.size()) + 1;
        QByteArray bytes;
        if (!receiveExactly(wire, kSentRecordLength, &bytes, options.timeoutMs)) {
            report(QStringLiteral("no point %1 within %2 ms (got %3)")
                       .arg(expected)
                       .arg(options.timeoutMs)
                       .arg(hexOf(bytes)));
            return 1;
        }
        SentRecord record;
        QString error;
        if (!parseSentRecord(bytes, &record, &error)) {
            report(QStringLiteral("point %1: %2").arg(expected).arg(error));
            return 1;
        }
        if (record.current != expected) {
            report(QStringLiteral("expected point %1, the record says %2").arg(expected).arg(record.current));
            return 1;
        }
        if (!records.isEmpty() && record.total != records.first().total) {
            report(QStringLiteral("point %1 counts %2 points, point 1 counted %3")
                       .arg(expected)
                       .arg(record.total)
                       .arg(records.first().total));
            return 1;
        }
        records.append(record);
        if (record.current >= record.total)
            break;
        if (!wire.send(request()))
            return 1;
    }

    if (!options.outputFile.isEmpty() && !writePoints(options.outputFile, records))
        return 1;
    return nothingMore(wire, QStringLiteral("after the last point")) ? 0 : 1;
}

} // namespace

int playRqx2(Wire &wire, const SimOptions &options)
{
    if (options.action == QLatin1String("send"))
        return sendPoints(wire, options);
    if (options.action == QLatin1String("receive"))
        return receivePoints(wire, options);
    report(QStringLiteral("the RQX2 instrument does not play the action %1").arg(options.action));
    return 1;
}
