#include "Rqx5Fixture.h"

#include <random>

namespace {

// Point 12, name A1, N 3456.789, E 1234.5, Z 12.34, laid out as the program itself sends it.
const char kWorkedRecord[] =
    "90 20 20 30 30 30 30 31 32 20 41 31 20 20 20 20 20 33 34 35 36 2E 37 38 39 20 20 20 20 20 20"
    " 31 32 33 34 2E 35 20 20 20 20 20 20 20 20 31 32 2E 33 34 20 20 20 20 20 20 20 20 20 B0";

// A coordinate header for file "ROAD1" announcing 120 points (0x01 * 100 + 0x14).
const char kHeader120[] = "00 00 52 4F 41 44 31 20 20 20 20 20 20 20 01 14 AA 82";

// A coordinate header for file "ROAD1" with the given count bytes.
QByteArray header(unsigned char high, unsigned char low)
{
    return fromHex("00 00 52 4F 41 44 31 20 20 20 20 20 20 20") + QByteArray(1, char(high)) +
           QByteArray(1, char(low)) + fromHex("AA 82");
}

// A 60-byte coordinate record whose fields are the given texts, each already of its wire width.
QByteArray record(const char *number, const char *name, const char *north, const char *east,
                  const char *height)
{
    auto field = [](const char *text, int width) {
        const QByteArray bytes(text);
        EXPECT_EQ(bytes.size(), width) << text;
        return bytes;
    };
    return QByteArray("\x90") + field(number, 8) + field(name, 8) + field(north, 14) + field(east, 14) +
           field(height, 14) + QByteArray("\xB0");
}

QByteArray pointRecord(const char *number)
{
    return record(number, " B2     ", "100.5         ", "200.25        ", "3.125         ");
}

const QStringList kAckAndNextRecord = {"clearOutput", "clearInput", "sthreshold 1"};

} // namespace

using Rqx5Receive = Rqx5Fixture;

TEST_F(Rqx5Receive, PreparationArmsThePortForTheHeaderAndSendsNothing)
{
    state.Rqx5MeasureWindowOpen = true;
    state.Rqx5MeasureReceiveStarted = true;
    protocol.commandReceiveCoordinates();
    EXPECT_EQ(log.events, QStringList({"status 等待接收坐标数据...", "clearOutput", "clearInput",
                                       "sthreshold 1", "rthreshold 18", "open"}));
    EXPECT_TRUE(link.written.isEmpty());
    EXPECT_FALSE(state.Rqx5MeasureWindowOpen);
    EXPECT_FALSE(state.Rqx5MeasureReceiveStarted);

    // Command12 runs the same preparation without the status line; an open port is left open.
    log.clear();
    EXPECT_TRUE(protocol.StartRqx5CoordinateReceive());
    EXPECT_EQ(log.events, QStringList({"clearOutput", "clearInput", "sthreshold 1", "rthreshold 18"}));
}

TEST_F(Rqx5Receive, PortThatCannotBeOpenedIsReportedAndTheStepsDoneStay)
{
    link.failOpen = true;
    EXPECT_FALSE(protocol.StartRqx5CoordinateReceive());
    EXPECT_EQ(log.events,
              QStringList({"clearOutput", "clearInput", "sthreshold 1", "rthreshold 18", "open failed",
                           "message 错误提示|请检查端口连接是否正确！", "forward"}));
    EXPECT_EQ(link.rThreshold, 18);
}

TEST_F(Rqx5Receive, HeaderShowsFileNameAndCountAndAsksForTheFirstRecord)
{
    protocol.StartRqx5CoordinateReceive();
    log.clear();
    deliver(fromHex(kHeader120));
    EXPECT_EQ(log.events,
              QStringList({"option1", "file ROAD1       ", "progress 120", "clearOutput", "clearInput",
                           "sthreshold 1", "progress 0/120", "rthreshold 60", "write AA 81"}));
    EXPECT_EQ(state.Rqx5Count, 120); // counted in hundreds, not 0x0114 = 276
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(table.count(), 0);
}

TEST_F(Rqx5Receive, LargestHeaderCountIsNotCutShort)
{
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0xFF, 0xFF));
    EXPECT_EQ(state.Rqx5Count, 25755);
    EXPECT_EQ(view.progress, "0/25755");
}

TEST_F(Rqx5Receive, WorkedRecordUnderNez)
{
    protocol.StartRqx5CoordinateReceive();
    deliver(fromHex(kHeader120));
    log.clear();
    deliver(fromHex(kWorkedRecord));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(row(1), "1|12|A1|3456.7890|1234.50|12.340");
    EXPECT_EQ(table.headers().mid(3), QStringList({"坐标--N", "坐标--E", "坐标--Z"}));
    EXPECT_EQ(log.events, QStringList({"status 坐标数据传送中。。。", "clearOutput", "clearInput",
                                       "sthreshold 1", "progress 1/120", "rthreshold 60", "write AA 81"}));
    EXPECT_EQ(state.RecordCount, 1);
    EXPECT_EQ(state.PointText[3].at(1), "000012");
}

