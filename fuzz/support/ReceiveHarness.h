#pragma once

#include "FuzzInput.h"
#include "core/Transfer.h"
#include "support/EventRows.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The receive side of one series driven by a fuzzer's bytes: they choose the commands the user runs
// (each begins a transfer, as the windows begin them) and arrive from the instrument in reads cut
// where the fuzzer chose, fed to the transfer in progress through take(). Its actions are performed
// in order as the executor performs them, on a port that can be pulled: rows and columns go to the
// main table or the measurement list, a write or an open on a pulled cable fails and drops the rest
// of the transfer's actions. The invariants are checked on the actions as the run goes; the first one
// broken is what run() returns.
//
// The input: byte 0 chooses the first command (modulo their number); byte 1 holds options, bit 0
// the order ENZ and bits 1 to 3 the rows already in the table (0 to 7). Then, to the end, a code:
//   0xF0..0xF7   the user runs command (code - 0xF0) modulo their number
//   0xF8         the cable is pulled, or plugged in again: opening and writing the port fail meanwhile
//   other        the instrument sends that many bytes, which follow the code
// Bytes reach the transfer only while the port is open, as a closed port receives nothing.
class ReceiveHarness {
public:
    // A command of a window: the transfer it begins, started by the command, or only made the one the
    // bytes go to (the instrument begins the exchange on its own).
    struct Command {
        std::function<std::unique_ptr<Transfer>()> make;
        bool start = true;
    };
    // The actions of one take from just after the write before this one (or from the first) up to
    // this write, which is last.
    struct Segment {
        const TransferAction *first;
        const TransferAction *last;
        bool contains(TransferAction::Kind kind) const;
        // Whether an event of type Event is among the actions.
        template <class Event> bool shows() const
        {
            for (const TransferAction *action = first; action != last; ++action) {
                if (action->kind == TransferAction::Show && std::holds_alternative<Event>(action->event))
                    return true;
            }
            return false;
        }
    };
    // How a target tells a write that acknowledges a record from the others (handshake answers, a
    // header's acknowledgement, an echoed end frame): nothing when it acknowledges no record;
    // otherwise the number of the record it answers as the frame carries it, or an empty text when
    // the frame carries none. A write that is neither is reported with fail().
    using Acknowledgement =
        std::function<std::optional<QString>(const Transfer &transfer, const Segment &segment)>;

    explicit ReceiveHarness(FuzzInput &input);

    // The kinds of transfer (Transfer::kind()) whose rows are records the instrument waits to have
    // acknowledged, and how their acknowledgements are told. Each row is acknowledged in the take
    // that added it, after it; any other acknowledgement answers again a record answered before, by
    // the number it carries, or one of the numbers that answer no record (a header's, say).
    void setRecords(const QStringList &kinds, Acknowledgement acknowledgement,
                    const QStringList &answeredWithoutRecord = {});
    // Records a broken invariant; the first one is kept.
    void fail(const QString &what);

    // Runs the first command, then the rest of the input. Returns the first broken invariant, or nothing.
    QString run(const std::vector<Command> &commands);

    bool nez() const { return m_nez; }
    // Whether the main window's port button reads "打开串口".
    bool portShownClosed() const;

    EventRows rows;
    CoordinateTableModel &table = rows.table; // the main window's table
    MeasurementTableModel &list = rows.list;  // the measurement window's list

private:
    void begin(const Command &command);
    void deliver(const QByteArray &bytes);
    void perform(const TransferActions &actions);
    // Performs one action; false when the port failed under it.
    bool perform(const TransferAction &action);
    void checkAcknowledgement(const TransferActions &actions, size_t index, size_t segmentFirst);

    FuzzInput &m_input;
    bool m_nez = true;
    uint8_t m_commandChoice = 0;
    std::unique_ptr<Transfer> m_transfer;
    bool m_portShownClosed = true;
    bool m_portOpen = false;
    bool m_cablePulled = false;
    bool m_ended = false;
    QStringList m_recordKinds;
    Acknowledgement m_acknowledgement;
    QString m_broken;
    QStringList m_trace;
    bool m_records = false; // the transfer in progress is one whose rows are records
    int m_rowsInTake = 0;   // records the take being performed has stored
    int m_acksInTake = 0;   // and acknowledged
    long m_rowsStored = 0;
    long m_recordAcks = 0;
    QSet<QString> m_answeredNumbers; // numbers of records answered, and those that answer none
};
