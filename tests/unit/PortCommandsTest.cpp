// The connection test, the two test commands and the port preparation: the port operations and
// screen updates in the order they happen.
#include "ui/PortCommands.h"
#include "rqx5/ConnectionTest.h"
#include "support/QStringPrinter.h"
#include "support/Recorder.h"
#include "support/TransferDriver.h"

#include <gtest/gtest.h>

namespace {
const QStringList kSuccess = {"status rqx5 tested",
                              "message 测试成功|通讯测试成功！您的电脑可以与仪器进行数据传输。"};
} // namespace

// The test works the port button: a port shown closed is opened, one shown open is closed (once its
// bytes have left) and opened again, so the test always ends with the port open.
TEST(ConnectionTest, WorksThePortButtonAndSendsTheTestPair)
{
    const std::pair<bool, QStringList> cases[] = {
        {true,
         {"status rqx5 testing", "clearOutput", "clearInput", "open", "port shown open", "open",
          "write AA BB"}},
        {false,
         {"status rqx5 testing", "clearOutput", "clearInput", "close", "port shown closed", "open",
          "write AA BB"}},
    };
    for (const auto &[shownClosed, lines] : cases) {
        TransferDriver driver;
        ConnectionTest test(true, shownClosed);
        EXPECT_EQ(driver.start(test), lines);
        EXPECT_TRUE(test.underway());
    }
}

// The instrument's answer is the same pair, anywhere in what arrives; it is looked for with the
// RQX5 series only, and without it the test simply stays shown.
TEST(ConnectionTest, AnswerEndsTheTestWithRqx5Only)
{
    const std::tuple<bool, const char *, QStringList> cases[] = {
        {true, "AA BB", kSuccess}, {true, "00 00 00 AA BB 00", kSuccess},
        {true, "AA 81", {}},       {true, "AA 82", {}},
        {false, "AA BB", {}},
    };
    for (const auto &[rqx5, bytes, lines] : cases) {
        SCOPED_TRACE(bytes);
        TransferDriver driver;
        ConnectionTest test(rqx5, true);
        driver.start(test);
        EXPECT_EQ(driver.feed(test, fromHex(bytes)), lines);
        EXPECT_EQ(test.underway(), lines.isEmpty());
    }
    TransferDriver driver;
    ConnectionTest test(true, true);
    driver.start(test);
    EXPECT_EQ(driver.feedBytewise(test, fromHex("AA BB")), kSuccess);
}

TEST(PortCommands, TestCommandsAndThePortPreparation)
{
    const std::pair<TransferActions, QStringList> cases[] = {
        {PortCommands::SendTestCommand1(), {"clearOutput", "clearInput", "open", "write AA 81"}},
        // The port is reopened as COM1 whatever it was.
        {PortCommands::SendTestCommand2(),
         {"clearOutput", "clearInput", "close", "port 1", "open", "write AA 82"}},
        {PortCommands::PreparePort(), {"clearOutput", "clearInput", "open"}},
    };
    for (const auto &[actions, lines] : cases)
        EXPECT_EQ(describe(actions), lines);
}
