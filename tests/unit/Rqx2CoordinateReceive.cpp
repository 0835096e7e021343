#include "Rqx2Fixture.h"

#include "rqx2/Rqx2CoordinateReceive.h"

#include <memory>

// Receiving coordinates from an RQX2 instrument: the handshake, how a record is framed and read,
// the acknowledgement, the completion message, and what a damaged record does.

namespace {
// Point 1 of 25: 'P1', 'A', N 1234.567, E -45.5, Z 12.3.
const char kExampleRecord[] =
    "02 30 30 30 31 30 30 32 35 50 31 20 20 20 20 20 41 20 20 20 20 20 20 30 30 30 30 30 31 32 "
    "33 34 2E 35 36 37 30 30 30 30 30 30 2D 34 35 2E 35 30 30 30 30 30 30 30 30 30 31 32 2E "
    "33 30 30 0D";
const QString kExampleAcknowledgement = QStringLiteral("write 02 30 30 30 31 30 30 32 35 0D 00");
const QString kDamaged =
    QStringLiteral("message 错误提示|收到一条损坏的坐标数据（长度不对，或点序号、点数不是四位"
                   "数字），该点未保存。请在全站仪上重新发送坐标数据！");
const QString kHandshakeAnswer = QStringLiteral("write 01 4A 0D");
const QStringList kAcknowledgementPrelude{"clearOutput", "clearInput", "open"};
const QStringList kAnswer = kAcknowledgementPrelude + QStringList{kHandshakeAnswer};
} // namespace

class Rqx2CoordinateReceiveTest : public Rqx2Fixture {
protected:
    // A receive started and its handshake answered, as a command and the instrument leave it.
    std::unique_ptr<Rqx2CoordinateReceive> started(bool nez = true)
    {
        auto receive = std::make_unique<Rqx2CoordinateReceive>(nez);
        driver.start(*receive);
        driver.feed(*receive, request());
        return receive;
    }
    // What the first record of a transfer does before its acknowledgement.
    static QStringList firstRecord(const QString &progress, const QString &row, bool nez = true)
    {
        return QStringList{"status rqx2 idle", "progress " + progress,
                           nez ? "list points nez" : "list points enz", "row " + row} +
               kAcknowledgementPrelude;
    }
};

TEST_F(Rqx2CoordinateReceiveTest, PortPreparedThenEveryRequestBeforeTheLastRecordIsAnsweredAsTheFirst)
{
    Rqx2CoordinateReceive receive(true);
    EXPECT_EQ(driver.start(receive), (QStringList{"clearOutput", "clearInput", "open"}));
    EXPECT_TRUE(receive.underway());
    EXPECT_EQ(driver.feed(receive, request()), kAnswer);
    // The instrument started over before its first record: no row to withdraw.
    EXPECT_EQ(driver.feed(receive, request()), kAnswer);
    EXPECT_EQ(driver.feed(receive, fromHex("4A 0D")), kAnswer);
}

