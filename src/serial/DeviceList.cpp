#include "DeviceList.h"

#include <QDir>

#ifdef _WIN32
#include "Win32DeviceList.h"
#endif

QVector<SerialDevice> ListSerialDevices(const QString &dir)
{
#ifdef _WIN32
    if (dir.isEmpty())
        return ListWindowsPorts();
#endif
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
#ifdef _WIN32
    // The system's ports are opened by their own name: no device stands for them.
    if (dir.isEmpty())
        return {};
#endif
    const QVector<SerialDevice> devices = ListSerialDevices(dir);
    if (commPort < 1 || commPort > devices.size())
        return {};
    return devices.at(commPort - 1).path;
}
