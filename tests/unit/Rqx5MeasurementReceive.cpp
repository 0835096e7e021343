// The RQX5 data-file and measurement receives: headers, records, the rows they give, the answers.
#include "rqx5/Rqx5MeasurementReceive.h"
#include "Rqx5Fixture.h"
#include "rqx5/Rqx5DataFileReceive.h"

#include <random>

using namespace Rqx5Test;

namespace {

// The header of the worked example: file JOB1, 256 records, instrument 123456789, created 141225.
const char kHeader256[] = "00 00 4A 4F 42 31 20 20 20 20 20 20 20 20 01 00 31 32 33 34 35 36 37 38 39"
                          " 31 34 31 32 32 35 AA 82";

QByteArray header(unsigned char high, unsigned char low)
{
    QByteArray bytes = fromHex(kHeader256);
    bytes[14] = char(high);
    bytes[15] = char(low);
    return bytes;
}

// The 20 fields of a data-file record at their widths (8 or 14), angles with the instrument's
// degree, minute and second codes 0x7D 0x7E 0x7F.
const char *const kFields[20] = {"     101",
                                 "ST1     ",
                                 "1.550         ",
                                 "3456.789      ",
                                 "1234.567      ",
                                 "12.345        ",
                                 "     102",
                                 "BS1     ",
                                 "45\x7D"
                                 "30\x7E"
                                 "15\x7F     ",
                                 "     103",
                                 "P1      ",
                                 "120\x7D"
                                 "00\x7E"
                                 "05\x7F    ",
                                 "89\x7D"
                                 "59\x7E"
                                 "50\x7F     ",
                                 "25.432        ",
                                 "0.012         ",
                                 "25.431        ",
                                 "1.800         ",
                                 "3480.001      ",
                                 "1250.002      ",
                                 "10.557        "};
// The texts the list shows for them.
const QStringList kShown = {"     101",       "ST1     ",       "1.550         ", "3456.789      ",
                            "1234.567      ", "12.345        ", "     102",       "BS1     ",
                            "45°30′15″     ", "     103",       "P1      ",       "120°00′05″    ",
                            "89°59′50″     ", "25.432        ", "0.012         ", "25.431        ",
                            "1.800         ", "3480.001      ", "1250.002      ", "10.557        "};

QByteArray dataFileRecord()
{
    QByteArray bytes("\x91");
    for (const char *field : kFields)
        bytes += field;
    EXPECT_EQ(bytes.size(), 245);
    return bytes + "\xB1";
}

// A measurement record: start byte, the 14-character fields, terminator; padded: spaces up to a
// terminator at byte 57.
QByteArray measurement(unsigned char terminator, const QList<const char *> &fields, bool padded = false)
{
    QByteArray bytes("\x92");
    for (const char *field : fields)
        bytes += QByteArray(field).leftJustified(14, ' ');
    if (padded)
        bytes = bytes.leftJustified(57, ' ');
    return bytes + char(terminator);
}

const QStringList kPrepared = {"clearOutput", "clearInput", "open"};
const QStringList kNext = {"clearOutput", "clearInput", "open", "write AA 81"};
const QStringList kEcho = {"message 成功|数据传输完毕！", "clearOutput", "clearInput", "open", "write AA 82"};
const QString kDamagedRecord = QStringLiteral(
    "message 错误提示|收到一条不完整的数据文件记录，该记录未保存。请在全站仪上重新发送数据文件！");
const QString kDamagedHeader =
    QStringLiteral("message 错误提示|收到的数据文件头不完整，未接收。请在全站仪上重新发送数据文件！");
const QString kDamagedMeasurement =
    QStringLiteral("message 错误提示|收到一条不完整的测量数据，该数据未保存。");
const QString kAngles = QStringLiteral("1.0000        |2.0000        ||||||");

QStringList headerLines(const QString &count)
{
    return {"status rqx5 receiving", "file JOB1        |" + count + "|123456789|141225"};
}

class Rqx5DataFileExchange : public ::testing::TestWithParam<Delivery> {};

} // namespace

