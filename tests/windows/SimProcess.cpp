// The simulator for a test program built for Windows and run under wine: the Linux build's rqxsim,
// run beside wine by windows/sim-bridge, whose pseudo-terminal wine presents as the COM port the
// program opens with its Win32 link. The bridge and this side talk through files in a folder of
// the test's own; every wait is on a condition with a deadline, the event loop turning meanwhile.
#include "support/SimProcess.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <windows.h>

namespace {

// Each simulator of a test program is COM9 in turn: the program lists COM1 to COM9, and the
// transport's own test uses a lower port.
const QString kPort = QStringLiteral("COM9");

// The Linux path of a file wine shows under a drive letter.
QString unixPath(const QString &path)
{
    using UnixFileName = char *(CDECL *)(LPCWSTR);
    static const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void *>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName)
        return path;
    const QString native = QDir::toNativeSeparators(path);
    char *name = unixFileName(reinterpret_cast<LPCWSTR>(native.utf16()));
    if (!name)
        return path;
    const QString result = QString::fromUtf8(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

bool isWindowsPath(const QString &arg)
{
    return arg.size() > 2 && arg.at(0).isLetter() && arg.at(1) == u':' &&
           (arg.at(2) == u'\\' || arg.at(2) == u'/');
}

// Starts a Linux program; wine runs it as it is and does not wait for it.
bool startLinuxProgram(const QStringList &args)
{
    QStringList quoted;
    for (const QString &arg : args)
        quoted << u'"' + arg + u'"';
    std::wstring commandLine = quoted.join(u' ').toStdWString();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    if (process.hThread)
        ::CloseHandle(process.hThread);
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    return true;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

SimProcess::SimProcess() = default;

SimProcess::~SimProcess()
{
    if (!m_started || QFile::exists(file("status")))
        return;
    const QByteArray pid = readAll(file("pid")).trimmed();
    if (!pid.isEmpty() &&
        startLinuxProgram({QStringLiteral("/bin/kill"), QStringLiteral("-KILL"), QString::fromLatin1(pid)}))
        QTest::qWaitFor([this] { return QFile::exists(file("status")); }, 5000);
}

bool SimProcess::start(const QStringList &args, int timeoutMs)
{
    QStringList bridgeArgs{QStringLiteral("/bin/bash"), QStringLiteral(RQX_SIM_BRIDGE),
                           unixPath(m_dir.path()), kPort, QStringLiteral(RQX_SIM_PATH)};
    for (const QString &arg : args)
        bridgeArgs << (isWindowsPath(arg) ? unixPath(arg) : arg);
    if (!startLinuxProgram(bridgeArgs))
        return false;
    m_started = true;
    QTest::qWaitFor([this] { return QFile::exists(file("linked")) || QFile::exists(file("status")); },
                    timeoutMs);
    return QFile::exists(file("linked"));
}

QString SimProcess::deviceDir() const
{
    return m_dir.filePath(QStringLiteral("dev"));
}

QString SimProcess::portName() const
{
    return kPort;
}

void SimProcess::command(const QString &line)
{
    QFile input(file("input"));
    if (input.open(QIODevice::Append))
        input.write(line.toLocal8Bit() + '\n');
}

void SimProcess::closeInput()
{
    command(QStringLiteral("<EOF>"));
}

void SimProcess::terminate()
{
    const QByteArray pid = readAll(file("pid")).trimmed();
    if (!pid.isEmpty())
        startLinuxProgram({QStringLiteral("/bin/kill"), QStringLiteral("-TERM"), QString::fromLatin1(pid)});
}

bool SimProcess::waitForFinished(int timeoutMs)
{
    if (!m_started)
        return true;
    return QTest::qWaitFor([this] { return QFile::exists(file("status")); }, timeoutMs);
}

int SimProcess::exitCode() const
{
    bool ok = false;
    const int code = readAll(file("status")).trimmed().toInt(&ok);
    return ok ? code : -1;
}

QString SimProcess::errorOutput()
{
    m_errors = QString::fromLocal8Bit(readAll(file("err")));
    return m_errors;
}

QStringList SimProcess::lineSpeedArgs()
{
    QStringList args{QStringLiteral("--line-speed"), QStringLiteral("1200")};
    const QByteArray seed = qgetenv("RQXSIM_SPLIT_SEED");
    if (!seed.isEmpty())
        args << QStringLiteral("--split-seed") << QString::fromLatin1(seed);
    return args;
}