TEST_F(Rqx2CoordinateReceiveTest, OnlyTheRequestsOwnJCrIsARequest)
{
    const struct {
        const char *what;
        QByteArray bytes;
        QStringList actions;
    } cases[] = {
        {"J CR alone", fromHex("4A 0D"), kAnswer},
        {"after the start byte", request(), kAnswer},
        {"after the start byte, behind the rest of a record", fromHex("30 30 31 02 4A 0D"), kAnswer},
        {"after another byte", fromHex("02 41 4A 0D"), {}},
        {"after a CR at position 0", fromHex("0D 4A 0D"), {}},
        // A block of a record's length ending in J CR is a record, damaged.
        {"at the end of 63 bytes", block(63, 62).replace(61, 1, "J"), {"status rqx2 idle", kDamaged}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rqx2CoordinateReceive whole(true), bytewise(true);
        driver.start(whole);
        driver.start(bytewise);
        EXPECT_EQ(driver.feed(whole, c.bytes), c.actions);
        EXPECT_EQ(driver.feedBytewise(bytewise, c.bytes), c.actions);
    }
}

TEST_F(Rqx2CoordinateReceiveTest, RecordTextsAndAcknowledgements)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        bool nez;
        QString row, progress, acknowledgement;
    };
    const Case cases[] = {
        {"the example under NEZ", fromHex(kExampleRecord), true, "1|P1|A|1234.5670|-45.5000|12.3000", "1/25",
         kExampleAcknowledgement},
        {"the example under ENZ", fromHex(kExampleRecord), false, "1|P1|A|-45.5000|1234.5670|12.3000", "1/25",
         kExampleAcknowledgement},
        // A minus among zeros keeps a value below 1 negative; inner spaces of the point number vanish.
        {"signs and spaces",
         record("0001", "0003", "A 1    ", "       ", "0000000-0.250", "000000000.000", "-00000100.001"),
         true, "1|A1||-0.2500|0.0000|-100.0010", "1/3", "write 02 30 30 30 31 30 30 30 33 0D 00"},
        // Spaces in front of the digits vanish as zeros do; seven characters fill the text fields.
        {"full fields",
         record("0002", "0003", "1234567", "ABCDEFG", "999999999.999", "       12.500", "+00000012.300"),
         true, "1|1234567|ABCDEFG|999999999.9990|12.5000|12.3000", "2/3",
         "write 02 30 30 30 32 30 30 30 33 0D 00"},
        // One extra byte before the 0x02: 64 bytes, the CR at 63, three decimals kept.
        {"the shifted layout", fromHex("00") + fromHex(kExampleRecord), true,
         "1|P1|A|1234.567|-45.500|12.300", "1/25", kExampleAcknowledgement},
        // Character 0 is the digit 2, but the CR stands at 62: the standard layout.
        {"point 2000",
         record("2000", "2500", "2000   ", "K2000  ", "000012345.678", "000054321.001", "000000099.990"),
         true, "1|2000|K2000|12345.6780|54321.0010|99.9900", "2000/2500",
         "write 02 32 30 30 30 32 35 30 30 0D 00"},
        {"point 7",
         record("0007", "1000", "7      ", "       ", "000000001.000", "000000001.000", "000000001.000"),
         true, "1|7||1.0000|1.0000|1.0000", "7/1000", "write 02 30 30 30 37 31 30 30 30 0D 00"},
        {"point 56",
         record("0056", "1000", "56     ", "       ", "000000001.000", "000000001.000", "000000001.000"),
         true, "1|56||1.0000|1.0000|1.0000", "56/1000", "write 02 30 30 35 36 31 30 30 30 0D 00"},
        {"point 999",
         record("0999", "1000", "999    ", "       ", "000000001.000", "000000001.000", "000000001.000"),
         true, "1|999||1.0000|1.0000|1.0000", "999/1000", "write 02 30 39 39 39 31 30 30 30 0D 00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        driver.table.clear();
        auto receive = started(c.nez);
        EXPECT_EQ(driver.feed(*receive, c.bytes), (firstRecord(c.progress, c.row, c.nez) +
                                                   QStringList{"status rqx2 receiving", c.acknowledgement}));
        EXPECT_EQ(driver.tableRows(), QStringList{c.row});
    }
}

