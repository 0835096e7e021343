#pragma once

#include "DeviceList.h"

// The outcome of looking for the maker's cable among the serial devices.
struct CableSearchResult {
    enum Outcome { NotFound, Found, OutOfRange };
    Outcome outcome = NotFound;
    QString portName; // the port found (Found) or the one out of range (OutOfRange)
    int commPort = 0; // 1..16 when Found
};

// Whether a device name is the cable's: "Prolific" starting at one of the positions 1 to 15 of the
// name, for a name of at least 15 characters.
bool IsProlificDeviceName(const QString &name);

// Looks at every device in order. A matching device on COM1..COM16 is taken (with several, the last
// one wins); a matching device on any other port ends the search as out of range at once.
CableSearchResult FindUsbSerialPort(const QVector<SerialDevice> &devices);

// The port given on the command line, taken as the cable's without a search: COMn (or \\.\COMn,
// either case) is port n; any other text (a device path such as /dev/ttyUSB0) is opened as it is,
// as port 1. An empty text is not found.
CableSearchResult GivenPort(const QString &port);
