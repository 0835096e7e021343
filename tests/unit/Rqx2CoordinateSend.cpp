#include "Rqx2Fixture.h"

#include "rqx2/Rqx2CoordinateRecord.h"
#include "rqx2/Rqx2CoordinateSend.h"
#include "support/TestPoint.h"

#include <QRegularExpression>

// Sending the table to an RQX2 instrument: one 64-byte record per request, each after a pause, the
// end of the send, and the rows the instrument cannot take.

namespace {
// Row 1 of 25: 'P1', 'A', N '1234.567', E '-45.5', Z '12.3'.
const QString kExampleRecord = QStringLiteral(
    "write 02 30 30 30 31 30 30 32 35 50 31 20 20 20 20 20 41 20 20 20 20 20 20 30 30 30 30 30 31 32 "
    "33 34 2E 35 36 37 30 30 30 30 30 30 2D 34 35 2E 35 30 30 30 30 30 30 30 30 30 31 32 2E "
    "33 30 30 0D 00");
// Row n of 25: 'n', 'B', 1, 2, 3.
QString filler(int n)
{
    return QStringLiteral("write 02 30 30 %1 30 30 32 35 %2 20 20 20 20 20 "
                          "42 20 20 20 20 20 20 "
                          "30 30 30 30 30 30 30 30 31 2E 30 30 30 "
                          "30 30 30 30 30 30 30 30 32 2E 30 30 30 "
                          "30 30 30 30 30 30 30 30 33 2E 30 30 30 0D 00")
        .arg(n < 10 ? QStringLiteral("30 3%1").arg(n) : QStringLiteral("3%1 3%2").arg(n / 10).arg(n % 10),
             n < 10 ? QStringLiteral("3%1 20").arg(n) : QStringLiteral("3%1 3%2").arg(n / 10).arg(n % 10));
}
const QString kWaiting = QStringLiteral("status rqx2 awaiting-request");
const QString kSending = QStringLiteral("status rqx2 sending");
const QStringList kPrepared{"clearOutput", "clearInput", "open"};
const QStringList kAnswered = kPrepared + QStringList{"write 01 4A 0D"};
} // namespace

class Rqx2CoordinateSendTest : public Rqx2Fixture {
protected:
    // The example row, then 24 more.
    void addExampleTable(bool nez = true)
    {
        appendPoint(driver.table, nez, {"P1", "A", "1234.567", "-45.5", "12.3"});
        for (int i = 2; i <= 25; ++i)
            appendPoint(driver.table, nez, {QString::number(i), "B", "1", "2", "3"});
    }
    // What a request does up to the record: the pause, then the record's progress.
    static QStringList beforeRecord(int n, int count)
    {
        return {
            "pause 100", kWaiting, "clearInput", "open", QStringLiteral("progress %1/%2").arg(n).arg(count),
            kSending};
    }
    static QStringList writes(const QStringList &actions)
    {
        return actions.filter(QRegularExpression("^write 02"));
    }
};

TEST_F(Rqx2CoordinateSendTest, EveryRequestIsAnsweredWithTheNextPointAfterThePause)
{
    // The table's order of N and E changes nothing on the wire.
    for (bool nez : {true, false}) {
        SCOPED_TRACE(nez ? "NEZ" : "ENZ");
        driver.table.clear();
        addExampleTable(nez);
        Rqx2CoordinateSend send(driver.table, nez);
        EXPECT_EQ(driver.start(send), kPrepared);
        EXPECT_EQ(driver.feed(send, request()),
                  kAnswered + beforeRecord(1, 25) + QStringList{kExampleRecord});
        // Every later request asks for the next point, without a second answer.
        EXPECT_EQ(driver.feed(send, request()), beforeRecord(2, 25) + QStringList{filler(2)});
    }
}

TEST_F(Rqx2CoordinateSendTest, RequestIsFoundHoweverItArrives)
{
    addExampleTable();
    Rqx2CoordinateSend send(driver.table, true);
    driver.start(send);
    EXPECT_EQ(driver.feedBytewise(send, request()),
              kAnswered + beforeRecord(1, 25) + QStringList{kExampleRecord});
    EXPECT_EQ(driver.feedInPieces(send, request(), {2}), beforeRecord(2, 25) + QStringList{filler(2)});
    // A block ending in CR that is no request asks for nothing; nor does a "J" CR that is not the
    // request's own, neither first nor after the start byte.
    EXPECT_TRUE(driver.feed(send, block(63, 62)).isEmpty());
    EXPECT_TRUE(driver.feed(send, block(5, 4)).isEmpty());
    EXPECT_TRUE(driver.feed(send, fromHex("02 41 4A 0D")).isEmpty());
    EXPECT_EQ(writes(driver.feed(send, fromHex("4A 0D"))), QStringList{filler(3)});
}

TEST_F(Rqx2CoordinateSendTest, LastRecordLeavesBeforeThePortClosesAndTheMessageComesLast)
{
    addExampleTable();
    Rqx2CoordinateSend send(driver.table, true);
    driver.start(send);
    for (int i = 1; i <= 24; ++i)
        driver.feed(send, request());
    EXPECT_EQ(driver.feed(send, request()),
              (beforeRecord(25, 25) +
               QStringList{filler(25), "status rqx2 idle", "close", "message 成功|坐标数据发送完毕！"}));
    EXPECT_FALSE(send.underway());
    // A late request gets nothing.
    EXPECT_EQ(driver.feed(send, request()), (QStringList{"pause 100", kWaiting}));
}

