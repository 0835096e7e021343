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

// A settings text such as "1200,N,8,1": speed, parity (N, O, E, M or S, in the order of Windows'
// values), data bits (5 to 8) and stop bits (1, 1.5 or 2).
struct LineSettings {
    enum Parity { NoParity, OddParity, EvenParity, MarkParity, SpaceParity };
    enum StopBits { OneStop, OneAndHalfStop, TwoStop };
    int baudRate = 1200;
    Parity parity = NoParity;
    int dataBits = 8;
    StopBits stopBits = OneStop;
};

// The line settings of text; false, settings untouched, when text is not such a text.
bool ParseSettings(const QString &text, LineSettings *settings);

} // namespace PortSettings