TEST(Rqx5DataFileReceive, WorkedHeaderShowsNoZeroOfN)
{
    TransferDriver driver;
    Rqx5DataFileReceive receive(true);
    EXPECT_EQ(driver.start(receive), kPrepared);
    // The count stays until the first record shows 1/256.
    EXPECT_EQ(driver.feed(receive, fromHex(kHeader256)), headerLines("256") + kNext);
}

TEST(Rqx5DataFileReceive, HeaderCountIsReadUnsignedAndZeroEndsAtOnce)
{
    // 0x01 0xB2: a count byte that is a measurement terminator does not cut the header short.
    // Count bytes that look like control frames are a header's too: 0xAA 0x81 is no acknowledgement,
    // 0xAA 0xBB no connection test, 0xAA 0x82 no terminator.
    const std::tuple<unsigned char, unsigned char, const char *> counts[] = {
        {0x01, 0x00, "256"},   {0x80, 0x00, "32768"}, {0xFF, 0xFF, "65535"}, {0x01, 0xB2, "434"},
        {0x00, 0xB3, "179"},   {0x00, 0xB5, "181"},   {0xAA, 0x81, "43649"}, {0xAA, 0x82, "43650"},
        {0xAA, 0xBB, "43707"}, {0x00, 0xB1, "177"}};
    for (const auto &[high, low, count] : counts) {
        for (Delivery how : {Delivery::Whole, Delivery::Bytewise, Delivery::Pieces}) {
            SCOPED_TRACE(count);
            TransferDriver driver;
            Rqx5DataFileReceive receive(true);
            driver.start(receive);
            EXPECT_EQ(deliver(driver, receive, header(high, low), how), headerLines(count) + kNext);
        }
    }
    TransferDriver driver;
    Rqx5DataFileReceive receive(true);
    driver.start(receive);
    const QStringList none = headerLines("0") + QStringList{"clearOutput", "clearInput", "open",
                                                            "status rqx5 received", "write AA 81"};
    EXPECT_EQ(driver.feed(receive, header(0, 0)), none);
}

TEST_P(Rqx5DataFileExchange, RecordsShowEveryFieldAndTheEndFrameIsEchoed)
{
    for (bool nez : {true, false}) {
        SCOPED_TRACE(nez ? "NEZ" : "ENZ");
        QStringList shown = kShown;
        if (!nez) {
            shown.swapItemsAt(3, 4);
            shown.swapItemsAt(17, 18);
        }
        const QString cells = shown.join(u'|');
        TransferDriver driver;
        Rqx5DataFileReceive receive(nez);
        driver.start(receive);
        const std::pair<QByteArray, QStringList> exchange[] = {
            {header(0, 2), headerLines("2") + kNext},
            {dataFileRecord(), QStringList{"progress 1/2", "row #|" + cells} + kNext},
            {dataFileRecord(), QStringList{"progress 2/2", "row #|" + cells, "clearOutput", "clearInput",
                                           "open", "status rqx5 received", "write AA 81"}},
            {fromHex("AA 82"), kEcho},
        };
        for (const auto &[bytes, lines] : exchange)
            EXPECT_EQ(deliver(driver, receive, bytes, GetParam()), lines);
        EXPECT_EQ(driver.listRows(), QStringList({"1|" + cells, "2|" + cells}));
        EXPECT_EQ(driver.list.headers().mid(4, 2),
                  nez ? QStringList({"测站--N", "测站--E"}) : QStringList({"测站--E", "测站--N"}));
        EXPECT_EQ(driver.list.headers().mid(18, 2),
                  nez ? QStringList({"坐标--N", "坐标--E"}) : QStringList({"坐标--E", "坐标--N"}));
        EXPECT_FALSE(receive.underway());
    }
}

