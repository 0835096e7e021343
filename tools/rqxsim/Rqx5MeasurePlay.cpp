// The RQX5 instrument's observations: a stored data file, acknowledged record by record like points,
// and single measurements sent at the instrument's own pace. Frames are built here without the
// program's code.
#include "Rqx5MeasurePlay.h"

#include "Exchange.h"
#include "Play.h"
#include "Rqx5SimFrames.h"
#include "Wire.h"

#include <QSaveFile>
#include <QStringList>

#include <algorithm>

using namespace Rqx5Sim;

namespace {

constexpr unsigned char kDataFileRecordStart = 0x91;
constexpr unsigned char kDataFileRecordEnd = 0xB1;
constexpr unsigned char kMeasurementStart = 0x92;
// Kinds 1..4 end with 0xB2..0xB5.
constexpr unsigned char kFirstMeasurementEnd = 0xB2;
// A byte of line noise that ends a measurement of another kind cuts the measurement in two pieces,
// and one of them may read as a whole measurement of that kind: the noise an added byte plays is
// never one of these.
const QByteArray kMeasurementEnds = QByteArrayLiteral("\xB2\xB3\xB4\xB5");
constexpr int kPaddedLength = 58;
// A measurement's last bytes follow the rest this much later.
constexpr int kLatePiece = 9;
constexpr int kLatePieceMs = 20;
constexpr int kMaxDataFileCount = 65535;
constexpr int kShortField = 8;
constexpr int kLongField = 14;
const QString kJobName = QStringLiteral("JOB1");
const QString kInstrumentNumber = QStringLiteral("RQX512345");
const QString kCreationDate = QStringLiteral("151030");

// The instrument code: ASCII, and 125, 126, 127 for the degree, minute and second marks.
QByteArray codes(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        if (c == QChar(0x00B0))
            bytes.append(char(125));
        else if (c == QChar(0x2032))
            bytes.append(char(126));
        else if (c == QChar(0x2033))
            bytes.append(char(127));
        else
            bytes.append(c.toLatin1());
    }
    return bytes;
}

QString angle(int degrees, int minutes, int seconds)
{
    return QStringLiteral("%1\u00B0%2\u2032%3\u2033")
        .arg(degrees)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString decimal(double value)
{
    return QString::number(value, 'f', 3);
}

// The 20 fields of data-file record i at their widths: five observations from each station.
QStringList dataFileFields(int i)
{
    const int station = (i - 1) / 5 + 1;
    const QStringList texts = {QString::number(station),
                               QStringLiteral("ST%1").arg(station),
                               decimal(1.5 + station % 10 * 0.01),
                               decimal(3000 + station * 10.5),
                               decimal(-2000 - station * 0.25),
                               decimal(50 + station * 0.125),
                               QString::number(900 + station),
                               QStringLiteral("BS%1").arg(station),
                               angle(station * 7 % 360, station % 60, station * 13 % 60),
                               QString::number(i),
                               QStringLiteral("P%1").arg(i),
                               angle(i * 11 % 360, i % 60, i * 7 % 60),
                               angle(85 + i % 10, i * 3 % 60, i % 60),
                               decimal(10 + i * 0.5),
                               decimal(i % 7 - 3.5),
                               decimal(9.5 + i * 0.5),
                               decimal(1.2 + i % 5 * 0.1),
                               decimal(3000 + i * 1.5),
                               decimal(-2000 - i * 0.75),
                               decimal(48 + i % 9 * 0.25)};
    QStringList fields;
    for (int k = 0; k < texts.size(); ++k) {
        // Numbers stand right in their 8 characters, names and values left.
        const bool number = k == 0 || k == 6 || k == 9;
        const int width = (k <= 1 || k == 6 || k == 7 || k == 9 || k == 10) ? kShortField : kLongField;
        fields << (number ? texts[k].rightJustified(width, u' ') : texts[k].leftJustified(width, u' '));
    }
    return fields;
}

// The fields of measurement i, kinds 1 to 4 in turn: angles; angles and slope distance; angles,
// horizontal distance and height difference; N, E and Z.
QStringList measurementFields(int i, int kind)
{
    const QString horizontal = angle(i * 17 % 360, i % 60, i * 7 % 60);
    const QString vertical = angle(88 + i % 4, i * 5 % 60, i * 3 % 60);
    QStringList texts;
    switch (kind) {
    case 1:
        texts = {horizontal, vertical};
        break;
    case 2:
        texts = {horizontal, vertical, decimal(20 + i * 0.25)};
        break;
    case 3:
        texts = {horizontal, vertical, decimal(19 + i * 0.25), decimal(i % 3 - 1.25)};
        break;
    default:
        texts = {decimal(3100 + i * 2.5), decimal(-1900 - i * 0.5), decimal(40 + i * 0.125)};
        break;
    }
    for (QString &text : texts)
        text = text.leftJustified(kLongField, u' ');
    return texts;
}

QByteArray dataFileHeader(int count)
{
    QByteArray header(2, '\0');
    header += codes(kJobName.leftJustified(12, u' '));
    header.append(char(count >> 8));
    header.append(char(count & 0xFF));
    header += codes(kInstrumentNumber) + codes(kCreationDate) + endPair();
    return header;
}

bool writeOutput(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(lines.join(u'\n').toUtf8() + '\n') < 0 ||
        !file.commit()) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    return true;
}

