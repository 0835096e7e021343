// The connection test and the test commands against the simulated instrument, through the program's
// own port: first with the serial parts alone, then from the main window's buttons.
#include "core/AppState.h"
#include "serial/PortCommands.h"
#include "serial/QSerialLink.h"
#include "serial/ReceiveDispatcher.h"
#include "support/RecordingPresenter.h"
#include "support/RecordingView.h"
#include "support/SimProcess.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kSuccess = QStringLiteral("测试成功|通讯测试成功！您的电脑可以与仪器进行数据传输。");
const QString kPortFailure = QStringLiteral("错误提示|请检查端口连接是否正确！");

// The serial parts wired as the program wires them, on the simulator's device folder.
class SerialParts {
public:
    explicit SerialParts(const QString &deviceDir, bool rqx5) : link(deviceDir)
    {
        selection.rqx5 = rqx5;
        selection.rqx2 = !rqx5;
        state.Selection = &selection;
        state.load();
        link.setReceiveHandler([this] {
            ++receiveEvents;
            dispatcher.OnReceiveEvent();
        });
    }

    Recorder log;
    RecordingView view{log};
    FixedSelection selection;
    AppState state;
    QSerialLink link;
    ReceiveDispatcher dispatcher{state, link, view};
    PortCommands commands{state, link, view};
    int receiveEvents = 0;
};

} // namespace

TEST(ConnectionTestEndToEnd, Rqx5InstrumentAnswersAndTheTestSucceeds)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "answer-test"}));
    SerialParts program(sim.deviceDir(), true);

    program.commands.RunConnectionTest();
    EXPECT_TRUE(program.view.connectionTestShown);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program.view.messages.isEmpty(); }, 20000));
    EXPECT_EQ(program.view.messages, QStringList{kSuccess});
    EXPECT_FALSE(program.view.connectionTestShown);
    EXPECT_EQ(program.view.portCaption, "关闭串口");
    EXPECT_EQ(program.receiveEvents, 1);

    // Again: the port button now says the port is open, so the test closes and reopens it.
    program.commands.RunConnectionTest();
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.view.messages.size() == 2; }, 20000));
    EXPECT_EQ(program.view.portCaption, "打开串口");
    EXPECT_TRUE(program.link.isOpen());

    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}

TEST(ConnectionTestEndToEnd, Rqx2InstrumentAnswersButTheProgramShowsNothing)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx2", "--action", "answer-test"}));
    SerialParts program(sim.deviceDir(), false);

    program.commands.RunConnectionTest();
    // The answer arrives and is dispatched, and no rule of the RQX2 series takes it.
    // The dispatch runs inside the event, so its outcome is there as soon as the event is.
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.receiveEvents == 1; }, 20000));
    EXPECT_TRUE(program.view.messages.isEmpty());
    EXPECT_TRUE(program.view.connectionTestShown);

    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}

TEST(ConnectionTestEndToEnd, TestCommandsReachTheInstrument)
{
    QTemporaryDir dir;
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--action", "script", "--script",
                           writeSimScript(dir, "expect AA 81 20000\n"
                                               "say took the first pair\n"
                                               "expect AA 82 20000\n"
                                               "quiet 100\n")}));
    SerialParts program(sim.deviceDir(), true);
    program.commands.SendTestCommand1();
    // A person presses the second button once the first pair has left; pressed at once, its clearing
    // of the output would discard the pair before it has left, as on a real line.
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.errorOutput().contains("took the first pair"); }, 20000))
        << sim.errorOutput().toStdString();
    program.commands.SendTestCommand2();
    EXPECT_TRUE(program.view.messages.isEmpty());
    EXPECT_EQ(program.link.commPort(), 1);
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}

TEST(ConnectionTestEndToEnd, NoInstrumentMeansThePortMessage)
{
    QTemporaryDir empty;
    SerialParts program(empty.path(), true);
    program.commands.RunConnectionTest();
    program.commands.SendTestCommand1();
    program.commands.SendTestCommand2();
    program.commands.PreparePort();
    EXPECT_EQ(program.view.messages, QStringList(4, kPortFailure));
    EXPECT_EQ(program.log.matching("forward").size(), 4);
    EXPECT_FALSE(program.view.ended);
}

// ---- From the main window ------------------------------------------------------------------------

namespace {

class MainWindowConnectionTest : public ::testing::Test {
protected:
    bool startProgram(const char *series)
    {
        if (!sim.start({"--series", series, "--action", "answer-test"}))
            return false;
        app = std::make_unique<Application>(sim.deviceDir(), messages, [] {});
        app->start();
        app->selectionDialog()
            ->findChild<QRadioButton *>(QLatin1String(series) == "rqx5" ? "Option4" : "Option3")
            ->setChecked(true);
        app->ConfirmSelection();
        messages.messages.clear();
        return app->mainWindow() && app->mainWindow()->isVisible();
    }
    QLabel *label3() const { return app->mainWindow()->findChild<QLabel *>("Label3"); }

    Recorder log;
    RecordingPresenter messages{log};
    SimProcess sim;
    std::unique_ptr<Application> app;
};

} // namespace

TEST_F(MainWindowConnectionTest, Command4WithRqx5ShowsTheSuccessMessage)
{
    ASSERT_TRUE(startProgram("rqx5"));
    EXPECT_FALSE(label3()->isVisible());
    QPushButton *command4 = app->mainWindow()->button("Command4");
    ASSERT_EQ(command4->text(), "连接测试");
    command4->click();
    EXPECT_TRUE(label3()->isVisible());
    EXPECT_EQ(label3()->text(), "通讯测试中...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 20000));
    EXPECT_EQ(messages.messages, QStringList{kSuccess});
    EXPECT_FALSE(label3()->isVisible());
    EXPECT_EQ(app->mainWindow()->button("Command12")->text(), "关闭串口");
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}

TEST_F(MainWindowConnectionTest, Command4WithRqx2ShowsNothing)
{
    ASSERT_TRUE(startProgram("rqx2"));
    app->mainWindow()->button("Command4")->click();
    // The simulator ends once it has answered and the program has read the answer.
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
    // No answer is taken for a success; the test is still waiting when the line goes away with
    // the simulator, and that is reported.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 10000));
    EXPECT_EQ(messages.messages, QStringList{kPortFailure});
    EXPECT_TRUE(label3()->isVisible());
}
