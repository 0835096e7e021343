// A scripted exchange, for tests that need bytes the simulated instruments never send on their own.
// One step per line, run in order:
//
//   send HEX              write the bytes to the program ("send AA 82", spaces optional)
//   expect HEX [MS]       the program must write exactly these bytes next, within MS milliseconds
//                         (default: --timeout); a time-out of two digits, which would read as a
//                         byte, is written with "ms": "expect AA 81 50ms"
//   wait MS               pause; what the program writes meanwhile stays for the next expect
//   quiet MS              the program must write nothing for MS milliseconds (the first byte
//                         that comes fails the step at once)
//   go                    wait for a line "go" on standard input (the program is ready)
//   say TEXT              report TEXT on stderr, so a test can wait until the exchange got there
//   pull                  the cable is pulled: the script ends here, the simulator closes its end of
//                         the line and ends with 0
//
// Empty lines and lines starting with # are skipped. The first step that fails is reported on
// stderr with its line number, what was expected and what came, and the simulator ends with 1.
#include "ConnectionTest.h"
#include "Play.h"
#include "Wire.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

namespace {

struct Step {
    int line = 0;
    QString verb;
    QByteArray bytes;
    int ms = -1;
    QString text;
};

bool parseHex(const QString &text, QByteArray *bytes)
{
    QString digits = text;
    digits.remove(QRegularExpression(QStringLiteral("\\s")));
    static const QRegularExpression hexDigits(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    if (!hexDigits.match(digits).hasMatch())
        return false;
    *bytes = QByteArray::fromHex(digits.toLatin1());
    return true;
}

bool parseMs(QString text, int *ms)
{
    if (text.endsWith(QLatin1String("ms")))
        text.chop(2);
    bool ok = false;
    *ms = text.toInt(&ok);
    return ok && *ms >= 0;
}

// Reads the script; false with a report naming the line that cannot be understood.
bool readScript(const QString &path, QVector<Step> *steps)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        report(QStringLiteral("cannot read the script %1").arg(path));
        return false;
    }
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const int space = static_cast<int>(line.indexOf(u' '));
        Step step;
        step.line = number;
        step.verb = line.left(space < 0 ? line.size() : space);
        const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
        bool ok = false;
        if (step.verb == QLatin1String("send")) {
            ok = parseHex(rest, &step.bytes);
        } else if (step.verb == QLatin1String("expect")) {
            // The last word is a time-out when it cannot be one byte of hex digits.
            QStringList words = rest.split(u' ', Qt::SkipEmptyParts);
            const QString last = words.value(words.size() - 1);
            if (words.size() > 1 && (last.size() != 2 || last.endsWith(QLatin1String("ms"))) &&
                parseMs(last, &step.ms))
                words.removeLast();
            ok = parseHex(words.join(QString()), &step.bytes);
        } else if (step.verb == QLatin1String("wait") || step.verb == QLatin1String("quiet")) {
            ok = parseMs(rest, &step.ms);
        } else if (step.verb == QLatin1String("go") || step.verb == QLatin1String("pull")) {
            ok = rest.isEmpty();
        } else if (step.verb == QLatin1String("say")) {
            step.text = rest;
            ok = !rest.isEmpty();
        }
        if (!ok) {
            report(QStringLiteral("script %1 line %2: cannot read \"%3\"").arg(path).arg(number).arg(line));
            return false;
        }
        steps->append(step);
    }
    return true;
}

bool runStep(Wire &wire, const Step &step, int defaultTimeoutMs)
{
    const QString where = QStringLiteral("script line %1").arg(step.line);
    if (step.verb == QLatin1String("send"))
        return wire.send(step.bytes);
    if (step.verb == QLatin1String("wait")) {
        QThread::msleep(static_cast<unsigned long>(step.ms));
        return true;
    }
    if (step.verb == QLatin1String("go")) {
        if (waitForGo())
            return true;
        report(QStringLiteral("%1: standard input ended before 'go'").arg(where));
        return false;
    }
    if (step.verb == QLatin1String("say")) {
        report(step.text);
        return true;
    }
    if (step.verb == QLatin1String("quiet")) {
        QElapsedTimer quiet;
        quiet.start();
        QByteArray got;
        while (got.isEmpty() && quiet.elapsed() < step.ms)
            got = wire.readAvailable(static_cast<int>(step.ms - quiet.elapsed()));
        if (got.isEmpty())
            return true;
        report(QStringLiteral("%1: expected nothing for %2 ms, got %3")
                   .arg(where)
                   .arg(step.ms)
                   .arg(hexOrNothing(got)));
        return false;
    }
    // expect
    const int timeoutMs = step.ms >= 0 ? step.ms : defaultTimeoutMs;
    QByteArray got;
    if (!wire.receive(static_cast<int>(step.bytes.size()), &got, timeoutMs)) {
        report(QStringLiteral("%1: expected %2 within %3 ms, got %4")
                   .arg(where, hexOrNothing(step.bytes))
                   .arg(timeoutMs)
                   .arg(hexOrNothing(got)));
        return false;
    }
    if (got != step.bytes) {
        report(QStringLiteral("%1: expected %2, got %3")
                   .arg(where, hexOrNothing(step.bytes), hexOrNothing(got)));
        return false;
    }
    return true;
}

} // namespace

int playScript(Wire &wire, const SimOptions &options)
{
    QVector<Step> steps;
    if (options.scriptPath.isEmpty()) {
        report(QStringLiteral("the action script needs --script FILE"));
        return 2;
    }
    if (!readScript(options.scriptPath, &steps))
        return 2;
    for (const Step &step : steps) {
        if (step.verb == QLatin1String("pull")) {
            report(
                QStringLiteral("script line %1: the cable is pulled, the instrument's end of the line closes")
                    .arg(step.line));
            return 0;
        }
        if (!runStep(wire, step, options.timeoutMs))
            return 1;
    }
    return 0;
}
