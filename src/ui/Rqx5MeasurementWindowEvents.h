#pragma once

#include "core/TransferEvent.h"

class Form4;

// Shows the events of the RQX5 measurement window's receives (a data file, single measurements) in
// its controls: the status Label5, the file name Text3, the count Text1, the instrument number Text4,
// the date Text2, the list, and the main window's option 测量数据.
class Rqx5MeasurementWindowEvents {
public:
    explicit Rqx5MeasurementWindowEvents(Form4 &window) : m_window(window) {}

    // False for an event the window has no place for.
    bool show(const TransferEvent &event);

private:
    bool showStatus(const TransferEvents::Status &status);

    Form4 &m_window;
};
