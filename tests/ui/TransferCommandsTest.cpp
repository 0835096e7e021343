#include "AppFixture.h"

#include "rqx2/Rqx2CoordinateReceive.h"
#include "rqx2/Rqx2CoordinateSend.h"
#include "rqx5/Rqx5CoordinateReceive.h"
#include "rqx5/Rqx5CoordinateSend.h"
#include "ui/Form4.h"
#include "ui/Form7.h"
#include "ui/MessageBoxPresenter.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <cstring>

// The main window's transfer and port commands start the transfer of the series chosen at start.
class TransferCommands : public AppFixture {
protected:
    // The transfer in progress as a T, or null when it is no T.
    template <class T> T *current() { return dynamic_cast<T *>(app->executor().current()); }
};

namespace {
const QString kPortFailure = QStringLiteral("错误提示|请检查端口连接是否正确！");
}

TEST_F(TransferCommands, ReceiveWithRqx5ArmsThePortForTheHeader)
{
    startWithCable(true);
    form1()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QStringLiteral("等待接收坐标数据..."));
    EXPECT_TRUE(link.isOpen());
    EXPECT_NE(current<Rqx5CoordinateReceive>(), nullptr);
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(TransferCommands, ReceiveWithRqx2AnswersTheHandshake)
{
    startWithCable(false);
    form1()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QStringLiteral("等待接收坐标数据..."));
    ASSERT_NE(current<Rqx2CoordinateReceive>(), nullptr);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.written.isEmpty());

    // The instrument's "J" CR goes to the receive, which answers it.
    link.written.clear();
    instrumentSends(fromHex("4A 0D"));
    EXPECT_EQ(hex(link.written), "01 4A 0D"); // a coordinate transfer, "J", CR
}

TEST_F(TransferCommands, ASecondRqx2ReceiveNumbersOnUnlessAnotherTransferCameBetween)
{
    startWithCable(false);
    // The instrument's request, then a file of one point numbered number at N 1, E 2, Z 3.
    auto receiveFile = [this](const char *number) {
        form1()->action(QStringLiteral("RecZB"))->trigger();
        instrumentSends(fromHex("4A 0D"));
        instrumentSends(QByteArray("\x02") + "00010001" + QByteArray(number).leftJustified(7, ' ') +
                        "       " + "000000001.000" + "000000002.000" + "000000003.000" + "\r");
    };
    auto rows = [this] {
        QStringList lines;
        for (int r = 1; r <= app->table().count(); ++r)
            lines += app->table().point(r).sequence + u'|' + app->table().point(r).number;
        return lines;
    };
    receiveFile("A");
    receiveFile("B");
    EXPECT_EQ(rows(), (QStringList{"1|A", "2|B"}));
    // A connection test in between: the next receive begins the table again.
    form1()->button(QStringLiteral("Command4"))->click();
    receiveFile("C");
    EXPECT_EQ(rows(), QStringList{"1|C"});
}

TEST_F(TransferCommands, SendWithRqx5SendsTheHeader)
{
    startWithCable(true);
    form1()->button(QStringLiteral("Command5"))->click();
    form1()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(hex(link.written), "AA 80 00 19 AA 82"); // the send header for the 25 listed rows
    EXPECT_NE(current<Rqx5CoordinateSend>(), nullptr);
}

TEST_F(TransferCommands, SendWithRqx2WaitsForTheHandshake)
{
    startWithCable(false);
    form1()->button(QStringLiteral("Command5"))->click();
    form1()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_NE(current<Rqx2CoordinateSend>(), nullptr);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(TransferCommands, StopInTheMiddleOfAnRqx2SendSendsNothingMore)
{
    startWithCable(false);
    form1()->button(QStringLiteral("Command5"))->click();
    form1()->action(QStringLiteral("SendZB"))->trigger();
    instrumentSends(fromHex("4A 0D"));
    ASSERT_EQ(link.written.size(), 3 + 64); // the answer and the first point with its trailing NUL
    link.written.clear();
    form1()->findChild<QPushButton *>(QStringLiteral("StopTransfer"))->click();
    settle();
    EXPECT_EQ(messages.messages, QStringList{"提示|传输已停止，已发送 1 条记录。"});
    EXPECT_FALSE(link.isOpen()); // as after the last point
    instrumentSends(fromHex("4A 0D"));
    EXPECT_TRUE(link.written.isEmpty());

    // A new send starts from the first point.
    form1()->action(QStringLiteral("SendZB"))->trigger();
    instrumentSends(fromHex("4A 0D"));
    EXPECT_EQ(link.written.size(), 3 + 64);
    EXPECT_EQ(hex(link.written.left(3)), "01 4A 0D");
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), "1/25");
}

