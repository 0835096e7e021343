#pragma once

#include <QString>
#include <QVector>
#include <functional>

struct SimOptions;

// One point as an instrument of either series stores it: texts, N before E.
struct SimPoint {
    QString number, name, north, east, height;
};

// The instrument code of both series carries space, "+", "-", ".", digits and letters as their
// ASCII bytes.
bool isInstrumentCharacter(QChar c);
// Empty when text fits a field of width characters in the instrument code, else what is wrong with
// it; what names the field in the message.
QString textFieldProblem(const QString &what, const QString &text, int width);

// Empty when a point fits the series' record, else what is wrong with it.
using PointProblem = std::function<QString(const SimPoint &)>;

// Points from a file of lines "number,name,N,E,Z" (empty lines skipped); false with error set when a
// line does not have five fields or a point does not fit the record.
bool readPointsFile(const QString &path, const PointProblem &problemOf, QVector<SimPoint> *points,
                    QString *error);
// The points a send plays: those of the points file when one is given, else options.points points
// from generate; false with a report when the file cannot be used or there are more than maxCount
// points, the most that counter (e.g. "a transfer") can count.
bool pointsToSend(const SimOptions &options, const PointProblem &problemOf,
                  const std::function<QVector<SimPoint>(int count)> &generate, int maxCount,
                  const QString &counter, QVector<SimPoint> *points);
// Writes the points the instrument took, one line "number,name,N,E,Z" each, the way the points file
// is read; false with a report when the file cannot be written.
bool writePointsFile(const QString &path, const QVector<SimPoint> &points);
