#include "Rqx5Fixture.h"

namespace {

// Point 12, name A1, N 3456.789, E 1234.5, Z 12.34 as the program sends it.
const char kWorkedRecord[] =
    "90 20 20 30 30 30 30 31 32 20 41 31 20 20 20 20 20 33 34 35 36 2E 37 38 39 20 20 20 20 20 20"
    " 31 32 33 34 2E 35 20 20 20 20 20 20 20 20 31 32 2E 33 34 20 20 20 20 20 20 20 20 20 B0";

const QStringList kPortReset = {"clearOutput", "clearInput", "sthreshold 1", "rthreshold 2"};

QStringList concat(QStringList a, const QStringList &b)
{
    a += b;
    return a;
}

} // namespace

using Rqx5Send = Rqx5Fixture;

TEST_F(Rqx5Send, StartSendsTheHeaderAndResetsTheCount)
{
    addRow("12", "A1", "3456.789", "1234.5", "12.34");
    addRow("13", "A2", "1", "2", "3");
    state.RecordCount = 7;
    state.HandshakeAnswered = 1;
    state.Rqx5MeasureReceiveStarted = true;
    protocol.commandSendCoordinates();
    EXPECT_EQ(log.events, concat(kPortReset, {"open", "write AA 80 00 02 AA 82"}));
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_EQ(state.HandshakeAnswered, 0);
    EXPECT_FALSE(state.Rqx5MeasureReceiveStarted);
}

TEST_F(Rqx5Send, HeaderCounts)
{
    const std::pair<int, const char *> cases[] = {
        {1, "AA 80 00 01 AA 82"},     {120, "AA 80 00 78 AA 82"}, {200, "AA 80 00 C8 AA 82"},
        {255, "AA 80 00 FF AA 82"},   {256, "AA 80 01 00 AA 82"}, {300, "AA 80 01 2C AA 82"},
        {40000, "AA 80 9C 40 AA 82"},
    };
    for (const auto &[count, expected] : cases) {
        table.clear();
        addRows(count);
        link.written.clear();
        protocol.commandSendCoordinates();
        EXPECT_EQ(hex(link.written), expected) << count << " points";
    }
}

TEST_F(Rqx5Send, EmptyTableIsRefusedWithNothingSent)
{
    protocol.commandSendCoordinates();
    EXPECT_EQ(view.messages, QStringList({"提示|请首先打开一个坐标数据文件"}));
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(Rqx5Send, RowTheInstrumentCannotTakeRefusesTheWholeSendBeforeTheHeader)
{
    addRow("1", "A1", "1", "2", "3");
    addRow("2", QStringLiteral("桥墩"), "1", "2", "3");
    protocol.commandSendCoordinates();
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].startsWith("错误提示|"));
    EXPECT_TRUE(view.messages[0].contains(QStringLiteral("桥墩")));
    EXPECT_TRUE(link.written.isEmpty());
    EXPECT_TRUE(log.matching("open").isEmpty());
}

TEST_F(Rqx5Send, MoreRowsThanTheHeaderCanCountAreRefused)
{
    addRows(65536);
    protocol.commandSendCoordinates();
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].startsWith("错误提示|"));
    EXPECT_TRUE(link.written.isEmpty());

    table.remove(65536);
    view.messages.clear();
    protocol.commandSendCoordinates();
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(hex(link.written), "AA 80 FF FF AA 82");
}

TEST_F(Rqx5Send, RowChangedDuringTheSendIsRefusedAsTheRqx2SendRefusesIt)
{
    addRow("12", "A1", "3456.789", "1234.5", "12.34");
    addRow("13", "A2", "1", "2", "3");
    addRow("14", "A3", "1", "2", "3");
    protocol.commandSendCoordinates();
    table.setCell(2, 2, QStringLiteral("桥A"));
    deliver(fromHex("AA 81"));
    log.clear();
    deliver(fromHex("AA 81"));
    EXPECT_TRUE(log.matching("write").isEmpty());
    EXPECT_EQ(view.messages,
              QStringList{"错误提示|第2行的点名“桥A”含有仪器不能接收的字符“桥”，请修改后再发送！"});
    // The next request goes on with the row after it.
    deliver(fromHex("AA 81"));
    EXPECT_EQ(view.progress, "3/3");
    EXPECT_EQ(link.lastWrite().left(26), "90 20 20 30 30 30 30 31 34");
}

