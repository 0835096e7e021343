#pragma once

#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

// Files read back by the readers their users open them with, through Debian's python (the first
// python3 on PATH may be another one, without Debian's modules).
namespace PythonReader {

inline const QString kPython = QStringLiteral("/usr/bin/python3");

// True when Debian's python runs and imports module (a comma-separated list of modules).
inline bool hasModule(const QString &module)
{
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import ") + module});
    return probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

} // namespace PythonReader

// A test that reads a file back through Debian's python with module: failed in CI (CI=true), where
// scripts/setup has installed package, skipped elsewhere, with the package to install.
#ifdef _WIN32
// A Windows build runs under wine, where Debian's python is not a program it can start: the Linux build
// reads the same files back.
#define RQX_REQUIRE_PYTHON_MODULE(module, package)                                                           \
    GTEST_SKIP() << "the file is read back by " package " in the Linux build"
#else
#define RQX_REQUIRE_PYTHON_MODULE(module, package)                                                           \
    do {                                                                                                     \
        if (!PythonReader::hasModule(QStringLiteral(module))) {                                              \
            if (qgetenv("CI") == "true")                                                                     \
                FAIL() << package " is not installed for /usr/bin/python3 (scripts/setup installs it)";      \
            GTEST_SKIP() << package " is not installed for /usr/bin/python3 (scripts/setup installs it); "   \
                                    "the file is not read back";                                             \
        }                                                                                                    \
    } while (false)
#endif