TEST_F(Rqx5Receive, WorkedRecordUnderEnzPutsNInTheColumnHeadedN)
{
    useEnz();
    protocol.StartRqx5CoordinateReceive();
    deliver(fromHex(kHeader120));
    deliver(fromHex(kWorkedRecord));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.headers().mid(3), QStringList({"坐标--E", "坐标--N", "坐标--Z"}));
    EXPECT_EQ(row(1), "1|12|A1|1234.50|3456.7890|12.340");
}

TEST_F(Rqx5Receive, LastRecordWaitsForTheEndFrameWhichShowsTheMessageBeforeTheEcho)
{
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, 2));
    deliver(fromHex(kWorkedRecord));
    log.clear();
    deliver(pointRecord("  000013"));
    EXPECT_EQ(log.events,
              QStringList({"status 坐标数据传送中。。。", "clearOutput", "clearInput", "sthreshold 1",
                           "rthreshold 2", "status 传送完毕！", "progress 2", "write AA 81"}));

    log.clear();
    deliver(fromHex("AA 82"));
    EXPECT_EQ(log.events, QStringList({"message 成功|数据传输完毕！", "clearOutput", "clearInput",
                                       "sthreshold 1", "write AA 82"}));
    EXPECT_EQ(link.rThreshold, 2);
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_EQ(table.count(), 2);
}

TEST_F(Rqx5Receive, HeaderAnnouncingNoPointsEndsAtOnce)
{
    addRows(5);
    protocol.StartRqx5CoordinateReceive();
    log.clear();
    deliver(header(0, 0));
    EXPECT_EQ(log.events, QStringList({"option1", "file ROAD1       ", "progress 0", "clearOutput",
                                       "clearInput", "sthreshold 1", "rthreshold 2", "status 传送完毕！",
                                       "progress 5", "write AA 81"}));
}

TEST_F(Rqx5Receive, RowsAreAppendedAfterThoseTheTableHolds)
{
    addRows(5);
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, 2));
    deliver(fromHex(kWorkedRecord));
    deliver(pointRecord("  000013"));
    ASSERT_EQ(table.count(), 7);
    EXPECT_EQ(row(5), "5|5|P5|100.5|200.25|3.125");
    EXPECT_EQ(row(6), "6|12|A1|3456.7890|1234.50|12.340");
    EXPECT_EQ(row(7), "7|13|B2|100.50|200.250|3.1250");
    EXPECT_EQ(view.progress, "7");
}

TEST_F(Rqx5Receive, PointsReceivedOverAListOfFileLinesGetTheirColumns)
{
    table.append(CoordinatePoint{"1,P1,10,20,30", {}, {}, {}, {}, {}});
    table.showAsPlainList();
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, 1));
    deliver(fromHex(kWorkedRecord));
    ASSERT_TRUE(table.hasColumns());
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(row(1), "1|12|A1|3456.7890|1234.50|12.340");
}

TEST_F(Rqx5Receive, PlainPointNumbersTakeTheirShortestFormOthersKeepTheirText)
{
    const std::pair<const char *, const char *> cases[] = {
        {"  000012", "12"},  {"        ", "0"},    {"00000000", "0"},   {"     A12", "A12"},
        {"  000A12", "A12"}, {"    K3-1", "K3-1"}, {"1 2 3   ", "123"}, {"   -0012", "-12"},
    };
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, std::size(cases)));
    for (const auto &[field, shown] : cases) {
        deliver(pointRecord(field));
        EXPECT_EQ(table.cell(table.count(), 1), shown) << "field '" << field << "'";
    }
    EXPECT_EQ(table.count(), int(std::size(cases)));
}

TEST_F(Rqx5Receive, CoordinateTextLosesItsFourteenthCharacterAndGainsAZero)
{
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, 1));
    deliver(record("      12", "ABCDEFGH", "12345678.12345", "              ", "-1.5          "));
    EXPECT_EQ(row(1), "1|12|ABCDEFGH|12345678.12340|0|-1.50");
}

TEST_F(Rqx5Receive, CodesOutsideTheTableEnterAsTheirNumbers)
{
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, 1));
    QByteArray bytes = pointRecord("       1");
    bytes[11] = 0x0D; // the name's third byte
    bytes[12] = 0x7D; // the degree mark
    deliver(bytes);
    EXPECT_EQ(table.cell(1, 2), QStringLiteral("B13°"));
}

