#include "Rqx2MeasurementFrames.h"

#include "Rqx2SimFrames.h"
#include "SimPoints.h"

#include <QFile>
#include <QRegularExpression>

namespace Rqx2Sim {

namespace {

constexpr char kHeaderKind = 0x07;
constexpr char kAcknowledgementStart = 0x06;
constexpr int kRecordsPerStation = 50;

// How a field is laid out in the record.
enum class Layout {
    Text,      // 7 characters, left-aligned
    Angle,     // dddmmss
    Number,    // run of digits, "." and 3 decimals; never negative
    SignInRun, // "+" or "-" in the first place of the run
    SignApart, // "+" or "-" before a run of digits
};
struct Place {
    Layout layout;
    int run; // digits before the point (the sign's place of SignInRun counted)
};

QVector<Place> placesOf(MeasurementRecord::Kind kind)
{
    switch (kind) {
    case MeasurementRecord::Station:
        return {{Layout::Text, 0},      {Layout::Text, 0},      {Layout::SignInRun, 4},
                {Layout::SignInRun, 9}, {Layout::SignInRun, 9}, {Layout::SignInRun, 9}};
    case MeasurementRecord::Backsight:
        return {{Layout::Text, 0}, {Layout::Text, 0}, {Layout::Angle, 0}};
    case MeasurementRecord::Measurement:
        break;
    }
    return {{Layout::Text, 0},      {Layout::Text, 0},      {Layout::Angle, 0},     {Layout::Angle, 0},
            {Layout::Number, 5},    {Layout::SignInRun, 5}, {Layout::Number, 5},    {Layout::SignApart, 3},
            {Layout::SignApart, 3}, {Layout::SignApart, 8}, {Layout::SignApart, 8}, {Layout::SignApart, 8}};
}

QByteArray counter(int number)
{
    return QByteArray::number(number).rightJustified(kCounterWidth, '0');
}

// The field's bytes, or empty when the text does not fit the place.
QByteArray fieldBytes(const QString &text, const Place &place)
{
    static const QRegularExpression number(QStringLiteral("^(-?)([0-9]*)(?:\\.([0-9]{0,3}))?$"));
    static const QRegularExpression angle(QStringLiteral("^[0-9]{3}[0-5][0-9][0-5][0-9]$"));
    switch (place.layout) {
    case Layout::Text:
        return textFieldProblem(QStringLiteral("text"), text, kTextWidth).isEmpty()
                   ? text.leftJustified(kTextWidth, u' ').toLatin1()
                   : QByteArray();
    case Layout::Angle:
        return angle.match(text).hasMatch() ? text.toLatin1() : QByteArray();
    case Layout::Number:
    case Layout::SignInRun:
    case Layout::SignApart:
        break;
    }
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch() || text.isEmpty())
        return {};
    const bool negative = !match.captured(1).isEmpty();
    const QString sign = negative ? QStringLiteral("-") : QStringLiteral("+");
    const QString decimals = u'.' + match.captured(3).leftJustified(kDecimals, u'0');
    const int digits = place.layout == Layout::SignInRun ? place.run - 1 : place.run;
    const QString integer = match.captured(2).rightJustified(digits, u'0');
    if (integer.size() > digits || (negative && place.layout == Layout::Number))
        return {};
    return ((place.layout == Layout::Number ? QString() : sign) + integer + decimals).toLatin1();
}

} // namespace

QByteArray measurementAnswer()
{
    return QByteArray(1, kMeasurementTransfer) + kRequestMark + kEnd;
}

QByteArray measurementHeader(const QString &fileName, int count)
{
    return QByteArray(1, kStart) + counter(0) + counter(count) + kHeaderKind +
           fileName.leftJustified(kFileNameWidth, u' ', true).toLatin1() + kEnd;
}

QByteArray measurementRecord(int current, int count, const MeasurementRecord &record)
{
    const QVector<Place> places = placesOf(record.kind);
    if (record.fields.size() != places.size())
        return {};
    QByteArray bytes = QByteArray(1, kStart) + counter(current) + counter(count) + char(record.kind);
    for (int i = 0; i < places.size(); ++i) {
        const QByteArray field = fieldBytes(record.fields[i], places[i]);
        if (field.isEmpty())
            return {};
        bytes += field;
    }
    return bytes + kEnd;
}

QByteArray measurementAcknowledgement(int current, int count)
{
    return QByteArray(1, kAcknowledgementStart) + counter(current) + counter(count) + kEnd;
}

QString measurementProblem(const MeasurementRecord &record)
{
    const QVector<Place> places = placesOf(record.kind);
    if (record.fields.size() != places.size())
        return QStringLiteral("%1 fields instead of %2").arg(record.fields.size()).arg(places.size());
    for (int i = 0; i < places.size(); ++i) {
        if (fieldBytes(record.fields[i], places[i]).isEmpty())
            return QStringLiteral("field %1 '%2' does not fit its place").arg(i + 1).arg(record.fields[i]);
    }
    return {};
}

QVector<MeasurementRecord> generateMeasurements(int count)
{
    QVector<MeasurementRecord> records;
    records.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        switch (i % kRecordsPerStation) {
        case 1:
            records.append(
                {MeasurementRecord::Station,
                 {QStringLiteral("S") + n, QStringLiteral("ST"), QStringLiteral("1.55"),
                  QString::number(1000 + i), QString::number(-2000 - i), QStringLiteral("100.25")}});
            break;
        case 2:
            records.append({MeasurementRecord::Backsight,
                            {QStringLiteral("B") + n, QStringLiteral("BS"), QStringLiteral("0453000")}});
            break;
        default: {
            // The angles run through every degree; every other height difference is negative.
            const QString degrees = QString::number(i % 360).rightJustified(3, u'0');
            const QString sign = i % 2 ? QStringLiteral("-") : QString();
            records.append(
                {MeasurementRecord::Measurement,
                 {QStringLiteral("M") + n, QStringLiteral("P") + n, degrees + QStringLiteral("1530"),
                  QStringLiteral("0893015"), QString::number(10 + i % 500) + QStringLiteral(".125"),
                  sign + QStringLiteral("1.2"), QString::number(10 + i % 500), QStringLiteral("1.5"),
                  QStringLiteral("1.8"), QString::number(3000.5 + i, 'f', 3),
                  QString::number(-500.25 - i, 'f', 3), QStringLiteral("12.3")}});
        }
        }
    }
    return records;
}

bool readMeasurementsFile(const QString &path, QString *fileName, QVector<MeasurementRecord> *records,
                          QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    const QStringList kinds{QStringLiteral("station"), QStringLiteral("backsight"),
                            QStringLiteral("measurement")};
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u',');
        const QString kind = fields.takeFirst();
        QString problem;
        if (kind == QLatin1String("name")) {
            *fileName = fields.value(0);
            if (fields.size() != 1 || fileName->size() > kFileNameWidth)
                problem = QStringLiteral("expected name,FILE with at most 5 characters");
            else
                problem = textFieldProblem(QStringLiteral("file name"), *fileName, kFileNameWidth);
        } else if (kinds.contains(kind)) {
            const MeasurementRecord record{
                MeasurementRecord::Kind(MeasurementRecord::Station + kinds.indexOf(kind)), fields};
            problem = measurementProblem(record);
            records->append(record);
        } else {
            problem = QStringLiteral("expected name, station, backsight or measurement");
        }
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(lineNumber).arg(problem);
            return false;
        }
    }
    return true;
}

} // namespace Rqx2Sim