TEST_F(Rqx2CoordinateReceiveTest, RecordIsTakenWholeHoweverItArrives)
{
    const QByteArray example = fromHex(kExampleRecord);
    const QByteArray shifted = fromHex("00") + example;
    const QByteArray next =
        record("0002", "0025", "P2     ", "B      ", "000000001.000", "000000002.000", "000000003.000");
    const QStringList standardActions = firstRecord("1/25", "1|P1|A|1234.5670|-45.5000|12.3000") +
                                        QStringList{"status rqx2 receiving", kExampleAcknowledgement};
    const QStringList shiftedActions = firstRecord("1/25", "1|P1|A|1234.567|-45.500|12.300") +
                                       QStringList{"status rqx2 receiving", kExampleAcknowledgement};
    struct Case {
        const char *what;
        QByteArray bytes;
        std::vector<int> pieces; // empty: one byte at a time
        QStringList actions;
    };
    const Case cases[] = {
        {"whole", example, {63}, standardActions},
        {"one byte at a time", example, {}, standardActions},
        {"its CR late", example, {62}, standardActions},
        {"the start byte alone", example, {1, 30}, standardActions},
        // The acknowledgement drops what followed the record, so the next record is read from its start.
        {"with trailing bytes", example + fromHex("0D 4A 00"), {66}, standardActions},
        {"shifted, its CR late", shifted, {63}, shiftedActions},
        {"shifted, one byte at a time", shifted, {}, shiftedActions},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        driver.table.clear();
        auto receive = started();
        const QStringList actions = c.pieces.empty() ? driver.feedBytewise(*receive, c.bytes)
                                                     : driver.feedInPieces(*receive, c.bytes, c.pieces);
        EXPECT_EQ(actions, c.actions);
        EXPECT_EQ(tail(driver.feed(*receive, next)), QStringList{"write 02 30 30 30 32 30 30 32 35 0D 00"});
        EXPECT_EQ(driver.tableRows().value(1), "2|P2|B|1.0000|2.0000|3.0000");
    }
}

TEST_F(Rqx2CoordinateReceiveTest, ACrWhereNoRecordEndsEndsADamagedOne)
{
    // At 61 or 64 a record lost or gained a byte; anywhere else a CR among its bytes (noise, or '-'
    // with a bit lost) or a CR lost cut it. Before the handshake such a block is let be.
    for (int end : {1, 60, 61, 64, 65, 115, 116, 300}) {
        SCOPED_TRACE(end);
        Rqx2CoordinateReceive quiet(true);
        driver.start(quiet);
        // A block of a record's length is a damaged record even then.
        EXPECT_EQ(driver.feed(quiet, block(end + 1, end)).size(), end == 61 || end == 64 ? 2 : 0);
        auto receive = started();
        EXPECT_EQ(driver.feed(*receive, block(end + 1, end)), (QStringList{"status rqx2 idle", kDamaged}));
        EXPECT_TRUE(driver.tableRows().isEmpty());
    }
}

TEST_F(Rqx2CoordinateReceiveTest, DamagedRecordIsNeitherStoredNorAcknowledged)
{
    const QByteArray example = fromHex(kExampleRecord);
    auto withByte = [&example](int position, char byte) {
        QByteArray bytes = example;
        bytes[position] = byte;
        return bytes;
    };
    const std::pair<const char *, QByteArray> damaged[] = {
        {"a letter O in the current number", withByte(3, 'O')},
        {"a space in the total", withByte(7, ' ')},
        // Both would read as digits once decoded.
        {"a NUL in the current number", withByte(3, '\0')},
        {"the start byte in the total", withByte(8, '\x02')},
        // A byte lost on the line: the CR stands at 61.
        {"a record one byte short", example.left(20) + example.mid(21)},
        // Its CR one place late, yet no extra byte in front: read one byte later its counters
        // would be '0010' and '0251'.
        {"a byte added inside the record",
         record("0001", "0025", "1234567", "A       ", "000000001.000", "000000001.000", "000000001.000")},
        // Told once: the piece after the inner CR is the rest of the same record.
        {"a CR inside the record", withByte(42, '\r')},
        {"a CR after the start byte", withByte(1, '\r')},
    };
    auto receive = started();
    for (const auto &[what, bytes] : damaged) {
        SCOPED_TRACE(what);
        // The instrument's restart request in the same piece is taken, not dropped with the record.
        EXPECT_EQ(driver.feed(*receive, bytes + request()),
                  (QStringList{"status rqx2 idle", kDamaged} + kAnswer));
        EXPECT_TRUE(driver.tableRows().isEmpty());
    }
    // The record sent again is received as usual.
    EXPECT_EQ(tail(driver.feed(*receive, example)), QStringList{kExampleAcknowledgement});
    EXPECT_EQ(driver.tableRows(), QStringList{"1|P1|A|1234.5670|-45.5000|12.3000"});
}

