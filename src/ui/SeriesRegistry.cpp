#include "SeriesRegistry.h"

#include "Rqx2SeriesWindow.h"
#include "Rqx5SeriesWindow.h"
#include "SeriesServices.h"
#include "rqx2/Rqx2Series.h"
#include "rqx5/Rqx5Series.h"

SeriesRegistry::SeriesRegistry(CoordinateTableModel &coordinates, SeriesServices &services)
    : m_coordinates(coordinates), m_services(services)
{
    // One line per series, in the selection dialog's order: the first is the one chosen at start.
    m_rqx2 = add<Rqx2SeriesWindow>(Rqx2Series::table());
    m_rqx5 = add<Rqx5SeriesWindow>(Rqx5Series::table());
}

SeriesRegistry::~SeriesRegistry() = default;

Series &SeriesRegistry::entry(const SeriesTable &table)
{
    m_series.push_back(std::make_unique<Series>(table, m_coordinates, m_services.nez));
    return *m_series.back();
}

template <class Window> Window *SeriesRegistry::add(const SeriesTable &table)
{
    Series &series = entry(table);
    auto window = std::make_unique<Window>(series, m_services);
    Window *added = window.get();
    series.setWindow(std::move(window));
    return added;
}

void SeriesRegistry::add(const SeriesTable &table)
{
    entry(table).setWindow(std::make_unique<SeriesWindow>());
}

Form7 *SeriesRegistry::rqx2MeasurementWindow() const
{
    return m_rqx2->form();
}

Form4 *SeriesRegistry::rqx5MeasurementWindow() const
{
    return m_rqx5->form();
}
