#pragma once

#include "SeriesWindow.h"
#include "core/RecordNumbering.h"
#include "core/SeriesTable.h"
#include "core/Transfer.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CoordinateTableModel;

// Where a series is met in the windows all series share: the selection dialog's option button that
// chooses it, and the main window's buttons that begin one of its transfers whatever series is chosen.
struct SeriesControls {
    QString option;
    std::vector<std::pair<QString, SeriesTable::Command>> mainWindowButtons;
};

// One registered series in a running program: its table, its windows, and the state its transfers
// hand on from one to the next (the running record number).
class Series {
public:
    Series(const SeriesTable &table, SeriesControls controls, CoordinateTableModel &coordinates,
           std::function<bool()> nez)
        : m_table(table), m_controls(std::move(controls)), m_coordinates(coordinates), m_nez(std::move(nez))
    {
    }

    const SeriesTable &table() const { return m_table; }
    const SeriesControls &controls() const { return m_controls; }
    RecordNumbering &numbering() { return m_numbering; }
    SeriesWindow &window() { return *m_window; }
    void setWindow(std::unique_ptr<SeriesWindow> window) { m_window = std::move(window); }

    // The transfer command begins; null when the series has no such command.
    std::unique_ptr<Transfer> transfer(SeriesTable::Command command)
    {
        const SeriesTable::Begin *begin = m_table.transfer(command);
        return begin ? (*begin)({m_coordinates, m_nez(), m_numbering}) : nullptr;
    }

private:
    const SeriesTable &m_table;
    SeriesControls m_controls;
    CoordinateTableModel &m_coordinates;
    std::function<bool()> m_nez;
    RecordNumbering m_numbering;
    std::unique_ptr<SeriesWindow> m_window;
};