TEST_F(Rqx2CoordinateReceiveTest, ADamagedRecordCostsThatRecordNeverTheNext)
{
    const QByteArray example = fromHex(kExampleRecord);
    QByteArray crInside = example;
    crInside[30] = '\r';
    const QStringList taken = firstRecord("1/25", "1|P1|A|1234.5670|-45.5000|12.3000") +
                              QStringList{"status rqx2 receiving", kExampleAcknowledgement};
    const struct {
        const char *what;
        QByteArray before; // what came before the whole record
        bool told;
    } cases[] = {
        {"its CR lost", example.left(62), true},
        {"a CR inside it", crInside, true},
        {"a byte lost", example.left(20) + example.mid(21), true},
        {"two noise bytes", fromHex("00 7F"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        driver.table.clear();
        auto receive = started();
        EXPECT_EQ(driver.feed(*receive, c.before + example),
                  (c.told ? QStringList{"status rqx2 idle", kDamaged} : QStringList{}) + taken);
        EXPECT_EQ(driver.tableRows(), QStringList{"1|P1|A|1234.5670|-45.5000|12.3000"});
    }
}

TEST_F(Rqx2CoordinateReceiveTest, ARecordSentAgainIsAnsweredAgainAndStoredOnce)
{
    const QByteArray example = fromHex(kExampleRecord);
    const QByteArray only =
        record("0001", "0001", "P1     ", "A      ", "000001234.567", "000000-45.500", "000000012.300");
    const QByteArray otherName =
        record("0001", "0025", "P1     ", "B      ", "000001234.567", "000000-45.500", "000000012.300");
    const struct {
        const char *what;
        QByteArray first, again;
        QStringList actions;
    } cases[] = {
        {"as it was", example, example, kAcknowledgementPrelude + QStringList{kExampleAcknowledgement}},
        {"behind an extra byte", example, fromHex("00") + example,
         kAcknowledgementPrelude + QStringList{kExampleAcknowledgement}},
        // The completion is not told twice.
        {"the last one", only, only,
         kAcknowledgementPrelude + QStringList{"write 02 30 30 30 31 30 30 30 31 0D 00"}},
        {"its number with other bytes", example, otherName, {"status rqx2 idle", kDamaged}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        driver.table.clear();
        auto receive = started();
        driver.feed(*receive, c.first);
        EXPECT_EQ(driver.feed(*receive, c.again), c.actions);
        EXPECT_EQ(driver.tableRows().size(), 1);
    }
}

TEST_F(Rqx2CoordinateReceiveTest, SilenceBetweenRecordsIsTheInstrumentStopped)
{
    const QByteArray example = fromHex(kExampleRecord);
    auto receive = started();
    // Nothing has come yet: the surveyor may take long to start the send.
    EXPECT_FALSE(receive->awaitsInstrument());
    driver.feed(*receive, example);
    EXPECT_TRUE(receive->awaitsInstrument());
    EXPECT_EQ(driver.applied(receive->silence()),
              QStringList{"message 错误提示|数据传输中断：仪器已停止发送。请在全站仪上重新发送！"});
    // Told once; the send started again is awaited as the first one was.
    EXPECT_FALSE(receive->awaitsInstrument());
    driver.feed(*receive, request());
    driver.feed(*receive, example);
    EXPECT_TRUE(receive->awaitsInstrument());
    // A refused record is told already: the instrument waits for the send started again.
    driver.feed(*receive, example.left(30) + "\r");
    EXPECT_FALSE(receive->awaitsInstrument());
    driver.feed(*receive, example);
    EXPECT_TRUE(receive->awaitsInstrument());
    driver.feed(*receive, record("0025", "0025", "P25    ", "A      ", "000001234.567", "000000-45.500",
                                 "000000012.300"));
    EXPECT_FALSE(receive->awaitsInstrument());
}

TEST_F(Rqx2CoordinateReceiveTest, SendStartedAgainHoldsTheFileOnceBelowTheRowsFromBefore)
{
    auto point = [](const char *current, const char *total, const char *name) {
        return record(current, total, name, "       ", "000000001.000", "000000002.000", "000000003.000");
    };
    const QByteArray a = point("0001", "0002", "A      ");
    const QByteArray b = point("0002", "0002", "B      ");
    const struct {
        const char *what;
        QByteArray interruption; // after record A, before the restart request
        bool silent;
    } cases[] = {
        {"the surveyor starts over after a record", {}, false},
        {"after a damaged record", point("0002", "00x2", "B      "), false},
        {"in the middle of a record", b.left(30), false},
        {"after the line fell silent in the middle of a record", b.left(30), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // A file of one point received before; the next receive numbers on from it.
        driver.table.clear();
        const auto before = started();
        driver.feed(*before, point("0001", "0001", "OLD    "));
        Rqx2CoordinateReceive receive(true);
        receive.numberOnFrom(*before);
        driver.start(receive);
        driver.feed(receive, request());
        driver.feed(receive, a);
        driver.feed(receive, c.interruption);
        if (c.silent) {
            EXPECT_TRUE(receive.midFrame());
            EXPECT_EQ(driver.applied(receive.silence()),
                      QStringList{"message 错误提示|数据传输中断：仪器已停止发送。请在全站仪上重新发送！"});
        }
        // The row of the broken-off attempt goes; the file received before stays.
        EXPECT_EQ(driver.feed(receive, request()), QStringList{"withdraw 1"} + kAnswer);
        driver.feed(receive, a);
        EXPECT_EQ(tail(driver.feed(receive, b), 2),
                  (QStringList{"message 成功|坐标数据传输完毕！", "write 02 30 30 30 32 30 30 30 32 0D 00"}));
        EXPECT_EQ(driver.tableRows(), (QStringList{"1|OLD||1.0000|2.0000|3.0000", "2|A||1.0000|2.0000|3.0000",
                                                   "3|B||1.0000|2.0000|3.0000"}));
        // A complete file is not started over.
        EXPECT_TRUE(driver.feed(receive, request()).isEmpty());
    }
}

TEST_F(Rqx2CoordinateReceiveTest, CompletionMessageComesBeforeTheLastAcknowledgement)
{
    // A current number beyond the total ends the transfer as well.
    const std::pair<const char *, QString> cases[] = {{"0025", "write 02 30 30 32 35 30 30 32 35 0D 00"},
                                                      {"0030", "write 02 30 30 33 30 30 30 32 35 0D 00"}};
    for (const auto &[current, acknowledgement] : cases) {
        SCOPED_TRACE(current);
        driver.table.clear();
        auto receive = started();
        driver.feed(*receive, fromHex(kExampleRecord));
        EXPECT_EQ(
            driver.feed(*receive, record(current, "0025", "P25    ", "A      ", "000001234.567",
                                         "000000-45.500", "000000012.300")),
            (QStringList{"status rqx2 idle", QStringLiteral("progress %1/25").arg(QString(current).toInt()),
                         "row 2|P25|A|1234.5670|-45.5000|12.3000"} +
             kAcknowledgementPrelude +
             QStringList{"status rqx2 idle", "message 成功|坐标数据传输完毕！", acknowledgement}));
        EXPECT_FALSE(receive->underway());
    }
}

TEST_F(Rqx2CoordinateReceiveTest, RqxFiveFramesAreNoneOfItsBusiness)
{
    auto receive = started();
    for (const char *frame : {"AA BB", "AA 82", "AA 81", "90 20 B0", "20 B2"})
        EXPECT_TRUE(driver.feed(*receive, fromHex(frame)).isEmpty()) << frame;
}
