// The RQX5 coordinate send: the header, one record per request of the instrument, the end answers.
#include "rqx5/Rqx5CoordinateSend.h"
#include "Rqx5Fixture.h"
#include "support/TestPoint.h"

using namespace Rqx5Test;

namespace {

const QString kWorked = QStringLiteral("write ") + kWorkedRecord;
// Point 13, name A2, N 1, E 2, Z 3.
const QString kSecond = "write 90"
                        " 20 20 30 30 30 30 31 33"
                        " 20 41 32 20 20 20 20 20"
                        " 31 20 20 20 20 20 20 20 20 20 20 20 20 20"
                        " 32 20 20 20 20 20 20 20 20 20 20 20 20 20"
                        " 33 20 20 20 20 20 20 20 20 20 20 20 20 20 B0";
const QStringList kReset = {"clearOutput", "clearInput", "open"};
const QStringList kAfterLastRow = QStringList{"clearOutput", "clearInput", "open", "status rqx5 sent"} +
                                  kReset + QStringList{"write AA 82"};

QStringList sent(const QString &progress, const QString &write)
{
    return kReset + QStringList{"progress " + progress, "status rqx5 sending", write};
}

void addWorkedPoints(CoordinateTableModel &table, bool nez)
{
    appendPoint(table, nez, {"12", "A1", "3456.789", "1234.5", "12.34"});
    appendPoint(table, nez, {"13", "A2", "1", "2", "3"});
}

// n rows, numbered 1..n.
void fill(CoordinateTableModel &table, int n)
{
    table.buildColumns(true);
    std::vector<CoordinatePoint> points;
    points.reserve(n);
    for (int k = 1; k <= n; ++k)
        points.push_back({QString::number(k), QString::number(k), "P", "1", "2", "3"});
    table.append(points);
}

class Rqx5CoordinateSendExchange : public ::testing::TestWithParam<Delivery> {};

} // namespace

TEST_P(Rqx5CoordinateSendExchange, TwoPointsInOrderThenTheEndAnswerEachTime)
{
    for (bool nez : {true, false}) {
        SCOPED_TRACE(nez ? "NEZ" : "ENZ: N still goes first");
        TransferDriver driver;
        addWorkedPoints(driver.table, nez);
        Rqx5CoordinateSend send(driver.table, nez);
        EXPECT_EQ(driver.start(send), kReset + QStringList{"write AA 80 00 02 AA 82"});
        const std::pair<const char *, QStringList> exchange[] = {
            {"AA 81", sent("1/2", kWorked)},
            {"AA 81", sent("2/2", kSecond)},
            {"AA 81", kAfterLastRow},
            {"AA 81", kAfterLastRow},
            // The instrument's own end frame: the completion is read before the echo.
            {"AA 82", QStringList{"message 成功|数据传输完毕！"} + kReset + QStringList{"write AA 82"}},
        };
        for (const auto &[bytes, lines] : exchange)
            EXPECT_EQ(deliver(driver, send, fromHex(bytes), GetParam()), lines);
        EXPECT_FALSE(send.underway());
    }
}

INSTANTIATE_TEST_SUITE_P(Delivery, Rqx5CoordinateSendExchange,
                         ::testing::Values(Delivery::Whole, Delivery::Bytewise, Delivery::Pieces),
                         deliveryName);

TEST(Rqx5CoordinateSend, HeaderCounts)
{
    const std::pair<int, const char *> cases[] = {
        {1, "AA 80 00 01 AA 82"},     {120, "AA 80 00 78 AA 82"},   {200, "AA 80 00 C8 AA 82"},
        {255, "AA 80 00 FF AA 82"},   {256, "AA 80 01 00 AA 82"},   {300, "AA 80 01 2C AA 82"},
        {40000, "AA 80 9C 40 AA 82"}, {65535, "AA 80 FF FF AA 82"},
    };
    for (const auto &[count, header] : cases) {
        TransferDriver driver;
        fill(driver.table, count);
        Rqx5CoordinateSend send(driver.table, true);
        EXPECT_EQ(driver.start(send), kReset + QStringList{QStringLiteral("write ") + header}) << count;
    }
}

