#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// Writes a script for the simulator's action "script" into dir as name; its path.
QString writeSimScript(const QTemporaryDir &dir, const char *text, const char *name = "exchange.script");

// Runs tools/rqxsim for a test: the simulator gets a fresh device folder of its own and is waited
// for until its device entry exists. In a Windows build under wine the simulator is the Linux build's,
// run beside wine, and its pseudo-terminal is a COM port (windows/SimProcess.cpp).
class SimProcess {
public:
    SimProcess();
    ~SimProcess();

    // Starts rqxsim with args plus --device-dir; true once it reported its device entry.
    bool start(const QStringList &args, int timeoutMs = 20000);
    QString deviceDir() const;
    // The port the program is to use instead of searching the device folder: empty on Linux, the
    // simulator's COM port on Windows.
    QString portName() const;
    // Tells the simulated instrument to start the transfer it opens itself (once the program is ready).
    void go() { command(QStringLiteral("go")); }
    // Types a line on the simulator's standard input (the demo's commands, "go").
    void command(const QString &line);
    // Ends the simulator's standard input.
    void closeInput();
    // Asks the simulator to stop (SIGTERM), as scripts/run does when the program ends.
    void terminate();
    // Waits for the simulator to end, the caller's event loop turning meanwhile (the program under
    // test runs in this process); true when it ended within timeoutMs.
    bool waitForFinished(int timeoutMs = 30000);
    int exitCode() const;
    // Everything the simulator wrote on stderr (its reports).
    QString errorOutput();

    // The arguments that make the simulator send as the instrument's cable does at 1200 baud, in
    // uneven pieces. The seed of the pieces is new each run and stands in the simulator's reports;
    // RQXSIM_SPLIT_SEED in the environment repeats the pieces of a run that failed.
    static QStringList lineSpeedArgs();

private:
    QTemporaryDir m_dir;
#ifdef _WIN32
    QString file(const char *name) const
    {
        return m_dir.filePath(QLatin1String(name));
    }
    bool m_started = false;
#else
    QProcess m_process;
#endif
    QString m_errors;
};
