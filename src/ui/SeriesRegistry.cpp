#include "SeriesRegistry.h"

#include "Rqx2SeriesWindow.h"
#include "Rqx5SeriesWindow.h"
#include "SeriesServices.h"
#include "rqx2/Rqx2Series.h"
#include "rqx5/Rqx5Series.h"

SeriesRegistry::SeriesRegistry(CoordinateTableModel &coordinates, SeriesServices &services)
    : m_coordinates(coordinates), m_services(services)
{
    using Command = SeriesTable::Command;
    // One line per series, in the selection dialog's order: the first is the one chosen at start.
    // The RQX5 instrument's port button opens the port as its coordinate receive does, and its send
    // button sends as 发送坐标 does, whatever series is chosen.
    m_rqx2 = add<Rqx2SeriesWindow>(Rqx2Series::table(), {QStringLiteral("Option3"), {}});
    m_rqx5 = add<Rqx5SeriesWindow>(Rqx5Series::table(),
                                   {QStringLiteral("Option4"),
                                    {{QStringLiteral("Command12"), Command::CoordinateReceive},
                                     {QStringLiteral("Command3"), Command::CoordinateSend}}});
}

SeriesRegistry::~SeriesRegistry() = default;

Series &SeriesRegistry::entry(const SeriesTable &table, SeriesControls controls)
{
    m_series.push_back(std::make_unique<Series>(table, std::move(controls), m_coordinates, m_services.nez));
    return *m_series.back();
}

template <class Window> Window *SeriesRegistry::add(const SeriesTable &table, SeriesControls controls)
{
    Series &series = entry(table, std::move(controls));
    auto window = std::make_unique<Window>(series, m_services);
    Window *added = window.get();
    series.setWindow(std::move(window));
    return added;
}

void SeriesRegistry::add(const SeriesTable &table, SeriesControls controls)
{
    entry(table, std::move(controls)).setWindow(std::make_unique<SeriesWindow>());
}

Form7 *SeriesRegistry::rqx2MeasurementWindow() const
{
    return m_rqx2->form();
}

Form4 *SeriesRegistry::rqx5MeasurementWindow() const
{
    return m_rqx5->form();
}
