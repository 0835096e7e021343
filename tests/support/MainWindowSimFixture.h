#pragma once

#include "support/RecordingPresenter.h"
#include "support/SimProcess.h"
#include "support/TestPoint.h"
#include "ui/Application.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// The whole program as main() builds it, on its own serial link over a pseudo-terminal against
// rqxsim, every message box answered at once and recorded. A series' test adds its parameters
// (::testing::WithParamInterface) and starts both with the series and order it runs.
class MainWindowSimFixture : public ::testing::Test {
protected:
    // Starts rqxsim with simArgs, then the program on its device folder with the series and order
    // chosen in the selection dialog; true once the main window shows. The messages of the start
    // are cleared.
    bool startProgram(bool rqx5, bool nez, const QStringList &simArgs);
    // Waits for the simulator to end with exitCode.
    void finish(int exitCode = 0);
    // The text of the main window's line edit or label named name.
    QString text(const char *name) const;
    // Appends a row to the table in the order chosen at the start.
    void addRow(const TestPoint &p);
    // A failed run at line speed tells how to repeat its pieces.
    void TearDown() override;

    Recorder log;
    RecordingPresenter messages{log};
    bool ended = false;
    QTemporaryDir dir;
    SimProcess sim;
    std::unique_ptr<Application> app;
    // The file dialogs the program shows, when a test answers them itself (set before startProgram).
    FileDialogPresenter *fileDialogs = nullptr;

private:
    bool m_nez = true;
};
