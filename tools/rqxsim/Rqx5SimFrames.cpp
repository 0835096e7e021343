#include "Rqx5SimFrames.h"

#include <QFile>
#include <QStringList>

namespace Rqx5Sim {

namespace {

// The instrument code carries space, "+", "-", ".", digits and letters as their ASCII bytes, and the
// degree, minute and second marks of angles as 125, 126 and 127.
bool codable(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'+' || u == u'-' || u == u'.' || (u >= u'0' && u <= u'9') ||
           (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

QString characterOf(unsigned char code)
{
    if (code == 125)
        return QStringLiteral("\u00B0");
    if (code == 126)
        return QStringLiteral("\u2032");
    if (code == 127)
        return QStringLiteral("\u2033");
    const QChar c(code);
    return codable(c) ? QString(c) : QString();
}

QString fieldProblem(const QString &what, const QString &text, int width)
{
    if (text.size() > width)
        return QStringLiteral("%1 '%2' is longer than %3 characters").arg(what, text).arg(width);
    for (QChar c : text) {
        if (!codable(c))
            return QStringLiteral("%1 '%2' has a character the instrument code cannot carry").arg(what, text);
    }
    return {};
}

QByteArray field(const QString &text, int width, bool rightAligned)
{
    const QString padded =
        rightAligned ? text.rightJustified(width, u' ', true) : text.leftJustified(width, u' ', true);
    return padded.toLatin1();
}

} // namespace

QByteArray nextPair()
{
    const char pair[] = {char(kLead), char(kNext)};
    return QByteArray(pair, 2);
}

QByteArray endPair()
{
    const char pair[] = {char(kLead), char(kEnd)};
    return QByteArray(pair, 2);
}

QString pointProblem(const Point &point)
{
    for (const auto &[what, text, width] :
         {std::tuple{QStringLiteral("point number"), point.number, kNumberWidth},
          std::tuple{QStringLiteral("point name"), point.name, kNameWidth},
          std::tuple{QStringLiteral("N"), point.north, kCoordinateWidth},
          std::tuple{QStringLiteral("E"), point.east, kCoordinateWidth},
          std::tuple{QStringLiteral("Z"), point.height, kCoordinateWidth}}) {
        const QString problem = fieldProblem(what, text, width);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

bool readPoints(const QString &path, QVector<Point> *points, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).remove(u'\r').remove(u'\n');
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = line.split(u',');
        if (fields.size() != 5) {
            *error = QStringLiteral("%1 line %2: expected number,name,N,E,Z").arg(path).arg(lineNumber);
            return false;
        }
        const Point point{fields[0], fields[1], fields[2], fields[3], fields[4]};
        const QString problem = pointProblem(point);
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(lineNumber).arg(problem);
            return false;
        }
        points->append(point);
    }
    return true;
}

QVector<Point> generatePoints(int count)
{
    QVector<Point> points;
    points.reserve(count);
    for (int i = 1; i <= count; ++i) {
        points.append({QString::number(i), QStringLiteral("P%1").arg(i),
                       QString::number(4000.0 + i * 1.5, 'f', 3), QString::number(2000.0 + i * 0.25, 'f', 3),
                       QString::number(10.0 + (i % 100) * 0.01, 'f', 3)});
    }
    return points;
}

QByteArray coordinateHeader(const QString &fileName, int count)
{
    QByteArray header;
    header.append(char(kLead));
    header.append(char(kSendHeader)); // the program does not look at the first two bytes
    header.append(field(fileName, kFileNameWidth, false));
    header.append(char(count / 100));
    header.append(char(count % 100));
    header.append(endPair());
    return header;
}

QByteArray coordinateRecord(const Point &point)
{
    QByteArray record;
    record.append(char(kRecordStart));
    record.append(field(point.number, kNumberWidth, true));
    record.append(field(point.name, kNameWidth, false));
    record.append(field(point.north, kCoordinateWidth, false));
    record.append(field(point.east, kCoordinateWidth, false));
    record.append(field(point.height, kCoordinateWidth, false));
    record.append(char(kRecordEnd));
    return record;
}

bool parseCoordinateRecord(const QByteArray &record, Point *point, QString *error)
{
    if (record.size() != kRecordLength || static_cast<unsigned char>(record[0]) != kRecordStart ||
        static_cast<unsigned char>(record[kRecordLength - 1]) != kRecordEnd) {
        *error = QStringLiteral("not a coordinate record (0x90 ... 0xB0, 60 bytes)");
        return false;
    }
    QString *fields[] = {&point->number, &point->name, &point->north, &point->east, &point->height};
    const int widths[] = {kNumberWidth, kNameWidth, kCoordinateWidth, kCoordinateWidth, kCoordinateWidth};
    int at = 1;
    for (int f = 0; f < 5; ++f) {
        QString text;
        for (int i = 0; i < widths[f]; ++i, ++at) {
            const auto code = static_cast<unsigned char>(record[at]);
            const QString character = characterOf(code);
            if (character.isEmpty()) {
                *error = QStringLiteral("byte %1 is 0x%2, which is no instrument character")
                             .arg(at)
                             .arg(code, 2, 16, QLatin1Char('0'));
                return false;
            }
            text += character;
        }
        *fields[f] = text.trimmed();
    }
    return true;
}

int parseSendHeader(const QByteArray &header)
{
    if (header.size() != kSendHeaderLength || static_cast<unsigned char>(header[0]) != kLead ||
        static_cast<unsigned char>(header[1]) != kSendHeader || header.mid(4) != endPair())
        return -1;
    return static_cast<unsigned char>(header[2]) * 256 + static_cast<unsigned char>(header[3]);
}

} // namespace Rqx5Sim
