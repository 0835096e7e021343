#pragma once

#include <QByteArray>
#include <QString>

// The connection test pair 0xAA 0xBB: the program sends it, the instrument of either series sends
// it back.
QByteArray connectionTestPair();

// Bytes as spaced upper-case hex for reports, "nothing" for none.
QString hexOrNothing(const QByteArray &bytes);
