#include "Rqx2Series.h"

#include "Rqx2CoordinateReceive.h"
#include "Rqx2CoordinateSend.h"
#include "Rqx2MeasurementReceive.h"
#include "core/RecordNumbering.h"

namespace {

using Command = SeriesTable::Command;

// The transfer counts the series' records from now on: the next coordinate receive numbers on from it.
template <class T> std::unique_ptr<Transfer> counting(std::unique_ptr<T> transfer, RecordNumbering &numbering)
{
    numbering.countedBy(*transfer, [t = transfer.get()] { return t->recordCount(); });
    return transfer;
}

SeriesTable makeTable()
{
    SeriesTable t;
    t.name = QStringLiteral("RQX2");
    t.simulatorSeries = QStringLiteral("rqx2");
    t.simulatorActions = {{Command::CoordinateReceive, QStringLiteral("send")},
                          {Command::CoordinateSend, QStringLiteral("receive")},
                          {Command::MeasurementReceive, QStringLiteral("measurements")}};
    t.transfers = {
        {Command::CoordinateReceive,
         [](const SeriesTable::Context &c) {
             auto receive = std::make_unique<Rqx2CoordinateReceive>(c.nez);
             // A second receive adds its points below those of the first, numbered on.
             receive->numberOnFrom(c.numbering.running());
             return counting(std::move(receive), c.numbering);
         }},
        {Command::CoordinateSend,
         [](const SeriesTable::Context &c) {
             return counting(std::make_unique<Rqx2CoordinateSend>(c.table, c.nez), c.numbering);
         }},
        {Command::MeasurementReceive,
         [](const SeriesTable::Context &c) {
             return counting(std::make_unique<Rqx2MeasurementReceive>(c.nez), c.numbering);
         }},
    };
    // The instrument does not answer the connection test; its line speed is fixed, and the main
    // window names no file.
    t.answersConnectionTest = false;
    t.fixedLineSpeed = true;
    t.showsFileName = false;
    return t;
}

} // namespace

const SeriesTable &Rqx2Series::table()
{
    static const SeriesTable kTable = makeTable();
    return kTable;
}
