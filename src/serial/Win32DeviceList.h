#pragma once

#include "DeviceList.h"

// The serial ports of this computer as Windows knows them: the devices of the Ports class, named by
// their friendly name ("Prolific USB-to-Serial Comm Port (COM5)") in the device manager's order; where
// that lists none, the ports in the registry's serial device map, named by their device
// (\Device\ProlificSerial0). The path is the port's device name (\\.\COM5).
QVector<SerialDevice> ListWindowsPorts();
