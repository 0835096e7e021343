#include "DeviceList.h"

#include <QDir>

QVector<SerialDevice> ListSerialDevices(const QString &dir)
{
    QVector<SerialDevice> devices;
    const QDir folder(dir);
    if (!folder.exists())
        return devices;
    const QStringList names =
        folder.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    int number = 0;
    for (const QString &name : names)
        devices.push_back({name, QStringLiteral("COM%1").arg(++number), folder.filePath(name)});
    return devices;
}

QString DevicePathForPort(const QString &dir, int commPort)
{
    const QVector<SerialDevice> devices = ListSerialDevices(dir);
    if (commPort < 1 || commPort > devices.size())
        return {};
    return devices.at(commPort - 1).path;
}
