#include "Rqx5Series.h"

#include "Rqx5CoordinateReceive.h"
#include "Rqx5CoordinateSend.h"
#include "Rqx5DataFileReceive.h"
#include "Rqx5MeasurementReceive.h"
#include "core/RecordNumbering.h"

namespace {

using Command = SeriesTable::Command;

SeriesTable makeTable()
{
    SeriesTable t;
    t.name = QStringLiteral("RQX5");
    t.simulatorSeries = QStringLiteral("rqx5");
    t.simulatorActions = {{Command::CoordinateReceive, QStringLiteral("send")},
                          {Command::CoordinateSend, QStringLiteral("receive")},
                          {Command::DataFileReceive, QStringLiteral("datafile")},
                          {Command::MeasurementReceive, QStringLiteral("measure")}};
    t.transfers = {
        {Command::CoordinateReceive,
         [](const SeriesTable::Context &c) -> std::unique_ptr<Transfer> {
             return std::make_unique<Rqx5CoordinateReceive>(c.nez);
         }},
        {Command::CoordinateSend,
         [](const SeriesTable::Context &c) -> std::unique_ptr<Transfer> {
             return std::make_unique<Rqx5CoordinateSend>(c.table, c.nez);
         }},
        {Command::DataFileReceive,
         [](const SeriesTable::Context &c) -> std::unique_ptr<Transfer> {
             return std::make_unique<Rqx5DataFileReceive>(c.nez);
         }},
        {Command::MeasurementReceive,
         [](const SeriesTable::Context &c) -> std::unique_ptr<Transfer> {
             auto receive = std::make_unique<Rqx5MeasurementReceive>(c.nez);
             receive->numberOnFrom(c.numbering.running());
             c.numbering.countedBy(*receive, [r = receive.get()] { return r->recordCount(); });
             return receive;
         }},
    };
    t.answersConnectionTest = true;
    return t;
}

} // namespace

const SeriesTable &Rqx5Series::table()
{
    static const SeriesTable kTable = makeTable();
    return kTable;
}
