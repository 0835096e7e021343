#pragma once

#include <QByteArray>
#include <QStringList>

// One ordered log shared by the fakes of a test, so that the order of port operations, screen
// updates and message boxes can be checked as one sequence.
struct Recorder {
    QStringList events;
    void add(const QString &event) { events.append(event); }
    void clear() { events.clear(); }
    // Events that start with prefix, in order.
    QStringList matching(const QString &prefix) const;
    int indexOf(const QString &event) const { return static_cast<int>(events.indexOf(event)); }
};

// Bytes as spaced upper-case hex, "02 30 0D", the way frames are written in the tests.
QString hex(const QByteArray &bytes);
// The bytes of a spaced hex text ("AA 81").
QByteArray fromHex(const char *text);
