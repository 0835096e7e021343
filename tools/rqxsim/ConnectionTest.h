#pragma once

#include <QByteArray>

// The connection test pair 0xAA 0xBB: the program sends it, the instrument of either series sends
// it back.
QByteArray connectionTestPair();
