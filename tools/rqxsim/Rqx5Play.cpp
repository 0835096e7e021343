// The RQX5 instrument's two coordinate transfers. Each call plays one transfer, so the demo can call
// again for the next one.
#include "Exchange.h"
#include "Play.h"
#include "Rqx5MeasurePlay.h"
#include "Rqx5SimFrames.h"
#include "Wire.h"

#include <QFileInfo>

using namespace Rqx5Sim;

namespace {

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
    if (!pointsToSend(options, pointProblem, generatePoints, kMaxHeaderCount,
                      QStringLiteral("the coordinate header"), &points))
        return 1;
    const int count = static_cast<int>(points.size());
    Fault fault(options.fault);
    if (const QString problem = fault.problem(count); !problem.isEmpty()) {
        report(problem);
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }

    // A transfer started over opens with the header again and sends every point again.
    for (bool restart = true; restart;) {
        restart = false;
        int status = 0;
        const Fault::Outcome header =
            fault.sendHeader(wire, coordinateHeader(fileNameFor(options), count), options.timeoutMs, &status);
        if (header == Fault::Ended)
            return status;
        if (header == Fault::Restart) {
            restart = true;
            continue;
        }
        if (!expectFrame(wire, nextPair(), QStringLiteral("after the header"), options.timeoutMs))
            return 1;
        for (int i = 0; i < count; ++i) {
            const Fault::Outcome sent =
                fault.send(wire, i + 1, coordinateRecord(points[i]), char(kRecordStart), char(kRecordEnd),
                           options.timeoutMs, &status);
            if (sent == Fault::Ended)
                return status;
            if (sent == Fault::Restart) {
                restart = true;
                break;
            }
            if (!expectFrame(wire, nextPair(), QStringLiteral("after point %1 of %2").arg(i + 1).arg(count),
                             options.timeoutMs))
                return 1;
        }
    }
    if (!wire.send(endPair()))
        return 1;
    // The program echoes the end frame once its user has closed the completion message; the demo's
    // user may take their time.
    if (!expectFrame(wire, endPair(), QStringLiteral("echoing the end frame"),
                     options.demo ? -1 : options.timeoutMs))
        return 1;
    return nothingMore(wire, QStringLiteral("after the echo")) ? 0 : 1;
}

// Program to instrument: the send header, then 0xAA 0x81 for each point until 0xAA 0x82 comes.
int receivePoints(Wire &wire, const SimOptions &options)
{
    QByteArray header;
    if (!receiveExactly(wire, kSendHeaderLength, &header, options.demo ? -1 : options.timeoutMs)) {
        report(QStringLiteral("no send header within %1 ms (got %2)")
                   .arg(options.timeoutMs)
                   .arg(hexOrNothing(header)));
        return 1;
    }
    const int announced = parseSendHeader(header);
    if (announced < 0) {
        report(
            QStringLiteral("expected the send header AA 80 nn nn AA 82, got %1").arg(hexOrNothing(header)));
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
                       .arg(hexOrNothing(frame)));
            return 1;
        }
        if (frame == endPair())
            break;
        if (static_cast<unsigned char>(frame[0]) != kRecordStart) {
            report(QStringLiteral("%1: expected a record or AA 82, got %2").arg(when, hexOrNothing(frame)));
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
            report(QStringLiteral("%1: %2: %3").arg(when, error, hexOrNothing(frame + rest)));
            return 1;
        }
        points.append(point);
        if (points.size() > announced) {
            report(QStringLiteral("the program sends more points than the %1 its header announced")
                       .arg(announced));
            return 1;
        }
    }

    if (!options.outputFile.isEmpty() && !writePointsFile(options.outputFile, points))
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
    if (options.action == QLatin1String("receive") && options.fault.kind != FaultOptions::None) {
        report(QStringLiteral("faults are played in the transfers the instrument sends"));
        return 1;
    }
    if (options.fault.header != FaultOptions::HeaderIntact && options.action != QLatin1String("send") &&
        options.action != QLatin1String("datafile")) {
        report(QStringLiteral("--damage-header is for the actions send and datafile"));
        return 1;
    }
    if (options.fault.padding != FaultOptions::Unpadded && options.action != QLatin1String("measure")) {
        report(QStringLiteral("--pad is for the action measure"));
        return 1;
    }
    if (options.action == QLatin1String("send"))
        return sendPoints(wire, options);
    if (options.action == QLatin1String("receive"))
        return receivePoints(wire, options);
    if (isRqx5MeasureAction(options.action))
        return playRqx5Measure(wire, options);
    report(QStringLiteral("the RQX5 instrument does not play the action %1").arg(options.action));
    return 1;
}
