#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <random>

class Wire;

// A dirty line or a surveyor in a hurry, as the command line asks for it: one fault per transfer.
// Records are counted from 1 (a point, a measurement-file record after its header, a data-file
// record, a single measurement); bytes within a record from 0.
struct FaultOptions {
    enum Kind {
        None,
        // The terminator of record N does not come.
        LoseTerminator,
        LoseByte,   // one byte of record N does not come
        AddByte,    // one extra byte comes inside record N
        FallSilent, // after record N, part of record N+1 comes, then nothing
        PullCable,  // after record N the simulator ends, closing its end of the line
        // One byte inside record N comes as the record's terminator.
        TerminatorInside,
        // Record N comes again after its answer, as if the instrument did not hear the answer.
        RepeatRecord,
    };
    // What happens to the header of an RQX5 transfer the instrument sends, on its first attempt.
    enum HeaderDamage { HeaderIntact, HeaderLoseByte, HeaderAddByte };
    // Where RQX5 single measurements are filled up to 58 bytes.
    enum Padding { Unpadded, PadBefore, PadAfterNul, PadAfterSpace };

    Kind kind = None;
    int record = 0;
    int restartMs = -1; // the instrument starts the same transfer over this long after; -1: never
    quint32 seed = 0;
    bool seedGiven = false; // otherwise RQXSIM_FAULT_SEED, or a seed of its own; printed either way
    Padding padding = Unpadded;
    HeaderDamage header = HeaderIntact;
};

// Reads the fault option at args[*i] and its value, moving *i past them. NotFault when args[*i] is
// no fault option, Bad with *error set when its value cannot be used.
enum class FaultOptionRead { NotFault, Read, Bad };
FaultOptionRead readFaultOption(const QStringList &args, int *i, FaultOptions *options, QString *error);
// Empty when the fault options go together, else what is wrong.
QString faultOptionsProblem(const FaultOptions &options);
// The usage lines of the fault options.
QString faultUsage();

// Plays the fault in one transfer: the first attempt only, so that a restart plays the whole file.
// Everything it does is reported on stderr with the seed that repeats it.
class Fault {
public:
    explicit Fault(const FaultOptions &options);

    // Empty when the fault can happen in a transfer of count records, else why not. A transfer
    // whose header is answered as a record is (withHeader) can repeat its header as record 0.
    QString problem(int count, bool withHeader = false) const;

    // True, reported, when the cable is pulled before record current (after record current - 1).
    bool pullsBefore(int current);
    // Set once a cable was pulled in this run: the simulator ends, even in the demo.
    static bool cableWasPulled();

    enum Damage { Intact, Damaged, CutOff };
    // Damages record current when the fault is in it, and reports what was done. start and end are
    // the record's start byte and terminator, otherEnds the terminators of the exchange's other
    // kinds of record: an added byte is none of them, so the damage is one the frame shows (a byte
    // that ends a record is the terminator-inside fault), and it comes after the start byte and
    // before the terminator. Filler after the terminator is not part of the record and is left alone.
    Damage damage(int current, QByteArray *record, char start, char end,
                  const QByteArray &otherEnds = QByteArray());

    // True, reported, when record current is to come again once it has been answered.
    bool repeats(int current);

    enum Next { StartOver, GiveUp, Failed };
    // The instrument waits for the answer to a damaged or cut-off record, which must not come: for
    // the restart's pause, or timeoutMs when it does not restart. Failed (reported) when the program
    // wrote anything meanwhile.
    Next waitUnanswered(Wire &wire, int timeoutMs);

    enum Outcome { Whole, Restart, Ended };
    // Sends the header of an acknowledged transfer as the fault has it: on the first attempt a byte
    // lost or added (never the terminator pair's), then unanswered as a damaged record is.
    Outcome sendHeader(Wire &wire, QByteArray header, int timeoutMs, int *status);
    // Sends record current of an acknowledged transfer as the fault has it. Whole: sent whole, its
    // answer is next. Restart: the transfer starts over. Ended: the transfer ends with *status.
    Outcome send(Wire &wire, int current, QByteArray record, char start, char end, int timeoutMs,
                 int *status);

private:
    // What comes of a damaged frame left unanswered: the instrument starts over, gives up or fails.
    Outcome afterDamage(Wire &wire, int timeoutMs, int *status);
    QString seedNote() const;

    FaultOptions m_options;
    quint32 m_seed = 0;
    std::mt19937 m_random;
    bool m_played = false;
};