// The instrument starts a file over after a damaged record, or after breaking one off: the damaged
// record is refused once, the new header taken, and the list holds the file once.
TEST_P(Rqx5DataFileExchange, RestartedFileIsHeldOnce)
{
    const QString row = "|" + kShown.join(u'|');
    const QByteArray record = dataFileRecord();
    const QStringList first = QStringList{"progress 1/2", "row #" + row} + kNext;
    const QStringList restart = QStringList{"withdraw 1"} + headerLines("2") + kNext;
    const std::vector<std::pair<QByteArray, QStringList>> tails[] = {
        // One byte short, the header of the restart in the same read.
        {{QByteArray(record).remove(100, 1) + header(0, 2), QStringList{kDamagedRecord} + restart}},
        // One byte short, the restart in a read of its own.
        {{QByteArray(record).remove(100, 1), {kDamagedRecord}}, {header(0, 2), restart}},
        // Broken off within a record: its rest goes with the header.
        {{record.left(120) + header(0, 2), restart}},
        {{record.chopped(1) + header(0, 2), restart}},
    };
    for (const auto &tail : tails) {
        TransferDriver driver;
        Rqx5DataFileReceive receive(true);
        driver.start(receive);
        EXPECT_EQ(deliver(driver, receive, header(0, 2), GetParam()), headerLines("2") + kNext);
        EXPECT_EQ(deliver(driver, receive, record, GetParam()), first);
        for (const auto &[bytes, lines] : tail)
            EXPECT_EQ(deliver(driver, receive, bytes, GetParam()), lines);
        EXPECT_EQ(deliver(driver, receive, record, GetParam()), first);
        EXPECT_EQ(deliver(driver, receive, record, GetParam()).value(1), "row #" + row);
        EXPECT_EQ(deliver(driver, receive, fromHex("AA 82"), GetParam()), kEcho);
        EXPECT_EQ(driver.listRows(), QStringList({"1" + row, "2" + row}));
    }
}

// A record whose terminator was lost is sent again, unanswered: the remains of the first go.
TEST_P(Rqx5DataFileExchange, ARecordSentAgainAfterItsTerminatorWasLostIsTaken)
{
    const QString row = "|" + kShown.join(u'|');
    const QByteArray record = dataFileRecord();
    TransferDriver driver;
    Rqx5DataFileReceive receive(true);
    driver.start(receive);
    deliver(driver, receive, header(0, 2), GetParam());
    EXPECT_EQ(deliver(driver, receive, record.chopped(1), GetParam()), QStringList());
    EXPECT_EQ(deliver(driver, receive, record, GetParam()),
              QStringList({"progress 1/2", "row #" + row}) + kNext);
    EXPECT_EQ(deliver(driver, receive, record.left(100) + record, GetParam()),
              QStringList({"progress 2/2", "row #" + row, "clearOutput", "clearInput", "open",
                           "status rqx5 received", "write AA 81"}));
    EXPECT_EQ(driver.listRows(), QStringList({"1" + row, "2" + row}));
}

INSTANTIATE_TEST_SUITE_P(Delivery, Rqx5DataFileExchange,
                         ::testing::Values(Delivery::Whole, Delivery::Bytewise, Delivery::Pieces),
                         deliveryName);

// A frame is known by its terminator and where it lands; one whose terminator stands where no frame
// of its kind ends is not stored and not acknowledged, so the instrument does not go on.
TEST(Rqx5DataFileReceive, FramesAreKnownByTerminatorAndPosition)
{
    const std::pair<QByteArray, QStringList> cases[] = {
        {dataFileRecord().mid(10), {kDamagedRecord}},
        {block(202, {{201, 0xB1}}), {kDamagedRecord}},
        {dataFileRecord().insert(5, 'x'), {kDamagedRecord}},
        {block(201, {{200, 0xB1}}), {}}, // 0xB1 counts only beyond position 200
        // A coordinate header is no data-file header.
        {fromHex("00 00 52 4F 41 44 31 20 20 20 20 20 20 20 01 14 AA 82"), {kDamagedHeader}},
        {header(1, 0).remove(20, 1), {kDamagedHeader}},
        // A byte added: the count 3 would read 817 and the instrument number shift.
        {header(0, 3).insert(20, '5'), {kDamagedHeader}},
        {header(0, 3).insert(5, 'X'), {kDamagedHeader}},
        {QByteArray(17, ' ') + header(0, 3), {kDamagedHeader}},
        // Frames of other exchanges.
        {fromHex("AA 81"), {}},
        {fromHex("AA BB"), {}},
        {block(60, {{59, 0xB0}}), {}},
        {block(58, {{57, 0xB4}}), {}},
    };
    for (const auto &[bytes, lines] : cases) {
        SCOPED_TRACE(hex(bytes).left(60).toStdString());
        TransferDriver driver;
        Rqx5DataFileReceive receive(true);
        driver.start(receive);
        driver.feed(receive, header(0, 2));
        EXPECT_EQ(driver.feed(receive, bytes), lines);
        // Nothing of a damaged frame is stored; the instrument's restart header is taken.
        if (!lines.isEmpty()) {
            EXPECT_EQ(driver.feed(receive, header(0, 2)).value(0), "status rqx5 receiving");
            EXPECT_EQ(driver.feed(receive, dataFileRecord()).value(0), "progress 1/2");
            EXPECT_EQ(driver.list.count(), 1);
        }
    }
}

