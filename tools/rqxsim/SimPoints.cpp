#include "SimPoints.h"

#include "Play.h"
#include "Wire.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

bool isInstrumentCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'+' || u == u'-' || u == u'.' || (u >= u'0' && u <= u'9') ||
           (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

QString textFieldProblem(const QString &what, const QString &text, int width)
{
    if (text.size() > width)
        return QStringLiteral("%1 '%2' is longer than %3 characters").arg(what, text).arg(width);
    for (QChar c : text) {
        if (!isInstrumentCharacter(c))
            return QStringLiteral("%1 '%2' has a character the instrument code cannot carry").arg(what, text);
    }
    return {};
}

bool readPointsFile(const QString &path, const PointProblem &problemOf, QVector<SimPoint> *points,
                    QString *error)
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
        const SimPoint point{fields[0], fields[1], fields[2], fields[3], fields[4]};
        const QString problem = problemOf(point);
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1 line %2: %3").arg(path).arg(lineNumber).arg(problem);
            return false;
        }
        points->append(point);
    }
    return true;
}

bool pointsToSend(const SimOptions &options, const PointProblem &problemOf,
                  const std::function<QVector<SimPoint>(int count)> &generate, int maxCount,
                  const QString &counter, QVector<SimPoint> *points)
{
    auto tooMany = [&](qsizetype count) {
        report(QStringLiteral("%1 points: %2 counts at most %3").arg(count).arg(counter).arg(maxCount));
        return false;
    };
    if (options.pointsFile.isEmpty()) {
        // Checked before generating, so a mistyped count does not fill the memory first.
        if (options.points > maxCount)
            return tooMany(options.points);
        *points = generate(options.points);
        return true;
    }
    QString error;
    if (!readPointsFile(options.pointsFile, problemOf, points, &error)) {
        report(error);
        return false;
    }
    return points->size() > maxCount ? tooMany(points->size()) : true;
}

bool writePointsFile(const QString &path, const QVector<SimPoint> &points)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    for (const SimPoint &p : points)
        file.write(QStringList{p.number, p.name, p.north, p.east, p.height}.join(u',').toUtf8() + '\n');
    if (!file.commit()) {
        report(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    return true;
}
