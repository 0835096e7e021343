#include "TransferProgress.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBitsPerByte = 10; // start bit, eight data bits, stop bit
constexpr long kSecondsPerHour = 3600;
constexpr long kSecondsPerMinute = 60;
} // namespace

double SecondsLeft(const TransferProgress &progress, double measuredSeconds, long measuredRecords,
                   int bitsPerSecond)
{
    if (progress.total < 0)
        return -1;
    const long left = std::max(0L, progress.total - progress.done);
    if (measuredRecords >= 1 && measuredSeconds > 0)
        return left * measuredSeconds / static_cast<double>(measuredRecords);
    if (bitsPerSecond <= 0 || progress.bytesPerRecord <= 0)
        return -1;
    return left * static_cast<double>(progress.bytesPerRecord) * kBitsPerByte / bitsPerSecond;
}

QString TimeLeftText(double seconds)
{
    if (seconds < 0 || !std::isfinite(seconds))
        return {};
    // Rounded up: a transfer with half a second left is not shown as done.
    const long whole = static_cast<long>(std::ceil(seconds));
    const long hours = whole / kSecondsPerHour;
    const long minutes = whole % kSecondsPerHour / kSecondsPerMinute;
    const long secs = whole % kSecondsPerMinute;
    const QString tail = QStringLiteral("%1").arg(secs, 2, 10, QLatin1Char('0'));
    if (hours > 0)
        return QStringLiteral("剩余时间 %1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(tail);
    return QStringLiteral("剩余时间 %1:%2").arg(minutes).arg(tail);
}
