#pragma once

#include "Fault.h"

#include <QString>
#include <QStringList>

class Wire;

// What the simulator was asked to play, from its command line.
struct SimOptions {
    QString series = QStringLiteral("rqx5");        // rqx2 or rqx5
    bool seriesGiven = false;                       // --series on the command line
    QString replayPath;                             // a session log to replay (--replay)
    QString deviceDir;                              // where the cable's device entry is created
    QString recordPath;                             // every byte both ways, with timestamps
    QString action = QStringLiteral("answer-test"); // what to play; see --help
    QString scriptPath;                             // action "script"
    QString pointsFile;                             // points to send, one "number,name,N,E,Z" per line
    int points = 0;                                 // points to generate when no file is given
    QString outputFile;                             // where received points are written
    int timeoutMs = 10000;                          // how long to wait for the program at each step
    int pauseMs = 500;                              // between RQX5 measurement records
    bool demo = false;                              // keep playing until killed
    int lineBaud = 0;                               // bytes leave at this speed in uneven pieces; 0: at once
    quint32 splitSeed = 0;                          // draws the pieces' lengths
    bool splitSeedGiven = false;                    // otherwise a seed of its own, printed on stderr
    bool shiftedRecords = false;                    // RQX2 send: every second record one byte late
    FaultOptions fault;                             // a damaged or interrupted transfer, see Fault.h
};

// Transfers the instrument opens itself (it sends first) wait until the person or test driving the
// simulator says the program is ready: a line "go" on standard input. False at end of input.
// In the demo the person's command is itself the go: giveGo() makes the next waitForGo() return at
// once without reading standard input.
bool waitForGo();
void giveGo();

// Each returns the process exit status: 0 when the program behaved as the instrument expects,
// 1 with a report on stderr when it did not.
//
// playConnectionTest (action "answer-test", both series): answers each 0xAA 0xBB with 0xAA 0xBB;
// fails when no test comes within the time-out or anything else comes; ends once the line has been
// quiet for a moment after an answer. main() runs it before the series functions see the action.
// playScript (action "script"): replays a script file, see Script.cpp.
// playDemo (--demo): answers connection tests until killed and plays the transfers typed on standard
// input through playRqx2/playRqx5 (action "send" or "receive" and so on), see Demo.cpp.
int playConnectionTest(Wire &wire, const SimOptions &options);
int playScript(Wire &wire, const SimOptions &options);
int playDemo(Wire &wire, const SimOptions &options);
int playRqx2(Wire &wire, const SimOptions &options);
int playRqx5(Wire &wire, const SimOptions &options);
// playReplay (--replay LOG): plays the instrument's side of a session log the program wrote, see Replay.cpp.
int playReplay(Wire &wire, const SimOptions &options);