TEST_F(TransferCommands, WithoutASeriesTheTransferCommandsDoNothing)
{
    startWithCable(false);
    auto *rqx2 = child<QRadioButton>(app->selectionDialog(), "Option3");
    rqx2->setAutoExclusive(false);
    rqx2->setChecked(false);
    form1()->action(QStringLiteral("RecZB"))->trigger();
    form1()->action(QStringLiteral("SendZB"))->trigger();
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QString());
}

TEST_F(TransferCommands, ConnectionTestAnsweredWithRqx5)
{
    startWithCable(true);
    form1()->button(QStringLiteral("Command4"))->click();
    EXPECT_TRUE(child<QLabel>(form1(), "Label3")->isVisible());
    EXPECT_EQ(hex(link.written), QStringLiteral("AA BB"));
    EXPECT_EQ(form1()->button(QStringLiteral("Command12"))->text(), QStringLiteral("关闭串口"));

    instrumentSends(fromHex("AA BB"));
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

    link.closeWhenWritten({});
    log.clear();
    form1()->button(QStringLiteral("Command2"))->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(log.events, (QStringList{"clearOutput", "clearInput", "open"}));
}

TEST_F(TransferCommands, PortButtonAndSpareSendStartRqx5Transfers)
{
    startWithCable(false); // these buttons serve RQX5 whatever the series
    form1()->button(QStringLiteral("Command12"))->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_NE(current<Rqx5CoordinateReceive>(), nullptr);
    EXPECT_EQ(child<QLabel>(form1(), "Label4")->text(), QString()); // no status line

    form1()->button(QStringLiteral("Command5"))->click();
    link.written.clear();
    form1()->button(QStringLiteral("Command3"))->click();
    EXPECT_EQ(hex(link.written), "AA 80 00 19 AA 82");
}

// On the production link, the system's reason for a failed open is the detail of the usual message.
TEST_F(TransferCommands, PortFailureOnTheRealLinkTellsTheSystemsReason)
{
    const QString entry = devices.filePath(cableName());
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), entry));
    app = std::make_unique<Application>(devices.path(), messages, [this] { ++ends; });
    app->start();
    choose(true, true);
    ASSERT_TRUE(form1()->isVisible());
    messages.messages.clear();

    form1()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(messages.messages, QStringList{kPortFailure});
    EXPECT_EQ(messages.detail, QStringLiteral("设备：") + entry + QStringLiteral("\n系统错误：") +
                                   QString::fromLocal8Bit(std::strerror(ENOENT)));
}

// The measurement windows' receives tell the same detail over their own window.
TEST_F(TransferCommands, PortFailureInTheMeasurementWindowsTellsTheSystemsReason)
{
    const QString entry = devices.filePath(cableName());
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), entry));
    for (const bool rqx5 : {false, true}) {
        SCOPED_TRACE(rqx5 ? "RQX5" : "RQX2");
        app = std::make_unique<Application>(devices.path(), messages, [this] { ++ends; });
        app->start();
        choose(rqx5, true);
        form1()->action(QStringLiteral("CLSend"))->trigger();
        messages.messages.clear();

        if (rqx5)
            app->measureWindow()->action(QStringLiteral("DataFile_R"))->trigger();
        else
            app->rqx2MeasurementWindow()->button(QStringLiteral("Command1"))->click();
        EXPECT_EQ(messages.messages, QStringList{kPortFailure});
        EXPECT_EQ(messages.parentName, QLatin1String(rqx5 ? "Form4" : "Form7"));
        EXPECT_EQ(messages.detail, QStringLiteral("设备：") + entry + QStringLiteral("\n系统错误：") +
                                       QString::fromLocal8Bit(std::strerror(ENOENT)));
    }
}

// The program's message box keeps its text and puts the detail behind its details button.
TEST(MessageBox, DetailIsTheBoxsDetailedText)
{
    QString text, detail;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            text = box->text();
            detail = box->detailedText();
            box->accept();
        }
    });
    answer.start(10);
    MessageBoxPresenter().showDetailedMessage(nullptr, QStringLiteral("错误提示"),
                                              QStringLiteral("请检查端口连接是否正确！"),
                                              QStringLiteral("设备：COM1"));
    EXPECT_EQ(text, QStringLiteral("请检查端口连接是否正确！"));
    EXPECT_EQ(detail, QStringLiteral("设备：COM1"));
}
