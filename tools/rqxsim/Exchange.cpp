#include "Exchange.h"

#include "Wire.h"

namespace {
// Bytes that come after a transfer has ended are reported if they come within this time.
constexpr int kAfterEndMs = 50;
} // namespace

bool receiveExactly(Wire &wire, int count, QByteArray *got, int timeoutMs)
{
    got->clear();
    constexpr int kSlice = 1000;
    for (;;) {
        QByteArray part;
        const bool complete =
            wire.receive(count - static_cast<int>(got->size()), &part, timeoutMs < 0 ? kSlice : timeoutMs);
        got->append(part);
        if (complete)
            return true;
        if (timeoutMs >= 0)
            return false;
    }
}

bool expectFrame(Wire &wire, const QByteArray &expected, const QString &when, int timeoutMs)
{
    QByteArray got;
    if (!receiveExactly(wire, static_cast<int>(expected.size()), &got, timeoutMs)) {
        report(QStringLiteral("expected %1 %2, got %3 within %4 ms")
                   .arg(hexOrNothing(expected), when, hexOrNothing(got))
                   .arg(timeoutMs));
        return false;
    }
    if (got != expected) {
        report(QStringLiteral("expected %1 %2, got %3").arg(hexOrNothing(expected), when, hexOrNothing(got)));
        return false;
    }
    return true;
}

bool nothingMore(Wire &wire, const QString &after)
{
    const QByteArray extra = wire.drain(kAfterEndMs);
    if (!extra.isEmpty()) {
        report(QStringLiteral("unexpected bytes %1: %2").arg(after, hexOrNothing(extra)));
        return false;
    }
    return true;
}
