#pragma once

#include "support/FakeSerialLink.h"
#include "support/RecordingPresenter.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"
#include "ui/TransferExecutor.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// The whole program on a fake link and a temporary device folder, with every message box answered
// at once and recorded.
class AppFixture : public ::testing::Test {
protected:
    static QString cableName()
    {
        return QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
    }

    void addDevice(const QString &name)
    {
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), devices.filePath(name)));
    }

    // Builds the program and shows the notice and the selection dialog.
    void startProgram()
    {
        app = std::make_unique<Application>(
            devices.path(), messages, [this] { ++ends; }, &link, fileDialogs);
        app->start();
    }

    // Chooses the series and order in the selection dialog and presses its OK.
    void choose(bool rqx5, bool nez)
    {
        Form6 *dialog = app->selectionDialog();
        dialog->findChild<QRadioButton *>(rqx5 ? "Option4" : "Option3")->setChecked(true);
        dialog->findChild<QRadioButton *>(nez ? "Option1" : "Option2")->setChecked(true);
        dialog->findChild<QPushButton *>("OKButton")->click();
    }

    // The usual start: a cable, the program up, the main window shown.
    void startWithCable(bool rqx5 = false, bool nez = true)
    {
        addDevice(cableName());
        startProgram();
        choose(rqx5, nez);
        ASSERT_TRUE(app->mainWindow()->isVisible());
        messages.messages.clear();
        log.clear();
    }

    // Bytes from the instrument; a message box they cause is shown once the event loop turns, and
    // the actions behind it follow when it is closed: this waits until all of it is done.
    void instrumentSends(const QByteArray &bytes)
    {
        link.arrive(bytes);
        settle();
    }
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return app->executor().idle(); }, 20000));
    }

    // Lets every timer of the program due within ms from now fire, however loaded the machine: a
    // marker started now is due after them, and timers fire in the order they are due.
    void passTimersDueWithin(int ms)
    {
        bool passed = false;
        QTimer::singleShot(ms, Qt::PreciseTimer, [&passed] { passed = true; });
        ASSERT_TRUE(QTest::qWaitFor([&passed] { return passed; }, 20000));
        settle();
    }

    template <class T> T *child(QObject *root, const char *name)
    {
        T *found = root->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    Form1 *form1() { return app->mainWindow(); }

    Recorder log;
    RecordingPresenter messages{log};
    FakeSerialLink link{log};
    QTemporaryDir devices;
    int ends = 0;
    FileDialogPresenter *fileDialogs = nullptr; // the test's own answers to file dialogs, if any
    std::unique_ptr<Application> app;
};
