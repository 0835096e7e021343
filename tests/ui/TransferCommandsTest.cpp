#include "AppFixture.h"

#include "serial/ReceiveDispatcher.h"

#include <QLabel>

// The main window's transfer and port commands reach the protocol of the series chosen at start.
using TransferCommands = AppFixture;

namespace {
const QString kPortFailure = QStringLiteral("错误提示|请检查端口连接是否正确！");
}

TEST_F(TransferCommands, ReceiveWithRqx5ArmsThePortForTheHeader)
{
    startWithCable(true);
    form1()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QStringLiteral("等待接收坐标数据..."));
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.receiveThreshold(), 18);
    EXPECT_EQ(app->state().ReceiveCoordinatesMode, 0);
}

TEST_F(TransferCommands, ReceiveWithRqx2SetsItsFlagsAndAnswersTheHandshake)
{
    startWithCable(false);
    app->state().SendCoordinatesMode = 1;
    form1()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QStringLiteral("等待接收坐标数据..."));
    EXPECT_EQ(app->state().ReceiveCoordinatesMode, 1);
    EXPECT_EQ(app->state().SendCoordinatesMode, 0);
    EXPECT_EQ(app->state().HandshakeAnswered, 0);
    EXPECT_TRUE(link.isOpen());

    // The dispatcher routes the instrument's "J" CR to the RQX2 protocol, which answers it.
    link.written.clear();
    link.waiting = fromHex("4A 0D");
    app->dispatcher().OnReceiveEvent();
    EXPECT_EQ(hex(link.written), "01 4A 0D"); // a coordinate transfer, "J", CR
    EXPECT_EQ(app->state().HandshakeAnswered, 1);
}

TEST_F(TransferCommands, SendWithRqx5ClearsTheHandshakeFlagToo)
{
    startWithCable(true);
    form1()->button(QStringLiteral("Command5"))->click();
    app->state().HandshakeAnswered = 1;
    form1()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_EQ(app->state().HandshakeAnswered, 0);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(hex(link.written), "AA 80 00 19 AA 82"); // the send header for the 25 listed rows
    EXPECT_EQ(app->state().SendCoordinatesMode, 0);
}

TEST_F(TransferCommands, SendWithRqx2WaitsForTheHandshake)
{
    startWithCable(false);
    form1()->button(QStringLiteral("Command5"))->click();
    app->state().RecordCount = 7;
    form1()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_EQ(app->state().SendCoordinatesMode, 1);
    EXPECT_EQ(app->state().ReceiveCoordinatesMode, 0);
    EXPECT_EQ(app->state().RecordCount, 0);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(TransferCommands, WithoutASeriesTheTransferCommandsDoNothing)
{
    startWithCable(false);
    auto *rqx2 = child<QRadioButton>(app->selectionDialog(), "Option3");
    rqx2->setAutoExclusive(false);
    rqx2->setChecked(false);
    app->state().HandshakeAnswered = 1;
    form1()->action(QStringLiteral("RecZB"))->trigger();
    form1()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QString());
    EXPECT_EQ(app->state().HandshakeAnswered, 0);
}

TEST_F(TransferCommands, ConnectionTestAnsweredWithRqx5)
{
    startWithCable(true);
    form1()->button(QStringLiteral("Command4"))->click();
    EXPECT_TRUE(child<QLabel>(form1(), "Label3")->isVisible());
    EXPECT_EQ(hex(link.written), QStringLiteral("AA BB"));
    EXPECT_EQ(form1()->button(QStringLiteral("Command12"))->text(), QStringLiteral("关闭串口"));

    link.waiting = fromHex("AA BB");
    app->dispatcher().OnReceiveEvent();
    EXPECT_FALSE(child<QLabel>(form1(), "Label3")->isVisible());
    EXPECT_EQ(messages.messages, QStringList{"测试成功|通讯测试成功！您的电脑可以与仪器进行数据传输。"});
    EXPECT_EQ(messages.parentName, QStringLiteral("Form1"));
}

TEST_F(TransferCommands, ConnectionTestThatCannotOpenThePortSaysSo)
{
    startWithCable(true);
    link.failOpen = true;
    form1()->button(QStringLiteral("Command4"))->click();
    EXPECT_EQ(messages.messages, QStringList{kPortFailure});
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(form1()->isVisible());
}

TEST_F(TransferCommands, TestCommandsAndPortPreparation)
{
    startWithCable(true);
    form1()->button(QStringLiteral("Command1"))->click();
    EXPECT_EQ(link.lastWrite(), QStringLiteral("AA 81"));
    form1()->button(QStringLiteral("Command13"))->click();
    EXPECT_EQ(link.lastWrite(), QStringLiteral("AA 82"));
    EXPECT_EQ(link.commPort(), 1);

    link.close();
    log.clear();
    form1()->button(QStringLiteral("Command2"))->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.receiveThreshold(), 1);
    EXPECT_TRUE(log.matching(QStringLiteral("write")).isEmpty());
}

TEST_F(TransferCommands, PortButtonAndSpareSendStartRqx5Transfers)
{
    startWithCable(false); // these buttons serve RQX5 whatever the series
    form1()->button(QStringLiteral("Command12"))->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.receiveThreshold(), 18);
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QString()); // no status line

    form1()->button(QStringLiteral("Command5"))->click();
    link.written.clear();
    form1()->button(QStringLiteral("Command3"))->click();
    EXPECT_EQ(hex(link.written), "AA 80 00 19 AA 82");
}
