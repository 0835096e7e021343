#include "Rqx2Fixture.h"

#include "rqx2/Rqx2CoordinateRecord.h"

// Sending the table to an RQX2 instrument: one 64-byte record per request, after a pause, and the
// end of the send.

namespace {
// Row 1 of 25 under NEZ: 'P1', 'A', N '1234.567', E '-45.5', Z '12.3'.
const char kExampleRecord[] =
    "02 30 30 30 31 30 30 32 35 50 31 20 20 20 20 20 41 20 20 20 20 20 20 30 30 30 30 30 31 32 "
    "33 34 2E 35 36 37 30 30 30 30 30 30 2D 34 35 2E 35 30 30 30 30 30 30 30 30 30 31 32 2E "
    "33 30 30 0D 00";
} // namespace

class Rqx2CoordinateSend : public Rqx2Fixture {
protected:
    // The example row, then 24 more.
    void addExampleTable()
    {
        if (selection.nez)
            addRow("P1", "A", "1234.567", "-45.5", "12.3");
        else
            addRow("P1", "A", "-45.5", "1234.567", "12.3");
        for (int i = 2; i <= 25; ++i)
            addRow(QString::number(i), "B", "1", "2", "3");
    }

    // SendZB, then the instrument's opening request; the log then starts with what the next request does.
    void startSend()
    {
        protocol.commandSendCoordinates();
        deliver(request());
    }
};

TEST_F(Rqx2CoordinateSend, CommandSetsTheFlagsAndPreparesThePort)
{
    addExampleTable();
    state.RecordCount = 7;
    state.Rqx5MeasureReceiveStarted = true;
    protocol.commandSendCoordinates();
    EXPECT_EQ(log.events, (QStringList{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 3", "open"}));
    EXPECT_EQ(state.SendCoordinatesMode, 1);
    EXPECT_EQ(state.ReceiveCoordinatesMode, 0);
    EXPECT_EQ(state.ReceiveMeasurementsMode, 0);
    EXPECT_EQ(state.HandshakeAnswered, 0);
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_FALSE(state.Rqx5MeasureReceiveStarted);
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(Rqx2CoordinateSend, FirstRequestIsAnsweredThenThePointFollowsAfterThePause)
{
    addExampleTable();
    protocol.commandSendCoordinates();
    log.clear();
    deliver(request());
    EXPECT_EQ(log.events, (QStringList{"clearOutput", "clearInput", "sthreshold 3", "rthreshold 3",
                                       "write 01 4A 0D", "pause 100", "status 等待发送坐标数据...",
                                       "clearInput", "sthreshold 63", "rthreshold 3", "progress 1/25",
                                       "status 发送中...", QStringLiteral("write ") + kExampleRecord}));
    EXPECT_EQ(state.HandshakeAnswered, 1);

    // Every later request asks for the next point, without a second answer.
    log.clear();
    deliver(request());
    EXPECT_EQ(log.events.first(), "pause 100");
    EXPECT_EQ(log.matching("write").size(), 1);
    EXPECT_EQ(link.lastWrite(), "02 30 30 30 32 30 30 32 35 "
                                "32 20 20 20 20 20 20 "
                                "42 20 20 20 20 20 20 "
                                "30 30 30 30 30 30 30 30 31 2E 30 30 30 "
                                "30 30 30 30 30 30 30 30 32 2E 30 30 30 "
                                "30 30 30 30 30 30 30 30 33 2E 30 30 30 "
                                "0D 00");
}

TEST_F(Rqx2CoordinateSend, EnzTableSendsTheSameBytes)
{
    useEnz();
    addExampleTable();
    startSend();
    EXPECT_EQ(link.lastWrite(), kExampleRecord);
}

TEST_F(Rqx2CoordinateSend, RequestsArriveBytewise)
{
    addExampleTable();
    protocol.commandSendCoordinates();
    deliverBytewise(request());
    deliverBytewise(request());
    EXPECT_EQ(view.progress, "2/25");
    EXPECT_EQ(countOf("write 01 4A 0D"), 1);
}

TEST_F(Rqx2CoordinateSend, LastRecordLeavesBeforeThePortClosesAndTheMessageComesLast)
{
    addExampleTable();
    startSend();
    for (int i = 2; i <= 25; ++i)
        deliver(request());
    EXPECT_EQ(view.progress, "25/25");
    EXPECT_EQ(log.events.mid(log.events.size() - 4),
              (QStringList{"write 02 30 30 32 35 30 30 32 35 "
                           "32 35 20 20 20 20 20 "
                           "42 20 20 20 20 20 20 "
                           "30 30 30 30 30 30 30 30 31 2E 30 30 30 "
                           "30 30 30 30 30 30 30 30 32 2E 30 30 30 "
                           "30 30 30 30 30 30 30 30 33 2E 30 30 30 "
                           "0D 00",
                           "status ", "close", "message 成功|坐标数据发送完毕！"}));
    EXPECT_FALSE(link.isOpen());

    // A late request on a port held open sends nothing.
    link.portOpen = true;
    log.clear();
    deliver(request());
    EXPECT_TRUE(log.matching("write").isEmpty());
    EXPECT_TRUE(view.messages.size() == 1);
}

TEST_F(Rqx2CoordinateSend, TextFieldsAreCutOrPadded)
{
    addRow("ABCDEFGHI", "", "0.25", "5", "1234.5678");
    startSend();
    EXPECT_EQ(link.lastWrite(),
              "02 30 30 30 31 30 30 30 31 41 42 43 44 45 46 47 20 20 20 20 20 20 20 30 30 30 30 30 "
              "30 30 30 30 2E 32 35 30 30 30 30 30 30 30 30 30 35 2E 30 30 30 30 30 30 30 30 31 32 "
              "33 34 2E 35 36 37 0D 00");
}

TEST_F(Rqx2CoordinateSend, CoordinateTextTable)
{
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("1234.567"), "000001234.567");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("1234.5678"), "000001234.567");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("12.3"), "000000012.300");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("-45.5"), "000000-45.500");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("5"), "000000005.000");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("0.25"), "000000000.250");
    // Beyond the table: more decimals are cut, a point in the last place means no decimals.
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("1.23456789"), "000000001.234");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("5."), "000000005.000");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("-.5"), "00000000-.500");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText(""), "000000000.000");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText(" 12.5 "), "000000012.500");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("123456789.1"), "123456789.100");
    EXPECT_EQ(Rqx2CoordinateRecord::coordinateText("-12345678"), "-12345678.000");
    // What the 13 characters cannot carry.
    EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText("1234567890"));
    EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText("-123456789.5"));
    EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText("1.2.3"));
    EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText("12A"));
    EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText("12-"));
    EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText("+12"));
}

