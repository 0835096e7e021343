#include "Rqx5SimFrames.h"

namespace Rqx5Sim {

namespace {

// The RQX5 instrument code also carries the degree, minute and second marks of angles as 125, 126
// and 127.
QString characterOf(unsigned char code)
{
    if (code == 125)
        return QStringLiteral("\u00B0");
    if (code == 126)
        return QStringLiteral("\u2032");
    if (code == 127)
        return QStringLiteral("\u2033");
    const QChar c(code);
    return isInstrumentCharacter(c) ? QString(c) : QString();
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
        const QString problem = textFieldProblem(what, text, width);
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
