#pragma once

#include "Series.h"

#include <memory>
#include <vector>

class CoordinateTableModel;
class Form4;
class Form7;
class Rqx2SeriesWindow;
class Rqx5SeriesWindow;
struct SeriesServices;

// Every series the program serves, one line each in SeriesRegistry.cpp: the series' table (from its
// own folder) paired with its windows (ui/). The program is built from the entries: the command that
// begins a transfer asks the chosen entry for it, and Application tells no two series apart itself.
class SeriesRegistry {
public:
    SeriesRegistry(CoordinateTableModel &coordinates, SeriesServices &services);
    ~SeriesRegistry();
    SeriesRegistry(const SeriesRegistry &) = delete;
    SeriesRegistry &operator=(const SeriesRegistry &) = delete;

    // In the selection dialog's order; the first is the series chosen at start.
    const std::vector<std::unique_ptr<Series>> &series() const { return m_series; }

    // The measurement windows by their series, for tests and tools (a series needs no such handle).
    Form7 *rqx2MeasurementWindow() const;
    Form4 *rqx5MeasurementWindow() const;

private:
    // A series with windows of its own, and one without.
    template <class Window> Window *add(const SeriesTable &table, SeriesControls controls);
    void add(const SeriesTable &table, SeriesControls controls);
    Series &entry(const SeriesTable &table, SeriesControls controls);

    CoordinateTableModel &m_coordinates;
    SeriesServices &m_services;
    std::vector<std::unique_ptr<Series>> m_series;
    Rqx2SeriesWindow *m_rqx2 = nullptr;
    Rqx5SeriesWindow *m_rqx5 = nullptr;
};