TEST_F(Rqx5Send, PortThatCannotBeOpenedIsReportedAndNothingIsSent)
{
    addRows(2);
    link.failOpen = true;
    protocol.commandSendCoordinates();
    EXPECT_EQ(log.events,
              concat(kPortReset, {"open failed", "message 错误提示|请检查端口连接是否正确！", "forward"}));
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(Rqx5Send, WorkedRecord)
{
    addRow("12", "A1", "3456.789", "1234.5", "12.34");
    protocol.commandSendCoordinates();
    log.clear();
    deliver(fromHex("AA 81"));
    EXPECT_EQ(log.events, concat(kPortReset, {"progress 1/1", "status 发送中：",
                                              QStringLiteral("write ") + kWorkedRecord}));
}

TEST_F(Rqx5Send, UnderEnzTheNValueStillGoesFirst)
{
    useEnz();
    // Under ENZ the table shows E first: E 1234.5, N 3456.789.
    addRow("12", "A1", "1234.5", "3456.789", "12.34");
    protocol.commandSendCoordinates();
    deliver(fromHex("AA 81"));
    EXPECT_EQ(link.lastWrite(), kWorkedRecord);
}

TEST_F(Rqx5Send, FieldsArePaddedAndCutToTheirWidth)
{
    addRow("7", "ABCDEFGH", "12345678.12345", "123456789.123456", "0");
    addRow("1234567", "", "-1.5", "+2", "");
    addRow("A1", "X", "1", "2", "3");
    protocol.commandSendCoordinates();
    deliver(fromHex("AA 81"));
    EXPECT_EQ(link.lastWrite(), "90"
                                " 20 20 30 30 30 30 30 37"                   // two spaces, 000007
                                " 20 41 42 43 44 45 46 47"                   // one space, ABCDEFG
                                " 31 32 33 34 35 36 37 38 2E 31 32 33 34 35" // 12345678.12345
                                " 31 32 33 34 35 36 37 38 39 2E 31 32 33 34" // cut to 14
                                " 30 20 20 20 20 20 20 20 20 20 20 20 20 20 B0");
    deliver(fromHex("AA 81"));
    EXPECT_EQ(link.lastWrite(), "90"
                                " 20 20 31 32 33 34 35 36" // two spaces, 123456
                                " 20 20 20 20 20 20 20 20" // empty name
                                " 2D 31 2E 35 20 20 20 20 20 20 20 20 20 20"
                                " 2B 32 20 20 20 20 20 20 20 20 20 20 20 20"
                                " 20 20 20 20 20 20 20 20 20 20 20 20 20 20 B0");
    deliver(fromHex("AA 81"));
    EXPECT_EQ(link.lastWrite().left(26), "90 20 20 30 30 30 30 41 31"); // padded with zeros like a number
}

TEST_F(Rqx5Send, TwoPointSendInOrderAndRequestsAfterTheLastRowGetTheEndFrameEachTime)
{
    addRow("12", "A1", "3456.789", "1234.5", "12.34");
    addRow("13", "A2", "1", "2", "3");
    protocol.commandSendCoordinates();
    log.clear();
    deliver(fromHex("AA 81"));
    deliver(fromHex("AA 81"));
    EXPECT_EQ(log.matching("progress "), QStringList({"progress 1/2", "progress 2/2"}));
    EXPECT_EQ(link.lastWrite(), "90"
                                " 20 20 30 30 30 30 31 33"
                                " 20 41 32 20 20 20 20 20"
                                " 31 20 20 20 20 20 20 20 20 20 20 20 20 20"
                                " 32 20 20 20 20 20 20 20 20 20 20 20 20 20"
                                " 33 20 20 20 20 20 20 20 20 20 20 20 20 20 B0");

    for (int extra = 0; extra < 2; ++extra) {
        log.clear();
        deliver(fromHex("AA 81"));
        EXPECT_EQ(log.events,
                  concat(concat(kPortReset, {"label2 完毕！"}), concat(kPortReset, {"write AA 82"})));
    }
    EXPECT_EQ(view.countLabel, "完毕！");

    // The instrument's own end frame afterwards: the message, then the echo.
    log.clear();
    deliver(fromHex("AA 82"));
    EXPECT_EQ(log.events, QStringList({"message 成功|数据传输完毕！", "clearOutput", "clearInput",
                                       "sthreshold 1", "write AA 82"}));
}

TEST_F(Rqx5Send, RequestWithNoSendStartedIsAnsweredAllTheSame)
{
    addRow("12", "A1", "3456.789", "1234.5", "12.34");
    link.portOpen = true;
    link.rThreshold = 2;
    state.ReceiveBuffer.reallocate(5000);
    deliver(fromHex("AA 81")); // RecordCount was 0: row 1 goes out
    EXPECT_EQ(link.lastWrite(), kWorkedRecord);
    deliver(fromHex("AA 81")); // no row 2
    EXPECT_EQ(link.lastWrite(), "AA 82");
}

TEST_F(Rqx5Send, CountsBeyondSixteenBitsAddressTheRightRow)
{
    addRows(40000);
    protocol.commandSendCoordinates();
    state.RecordCount = 39999;
    deliver(fromHex("AA 81"));
    EXPECT_EQ(view.progress, "40000/40000");
    EXPECT_EQ(link.lastWrite().left(26), "90 20 20 30 34 30 30 30 30"); // two spaces, 40000 zero-padded
}

// The same requests delivered one byte at a time, or followed by bytes that are not part of them.
TEST_F(Rqx5Send, RequestsDeliveredBytewiseOrWithTrailingBytes)
{
    addRow("12", "A1", "3456.789", "1234.5", "12.34");
    addRow("13", "A2", "1", "2", "3");
    protocol.commandSendCoordinates();
    deliverBytewise(fromHex("AA 81"));
    EXPECT_EQ(link.lastWrite(), kWorkedRecord);
    deliver(fromHex("AA 81 AA 81 00"));
    EXPECT_EQ(view.progress, "2/2");
    deliverBytewise(fromHex("AA 81"));
    EXPECT_EQ(link.lastWrite(), "AA 82");
    EXPECT_EQ(state.RecordCount, 3);
}
