#pragma once

#include <QString>

// The port a device's friendly name in the device manager ends with: "Prolific USB-to-Serial Comm
// Port (COM5)" gives "COM5". Empty when the name ends with no port in brackets (COM1 to COM256).
QString PortFromFriendlyName(const QString &friendlyName);
