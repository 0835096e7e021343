#include "Rqx2SimFrames.h"

#include "Wire.h"

#include <QRegularExpression>

namespace Rqx2Sim {

namespace {

// A coordinate the instrument stores: an optional minus, at most 8 digits, and at most 3 decimals.
const QRegularExpression &storedCoordinate()
{
    static const QRegularExpression pattern(QStringLiteral("^-?([0-9]*)(\\.[0-9]{0,3})?$"));
    return pattern;
}

QString coordinateProblem(const QString &what, const QString &text)
{
    const auto match = storedCoordinate().match(text);
    if (!match.hasMatch() || text.indexOf(u'.') > kIntegerWidth ||
        (text.indexOf(u'.') < 0 && text.size() > kIntegerWidth))
        return QStringLiteral("%1 '%2' is not a coordinate of at most 9 characters and 3 decimals")
            .arg(what, text);
    return {};
}

QByteArray digits(int number)
{
    return QByteArray::number(number).rightJustified(kCounterWidth, '0');
}

bool isDigits(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (c < '0' || c > '9')
            return false;
    }
    return !bytes.isEmpty();
}

// The record form: 9 characters of digits with at most one minus, ".", 3 digits.
bool isCoordinateField(const QByteArray &bytes)
{
    if (bytes.size() != kCoordinateWidth || bytes[kIntegerWidth] != '.')
        return false;
    int minus = 0;
    for (int i = 0; i < kIntegerWidth; ++i) {
        if (bytes[i] == '-')
            ++minus;
        else if (bytes[i] < '0' || bytes[i] > '9')
            return false;
    }
    return minus <= 1 && isDigits(bytes.mid(kIntegerWidth + 1));
}

bool isText(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (!isInstrumentCharacter(QChar(static_cast<unsigned char>(c))))
            return false;
    }
    return true;
}

} // namespace

QByteArray request()
{
    const char bytes[] = {kStart, kRequestMark, kEnd};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray coordinateAnswer()
{
    const char bytes[] = {kCoordinateTransfer, kRequestMark, kEnd};
    return QByteArray(bytes, sizeof bytes);
}

QString pointProblem(const Point &point)
{
    for (const auto &[what, text] : {std::pair{QStringLiteral("point number"), point.number},
                                     std::pair{QStringLiteral("point name"), point.name}}) {
        const QString problem = textFieldProblem(what, text, kTextWidth);
        if (!problem.isEmpty())
            return problem;
    }
    for (const auto &[what, text] :
         {std::pair{QStringLiteral("N"), point.north}, std::pair{QStringLiteral("E"), point.east},
          std::pair{QStringLiteral("Z"), point.height}}) {
        const QString problem = coordinateProblem(what, text);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QVector<Point> generatePoints(int count)
{
    QVector<Point> points;
    points.reserve(count);
    for (int i = 1; i <= count; ++i) {
        // Every third point lies south or west of the origin, so signs travel too.
        const double sign = i % 3 == 0 ? -1.0 : 1.0;
        points.append({QString::number(i), QStringLiteral("K%1").arg(i),
                       QString::number(sign * (3000.0 + i * 1.125), 'f', 3),
                       QString::number(-sign * (500.0 + i * 0.5), 'f', 3),
                       QString::number(10.0 + (i % 100) * 0.01, 'f', 3)});
    }
    return points;
}

QString coordinateField(const QString &text)
{
    const bool negative = text.startsWith(u'-');
    const QString unsigned_ = negative ? text.mid(1) : text;
    const qsizetype point = unsigned_.indexOf(u'.');
    QString integer = point < 0 ? unsigned_ : unsigned_.left(point);
    const QString decimals = point < 0 ? QString() : unsigned_.mid(point + 1);
    if (negative)
        integer.prepend(u'-');
    return integer.rightJustified(kIntegerWidth, u'0') + u'.' + decimals.leftJustified(kDecimals, u'0');
}

QByteArray coordinateRecord(int current, int total, const Point &point)
{
    QByteArray record;
    record.append(kStart);
    record.append(digits(current));
    record.append(digits(total));
    record.append(point.number.leftJustified(kTextWidth, u' ').toLatin1());
    record.append(point.name.leftJustified(kTextWidth, u' ').toLatin1());
    record.append(coordinateField(point.north).toLatin1());
    record.append(coordinateField(point.east).toLatin1());
    record.append(coordinateField(point.height).toLatin1());
    record.append(kEnd);
    return record;
}

QByteArray acknowledgement(int current, int total)
{
    return QByteArray(1, kStart) + digits(current) + digits(total) + kEnd + QByteArray(1, '\0');
}

bool parseSentRecord(const QByteArray &bytes, SentRecord *record, QString *error)
{
    auto fail = [&](const QString &what) {
        *error = QStringLiteral("%1 in %2").arg(what, hexOrNothing(bytes));
        return false;
    };
    if (bytes.size() != kSentRecordLength)
        return fail(
            QStringLiteral("a record of %1 bytes instead of %2").arg(bytes.size()).arg(kSentRecordLength));
    if (bytes[0] != kStart)
        return fail(QStringLiteral("byte 0 is not 02"));
    if (bytes[kRecordLength - 1] != kEnd || bytes[kRecordLength] != '\0')
        return fail(QStringLiteral("bytes 62 and 63 are not 0D 00"));
    const QByteArray current = bytes.mid(1, kCounterWidth);
    const QByteArray total = bytes.mid(1 + kCounterWidth, kCounterWidth);
    if (!isDigits(current) || !isDigits(total))
        return fail(QStringLiteral("the point number or count is not four digits"));
    const QByteArray number = bytes.mid(9, kTextWidth);
    const QByteArray name = bytes.mid(16, kTextWidth);
    if (!isText(number) || !isText(name))
        return fail(QStringLiteral("the point number or name has a byte outside the instrument code"));
    const QByteArray north = bytes.mid(23, kCoordinateWidth);
    const QByteArray east = bytes.mid(36, kCoordinateWidth);
    const QByteArray height = bytes.mid(49, kCoordinateWidth);
    for (const QByteArray &field : {north, east, height}) {
        if (!isCoordinateField(field))
            return fail(QStringLiteral("coordinate '%1' is not in the form 000000000.000")
                            .arg(QString::fromLatin1(field)));
    }
    record->current = current.toInt();
    record->total = total.toInt();
    record->point = {QString::fromLatin1(number), QString::fromLatin1(name), QString::fromLatin1(north),
                     QString::fromLatin1(east), QString::fromLatin1(height)};
    return true;
}

} // namespace Rqx2Sim