TEST_F(Rqx5Receive, CoordinateHeaderReachesTheTableOnceAReceiveIsPreparedFromTheMainWindow)
{
    int dataFileHeaders = 0;
    protocol.setDataFileHeaderHandler([&] { ++dataFileHeaders; });
    state.Rqx5MeasureWindowOpen = true;
    protocol.StartRqx5CoordinateReceive();
    deliver(fromHex(kHeader120));
    EXPECT_EQ(dataFileHeaders, 0);
    EXPECT_TRUE(view.coordinateDataSelected);
    EXPECT_EQ(link.lastWrite(), "AA 81");
}

TEST_F(Rqx5Receive, HeaderWhileTheMeasurementWindowOwnsTheReceiveGoesToIt)
{
    int dataFileHeaders = 0;
    protocol.setDataFileHeaderHandler([&] {
        ++dataFileHeaders;
        // The header is in the RecordBuffer already, byte k + 1 at position k.
        EXPECT_EQ(state.RecordBuffer.at(1), 0x52);
        EXPECT_EQ(state.RecordBuffer.at(13), 0x01);
        EXPECT_EQ(state.RecordBuffer.at(14), 0x14);
    });
    state.ReceiveBuffer.reallocate(50000);
    state.Rqx5MeasureWindowOpen = true;
    link.portOpen = true;
    link.rThreshold = 18;
    deliver(fromHex(kHeader120));
    EXPECT_EQ(dataFileHeaders, 1);
    EXPECT_FALSE(view.coordinateDataSelected);
    EXPECT_TRUE(link.written.isEmpty());
    EXPECT_EQ(table.count(), 0);
}

// A whole receive of two points, with each frame delivered whole, one byte at a time, or followed by
// bytes that are not part of it.
class Rqx5ReceiveDelivery : public Rqx5Fixture, public ::testing::WithParamInterface<int> {
protected:
    void send(const QByteArray &frame)
    {
        switch (GetParam()) {
        case 0:
            deliver(frame);
            break;
        case 1:
            deliverBytewise(frame);
            break;
        default:
            deliver(frame + fromHex("AA 81 B0"));
            break;
        }
    }
};

TEST_P(Rqx5ReceiveDelivery, SameRowsAndAnswers)
{
    protocol.StartRqx5CoordinateReceive();
    send(header(0, 2));
    send(fromHex(kWorkedRecord));
    send(pointRecord("  000A12"));
    send(fromHex("AA 82"));
    EXPECT_EQ(hex(link.written), "AA 81 AA 81 AA 81 AA 82");
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(row(1), "1|12|A1|3456.7890|1234.50|12.340");
    EXPECT_EQ(row(2), "2|A12|B2|100.50|200.250|3.1250");
    EXPECT_EQ(view.messages, QStringList({"成功|数据传输完毕！"}));
    EXPECT_EQ(view.status, "传送完毕！");
}

std::string deliveryName(const ::testing::TestParamInfo<int> &info)
{
    static const char *const names[] = {"Whole", "Bytewise", "TrailingBytes"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Delivery, Rqx5ReceiveDelivery, ::testing::Values(0, 1, 2), deliveryName);

TEST_F(Rqx5Receive, AnAcknowledgementThatCannotBeSentIsReported)
{
    protocol.StartRqx5CoordinateReceive();
    deliver(header(0, 2));
    link.failWrite = true;
    log.clear();
    deliver(fromHex(kWorkedRecord));
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(log.events.mid(log.events.size() - 3),
              QStringList({"write failed", "message 错误提示|请检查端口连接是否正确！", "forward"}));
}

TEST_F(Rqx5Receive, ArbitraryBytesFromTheLineNeverReachPastABuffer)
{
    std::mt19937 random(5);
    const unsigned char interesting[] = {0xAA, 0x81, 0x82, 0x90, 0xB0, 0xB1,
                                         0xBB, 0x20, 0x30, 0x41, 0x00, 0xFF};
    protocol.StartRqx5CoordinateReceive();
    addRows(3);
    for (int round = 0; round < 3000; ++round) {
        QByteArray chunk;
        const int length = std::uniform_int_distribution<int>(1, 300)(random);
        for (int i = 0; i < length; ++i)
            chunk.append(char(interesting[random() % std::size(interesting)]));
        link.waiting = chunk;
        dispatcher.OnReceiveEvent();
    }
    for (int row = 1; row <= table.count(); ++row)
        EXPECT_EQ(table.cell(row, 0), QString::number(row));
}

TEST_F(Rqx5Receive, HeaderWithNoDataFileReceiveToTakeItIsNotDropped)
{
    state.ReceiveBuffer.reallocate(50000);
    state.Rqx5MeasureWindowOpen = true;
    link.portOpen = true;
    link.rThreshold = 18;
    deliver(fromHex(kHeader120));
    EXPECT_TRUE(view.coordinateDataSelected);
    EXPECT_EQ(view.progress, "0/120");
    EXPECT_EQ(link.lastWrite(), "AA 81");
}
