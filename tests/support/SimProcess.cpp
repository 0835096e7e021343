#include "SimProcess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

QString writeSimScript(const QTemporaryDir &dir, const char *text, const char *name)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

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

QString SimProcess::deviceDir() const
{
    return m_dir.path();
}

QString SimProcess::portName() const
{
    return QString();
}

void SimProcess::command(const QString &line)
{
    m_process.write(line.toLocal8Bit() + '\n');
    m_process.waitForBytesWritten(20000);
}

void SimProcess::closeInput()
{
    m_process.closeWriteChannel();
}

void SimProcess::terminate()
{
    m_process.terminate();
}

int SimProcess::exitCode() const
{
    return m_process.exitCode();
}

bool SimProcess::waitForFinished(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    // The end of the process is itself an event of this loop, so nothing here polls.
    QEventLoop loop;
    QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return m_process.state() == QProcess::NotRunning;
}

QStringList SimProcess::lineSpeedArgs()
{
    QStringList args{QStringLiteral("--line-speed"), QStringLiteral("1200")};
    const QByteArray seed = qgetenv("RQXSIM_SPLIT_SEED");
    if (!seed.isEmpty())
        args << QStringLiteral("--split-seed") << QString::fromLatin1(seed);
    return args;
}

QString SimProcess::errorOutput()
{
    m_errors += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_errors;
}
