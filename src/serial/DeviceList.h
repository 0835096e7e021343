#pragma once

#include <QString>
#include <QVector>

// A serial device as the cable search sees it: its name, the port name COMn it is known by, and
// the device file that opening COMn opens.
struct SerialDevice {
    QString name;     // e.g. usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0
    QString portName; // COM1, COM2, ... in name order
    QString path;     // the entry in the device folder (a link to the tty)
};

// The folder the program lists serial devices from: udev's names of USB serial devices. Windows
// lists its ports itself: no folder.
#ifdef _WIN32
inline constexpr char kDefaultDeviceDir[] = "";
#else
inline constexpr char kDefaultDeviceDir[] = "/dev/serial/by-id";
#endif

// The entries of dir in name order, numbered COM1, COM2, ...; a missing folder means no devices. On
// Windows, no folder means the system's own ports.
QVector<SerialDevice> ListSerialDevices(const QString &dir);

// The device file that port COMn stands for, or an empty text when there is no n-th entry.
QString DevicePathForPort(const QString &dir, int commPort);