TEST(Rqx5MeasurementReceive, WorkedKindThreeRecord)
{
    TransferDriver driver;
    // A receive before took four measurements; this one numbers on from them.
    Rqx5MeasurementReceive before(true);
    driver.start(before);
    driver.feed(before, measurement(0xB2, {"1.0000", "2.0000"}).repeated(4));
    Rqx5MeasurementReceive receive(true);
    receive.numberOnFrom(before);
    EXPECT_EQ(driver.start(receive), kPrepared);
    EXPECT_TRUE(receive.underway());
    // Nothing is sent: measurements are not acknowledged.
    EXPECT_EQ(driver.feed(receive, measurement(0xB4, {"90\x7D"
                                                      "00\x7E"
                                                      "00\x7F",
                                                      "88\x7D"
                                                      "10\x7E"
                                                      "30\x7F",
                                                      "15.250", "-0.375"})),
              QStringList{"row #|5|90°00′00″     |88°10′30″     ||-0.375        |15.250        |||"});
    EXPECT_TRUE(receive.underway()); // a cable pulled now is told
}

TEST(Rqx5MeasurementReceive, EveryKindAloneOrPaddedGivesOneRow)
{
    struct Case {
        unsigned char terminator;
        QList<const char *> fields;
        bool nez;
        QString row; // subitems 2..9
    };
    const Case cases[] = {
        {0xB2, {"10.0000", "20.0000"}, true, "10.0000       |20.0000       ||||||"},
        {0xB3, {"10.0000", "20.0000", "33.333"}, true, "10.0000       |20.0000       |33.333        |||||"},
        {0xB5, {"3456.789", "1234.5", "12.34"}, true, "|||||3456.789      |1234.5        |12.34         "},
        {0xB5, {"3456.789", "1234.5", "12.34"}, false, "|||||1234.5        |3456.789      |12.34         "},
    };
    for (bool padded : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(::testing::Message() << "kind " << c.terminator - 0xB1 << (padded ? " padded" : ""));
            TransferDriver driver;
            Rqx5MeasurementReceive receive(c.nez);
            driver.start(receive);
            EXPECT_EQ(driver.feed(receive, measurement(c.terminator, c.fields, padded)),
                      QStringList({"row #|1|" + c.row}));
            EXPECT_EQ(driver.list.headers().at(7), c.nez ? "坐标--N" : "坐标--E");
        }
    }
}

