#include "support/ScopedSettingsFolder.h"
#include "ui/ProgramEnd.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program runs with a QApplication (offscreen unless told otherwise), so window tests and
// link tests can spin the event loop. The session logs of the transfers the tests run and the
// program's settings are kept in folders of the test program's own, so no test reads or changes
// those of whoever runs it.
namespace {

int runTests(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    qputenv("LOCALAPPDATA", QDir::toNativeSeparators(state.path()).toLocal8Bit()); // on Windows
    QApplication app(argc, argv);
    const QTemporaryDir settings;
    ScopedSettingsFolder::setTestFolder(settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace

// The test programs end as the program does.
int main(int argc, char **argv)
{
    return EndProgram(runTests(argc, argv));
}
