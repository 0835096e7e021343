#pragma once

#include "core/TransferEvent.h"

class CoordinateTableModel;
class QWidget;

// Shows the events of the main window's transfers (the coordinate receives and sends of both
// series, the connection test) in its controls: the status Label4, the count Text1, the file name
// Text3, the option Option1, the test notice Label3, the send's end in Label2, the port button
// Command12, and the coordinate table.
class MainWindowEvents {
public:
    MainWindowEvents(QWidget &window, CoordinateTableModel &table) : m_window(window), m_table(table) {}

    // False for an event the main window has no place for.
    bool show(const TransferEvent &event);

private:
    bool showStatus(const TransferEvents::Status &status);
    void setText(const char *control, const QString &text);

    QWidget &m_window;
    CoordinateTableModel &m_table;
};