TEST_F(Rqx2CoordinateSend, CoordinateTextsOnTheWire)
{
    addRow("1", "A", "1234.5678", "12.3", "-45.5");
    startSend();
    // N '000001234.567' (cut, not rounded), E '000000012.300', Z '000000-45.500'.
    EXPECT_EQ(link.lastWrite().mid(3 * 23, 3 * 39 - 1),
              "30 30 30 30 30 31 32 33 34 2E 35 36 37 30 30 30 30 30 30 30 "
              "31 32 2E 33 30 30 30 30 30 30 30 30 2D 34 35 2E 35 30 30");
}

TEST_F(Rqx2CoordinateSend, RowsAreNumberedUpToNineThousandNineHundredNinetyNine)
{
    addRows(9999);
    protocol.setSendPause(std::chrono::milliseconds(0));
    startSend();
    EXPECT_EQ(link.lastWrite().left(3 * 9 - 1), "02 30 30 30 31 39 39 39 39");
    EXPECT_EQ(log.matching("pause").first(), "pause 0");
    for (int i = 2; i <= 9999; ++i)
        deliver(request());
    EXPECT_EQ(view.progress, "9999/9999");
    EXPECT_EQ(link.lastWrite().left(3 * 16 - 1), "02 39 39 39 39 39 39 39 39 39 39 39 39 20 20 20");
    EXPECT_EQ(view.messages, QStringList{"成功|坐标数据发送完毕！"});
}

TEST_F(Rqx2CoordinateSend, EmptyTableEndsTheProgramAtTheFirstRequest)
{
    protocol.commandSendCoordinates();
    deliver(request());
    EXPECT_EQ(log.events.mid(log.events.size() - 4),
              (QStringList{"pause 100", "status 等待发送坐标数据...",
                           "message 提示|请首先打开一个坐标数据文件", "end"}));
    EXPECT_EQ(log.matching("write"), QStringList{"write 01 4A 0D"});
    EXPECT_TRUE(view.ended);
}

TEST_F(Rqx2CoordinateSend, RowTheInstrumentCannotTakeRefusesTheWholeSend)
{
    addExampleTable();
    table.setCell(3, 2, QStringLiteral("桩A"));
    protocol.commandSendCoordinates();
    EXPECT_EQ(log.events,
              QStringList{"message 错误提示|第3行的点名“桩A”含有仪器不能接收的字符“桩”，请修改后再发送！"});
    EXPECT_EQ(state.SendCoordinatesMode, 0);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(Rqx2CoordinateSend, RowChangedDuringTheSendIsNotSent)
{
    addExampleTable();
    startSend();
    table.setCell(2, 4, QStringLiteral("1234567890"));
    log.clear();
    deliver(request());
    EXPECT_TRUE(log.matching("write").isEmpty());
    EXPECT_EQ(view.messages.last(),
              "错误提示|第2行的坐标--E“1234567890”不是仪器能接收的坐标（只能由数字、小数点和负号组成，"
              "小数点前最多9位），请修改后再发送！");
    // The next request goes on with the row after it.
    deliver(request());
    EXPECT_EQ(view.progress, "3/25");
    EXPECT_EQ(link.lastWrite().left(3 * 9 - 1), "02 30 30 30 33 30 30 32 35");
}

TEST_F(Rqx2CoordinateSend, FailedWriteIsReportedAndTheNextRequestSendsTheNextPoint)
{
    addExampleTable();
    startSend();
    link.failWrite = true;
    deliver(request());
    EXPECT_EQ(log.events.mid(log.events.size() - 3),
              (QStringList{"write failed", "message 错误提示|请检查端口连接是否正确！", "forward"}));
    link.failWrite = false;
    deliver(request());
    EXPECT_EQ(link.lastWrite().left(3 * 9 - 1), "02 30 30 30 33 30 30 32 35");
}
