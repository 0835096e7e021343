#include "PortSettings.h"

namespace {
constexpr int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kFallbackSpeed = 57600;
constexpr int kHighestDialogPort = 9;
} // namespace

namespace PortSettings {

QString SettingsForSpeed(double baud)
{
    int speed = kFallbackSpeed;
    for (int candidate : kSpeeds) {
        if (baud == candidate)
            speed = candidate;
    }
    return QStringLiteral("%1,N,8,1").arg(speed);
}

int PortNumberFromText(const QString &text)
{
    for (int number = 1; number <= kHighestDialogPort; ++number) {
        if (text == QStringLiteral("COM%1").arg(number))
            return number;
    }
    return 0;
}

} // namespace PortSettings
