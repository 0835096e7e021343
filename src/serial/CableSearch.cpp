#include "CableSearch.h"

#include <QRegularExpression>

namespace {
constexpr int kMinimumNameLength = 15; // 16 counted with the terminating NUL
constexpr int kLastStartPosition = 15;
constexpr int kHighestPort = 16;
} // namespace

bool IsProlificDeviceName(const QString &name)
{
    if (name.size() < kMinimumNameLength)
        return false;
    for (int position = 1; position <= kLastStartPosition; ++position) {
        if (name.mid(position - 1, 8) == QLatin1String("Prolific"))
            return true;
    }
    return false;
}

CableSearchResult FindUsbSerialPort(const QVector<SerialDevice> &devices)
{
    static const QRegularExpression portPattern(QStringLiteral("^COM([1-9][0-9]?)$"));
    CableSearchResult result;
    for (const SerialDevice &device : devices) {
        if (!IsProlificDeviceName(device.name))
            continue;
        const auto match = portPattern.match(device.portName);
        const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (number < 1 || number > kHighestPort)
            return {CableSearchResult::OutOfRange, device.portName, 0};
        result = {CableSearchResult::Found, device.portName, number};
    }
    return result;
}

CableSearchResult GivenPort(const QString &port)
{
    static const QRegularExpression comPattern(QStringLiteral(R"(^(?:\\\\\.\\)?COM([1-9][0-9]{0,2})$)"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QString text = port.trimmed();
    if (text.isEmpty())
        return {};
    const auto match = comPattern.match(text);
    if (match.hasMatch())
        return {CableSearchResult::Found, QStringLiteral("COM") + match.captured(1),
                match.captured(1).toInt()};
    return {CableSearchResult::Found, text, 1};
}
