// The connection test, the two test commands and the port preparation: the port operations and
// screen updates in the order they happen.
#include "serial/PortCommands.h"
#include "core/AppState.h"
#include "serial/ReceiveDispatcher.h"
#include "support/FakeSerialLink.h"
#include "support/RecordingView.h"

#include <gtest/gtest.h>

namespace {

using Events = QStringList;

const Events kPortFailure{"message 错误提示|请检查端口连接是否正确！", "forward"};

class PortCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        selection.rqx5 = true;
        selection.rqx2 = false;
        state.Selection = &selection;
        state.load();
    }

    Events run(void (PortCommands::*command)())
    {
        log.clear();
        (commands.*command)();
        return log.events;
    }

    Recorder log;
    FakeSerialLink link{log};
    RecordingView view{log};
    FixedSelection selection;
    AppState state;
    PortCommands commands{state, link, view};
};

} // namespace

TEST_F(PortCommandsTest, ConnectionTestOpensThePortAndSendsTheTestPair)
{
    state.RecordBuffer.set(7, 0x55);
    state.ReceiveBuffer.reallocate(10);
    EXPECT_EQ(run(&PortCommands::RunConnectionTest),
              (Events{"label3 shown", "clearOutput", "clearInput", "sthreshold 1", "rthreshold 2", "open",
                      "command12 关闭串口", "write AA BB"}));
    EXPECT_TRUE(view.connectionTestShown);
    EXPECT_EQ(state.RecordBuffer.upperBound(), 50000);
    EXPECT_EQ(state.RecordBuffer.at(7), 0);
    EXPECT_EQ(state.ReceiveBuffer.upperBound(), 50000);
    EXPECT_TRUE(link.isOpen());
}

TEST_F(PortCommandsTest, ConnectionTestTogglesThePortButtonAndAlwaysEndsWithThePortOpen)
{
    // The button says the port is open: the test closes it, flips the caption, and opens it again.
    link.portOpen = true;
    view.portCaption = QStringLiteral("关闭串口");
    EXPECT_EQ(run(&PortCommands::RunConnectionTest),
              (Events{"label3 shown", "clearOutput", "clearInput", "sthreshold 1", "rthreshold 2", "close",
                      "command12 打开串口", "open", "write AA BB"}));
    EXPECT_TRUE(link.isOpen());

    // The button says closed but the port is already open: nothing to open.
    EXPECT_EQ(run(&PortCommands::RunConnectionTest),
              (Events{"label3 shown", "clearOutput", "clearInput", "sthreshold 1", "rthreshold 2",
                      "command12 关闭串口", "write AA BB"}));
}

TEST_F(PortCommandsTest, ConnectionTestStopsAtAPortThatCannotBeOpened)
{
    link.failOpen = true;
    EXPECT_EQ(run(&PortCommands::RunConnectionTest), (Events{"label3 shown", "clearOutput", "clearInput",
                                                             "sthreshold 1", "rthreshold 2", "open failed"} +
                                                      kPortFailure));
    EXPECT_EQ(view.portCaption, "打开串口");
    EXPECT_TRUE(link.written.isEmpty());
    EXPECT_FALSE(view.ended);

    // From the other caption the failure comes at the reopening, after the caption has changed.
    link.portOpen = true;
    view.portCaption = QStringLiteral("关闭串口");
    EXPECT_EQ(run(&PortCommands::RunConnectionTest),
              (Events{"label3 shown", "clearOutput", "clearInput", "sthreshold 1", "rthreshold 2", "close",
                      "command12 打开串口", "open failed"} +
               kPortFailure));
    EXPECT_FALSE(view.ended);
}

TEST_F(PortCommandsTest, ConnectionTestReportsAWriteThatFails)
{
    link.failWrite = true;
    const Events events = run(&PortCommands::RunConnectionTest);
    EXPECT_EQ(events.mid(events.size() - 3), (Events{"write failed"} + kPortFailure));
}

TEST_F(PortCommandsTest, AnswerThroughTheDispatcherEndsTheTestWithRqx5Only)
{
    ReceiveDispatcher dispatcher(state, link, view);
    commands.RunConnectionTest();
    link.waiting = QByteArray("\xAA\xBB", 2);
    log.clear();
    dispatcher.OnReceiveEvent();
    EXPECT_EQ(log.events,
              (Events{"label3 hidden", "message 测试成功|通讯测试成功！您的电脑可以与仪器进行数据传输。"}));
    EXPECT_FALSE(view.connectionTestShown);

    selection.rqx5 = false;
    selection.rqx2 = true;
    commands.RunConnectionTest();
    link.waiting = QByteArray("\xAA\xBB", 2);
    log.clear();
    dispatcher.OnReceiveEvent();
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_TRUE(view.connectionTestShown);
}

TEST_F(PortCommandsTest, TestCommandOneSendsTheNextPair)
{
    EXPECT_EQ(run(&PortCommands::SendTestCommand1),
              (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "open", "write AA 81"}));
    EXPECT_EQ(state.ReceiveBuffer.upperBound(), 5000);
    EXPECT_EQ(run(&PortCommands::SendTestCommand1),
              (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "write AA 81"}));
}

TEST_F(PortCommandsTest, TestCommandTwoReopensPortOneAndSendsTheEndPair)
{
    link.port = 3;
    link.portOpen = true;
    EXPECT_EQ(run(&PortCommands::SendTestCommand2),
              (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "close", "commport 1",
                      "open", "write AA 82"}));
    EXPECT_EQ(state.ReceiveBuffer.upperBound(), 5000);

    link.portOpen = false;
    EXPECT_EQ(run(&PortCommands::SendTestCommand2),
              (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "commport 1", "open",
                      "write AA 82"}));
}

TEST_F(PortCommandsTest, TestCommandsReportAPortThatCannotBeOpened)
{
    link.failOpen = true;
    EXPECT_EQ(
        run(&PortCommands::SendTestCommand1),
        (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "open failed"} + kPortFailure));
    EXPECT_EQ(run(&PortCommands::SendTestCommand2), (Events{"clearOutput", "clearInput", "sthreshold 1",
                                                            "rthreshold 1", "commport 1", "open failed"} +
                                                     kPortFailure));
    EXPECT_TRUE(link.written.isEmpty());
    EXPECT_FALSE(view.ended);
}

TEST_F(PortCommandsTest, PreparePortArmsForOneByteAndSendsNothing)
{
    EXPECT_EQ(run(&PortCommands::PreparePort),
              (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "open"}));
    EXPECT_EQ(run(&PortCommands::PreparePort),
              (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1"}));
    link.portOpen = false;
    link.failOpen = true;
    EXPECT_EQ(
        run(&PortCommands::PreparePort),
        (Events{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 1", "open failed"} + kPortFailure));
    EXPECT_TRUE(link.written.isEmpty());
}