TEST_F(Rqx2CoordinateSendTest, RowsOnTheWire)
{
    struct Case {
        const char *what;
        TestPoint row;
        QString record;
    };
    const Case cases[] = {
        // The point number cut to seven characters, an empty name sent as spaces.
        {"text fields",
         {"ABCDEFGHI", "", "0.25", "5", "1234.5678"},
         "write 02 30 30 30 31 30 30 30 31 41 42 43 44 45 46 47 20 20 20 20 20 20 20 30 30 30 30 30 "
         "30 30 30 30 2E 32 35 30 30 30 30 30 30 30 30 30 35 2E 30 30 30 30 30 30 30 30 31 32 "
         "33 34 2E 35 36 37 0D 00"},
        // N '000001234.567' (cut, not rounded), E '000000012.300', Z '000000-45.500'.
        {"coordinates",
         {"1", "A", "1234.5678", "12.3", "-45.5"},
         "write 02 30 30 30 31 30 30 30 31 31 20 20 20 20 20 20 41 20 20 20 20 20 20 "
         "30 30 30 30 30 31 32 33 34 2E 35 36 37 30 30 30 30 30 30 30 31 32 2E 33 30 30 "
         "30 30 30 30 30 30 2D 34 35 2E 35 30 30 0D 00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        driver.table.clear();
        appendPoint(driver.table, true, c.row);
        Rqx2CoordinateSend send(driver.table, true);
        driver.start(send);
        EXPECT_EQ(writes(driver.feed(send, request())), QStringList{c.record});
    }
}

TEST_F(Rqx2CoordinateSendTest, CoordinateTexts)
{
    const std::pair<const char *, const char *> fits[] = {
        {"1234.567", "000001234.567"},
        {"1234.5678", "000001234.567"},
        {"12.3", "000000012.300"},
        {"-45.5", "000000-45.500"},
        {"5", "000000005.000"},
        {"0.25", "000000000.250"},
        // More decimals are cut; a point in the last place means no decimals.
        {"1.23456789", "000000001.234"},
        {"5.", "000000005.000"},
        {"-.5", "00000000-.500"},
        {"", "000000000.000"},
        {" 12.5 ", "000000012.500"},
        {"123456789.1", "123456789.100"},
        {"-12345678", "-12345678.000"},
    };
    for (const auto &[cell, text] : fits)
        EXPECT_EQ(Rqx2CoordinateRecord::coordinateText(cell), QString(text)) << cell;
    // What the 13 characters cannot carry.
    for (const char *cell : {"1234567890", "-123456789.5", "1.2.3", "12A", "12-", "+12"})
        EXPECT_FALSE(Rqx2CoordinateRecord::coordinateText(cell)) << cell;
}

TEST_F(Rqx2CoordinateSendTest, RowsAreNumberedUpToNineThousandNineHundredNinetyNine)
{
    for (int i = 1; i <= 9999; ++i)
        appendPoint(driver.table, true, {QString::number(i), "", "1", "2", "3"});
    Rqx2CoordinateSend send(driver.table, true);
    send.setSendPause(0);
    driver.start(send);
    const QStringList first = driver.feed(send, request());
    EXPECT_TRUE(first.contains("pause 0"));
    EXPECT_TRUE(writes(first).value(0).startsWith("write 02 30 30 30 31 39 39 39 39 31 20"));
    QStringList last;
    for (int i = 2; i <= 9999; ++i)
        last = driver.feed(send, request());
    EXPECT_TRUE(last.contains("progress 9999/9999"));
    EXPECT_TRUE(writes(last).value(0).startsWith("write 02 39 39 39 39 39 39 39 39 39 39 39 39 20 20 20"));
    EXPECT_EQ(last.filter("message"), QStringList{"message 成功|坐标数据发送完毕！"});
}

TEST_F(Rqx2CoordinateSendTest, EmptyTableEndsTheProgramAtTheFirstRequest)
{
    Rqx2CoordinateSend send(driver.table, true);
    EXPECT_EQ(driver.start(send), kPrepared);
    EXPECT_EQ(
        driver.feed(send, request()),
        (kAnswered + QStringList{"pause 100", kWaiting, "message 提示|请首先打开一个坐标数据文件", "end"}));
}

TEST_F(Rqx2CoordinateSendTest, RowTheInstrumentCannotTakeRefusesTheWholeSend)
{
    addExampleTable();
    driver.table.setCell(3, 2, QStringLiteral("桩A"));
    Rqx2CoordinateSend send(driver.table, true);
    EXPECT_EQ(driver.start(send),
              QStringList{"message 错误提示|第3行的点名“桩A”含有仪器不能接收的字符“桩”，请修改后再发送！"});
    EXPECT_FALSE(send.underway());
}

TEST_F(Rqx2CoordinateSendTest, RowChangedDuringTheSendIsNotSentAndTheNextRequestGoesOn)
{
    addExampleTable();
    Rqx2CoordinateSend send(driver.table, true);
    driver.start(send);
    driver.feed(send, request());
    driver.table.setCell(2, 4, QStringLiteral("1234567890"));
    EXPECT_EQ(driver.feed(send, request()),
              (beforeRecord(2, 25) +
               QStringList{"status rqx2 idle",
                           "message 错误提示|第2行的坐标--E“1234567890”不是仪器能接收的坐标"
                           "（只能由数字、小数点和负号组成，小数点前最多9位），请修改后再发送！"}));
    EXPECT_EQ(driver.feed(send, request()), beforeRecord(3, 25) + QStringList{filler(3)});
}
