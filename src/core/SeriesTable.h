#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CoordinateTableModel;
class RecordNumbering;
class Transfer;

// One instrument series as its own folder describes it: which transfer each command begins, its name
// in the session logs and in the simulator, and how the main window serves it. No window is named
// here: the series' windows are its part in ui/, and the registry there pairs the two.
struct SeriesTable {
    // The commands that begin one of the series' transfers.
    enum class Command {
        CoordinateReceive,  // the main window's 接收坐标, and the receive that waits for the instrument
        CoordinateSend,     // the main window's 发送坐标
        DataFileReceive,    // a measurement window's receive of a data file
        MeasurementReceive, // a measurement window's receive of measurements
    };
    // What a transfer is built over.
    struct Context {
        CoordinateTableModel &table; // the main table, which the sends read
        bool nez;                    // the coordinate order chosen at start
        RecordNumbering &numbering;  // the series' running record number
    };
    using Begin = std::function<std::unique_ptr<Transfer>(const Context &)>;

    QString name;            // "RQX2": the series a session log names
    QString simulatorSeries; // rqxsim's --series
    // rqxsim's --action that plays the instrument's side of each command
    std::vector<std::pair<Command, QString>> simulatorActions;
    // How each command of the series begins its transfer.
    std::vector<std::pair<Command, Begin>> transfers;
    bool answersConnectionTest = false; // the instrument answers the connection test's pair
    bool fixedLineSpeed = false;        // the port dialog's line speed cannot be changed
    bool showsFileName = true;          // the main window shows the name of the open coordinate file

    // rqxsim's action for command; empty when the series has no such command.
    QString simulatorAction(Command command) const
    {
        for (const auto &[c, action] : simulatorActions) {
            if (c == command)
                return action;
        }
        return QString();
    }
    // How command begins its transfer; null when the series has no such command.
    const Begin *transfer(Command command) const
    {
        for (const auto &[c, begin] : transfers) {
            if (c == command)
                return &begin;
        }
        return nullptr;
    }
};
