// The connection test and the test commands against the simulated instrument, from the main
// window's buttons through the program's own port.
#include "serial/SerialLink.h"
#include "support/RecordingPresenter.h"
#include "support/SimProcess.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"

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

class MainWindowConnectionTest : public ::testing::Test {
protected:
    bool startProgram(const char *series, const QStringList &simArgs = {"--action", "answer-test"})
    {
        if (!sim.start(QStringList{"--series", series} + simArgs))
            return false;
        app = std::make_unique<Application>(sim.deviceDir(), messages, [this] { ended = true; });
        app->start();
        app->selectionDialog()
            ->findChild<QRadioButton *>(QLatin1String(series) == "rqx5" ? "Option4" : "Option3")
            ->setChecked(true);
        app->ConfirmSelection();
        messages.messages.clear();
        return app->mainWindow() && app->mainWindow()->isVisible();
    }
    QLabel *label3() const { return app->mainWindow()->findChild<QLabel *>("Label3"); }
    void click(const char *name) { app->mainWindow()->button(QLatin1String(name))->click(); }

    Recorder log;
    RecordingPresenter messages{log};
    QTemporaryDir dir;
    SimProcess sim;
    bool ended = false;
    std::unique_ptr<Application> app;
};

} // namespace

TEST_F(MainWindowConnectionTest, TestCommandsReachTheInstrument)
{
    ASSERT_TRUE(startProgram("rqx5", {"--action", "script", "--script",
                                      writeSimScript(dir, "expect AA 81 20000\n"
                                                          "say took the first pair\n"
                                                          "expect AA 82 20000\n"
                                                          "quiet 100\n")}));
    click("Command1");
    // A person presses the second button once the first pair has left; pressed at once, its clearing
    // of the output would discard the pair before it has left, as on a real line.
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.errorOutput().contains("took the first pair"); }, 20000))
        << sim.errorOutput().toStdString();
    click("Command13");
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(app->link().commPort(), 1);
}

TEST_F(MainWindowConnectionTest, NoInstrumentMeansThePortMessage)
{
    // The cable is found at start; then the instrument's line goes away.
    ASSERT_TRUE(
        startProgram("rqx5", {"--action", "script", "--script", writeSimScript(dir, "quiet 20000\n")}));
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(20000));
    for (const char *name : {"Command4", "Command1", "Command13", "Command2"})
        click(name);
    EXPECT_EQ(messages.messages, QStringList(4, kPortFailure));
    EXPECT_FALSE(ended);
}

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

    // Again: the port button now says the port is open, so the test closes and reopens it.
    command4->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages.messages.size() == 2; }, 20000));
    EXPECT_EQ(app->mainWindow()->button("Command12")->text(), "打开串口");
    EXPECT_TRUE(app->link().isOpen());
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 20000));
    EXPECT_EQ(messages.messages, QStringList{kPortFailure});
    EXPECT_TRUE(label3()->isVisible());
}