TEST(Rqx5MeasurementReceive, RecordsAreTakenByTheirTerminatorHoweverTheyArrive)
{
    const QByteArray records = measurement(0xB2, {"1.0000", "2.0000"}) +
                               measurement(0xB3, {"1.0000", "2.0000", "33.333"}) +
                               measurement(0xB5, {"3456.789", "1234.5", "12.34"}, true) +
                               measurement(0xB4, {"1.0000", "2.0000", "15.25", "-0.5"});
    const QStringList rows = {"1|1|" + kAngles, "2|2|1.0000        |2.0000        |33.333        |||||",
                              "3|3||||||3456.789      |1234.5        |12.34         ",
                              "4|4|1.0000        |2.0000        ||-0.5          |15.25         |||"};
    // Sent as they are, or as 58-byte blocks filled after the terminator with NUL or spaces (the
    // filler then stands before the next record); the series closed with an end frame.
    QByteArray nulFilled, spaceFilled;
    for (const QByteArray &one :
         {records.left(30), records.mid(30, 44), records.mid(74, 58), records.mid(132)}) {
        nulFilled += one.leftJustified(58, '\0');
        spaceFilled += one.leftJustified(58, ' ');
    }
    // All in one read, byte by byte, and in pieces that end inside records.
    for (const QByteArray &sent : {records, nulFilled, spaceFilled}) {
        for (int piece : {int(sent.size()), 1, 7, 45}) {
            SCOPED_TRACE(::testing::Message() << piece << " " << sent.size());
            TransferDriver driver;
            Rqx5MeasurementReceive receive(true);
            driver.start(receive);
            QStringList lines;
            for (int at = 0; at < sent.size(); at += piece)
                lines += driver.feed(receive, sent.mid(at, piece));
            EXPECT_EQ(lines.filter(QStringLiteral("message")), QStringList());
            EXPECT_EQ(driver.listRows(), rows);
            // Filler waiting for the next record is no broken frame; a record begun is.
            EXPECT_FALSE(receive.midFrame());
            driver.feed(receive, records.left(10));
            EXPECT_TRUE(receive.midFrame());
        }
    }
    TransferDriver driver;
    Rqx5MeasurementReceive receive(true);
    driver.start(receive);
    driver.feed(receive, nulFilled);
    EXPECT_EQ(driver.feed(receive, fromHex("AA 82")), kEcho);
}

// Any of the four terminators at any position ends a record; one where no record of its kind ends
// is told and not stored, and the first terminator ends the read.
TEST(Rqx5MeasurementReceive, FramesAreKnownByTheirTerminator)
{
    const QString blank(14, u' ');
    const std::tuple<QByteArray, int, QStringList> cases[] = {
        {block(30, {{29, 0xB2}}), 1, {"row #|1|" + blank + "|" + blank + "||||||"}},
        {block(44, {{43, 0xB3}}), 2, {"row #|1|" + blank + "|" + blank + "|" + blank + "|||||"}},
        {block(58, {{57, 0xB4}}), 3, {"row #|1|" + blank + "|" + blank + "||" + blank + "|" + blank + "|||"}},
        {block(44, {{43, 0xB5}}), 4, {"row #|1||||||" + blank + "|" + blank + "|" + blank}},
        {fromHex("00 B3"), 2, {kDamagedMeasurement}},
        {QByteArray(35, ' ') + "\xB2", 1, {kDamagedMeasurement}},
        {block(30, {{10, 0xB2}, {20, 0xAA}, {21, 0x81}}), 1, {kDamagedMeasurement}},
        {block(58, {{57, 0xB6}}), 0, {}}, // 0xB6 is no terminator
        {fromHex("B2"), 0, {}},           // a byte alone is only the predecessor of the next
        // Frames of other exchanges.
        {fromHex("AA 81"), 0, {}},
        {fromHex("AA BB"), 0, {}},
    };
    for (const auto &[bytes, kind, lines] : cases) {
        SCOPED_TRACE(hex(bytes).toStdString());
        TransferDriver driver;
        Rqx5MeasurementReceive receive(true);
        driver.start(receive);
        EXPECT_EQ(driver.feed(receive, bytes), lines);
        EXPECT_EQ(driver.list.count(), kind == 0 || lines.value(0) == kDamagedMeasurement ? 0 : 1);
    }
}

