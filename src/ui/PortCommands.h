#pragma once

#include "core/TransferAction.h"

// The main window's port commands that start no transfer: the two test commands and the port
// preparation of the spare send button. Each is the actions it performs, in order.
namespace PortCommands {
TransferActions SendTestCommand1(); // Command1 "发送命令1": the pair 0xAA 0x81
TransferActions SendTestCommand2(); // Command13 "发送命令2": the port reopened as COM1, the pair 0xAA 0x82
TransferActions PreparePort();      // Command2 "发 送": the port prepared, nothing sent
} // namespace PortCommands
