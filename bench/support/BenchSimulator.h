#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The simulated instrument (rqxsim) in a device folder of its own.
class BenchSimulator {
public:
    // Starts rqxsim as the given series ("rqx2", "rqx5") with args; true once its device entry exists.
    bool start(const QString &series, const QStringList &args);
    // Tells the instrument to open the transfer it starts itself.
    void go();
    // Runs the program's event loop (receive events, painting) until the instrument is done; true
    // when it ended content.
    bool finish();
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }
    QString deviceDir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};
