// The RQX5 instrument's two coordinate transfers. Each call plays one transfer, so the demo can call
// again for the next one.
#include "Play.h"
#include "Rqx5SimFrames.h"
#include "Wire.h"

#include <QFileInfo>
#include <QSaveFile>

using namespace Rqx5Sim;

namespace {

QString hexOf(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QStringLiteral("nothing") : QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Reads exactly count bytes. A negative time-out waits as long as it takes (the demo waits for the
// person at the program).
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

// Waits for one two-byte control frame and checks it is the one expected.
bool expectPair(Wire &wire, const QByteArray &expected, const QString &when, int timeoutMs)
{
    QByteArray got;
    if (!receiveExactly(wire, 2, &got, timeoutMs)) {
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

// The header's file name: the points file's name as far as the instrument code and 12 characters go.
QString fileNameFor(const SimOptions &options)
{
    QString name;
    const QString base = options.pointsFile.isEmpty() ? QStringLiteral("POINTS")
                                                      : QFileInfo(options.pointsFile).completeBaseName();
    for (QChar c : base) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            name += c;
    }
    return name.left(kFileNameWidth);
}

// Instrument to program: the header, one record per 0xAA 0x81, then the end frame and its echo.
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
        points = generatePoints(options.points);
    }
    if (points.size() > kMaxHeaderCount) {
        report(QStringLiteral("%1 points: the coordinate header counts at most %2")
                   .arg(points.size())
                   .arg(kMaxHeaderCount));
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }

    const int count = static_cast<int>(points.size());
    if (!wire.send(coordinateHeader(fileNameFor(options), count)))
        return 1;
    if (!expectPair(wire, nextPair(), QStringLiteral("after the header"), options.timeoutMs))
        return 1;
    for (int i = 0; i < count; ++i) {
        if (!wire.send(coordinateRecord(points[i])))
            return 1;
        if (!expectPair(wire, nextPair(), QStringLiteral("after point %1 of %2").arg(i + 1).arg(count),
                        options.timeoutMs))
            return 1;
    }
    if (!wire.send(endPair()))
        return 1;
    // The program echoes the end frame once its user has closed the completion message; the demo's
    // user may take their time.
    if (!expectPair(wire, endPair(), QStringLiteral("echoing the end frame"),
                    options.demo ? -1 : options.timeoutMs))
        return 1;
    const QByteArray extra = wire.drain(50);
    if (!extra.isEmpty()) {
        report(QStringLiteral("unexpected bytes after the echo: %1").arg(hexOf(extra)));
        return 1;
    }
    return 0;
}

bool writePoints(const QString &path, const QVector<Point> &points)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    for (const Point &p : points)
        file.write(QStringList{p.number, p.name, p.north, p.east, p.height}.join(u',').toUtf8() + '\n');
    if (!file.commit()) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    return true;
}

// Program to instrument: the send header, then 0xAA 0x81 for each point until 0xAA 0x82 comes.
int receivePoints(Wire &wire, const SimOptions &options)
{
    QByteArray header;
    if (!receiveExactly(wire, kSendHeaderLength, &header, options.demo ? -1 : options.timeoutMs)) {
        report(
            QStringLiteral("no send header within %1 ms (got %2)").arg(options.timeoutMs).arg(hexOf(header)));
        return 1;
    }
    const int announced = parseSendHeader(header);
    if (announced < 0) {
        report(QStringLiteral("expected the send header AA 80 nn nn AA 82, got %1").arg(hexOf(header)));
        return 1;
    }

    QVector<Point> points;
    for (;;) {
        if (!wire.send(nextPair()))
            return 1;
        const QString when = QStringLiteral("answer to request %1").arg(points.size() + 1);
        QByteArray frame;
        if (!receiveExactly(wire, 2, &frame, options.timeoutMs)) {
            report(QStringLiteral("no %1 within %2 ms (got %3)")
                       .arg(when)
                       .arg(options.timeoutMs)
                       .arg(hexOf(frame)));
            return 1;
        }
        if (frame == endPair())
            break;
        if (static_cast<unsigned char>(frame[0]) != kRecordStart) {
            report(QStringLiteral("%1: expected a record or AA 82, got %2").arg(when, hexOf(frame)));
            return 1;
        }
        QByteArray rest;
        if (!receiveExactly(wire, kRecordLength - 2, &rest, options.timeoutMs)) {
            report(QStringLiteral("%1: the record stopped after %2 bytes").arg(when).arg(2 + rest.size()));
            return 1;
        }
        Point point;
        QString error;
        if (!parseCoordinateRecord(frame + rest, &point, &error)) {
            report(QStringLiteral("%1: %2: %3").arg(when, error, hexOf(frame + rest)));
            return 1;
        }
        points.append(point);
        if (points.size() > announced) {
            report(QStringLiteral("the program sends more points than the %1 its header announced")
                       .arg(announced));
            return 1;
        }
    }

    if (!options.outputFile.isEmpty() && !writePoints(options.outputFile, points))
        return 1;
    if (points.size() != announced) {
        report(QStringLiteral("the header announced %1 points, %2 came").arg(announced).arg(points.size()));
        return 1;
    }
    return 0;
}

} // namespace

int playRqx5(Wire &wire, const SimOptions &options)
{
    if (options.action == QLatin1String("send"))
        return sendPoints(wire, options);
    if (options.action == QLatin1String("receive"))
        return receivePoints(wire, options);
    report(QStringLiteral("the RQX5 instrument does not play the action %1").arg(options.action));
    return 1;
}
