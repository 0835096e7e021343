#pragma once

#include <QByteArray>
#include <QString>

class Wire;

// Steps of a transfer both series play the same way. Each failure is reported on stderr.

// Reads exactly count bytes. A negative time-out waits as long as it takes (the demo waits for the
// person at the program, who may have a message box to close).
bool receiveExactly(Wire &wire, int count, QByteArray *got, int timeoutMs);
// Waits for a frame of expected's length and checks it is expected; when says at which step.
bool expectFrame(Wire &wire, const QByteArray &expected, const QString &when, int timeoutMs);
// True when the program writes nothing more shortly after a transfer has ended.
bool nothingMore(Wire &wire, const QString &after);
