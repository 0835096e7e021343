#include "Rqx2Fixture.h"

#include "rqx2/Rqx2MeasurementReceive.h"
#include "support/Rqx2MeasurementExamples.h"

// Receiving a measurement file from an RQX2 instrument: the header, station, backsight and
// measurement records, their rows, the acknowledgements, the end of the transfer, and what a damaged
// record does.

using namespace Rqx2MeasurementExamples;

namespace {
const QStringList kPrelude{"clearOutput", "clearInput", "open"};
const QStringList kAnswer = kPrelude + QStringList{"status rqx2 receiving", "write 05 4A 0D"};
const QString kHeaderTaken = "file F0001|10||";
const QString kDamaged =
    QStringLiteral("message 错误提示|收到一条损坏的测量数据（不完整，或记录序号、记录总数不是"
                   "四位数字），该条数据未保存。请在全站仪上重新发送测量数据！");

// A row of the list: its number, the 12 measurement, 6 station and 3 backsight columns.
QString row(const QString &number, const QStringList &measurement, const QStringList &station,
            const QStringList &backsight)
{
    auto padded = [](QStringList cells, int n) {
        while (cells.size() < n)
            cells.append(QString());
        return cells;
    };
    return (QStringList{number} + padded(measurement, 12) + padded(station, 6) + padded(backsight, 3))
        .join(u'|');
}
// The example records 1 to 3 as rows.
QString stationRow(bool nez)
{
    return row("1", {},
               {"S1", "A", "1.550", nez ? "1000.000" : "2000.000", nez ? "2000.000" : "1000.000", "100.000"},
               {});
}
const QString kBacksightRow = row("2", {}, {}, {"B1", "B", "45°30′00″"});
QString measurementRow(const QString &number, bool nez = true)
{
    return row(number,
               {"M1", "P7", "123°45′06″", "90°00′00″", "12.345", "-1.200", "12.300", "1.500", "1.800",
                nez ? "1234.567" : "-45.500", nez ? "-45.500" : "1234.567", "12.300"},
               {}, {});
}
} // namespace

class Rqx2MeasurementReceiveTest : public Rqx2Fixture {
protected:
    // 接收数据, the instrument's request and the example header.
    Rqx2MeasurementReceive &startFile(bool nez = true)
    {
        receive = std::make_unique<Rqx2MeasurementReceive>(nez);
        driver.start(*receive);
        driver.feed(*receive, request());
        driver.feed(*receive, fromHex(kHeader));
        return *receive;
    }
    std::unique_ptr<Rqx2MeasurementReceive> receive;
};

TEST_F(Rqx2MeasurementReceiveTest, StartHandshakeAndHeader)
{
    Rqx2MeasurementReceive receive(true);
    EXPECT_EQ(driver.start(receive), QStringList{"list rqx2-measurements nez"} + kPrelude +
                                         QStringList{"status rqx2 awaiting-handshake"});
    // Before the handshake a record is not for here.
    EXPECT_TRUE(driver.feed(receive, fromHex(kHeader)).isEmpty());
    EXPECT_EQ(driver.feed(receive, request()), kAnswer);
    // Before the header the instrument may start over: answered again.
    EXPECT_EQ(driver.feed(receive, request()), kAnswer);
    EXPECT_EQ(driver.feed(receive, fromHex(kHeader)),
              (QStringList{"clearRows", "file F0001|10||"} + kPrelude +
               QStringList{QStringLiteral("write ") + kHeaderAck}));
    EXPECT_TRUE(driver.listRows().isEmpty());
}

TEST_F(Rqx2MeasurementReceiveTest, TheExampleFileUnderNezAndEnz)
{
    for (bool nez : {true, false}) {
        SCOPED_TRACE(nez ? "NEZ" : "ENZ");
        Rqx2MeasurementReceive &receive = startFile(nez);
        EXPECT_EQ(
            driver.feed(receive, fromHex(kStation)),
            (QStringList{"row " + stationRow(nez)} + kPrelude +
             QStringList{"write 06 30 30 30 31 30 30 31 30 0D", "progress 1/10", "status rqx2 receiving"}));
        driver.feed(receive, fromHex(kBacksight));
        EXPECT_EQ(
            tail(driver.feed(receive, measurement("0003", "0010")), 3),
            (QStringList{"write 06 30 30 30 33 30 30 31 30 0D", "progress 3/10", "status rqx2 receiving"}));
        for (int i = 4; i <= 9; ++i)
            driver.feed(receive, measurement(QByteArray::number(i).rightJustified(4, '0'), "0010"));
        // The completion message follows the last acknowledgement.
        EXPECT_EQ(driver.feed(receive, measurement("0010", "0010")),
                  (QStringList{"row " + measurementRow("10", nez)} + kPrelude +
                   QStringList{"write 06 30 30 31 30 30 30 31 30 0D", "progress 10/10",
                               "status rqx2 received", "message 成功|传输完毕！"}));
        EXPECT_FALSE(receive.underway());
        const QStringList rows = driver.listRows();
        ASSERT_EQ(rows.size(), 10);
        EXPECT_EQ(rows.mid(0, 3), (QStringList{stationRow(nez), kBacksightRow, measurementRow("3", nez)}));
    }
}

