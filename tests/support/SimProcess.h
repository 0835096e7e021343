#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Writes a script for the simulator's action "script" into dir as name; its path.
QString writeSimScript(const QTemporaryDir &dir, const char *text, const char *name = "exchange.script");

// Runs tools/rqxsim for a test: the simulator gets a fresh device folder of its own and is waited
// for until its device entry exists.
class SimProcess {
public:
    SimProcess();
    ~SimProcess();

    // Starts rqxsim with args plus --device-dir; true once it reported its device entry.
    bool start(const QStringList &args, int timeoutMs = 20000);
    QString deviceDir() const { return m_dir.path(); }
    // Tells the simulated instrument to start the transfer it opens itself (once the program is ready).
    void go() { command(QStringLiteral("go")); }
    // Types a line on the simulator's standard input (the demo's commands, "go").
    void command(const QString &line)
    {
        m_process.write(line.toLocal8Bit() + '\n');
        m_process.waitForBytesWritten(20000);
    }
    // Ends the simulator's standard input.
    void closeInput() { m_process.closeWriteChannel(); }
    // Asks the simulator to stop (SIGTERM), as scripts/run does when the program ends.
    void terminate() { m_process.terminate(); }
    // Waits for the simulator to end, the caller's event loop turning meanwhile (the program under
    // test runs in this process); true when it ended within timeoutMs.
    bool waitForFinished(int timeoutMs = 30000);
    int exitCode() const { return m_process.exitCode(); }
    // Everything the simulator wrote on stderr (its reports).
    QString errorOutput();

    // The arguments that make the simulator send as the instrument's cable does at 1200 baud, in
    // uneven pieces. The seed of the pieces is new each run and stands in the simulator's reports;
    // RQXSIM_SPLIT_SEED in the environment repeats the pieces of a run that failed.
    static QStringList lineSpeedArgs();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_errors;
};
