#include "Rqx2MeasurementPlay.h"

#include "Exchange.h"
#include "Play.h"
#include "Rqx2MeasurementFrames.h"
#include "Rqx2SimFrames.h"
#include "Wire.h"

using namespace Rqx2Sim;

int playRqx2Measurements(Wire &wire, const SimOptions &options)
{
    QString fileName = QStringLiteral("F0001");
    QVector<MeasurementRecord> records;
    if (options.pointsFile.isEmpty()) {
        if (options.points < 0 || options.points > kMaxCount) {
            report(QStringLiteral("%1 records: a measurement file counts 0 to %2")
                       .arg(options.points)
                       .arg(kMaxCount));
            return 1;
        }
        records = generateMeasurements(options.points);
    } else {
        QString error;
        if (!readMeasurementsFile(options.pointsFile, &fileName, &records, &error)) {
            report(error);
            return 1;
        }
        if (records.size() > kMaxCount) {
            report(QStringLiteral("%1 records: a measurement file counts at most %2")
                       .arg(records.size())
                       .arg(kMaxCount));
            return 1;
        }
    }
    const int count = static_cast<int>(records.size());
    Fault fault(options.fault);
    if (const QString problem = fault.problem(count, true); !problem.isEmpty()) {
        report(problem);
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }

    // A transfer started over opens with the request again: the header and every record again.
    for (bool restart = true; restart;) {
        restart = false;
        if (!wire.send(request()))
            return 1;
        if (!expectFrame(wire, measurementAnswer(), QStringLiteral("answering the request"),
                         options.timeoutMs))
            return 1;
        // Record 0 is the header, answered as the records are.
        auto answered = [&](int current, const QByteArray &record) {
            const QString what = current == 0 ? QStringLiteral("the header")
                                              : QStringLiteral("record %1 of %2").arg(current).arg(count);
            if (!expectFrame(wire, measurementAcknowledgement(current, count),
                             QStringLiteral("acknowledging ") + what, options.timeoutMs))
                return false;
            return !fault.repeats(current) ||
                   (wire.send(record) &&
                    expectFrame(wire, measurementAcknowledgement(current, count),
                                QStringLiteral("acknowledging %1 again").arg(what), options.timeoutMs));
        };
        const QByteArray header = measurementHeader(fileName, count);
        if (!wire.send(header) || !answered(0, header))
            return 1;
        for (int current = 1; current <= count; ++current) {
            int status = 0;
            const QByteArray record = measurementRecord(current, count, records[current - 1]);
            const Fault::Outcome sent =
                fault.send(wire, current, record, kStart, kEnd, options.timeoutMs, &status);
            if (sent == Fault::Ended)
                return status;
            if (sent == Fault::Restart) {
                restart = true;
                break;
            }
            if (!answered(current, record))
                return 1;
        }
    }
    return nothingMore(wire, QStringLiteral("after the last acknowledgement")) ? 0 : 1;
}
