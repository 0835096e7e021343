// The RQX2 instrument's two coordinate transfers, and the action that sends its measurements
// (Rqx2MeasurementPlay). Each call plays one transfer, so the demo can call again for the next one.
// The instrument opens each with its request "J" CR once it is told 'go'.
#include "Exchange.h"
#include "Play.h"
#include "Rqx2MeasurementPlay.h"
#include "Rqx2SimFrames.h"
#include "Wire.h"

using namespace Rqx2Sim;

namespace {

// The byte some instruments put before a record now and then; the program reads such a record one
// place later, in its shifted layout.
constexpr char kLeadByte = 0x00;

// Instrument to program: the request, then one record per acknowledgement.
int sendPoints(Wire &wire, const SimOptions &options)
{
    QVector<Point> points;
    if (!pointsToSend(options, pointProblem, generatePoints, kMaxCount, QStringLiteral("a transfer"),
                      &points))
        return 1;
    if (points.isEmpty()) {
        report(QStringLiteral("no points to send"));
        return 1;
    }
    const int total = static_cast<int>(points.size());
    Fault fault(options.fault);
    if (const QString problem = fault.problem(total); !problem.isEmpty()) {
        report(problem);
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }

    // A transfer started over opens with the request again and sends every point again.
    for (bool restart = true; restart;) {
        restart = false;
        if (!wire.send(request()))
            return 1;
        if (!expectFrame(wire, coordinateAnswer(), QStringLiteral("answering the request"),
                         options.timeoutMs))
            return 1;
        for (int current = 1; current <= total; ++current) {
            QByteArray record = coordinateRecord(current, total, points[current - 1]);
            if (options.shiftedRecords && current % 2 == 0)
                record.prepend(kLeadByte);
            int status = 0;
            const Fault::Outcome sent =
                fault.send(wire, current, record, kStart, kEnd, options.timeoutMs, &status);
            if (sent == Fault::Ended)
                return status;
            if (sent == Fault::Restart) {
                restart = true;
                break;
            }
            // The last acknowledgement waits until the person has closed the program's completion message.
            const int timeoutMs = options.demo && current == total ? -1 : options.timeoutMs;
            if (!expectFrame(wire, acknowledgement(current, total),
                             QStringLiteral("acknowledging point %1 of %2").arg(current).arg(total),
                             timeoutMs))
                return 1;
            if (fault.repeats(current) &&
                (!wire.send(record) ||
                 !expectFrame(wire, acknowledgement(current, total),
                              QStringLiteral("acknowledging point %1 of %2 again").arg(current).arg(total),
                              options.timeoutMs)))
                return 1;
        }
    }
    return nothingMore(wire, QStringLiteral("after the last acknowledgement")) ? 0 : 1;
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

    QVector<Point> points;
    int total = 0;
    for (;;) {
        const int expected = static_cast<int>(points.size()) + 1;
        QByteArray bytes;
        if (!receiveExactly(wire, kSentRecordLength, &bytes, options.timeoutMs)) {
            report(QStringLiteral("no point %1 within %2 ms (got %3)")
                       .arg(expected)
                       .arg(options.timeoutMs)
                       .arg(hexOrNothing(bytes)));
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
        if (!points.isEmpty() && record.total != total) {
            report(QStringLiteral("point %1 counts %2 points, point 1 counted %3")
                       .arg(expected)
                       .arg(record.total)
                       .arg(total));
            return 1;
        }
        total = record.total;
        points.append(record.point);
        if (record.current >= record.total)
            break;
        if (!wire.send(request()))
            return 1;
    }

    if (!options.outputFile.isEmpty() && !writePointsFile(options.outputFile, points))
        return 1;
    return nothingMore(wire, QStringLiteral("after the last point")) ? 0 : 1;
}

} // namespace

int playRqx2(Wire &wire, const SimOptions &options)
{
    if (options.action == QLatin1String("receive") && options.fault.kind != FaultOptions::None) {
        report(QStringLiteral("faults are played in the transfers the instrument sends"));
        return 1;
    }
    if (options.action == QLatin1String("send"))
        return sendPoints(wire, options);
    if (options.action == QLatin1String("receive"))
        return receivePoints(wire, options);
    if (options.action == QLatin1String("measurements"))
        return playRqx2Measurements(wire, options);
    report(QStringLiteral("the RQX2 instrument does not play the action %1").arg(options.action));
    return 1;
}
