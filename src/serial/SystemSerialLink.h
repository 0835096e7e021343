#pragma once

// The production link of the platform the program is built for: the Win32 communications port on
// Windows, Qt Serial Port elsewhere. Both are made from the device folder and open a port set with
// setDevicePath whatever the port number.
#ifdef _WIN32
#include "Win32SerialLink.h"
using SystemSerialLinkBase = Win32SerialLink;
#else
#include "QSerialLink.h"
using SystemSerialLinkBase = QSerialLink;
#endif

class SystemSerialLink : public SystemSerialLinkBase {
public:
    using SystemSerialLinkBase::SystemSerialLinkBase;
};