TEST(Rqx5CoordinateSend, TablesThatCannotBeSentAreRefusedBeforeTheHeader)
{
    struct Case {
        const char *what;
        int rows;
        QString badName; // the name of row 2, when set
        QStringList lines;
    };
    const Case cases[] = {
        {"empty table", 0, {}, kReset + QStringList{"message 提示|请首先打开一个坐标数据文件"}},
        {"a name without instrument code",
         2,
         QStringLiteral("桥墩"),
         {"message 错误提示|第2行的点名“桥墩”含有仪器不能接收的字符“桥”，请修改后再发送！"}},
        {"more rows than the header counts",
         65536,
         {},
         {"message 错误提示|坐标数据共65536点，超过仪器一次所能接收的65535点，请分批发送！"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TransferDriver driver;
        fill(driver.table, c.rows);
        if (!c.badName.isEmpty())
            driver.table.setCell(2, 2, c.badName);
        Rqx5CoordinateSend send(driver.table, true);
        EXPECT_EQ(driver.start(send), c.lines);
        EXPECT_FALSE(send.underway());
    }
}

TEST(Rqx5CoordinateSend, FieldsArePaddedAndCutToTheirWidth)
{
    TransferDriver driver;
    appendPoint(driver.table, true, {"7", "ABCDEFGH", "12345678.12345", "123456789.123456", "0"});
    appendPoint(driver.table, true, {"1234567", "", "-1.5", "+2", ""});
    appendPoint(driver.table, true, {"A1", "X", "1", "2", "3"});
    Rqx5CoordinateSend send(driver.table, true);
    driver.start(send);
    const char *const records[] = {
        "90"
        " 20 20 30 30 30 30 30 37"                   // two spaces, 000007
        " 20 41 42 43 44 45 46 47"                   // one space, ABCDEFG
        " 31 32 33 34 35 36 37 38 2E 31 32 33 34 35" // 12345678.12345
        " 31 32 33 34 35 36 37 38 39 2E 31 32 33 34" // cut to 14
        " 30 20 20 20 20 20 20 20 20 20 20 20 20 20 B0",
        "90"
        " 20 20 31 32 33 34 35 36" // two spaces, 123456
        " 20 20 20 20 20 20 20 20" // empty name
        " 2D 31 2E 35 20 20 20 20 20 20 20 20 20 20"
        " 2B 32 20 20 20 20 20 20 20 20 20 20 20 20"
        " 20 20 20 20 20 20 20 20 20 20 20 20 20 20 B0",
        "90"
        " 20 20 30 30 30 30 41 31" // padded with zeros like a number
        " 20 58 20 20 20 20 20 20"
        " 31 20 20 20 20 20 20 20 20 20 20 20 20 20"
        " 32 20 20 20 20 20 20 20 20 20 20 20 20 20"
        " 33 20 20 20 20 20 20 20 20 20 20 20 20 20 B0",
    };
    for (const char *record : records)
        EXPECT_EQ(driver.feed(send, fromHex("AA 81")).constLast(), QStringLiteral("write ") + record);
}

TEST(Rqx5CoordinateSend, RowChangedDuringTheSendIsRefusedAndTheNextRequestGoesOn)
{
    TransferDriver driver;
    addWorkedPoints(driver.table, true);
    appendPoint(driver.table, true, {"14", "A3", "1", "2", "3"});
    Rqx5CoordinateSend send(driver.table, true);
    driver.start(send);
    driver.feed(send, fromHex("AA 81"));
    driver.table.setCell(2, 2, QStringLiteral("桥A"));
    const QStringList refused =
        kReset + QStringList{"progress 2/3", "status rqx5 sending", "status rqx5 idle",
                             "message 错误提示|第2行的点名“桥A”含有仪器不能接收的字符“桥”，请修改后再发送！"};
    EXPECT_EQ(driver.feed(send, fromHex("AA 81")), refused);
    const QStringList third = driver.feed(send, fromHex("AA 81"));
    EXPECT_EQ(third.value(3), "progress 3/3");
    EXPECT_TRUE(third.constLast().startsWith("write 90 20 20 30 30 30 30 31 34"));
}

TEST(Rqx5CoordinateSend, RequestsAreAnsweredWithoutAStartAndBeyondSixteenBits)
{
    // A request with no send started: the row after the count, then the end answer.
    TransferDriver driver;
    appendPoint(driver.table, true, {"12", "A1", "3456.789", "1234.5", "12.34"});
    Rqx5CoordinateSend unstarted(driver.table, true);
    EXPECT_EQ(driver.feed(unstarted, fromHex("AA 81")), sent("1/1", kWorked));
    EXPECT_EQ(driver.feed(unstarted, fromHex("AA 81")), kAfterLastRow);

    TransferDriver large;
    fill(large.table, 40000);
    Rqx5CoordinateSend send(large.table, true);
    large.start(send);
    // Each request is read on its own: the answer to one drops whatever came after it.
    for (int request = 1; request < 40000; ++request)
        send.feed(fromHex("AA 81"));
    const QStringList lines = large.feed(send, fromHex("AA 81"));
    EXPECT_EQ(lines.value(3), "progress 40000/40000");
    EXPECT_TRUE(lines.constLast().startsWith("write 90 20 20 30 34 30 30 30 30")); // 40000 zero-padded
}

// A request is known by its pair wherever it lands; a bare end frame only at the start.
TEST(Rqx5CoordinateSend, FramesAreKnownByTerminatorAndPosition)
{
    const std::pair<QByteArray, QStringList> cases[] = {
        {fromHex("AA 81"), {kWorked}},          {block(40, {{30, 0xB0}, {38, 0xAA}, {39, 0x81}}), {kWorked}},
        {fromHex("AA 81 AA 81 00"), {kWorked}}, // the first request ends the read
        {fromHex("AA 82"), {"write AA 82"}},    {fromHex("00 AA 82"), {"write AA 82"}},
        {fromHex("00 00 AA 82"), {}},           {fromHex("AA BB"), {}},
        {fromHex(kWorkedRecord), {}},
    };
    for (const auto &[bytes, writes] : cases) {
        SCOPED_TRACE(hex(bytes).toStdString());
        TransferDriver driver;
        addWorkedPoints(driver.table, true);
        Rqx5CoordinateSend send(driver.table, true);
        driver.start(send);
        EXPECT_EQ(driver.feed(send, bytes).filter(QStringLiteral("write ")), writes);
    }
}
