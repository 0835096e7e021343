#pragma once

#include "FuzzInput.h"
#include "support/ReceiveSide.h"

#include <QByteArray>
#include <QString>
#include <functional>
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
    // Whether a write by the routine (its name in ReceiveRoutines) acknowledges a record, which must
    // then have been stored by the same call.
    using RecordAcknowledgement = std::function<bool(const char *routine, const QByteArray &bytes)>;

    ReceiveHarness(bool rqx5, FuzzInput &input);

    // Rows inserted into this model while a routine runs are records stored. The coordinate table
    // is watched from the start.
    void watchRows(QAbstractItemModel &model);
    void setRecordAcknowledgement(RecordAcknowledgement rule) { m_isRecordAck = std::move(rule); }
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
    RecordAcknowledgement m_isRecordAck;
    QString m_broken;
    bool m_cablePulled = false;
    const char *m_routine = nullptr; // the routine running, if any
    int m_rowsInCall = 0;            // rows the running routine has stored
    int m_acksInCall = 0;            // records it has acknowledged
    long m_rowsStored = 0;
    long m_recordAcks = 0;
};