TEST_F(Rqx2MeasurementReceiveTest, SignedNumbers)
{
    struct Case {
        const char *heightDifference, *instrumentHeight, *storedDifference, *storedHeight;
    };
    // One minus sign; a minus after padding zeros is kept; a blank run reads 0.
    const Case cases[] = {{"-0001.200", "+001.500", "-1.200", "1.500"},
                          {"-0000.200", "-000.350", "-0.200", "-0.350"},
                          {"00-12.500", "    .000", "-12.500", "0.000"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.heightDifference);
        Rqx2MeasurementReceive &receive = startFile();
        driver.feed(receive, measurement("0001", "0010", c.heightDifference, c.instrumentHeight));
        const QStringList cells = driver.listRows().value(0).split(u'|');
        EXPECT_EQ(cells.value(6), c.storedDifference);
        EXPECT_EQ(cells.value(8), c.storedHeight);
    }
}

TEST_F(Rqx2MeasurementReceiveTest, EveryRecordCountsToTheTotalWhateverItsKind)
{
    struct Case {
        const char *what;
        const char *header;
        QList<QByteArray> records;
        QString lastAcknowledgement;
    };
    const Case cases[] = {
        {"no measurement record: the backsight is the last",
         "02 30 30 30 30 30 30 30 32 07 46 30 30 30 32 0D",
         {fromHex(kStation).replace(5, 4, "0002"), fromHex(kBacksight).replace(5, 4, "0002")},
         "write 06 30 30 30 32 30 30 30 32 0D"},
        // The file name 'F0007' leaves the count where it stands.
        {"one record only",
         "02 30 30 30 30 30 30 30 31 07 46 30 30 30 37 0D",
         {fromHex(kStation).replace(5, 4, "0001")},
         "write 06 30 30 30 31 30 30 30 31 0D"},
        // A record of another kind is a row of its own, empty; record 0123 keeps its number.
        {"a record of another kind",
         "02 30 30 30 30 30 31 32 33 37 46 30 30 30 31 0D",
         {Rqx2MeasurementExamples::record("0122", "0123", 'X', QByteArray(29, 'A')),
          measurement("0123", "0123")},
         "write 06 30 31 32 33 30 31 32 33 0D"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Rqx2MeasurementReceive receive(true);
        driver.start(receive);
        driver.feed(receive, request());
        driver.feed(receive, fromHex(c.header));
        QStringList last;
        for (const QByteArray &r : c.records)
            last = driver.feed(receive, r);
        EXPECT_EQ(driver.listRows().size(), c.records.size());
        EXPECT_EQ(last.filter("write"), QStringList{c.lastAcknowledgement});
        EXPECT_EQ(tail(last), QStringList{"message 成功|传输完毕！"});
    }
    EXPECT_EQ(driver.listRows().value(0), row("1", {}, {}, {}));

    // A header counting no record ends the transfer at once.
    Rqx2MeasurementReceive receive(true);
    driver.start(receive);
    driver.feed(receive, request());
    EXPECT_EQ(tail(driver.feed(receive, fromHex("02 30 30 30 30 30 30 30 30 07 46 30 30 30 31 0D")), 3),
              (QStringList{"write 06 30 30 30 30 30 30 30 30 0D", "status rqx2 received",
                           "message 成功|传输完毕！"}));
    // A complete file is not started over.
    EXPECT_TRUE(driver.feed(receive, request()).isEmpty());
}

TEST_F(Rqx2MeasurementReceiveTest, ARecordSentAgainIsAnsweredAgainButNotStoredTwice)
{
    const QByteArray station = fromHex(kStation);
    QByteArray otherName = station;
    otherName[17] = 'B';
    const QByteArray only = fromHex("02 30 30 30 30 30 30 30 31 07 46 30 30 30 31 0D");
    const QByteArray onlyStation = QByteArray(station).replace(5, 4, "0001");
    const struct {
        const char *what;
        QByteArray header;
        QList<QByteArray> before;
        QByteArray again;
        QStringList actions;
        int rows;
    } cases[] = {
        // Stored, the header would be a blank row that shifts every later one.
        {"the header",
         fromHex(kHeader),
         {},
         fromHex(kHeader),
         kPrelude + QStringList{QStringLiteral("write ") + kHeaderAck},
         0},
        {"a station",
         fromHex(kHeader),
         {station},
         station,
         kPrelude + QStringList{"write 06 30 30 30 31 30 30 31 30 0D"},
         1},
        {"the last record",
         only,
         {onlyStation},
         onlyStation,
         kPrelude + QStringList{"write 06 30 30 30 31 30 30 30 31 0D"},
         1},
        {"its number with other bytes", fromHex(kHeader), {station}, otherName, {kDamaged}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rqx2MeasurementReceive receive(true);
        driver.start(receive);
        driver.feed(receive, request());
        driver.feed(receive, c.header);
        for (const QByteArray &r : c.before)
            driver.feed(receive, r);
        EXPECT_EQ(driver.feed(receive, c.again), c.actions);
        EXPECT_EQ(driver.listRows().size(), c.rows);
    }
}

TEST_F(Rqx2MeasurementReceiveTest, SilenceBetweenRecordsIsTheInstrumentStopped)
{
    Rqx2MeasurementReceive &receive = startFile();
    EXPECT_TRUE(receive.awaitsInstrument());
    // A refused record is told already: the instrument waits for the send started again.
    driver.feed(receive, fromHex(kStation).remove(20, 1));
    EXPECT_FALSE(receive.awaitsInstrument());
    driver.feed(receive, fromHex(kStation));
    EXPECT_TRUE(receive.awaitsInstrument());
}

TEST_F(Rqx2MeasurementReceiveTest, RecordsAreTakenWholeHoweverTheyArrive)
{
    const QByteArray station = fromHex(kStation);
    const QByteArray backsight = fromHex(kBacksight);
    const QByteArray file = station + backsight + measurement("0003", "0010");
    struct Case {
        const char *what;
        std::vector<int> pieces; // empty: one byte at a time
    };
    const Case cases[] = {
        {"record by record", {72, 32, 121}},
        {"one byte at a time", {}},
        // More than the shortest record, yet no record: it waits for the rest.
        {"the station in two pieces", {40, 32, 32, 121}},
        {"each CR alone", {71, 1, 31, 1, 120, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Rqx2MeasurementReceive &receive = startFile();
        const QStringList actions = c.pieces.empty() ? driver.feedBytewise(receive, file)
                                                     : driver.feedInPieces(receive, file, c.pieces);
        EXPECT_EQ(actions.filter("write"),
                  (QStringList{"write 06 30 30 30 31 30 30 31 30 0D", "write 06 30 30 30 32 30 30 31 30 0D",
                               "write 06 30 30 30 33 30 30 31 30 0D"}));
        EXPECT_TRUE(actions.filter("message").isEmpty());
        EXPECT_EQ(driver.listRows(), (QStringList{stationRow(true), kBacksightRow, measurementRow("3")}));
    }

    // Bytes after a record are not taken for the next one: its acknowledgement drops them.
    Rqx2MeasurementReceive &receive = startFile();
    EXPECT_EQ(driver.feed(receive, station + backsight.left(20)).filter("write"),
              QStringList{"write 06 30 30 30 31 30 30 31 30 0D"});
    EXPECT_EQ(driver.feed(receive, backsight).filter("write"),
              QStringList{"write 06 30 30 30 32 30 30 31 30 0D"});
    EXPECT_EQ(driver.listRows().size(), 2);
}

TEST_F(Rqx2MeasurementReceiveTest, DamagedRecordIsRefusedAndTheNextWholeOneTaken)
{
    const QByteArray header = fromHex(kHeader), station = fromHex(kStation);
    auto withByte = [](QByteArray bytes, int position, char byte) {
        bytes[position] = byte;
        return bytes;
    };
    QByteArray controlDigit = header;
    controlDigit[8] = 0x00; // decodes as "0", but is no digit
    const QString headerAck = QStringLiteral("write ") + kHeaderAck;
    const QString stationAck = "write 06 30 30 30 31 30 30 31 30 0D";
    const struct {
        const char *what;
        QByteArray damaged, whole; // the whole one sent after the damaged one
    } cases[] = {
        {"no 7 in the header", fromHex("02 30 30 30 30 30 30 31 30 06 46 30 30 30 31 0D"), header},
        {"a control code in the header's count", controlDigit, header},
        {"a byte too many in the header", QByteArray(header).insert(12, '0'), header},
        {"a byte short in the header", QByteArray(header).remove(12, 1), header},
        {"a CR inside the header", withByte(header, 11, '\r'), header},
        {"a station a byte short", QByteArray(station).remove(20, 1), station},
        {"a letter in the number", withByte(station, 3, 'O'), station},
        {"a backsight a byte long", fromHex(kBacksight).insert(12, ' '), station},
        // The kind byte pushed on by one: the counters still read, the kind would be another one.
        {"a byte added before the kind byte", fromHex(kBacksight).insert(9, '\xE8'), station},
        {"a digit added before the kind byte", QByteArray(station).insert(9, '5'), station},
        // The kind byte lost: the record would be one of another kind, a byte short.
        {"a backsight's kind byte lost", fromHex(kBacksight).remove(9, 1), station},
        {"a station's kind byte lost", QByteArray(station).remove(9, 1), station},
        {"its CR at 119, among the long records", measurement("0001", "0010").remove(40, 1), station},
        {"its CR where a coordinate record's stands", QByteArray(station).left(63).append('\r'), station},
        // Told once: the piece after the inner CR is the rest of the same record.
        {"a CR inside the station", withByte(station, 40, '\r'), station},
        {"a CR lost", QByteArray(station).left(71), station},
        {"a start byte inside", withByte(station, 30, '\x02'), station},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const bool isHeader = c.whole == header;
        Rqx2MeasurementReceive receive(true);
        driver.start(receive);
        driver.feed(receive, request());
        if (!isHeader)
            driver.feed(receive, header);
        const QStringList actions = driver.feed(receive, c.damaged + c.whole);
        EXPECT_EQ(actions.filter("message"), QStringList{kDamaged});
        EXPECT_EQ(actions.filter("write"), QStringList{isHeader ? headerAck : stationAck});
        EXPECT_EQ(driver.listRows().size(), isHeader ? 0 : 1);
    }
}

TEST_F(Rqx2MeasurementReceiveTest, HeaderWhoseFileNameEndsInJIsAHeader)
{
    const QByteArray header = fromHex("02 30 30 30 30 30 30 31 30 07 46 30 30 30 4A 0D");
    const QStringList taken = QStringList{"clearRows", "file F000J|10||"} + kPrelude +
                              QStringList{QStringLiteral("write ") + kHeaderAck};
    for (bool bytewise : {false, true}) {
        SCOPED_TRACE(bytewise ? "one byte at a time" : "whole");
        Rqx2MeasurementReceive receive(true);
        driver.start(receive);
        driver.feed(receive, request());
        EXPECT_EQ(bytewise ? driver.feedBytewise(receive, header) : driver.feed(receive, header), taken);
    }
}

TEST_F(Rqx2MeasurementReceiveTest, SendStartedAgainBeforeTheLastRecordIsTakenFromItsHeader)
{
    const QByteArray station = fromHex(kStation), backsight = fromHex(kBacksight);
    const QString kWaiting = "status rqx2 awaiting-handshake";
    const struct {
        const char *what;
        QByteArray interruption; // after the station, before the restart request
        bool silent;
    } cases[] = {
        {"after a record", {}, false},
        {"after a damaged record", QByteArray(backsight).remove(12, 1), false},
        {"in the middle of a record", backsight.left(10), false},
        {"after the line fell silent in the middle of a record", backsight.left(10), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Rqx2MeasurementReceive &receive = startFile();
        driver.feed(receive, station);
        driver.feed(receive, c.interruption);
        if (c.silent) {
            EXPECT_TRUE(receive.midFrame());
            EXPECT_EQ(driver.applied(receive.silence()),
                      (QStringList{kWaiting,
                                   "message 错误提示|数据传输中断：仪器已停止发送。请在全站仪上重新发送！"}));
        }
        EXPECT_EQ(driver.feed(receive, request()), kAnswer);
        EXPECT_EQ(driver.feed(receive, fromHex(kHeader)).mid(0, 2), (QStringList{"clearRows", kHeaderTaken}));
        driver.feed(receive, station);
        EXPECT_EQ(driver.feed(receive, backsight).filter("write"),
                  QStringList{"write 06 30 30 30 32 30 30 31 30 0D"});
        EXPECT_EQ(driver.listRows(), (QStringList{stationRow(true), kBacksightRow}));
    }
}

TEST_F(Rqx2MeasurementReceiveTest, RqxFiveFramesAreNoneOfItsBusiness)
{
    Rqx2MeasurementReceive &receive = startFile();
    for (const char *frame : {"AA BB", "AA 82", "AA 81", "20 B2", "20 B3"})
        EXPECT_TRUE(driver.feed(receive, fromHex(frame)).isEmpty()) << frame;
}
