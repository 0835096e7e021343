#pragma once

#include "core/TransferEvent.h"

class Form7;

// Shows the events of the RQX2 measurement receive in the RQX2 measurement window's controls: the
// status Label4, the file name Label1, the count Text1, and the list.
class Rqx2MeasurementWindowEvents {
public:
    explicit Rqx2MeasurementWindowEvents(Form7 &window) : m_window(window) {}

    // False for an event the window has no place for.
    bool show(const TransferEvent &event);

private:
    bool showStatus(const TransferEvents::Status &status);
    void setLabel(const char *control, const QString &text);

    Form7 &m_window;
};
