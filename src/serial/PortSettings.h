#pragma once

#include <QString>

// The older port dialog's rules, apart from the dialog: which line settings a speed gives and which
// port a port text selects.
namespace PortSettings {

// The settings text for a speed: the eight speeds of the dialog give "1200,N,8,1" ..
// "115200,N,8,1"; any other value gives "57600,N,8,1".
QString SettingsForSpeed(double baud);

// The port number that a port text selects: 1..9 for exactly "COM1" .. "COM9", otherwise 0 (the port
// number stays as it is).
int PortNumberFromText(const QString &text);

} // namespace PortSettings
