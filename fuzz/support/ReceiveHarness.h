#pragma once

#include "FuzzInput.h"
#include "support/ReceiveSide.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QAbstractItemModel;

// The receive side of one series driven by a fuzzer's bytes: they choose the commands the user runs
// and arrive from the instrument in reads cut where the fuzzer chose, through the real dispatcher
// into the real protocol routines, on a recording port and window. The invariants are checked as the
// run goes; the first one broken is what run() returns.
//
// The input: byte 0 chooses the first command (modulo their number); byte 1 holds options, bit 0
// the order ENZ and bits 1 to 3 the rows already in the table (0 to 7). Then, to the end, a code:
//   0xF0..0xF7   the user runs command (code - 0xF0) modulo their number
//   0xF8         the cable is pulled, or plugged in again: opening and writing the port fail meanwhile
//   other        the instrument sends that many bytes, which follow the code
// The port raises a receive event for a read once at least the receive threshold of bytes is waiting
// on the open port, as the production link does; bytes handed back by the dispatcher raise none.
class ReceiveHarness : public ReceiveSide {
public:
    using Command = std::function<void()>;
    // How a target tells a write that acknowledges a record from the others (handshake answers, a
    // header's acknowledgement, records sent): for a write by the routine (its name in
    // ReceiveRoutines), nothing when it acknowledges no record; otherwise the number of the record
    // it answers as the frame carries it, or an empty text when the frame carries none.
    using Acknowledgement =
        std::function<std::optional<QString>(const char *routine, const QByteArray &bytes)>;

    ReceiveHarness(bool rqx5, FuzzInput &input);

    // Rows inserted into this model by a record routine are records stored. The coordinate table is
    // watched from the start.
    void watchRows(QAbstractItemModel &model);
    // The routines whose rows are records the instrument waits to have acknowledged, and how their
    // acknowledgements are told. Each record stored is acknowledged by the call that stored it; any
    // other acknowledgement answers again a record answered before, by the number it carries, or
    // one of the numbers that answer no record (a header's, say).
    void setRecords(const QStringList &routines, Acknowledgement acknowledgement,
                    const QStringList &answeredWithoutRecord = {});
    // Records a broken invariant; the first one is kept.
    void fail(const QString &what);

    // Installs the watch on every routine the protocols installed (call after them), runs the first
    // command, then the rest of the input. Returns the first broken invariant, or nothing.
    QString run(const std::vector<Command> &commands);

private:
    void watchRoutines();
    void deliver(const QByteArray &bytes);
    void onWrite(const QByteArray &bytes);

    FuzzInput &m_input;
    uint8_t m_commandChoice = 0;
    QStringList m_recordRoutines;
    Acknowledgement m_acknowledgement;
    QString m_broken;
    bool m_cablePulled = false;
    const char *m_routine = nullptr; // the routine running, if any
    bool m_recordRoutine = false;    // whether it is one of the record routines
    int m_rowsInCall = 0;            // records it has stored
    int m_acksInCall = 0;            // records it has acknowledged
    long m_rowsInserted = 0;         // by any routine
    long m_rowsStored = 0;
    long m_recordAcks = 0;
    QSet<QString> m_answeredNumbers; // numbers of records answered, and those that answer none
};