int sendDataFile(Wire &wire, const SimOptions &options)
{
    const int count = options.points;
    if (count < 0 || count > kMaxDataFileCount) {
        report(QStringLiteral("%1 records: a data-file header counts 0 to %2")
                   .arg(count)
                   .arg(kMaxDataFileCount));
        return 1;
    }
    Fault fault(options.fault);
    if (const QString problem = fault.problem(count); !problem.isEmpty()) {
        report(problem);
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }
    // A transfer started over opens with the header again and sends every record again.
    QStringList sent;
    for (bool restart = true; restart;) {
        restart = false;
        sent.clear();
        int status = 0;
        const Fault::Outcome header =
            fault.sendHeader(wire, dataFileHeader(count), options.timeoutMs, &status);
        if (header == Fault::Ended)
            return status;
        if (header == Fault::Restart) {
            restart = true;
            continue;
        }
        if (!expectFrame(wire, nextPair(), QStringLiteral("after the data-file header"), options.timeoutMs))
            return 1;
        for (int i = 1; i <= count; ++i) {
            const QStringList fields = dataFileFields(i);
            const QByteArray record =
                char(kDataFileRecordStart) + codes(fields.join(QString())) + char(kDataFileRecordEnd);
            const Fault::Outcome outcome = fault.send(wire, i, record, char(kDataFileRecordStart),
                                                      char(kDataFileRecordEnd), options.timeoutMs, &status);
            if (outcome == Fault::Ended) {
                // What the program was sent whole and acknowledged is what it may keep.
                if (!options.outputFile.isEmpty() && !writeOutput(options.outputFile, sent))
                    return 1;
                return status;
            }
            if (outcome == Fault::Restart) {
                restart = true;
                break;
            }
            if (!expectFrame(wire, nextPair(), QStringLiteral("after record %1 of %2").arg(i).arg(count),
                             options.timeoutMs))
                return 1;
            sent << fields.join(u'|');
        }
    }
    if (!wire.send(endPair()))
        return 1;
    // The program echoes the end frame once its user has closed the completion message.
    if (!expectFrame(wire, endPair(), QStringLiteral("echoing the end frame"),
                     options.demo ? -1 : options.timeoutMs))
        return 1;
    if (!options.outputFile.isEmpty() && !writeOutput(options.outputFile, sent))
        return 1;
    return nothingMore(wire, QStringLiteral("after the echo")) ? 0 : 1;
}

// Fills a measurement to the 58-byte block some instruments send: before its terminator, or after it.
QByteArray padded(QByteArray record, FaultOptions::Padding padding)
{
    switch (padding) {
    case FaultOptions::Unpadded:
        break;
    case FaultOptions::PadBefore:
        record.insert(record.size() - 1,
                      QByteArray(std::max<qsizetype>(0, kPaddedLength - record.size()), ' '));
        break;
    case FaultOptions::PadAfterNul:
        record = record.leftJustified(kPaddedLength, '\0');
        break;
    case FaultOptions::PadAfterSpace:
        record = record.leftJustified(kPaddedLength, ' ');
        break;
    }
    return record;
}

// Sends one measurement as over a real line, in pieces: its last bytes a moment after the rest.
// False when the program wrote anything meanwhile (it answers no measurement) or the line failed.
bool sendMeasurement(Wire &wire, int i, const QByteArray &record, int pauseMs)
{
    const qsizetype split = std::max<qsizetype>(1, record.size() - kLatePiece);
    if (!wire.send(record.left(split)))
        return false;
    QByteArray answer = wire.drain(kLatePieceMs);
    if (!wire.send(record.mid(split)))
        return false;
    // The surveyor takes the next measurement meanwhile; the program answers none.
    answer += wire.drain(pauseMs);
    if (!answer.isEmpty()) {
        report(
            QStringLiteral("the program answered measurement %1 with %2").arg(i).arg(hexOrNothing(answer)));
        return false;
    }
    return true;
}

int sendMeasurements(Wire &wire, const SimOptions &options)
{
    const FaultOptions::Padding padding =
        options.action == QLatin1String("measure-padded") ? FaultOptions::PadBefore : options.fault.padding;
    Fault fault(options.fault);
    if (const QString problem = fault.problem(options.points); !problem.isEmpty()) {
        report(problem);
        return 1;
    }
    if (!waitForGo()) {
        report(QStringLiteral("standard input ended before 'go'"));
        return 1;
    }
    // Single measurements are not acknowledged: after a damaged one the instrument goes on with the
    // next; what was cut off is measured again once the surveyor notices.
    QStringList sent;
    for (int i = 1; i <= options.points; ++i) {
        if (fault.pullsBefore(i))
            break;
        const int kind = (i - 1) % 4 + 1;
        const QStringList fields = measurementFields(i, kind);
        const char end = char(kFirstMeasurementEnd + kind - 1);
        QByteArray record = padded(char(kMeasurementStart) + codes(fields.join(QString())) + end, padding);
        const Fault::Damage damage = fault.damage(i, &record, char(kMeasurementStart), end, kMeasurementEnds);
        if (damage == Fault::CutOff) {
            if (!wire.send(record))
                return 1;
            const Fault::Next next = fault.waitUnanswered(wire, options.timeoutMs);
            if (next == Fault::Failed)
                return 1;
            if (next == Fault::GiveUp)
                break;
            --i;
            continue;
        }
        if (!sendMeasurement(wire, i, record, options.pauseMs))
            return 1;
        if (damage == Fault::Intact)
            sent << QString::number(kind) + u'|' + fields.join(u'|');
    }
    return options.outputFile.isEmpty() || writeOutput(options.outputFile, sent) ? 0 : 1;
}

} // namespace

bool isRqx5MeasureAction(const QString &action)
{
    return action == QLatin1String("datafile") || action == QLatin1String("measure") ||
           action == QLatin1String("measure-padded");
}

int playRqx5Measure(Wire &wire, const SimOptions &options)
{
    if (options.action == QLatin1String("datafile"))
        return sendDataFile(wire, options);
    return sendMeasurements(wire, options);
}