// One damaged measurement costs that one only: after one whose terminator was lost, the next is
// counted back from its own terminator, padded or not; a measurement that gained a byte is refused.
TEST(Rqx5MeasurementReceive, AMeasurementAfterADamagedOneIsTaken)
{
    const QByteArray angles = measurement(0xB2, {"1.0000", "2.0000"});
    const QByteArray paddedAngles = measurement(0xB2, {"1.0000", "2.0000"}, true);
    const QByteArray kindThree = measurement(0xB4, {"1.0000", "2.0000", "15.25", "-0.5"});
    const QByteArray coordinates = measurement(0xB5, {"3456.789", "1234.5", "12.34"});
    const QString rowThree =
        QStringLiteral("1.0000        |2.0000        ||-0.5          |15.25         |||");
    const QString rowFour = QStringLiteral("|||||3456.789      |1234.5        |12.34         ");
    const std::tuple<QByteArray, QByteArray, QString> cases[] = {
        {angles.chopped(1), angles, kAngles},
        {angles.chopped(1), paddedAngles, kAngles},
        {paddedAngles.chopped(1), kindThree, rowThree},
        {kindThree.chopped(1), coordinates, rowFour},
        // Filled to 58 bytes after the lost terminator.
        {angles.chopped(1).leftJustified(58, '\0'), coordinates, rowFour},
        {coordinates.chopped(1).leftJustified(58, ' '), paddedAngles, kAngles},
    };
    for (const auto &[damaged, intact, row] : cases) {
        for (Delivery how : {Delivery::Whole, Delivery::Bytewise, Delivery::Pieces}) {
            SCOPED_TRACE(hex(damaged + intact).toStdString());
            TransferDriver driver;
            Rqx5MeasurementReceive receive(true);
            driver.start(receive);
            EXPECT_EQ(deliver(driver, receive, damaged + intact, how),
                      QStringList({kDamagedMeasurement, "row #|1|" + row}));
            EXPECT_EQ(deliver(driver, receive, angles, how), QStringList{"row #|2|" + kAngles});
        }
    }
    for (int at : {1, 14, 29, 40}) {
        SCOPED_TRACE(at);
        TransferDriver driver;
        Rqx5MeasurementReceive receive(true);
        driver.start(receive);
        EXPECT_EQ(driver.feed(receive, QByteArray(paddedAngles).insert(at, '7')),
                  QStringList{kDamagedMeasurement});
        EXPECT_EQ(driver.feed(receive, kindThree), QStringList({"row #|1|" + rowThree}));
    }
}

TEST(Rqx5MeasurementReceive, TwoReceivesSeparatedByAnEndFrameBothNumberFromOne)
{
    const QByteArray angles = measurement(0xB2, {"1.0000", "2.0000"});
    TransferDriver driver;
    Rqx5MeasurementReceive receive(true);
    driver.start(receive);
    driver.feed(receive, angles);
    driver.feed(receive, angles);
    EXPECT_EQ(driver.feed(receive, fromHex("AA 82")), kEcho);
    EXPECT_TRUE(receive.underway()); // the window's receive goes on
    // The end frame is taken whole: the next record is not spoilt by it, with or without a new start,
    // and the preparation does not number anew.
    EXPECT_EQ(driver.feed(receive, angles), QStringList{"row #|1|" + kAngles});
    EXPECT_EQ(driver.start(receive), kPrepared);
    EXPECT_EQ(driver.feed(receive, angles), QStringList{"row #|2|" + kAngles});
    EXPECT_EQ(driver.listRows(),
              QStringList({"1|1|" + kAngles, "2|2|" + kAngles, "3|1|" + kAngles, "4|2|" + kAngles}));
}

TEST(Rqx5MeasurementReceive, ArbitraryBytesNeverReachPastAFrame)
{
    std::mt19937 random(7);
    const unsigned char interesting[] = {0xAA, 0x81, 0x82, 0x91, 0x92, 0xB1, 0xB2, 0xB3,
                                         0xB4, 0xB5, 0x20, 0x7D, 0x30, 0x00, 0xFF};
    TransferDriver dataFileDriver, measurementDriver;
    Rqx5DataFileReceive dataFile(true);
    Rqx5MeasurementReceive measurements(false);
    for (int round = 0; round < 2000; ++round) {
        QByteArray chunk;
        const int length = std::uniform_int_distribution<int>(1, 400)(random);
        for (int i = 0; i < length; ++i)
            chunk.append(char(interesting[random() % std::size(interesting)]));
        dataFileDriver.feed(dataFile, chunk);
        measurementDriver.feed(measurements, chunk);
    }
    for (TransferDriver *driver : {&dataFileDriver, &measurementDriver})
        for (int row = 1; row <= driver->list.count(); ++row)
            ASSERT_EQ(driver->list.cell(row, 0), QString::number(row));
}
