#include "support/QStringPrinter.h"
#include "support/TransferDriver.h"

#include "core/RecordNumbering.h"
#include "core/SeriesTable.h"
#include "rqx2/Rqx2Series.h"
#include "rqx5/Rqx5Series.h"

#include <gtest/gtest.h>
#include <memory>

// Each series' table: which transfer every command begins, and the running record number one
// transfer hands the next.

namespace {

using Command = SeriesTable::Command;

const SeriesTable &tableOf(const char *series)
{
    return QLatin1String(series) == "RQX2" ? Rqx2Series::table() : Rqx5Series::table();
}

// The first cells of the rows, "sequence|number|name|first|second|height" for coordinates.
QStringList rowLines(const QStringList &actions, int cells)
{
    QStringList rows;
    for (const QString &line : actions) {
        if (line.startsWith(QLatin1String("row ")))
            rows += line.mid(4).split(u'|').mid(0, cells).join(u'|');
    }
    return rows;
}

class SeriesTables : public ::testing::Test {
protected:
    std::unique_ptr<Transfer> begin(const SeriesTable &table, Command command)
    {
        const SeriesTable::Begin *make = table.transfer(command);
        if (!make)
            return nullptr;
        std::unique_ptr<Transfer> transfer = (*make)({driver.table, true, numbering});
        numbering.begun(*transfer);
        driver.start(*transfer);
        return transfer;
    }

    // The instrument's request, then a file of one point numbered number at N 1, E 2, Z 3.
    void receiveRqx2File(Transfer &receive, const char *number)
    {
        driver.feed(receive, fromHex("02 4A 0D"));
        driver.feed(receive, QByteArray("\x02") + "00010001" + QByteArray(number).leftJustified(7, ' ') +
                                 "       " + "000000001.000" + "000000002.000" + "000000003.000" + "\r");
    }

    TransferDriver driver;
    RecordNumbering numbering;
};

TEST_F(SeriesTables, EachSeriesNamesItselfAndBeginsATransferOfTheCommandsKind)
{
    const struct {
        const char *series;
        const char *simulator;
        Command command;
        const char *kind; // null: the series has no such command
        const char *sim;  // rqxsim's action for the instrument's side
    } cases[] = {
        {"RQX2", "rqx2", Command::CoordinateReceive, "rqx2-coordinate-receive", "send"},
        {"RQX2", "rqx2", Command::CoordinateSend, "rqx2-coordinate-send", "receive"},
        {"RQX2", "rqx2", Command::DataFileReceive, nullptr, nullptr},
        {"RQX2", "rqx2", Command::MeasurementReceive, "rqx2-measurement-receive", "measurements"},
        {"RQX5", "rqx5", Command::CoordinateReceive, "rqx5-coordinate-receive", "send"},
        {"RQX5", "rqx5", Command::CoordinateSend, "rqx5-coordinate-send", "receive"},
        {"RQX5", "rqx5", Command::DataFileReceive, "rqx5-datafile-receive", "datafile"},
        {"RQX5", "rqx5", Command::MeasurementReceive, "rqx5-measurement-receive", "measure"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.series) + " " + (c.kind ? c.kind : "no data file"));
        const SeriesTable &table = tableOf(c.series);
        EXPECT_EQ(table.name, c.series);
        EXPECT_EQ(table.simulatorSeries, c.simulator);
        const std::unique_ptr<Transfer> transfer = begin(table, c.command);
        EXPECT_EQ(transfer ? transfer->kind() : QString(), c.kind ? QString::fromLatin1(c.kind) : QString());
        QString action;
        for (const auto &[command, name] : table.simulatorActions) {
            if (command == c.command)
                action = name;
        }
        EXPECT_EQ(action, c.sim ? QString::fromLatin1(c.sim) : QString());
    }
    // Only an RQX5 instrument answers the connection test; the RQX2 line speed is fixed and its main
    // window names no file.
    EXPECT_TRUE(Rqx5Series::table().answersConnectionTest);
    EXPECT_FALSE(Rqx2Series::table().answersConnectionTest);
    EXPECT_TRUE(Rqx2Series::table().fixedLineSpeed && !Rqx2Series::table().showsFileName);
    EXPECT_TRUE(!Rqx5Series::table().fixedLineSpeed && Rqx5Series::table().showsFileName);
}

TEST_F(SeriesTables, AnRqx2CoordinateReceiveNumbersOnFromTheTransferBeforeIt)
{
    const SeriesTable &rqx2 = Rqx2Series::table();
    auto first = begin(rqx2, Command::CoordinateReceive);
    receiveRqx2File(*first, "A");
    auto second = begin(rqx2, Command::CoordinateReceive);
    receiveRqx2File(*second, "B");
    EXPECT_EQ(driver.tableRows(), (QStringList{"1|A||1.0000|2.0000|3.0000", "2|B||1.0000|2.0000|3.0000"}));

    // A send in between counts as well: it sent one point, and the receive after it numbers on.
    auto send = begin(rqx2, Command::CoordinateSend);
    driver.feed(*send, fromHex("02 4A 0D"));
    auto third = begin(rqx2, Command::CoordinateReceive);
    receiveRqx2File(*third, "C");
    EXPECT_EQ(driver.tableRows().value(2), "2|C||1.0000|2.0000|3.0000");

    // Another series' transfer came between: nothing is handed on, and the receive begins the table
    // again with its first point.
    auto other = begin(Rqx5Series::table(), Command::CoordinateReceive);
    auto fourth = begin(rqx2, Command::CoordinateReceive);
    receiveRqx2File(*fourth, "D");
    EXPECT_EQ(driver.tableRows(), QStringList{"1|D||1.0000|2.0000|3.0000"});
}

// An RQX5 measurement of kind 3: horizontal angle 90°00′00″, vertical 88°10′30″, 15.250 and -0.375.
QByteArray rqx5Measurement()
{
    QByteArray bytes("\x92");
    for (const char *field : {"90\x7D"
                              "00\x7E"
                              "00\x7F",
                              "88\x7D"
                              "10\x7E"
                              "30\x7F",
                              "15.250", "-0.375"})
        bytes += QByteArray(field).leftJustified(14, ' ');
    return bytes + char(0xB4);
}

TEST_F(SeriesTables, AnRqx5MeasurementReceiveStartedAgainNumbersOnFromWhereItStood)
{
    const SeriesTable &rqx5 = Rqx5Series::table();
    QStringList rows;
    auto first = begin(rqx5, Command::MeasurementReceive);
    rows += rowLines(driver.feed(*first, rqx5Measurement()), 2);
    rows += rowLines(driver.feed(*first, rqx5Measurement()), 2);
    auto again = begin(rqx5, Command::MeasurementReceive);
    rows += rowLines(driver.feed(*again, rqx5Measurement()), 2);
    // A data file received in between: the next receive of measurements counts from 1 again.
    auto dataFile = begin(rqx5, Command::DataFileReceive);
    auto afterDataFile = begin(rqx5, Command::MeasurementReceive);
    rows += rowLines(driver.feed(*afterDataFile, rqx5Measurement()), 2);
    // The list numbers its rows ("#"); the second cell is the measurement's running number.
    EXPECT_EQ(rows, (QStringList{"#|1", "#|2", "#|3", "#|1"}));
}

} // namespace
