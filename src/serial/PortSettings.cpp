#include "PortSettings.h"

#include <QStringList>

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

bool ParseSettings(const QString &text, LineSettings *settings)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return false;
    LineSettings parsed;
    bool ok = false;
    parsed.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || parsed.baudRate <= 0)
        return false;
    const QString parityText = parts[1].trimmed().toUpper();
    static const QString kParities = QStringLiteral("NOEMS");
    const qsizetype parity = parityText.size() == 1 ? kParities.indexOf(parityText) : -1;
    if (parity < 0)
        return false;
    parsed.parity = static_cast<LineSettings::Parity>(parity);
    parsed.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || parsed.dataBits < 5 || parsed.dataBits > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        parsed.stopBits = LineSettings::OneStop;
    else if (stop == QLatin1String("1.5"))
        parsed.stopBits = LineSettings::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        parsed.stopBits = LineSettings::TwoStop;
    else
        return false;
    *settings = parsed;
    return true;
}

} // namespace PortSettings
