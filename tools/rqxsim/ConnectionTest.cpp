// Both series answer the program's connection test the same way: the pair comes back unchanged.
#include "ConnectionTest.h"
#include "Play.h"
#include "Wire.h"

namespace {
// After an answer the program may test again at once (the button pressed twice); the instrument
// stays for this long of quiet before it ends.
constexpr int kQuietAfterAnswerMs = 300;
} // namespace

QByteArray connectionTestPair()
{
    return QByteArray::fromHex("aabb");
}

int playConnectionTest(Wire &wire, const SimOptions &options)
{
    const QByteArray pair = connectionTestPair();
    int answered = 0;
    for (;;) {
        QByteArray got;
        if (answered > 0) {
            QByteArray first;
            if (!wire.receive(1, &first, kQuietAfterAnswerMs))
                return 0;
            QByteArray rest;
            wire.receive(static_cast<int>(pair.size()) - 1, &rest, options.timeoutMs);
            got = first + rest;
        } else if (!wire.receive(static_cast<int>(pair.size()), &got, options.timeoutMs)) {
            report(QStringLiteral("expected the connection test AA BB within %1 ms, got %2")
                       .arg(options.timeoutMs)
                       .arg(hexOrNothing(got)));
            return 1;
        }
        if (got != pair) {
            report(QStringLiteral("expected the connection test AA BB, got %1").arg(hexOrNothing(got)));
            return 1;
        }
        if (!wire.send(pair))
            return 1;
        ++answered;
    }
}
