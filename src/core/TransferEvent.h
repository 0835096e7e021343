#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

// What a transfer tells the surveyor, in the instrument's terms. A window shows each event in its
// own controls; a transfer knows no window and no control.
namespace TransferEvents {

enum class Series { Rqx2, Rqx5 };

// Where an exchange stands. A series may word a state its own way.
enum class State {
    Idle,              // nothing to wait for: the status is empty
    AwaitingHandshake, // the program waits for the instrument's request that opens a send
    AwaitingRequest,   // a point is ready; the instrument has not yet asked for it
    Receiving,         // records come in
    Received,          // every announced record is in
    Sending,           // a point is on its way out
    Sent,              // every point has gone
    Testing,           // the test pair is out; the answer has not come
    Tested,            // the instrument answered the test pair
};

struct Status {
    Series series;
    State state;
};

// The header of a file the instrument sends: its name and record count, and for a data file the
// instrument's number and the date the file was made (empty where the header has none).
struct FileAnnounced {
    QString name;
    long count = 0;
    QString instrument;
    QString date;
};

// The kinds of record a list shows, each with its own columns.
enum class RecordKind { Point, Rqx2Measurement, Rqx5DataFile, Rqx5Measurement };

// The list begins anew: its rows go, it takes the columns of kind in the coordinate order.
struct ListStarted {
    RecordKind kind;
    bool nez;
};

// Every row of the list goes; its columns stay: the file sent again replaces it.
struct RowsCleared {};

// One record as a row of the list. number: the row's number when the series numbers its records
// itself; none: the row is numbered after the rows the list holds. A list without columns takes
// the columns of kind first; an empty one may take them anew.
struct Row {
    RecordKind kind;
    bool nez;
    std::optional<long> number;
    QStringList fields;
};

// The last rows of the list, those of an attempt the instrument broke off and started again, go.
struct RowsWithdrawn {
    int rows;
};

// Record done of total taken or sent.
struct Progress {
    long done;
    long total;
};

// The port as the port button must show it: open or closed.
struct PortShown {
    bool open;
};

} // namespace TransferEvents

using TransferEvent =
    std::variant<TransferEvents::Status, TransferEvents::FileAnnounced, TransferEvents::ListStarted,
                 TransferEvents::RowsCleared, TransferEvents::Row, TransferEvents::RowsWithdrawn,
                 TransferEvents::Progress, TransferEvents::PortShown>;

// One line for tests and logs: "status rqx5 receiving", "row 1|P1|..." ("row #|..." when the list
// numbers the row), "progress 3/10".
QString describe(const TransferEvent &event);

// Visits a variant with one lambda per alternative: an alternative without its lambda does not compile.
template <class... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;
