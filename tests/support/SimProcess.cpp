#include "SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>

SimProcess::SimProcess() = default;

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SimProcess::start(const QStringList &args, int timeoutMs)
{
    m_process.setProgram(QStringLiteral(RQX_SIM_PATH));
    m_process.setArguments(args + QStringList{QStringLiteral("--device-dir"), m_dir.path()});
    m_process.start();
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    QElapsedTimer timer;
    timer.start();
    QByteArray out;
    while (timer.elapsed() < timeoutMs) {
        if (m_process.waitForReadyRead(50))
            out += m_process.readAllStandardOutput();
        if (out.contains("ready "))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

bool SimProcess::waitForFinished(int timeoutMs)
{
    // Keep the caller's event loop turning: the program under test runs in this same process.
    QElapsedTimer timer;
    timer.start();
    while (m_process.state() != QProcess::NotRunning && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        m_process.waitForFinished(1);
    }
    return m_process.state() == QProcess::NotRunning;
}

QString SimProcess::errorOutput()
{
    m_errors += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_errors;
}
