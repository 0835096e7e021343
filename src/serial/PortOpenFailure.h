#pragma once

#include <QSerialPort>
#include <QString>

// Why the port could not be opened, as the system told it. The link keeps the last one, so that the
// port failure message can say more than that the port failed: on Linux a serial device is usually
// readable and writable only by the members of its group (dialout), and a user outside it sees every
// transfer fail.
struct PortOpenFailure {
    enum class Cause {
        Other,
        NoPermission, // the user may not read and write the device
        InUse,        // another program holds the device
    };

    QString device; // the device file opened: the entry in the device folder
    QString target; // the terminal device it leads to (e.g. /dev/ttyUSB0); empty when it leads nowhere
    QString group;  // the group that owns the terminal device (e.g. dialout)
    QString reason; // the system's own words
    Cause cause = Cause::Other;

    bool happened() const { return !device.isEmpty(); }

    // What the system says about device, which the port has just failed to open with error.
    static PortOpenFailure observe(const QString &device, QSerialPort::SerialPortError error,
                                   const QString &reason);
};

// The detailed text of the port failure message: the device, the system's error and what to do
// about it. Empty when no failure was recorded.
QString PortFailureDetail(const PortOpenFailure &failure);
