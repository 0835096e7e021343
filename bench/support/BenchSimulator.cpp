#include "BenchSimulator.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kStartMs = 10000;
// Only a bound for a simulator that hangs: a transfer of 9,999 points takes seconds.
constexpr int kTransferMs = 300000;
} // namespace

bool BenchSimulator::start(const QString &series, const QStringList &args)
{
    m_process.setProgram(QStringLiteral(RQX_SIM_PATH));
    m_process.setArguments(
        args + QStringList{QStringLiteral("--series"), series, QStringLiteral("--device-dir"), m_dir.path()});
    m_process.start();
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (!out.contains("ready ") && timer.elapsed() < kStartMs) {
        if (m_process.waitForReadyRead(50))
            out += m_process.readAllStandardOutput();
        if (m_process.state() == QProcess::NotRunning)
            return false;
    }
    return out.contains("ready ");
}

void BenchSimulator::go()
{
    m_process.write("go\n");
    m_process.waitForBytesWritten(1000);
}

bool BenchSimulator::finish()
{
    // An event loop rather than polling, so the program's receive events run as soon as bytes come.
    if (m_process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kTransferMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_process.state() == QProcess::NotRunning && m_process.exitCode() == 0;
}
