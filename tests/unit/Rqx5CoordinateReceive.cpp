// The RQX5 coordinate receive: frames in, the actions they cause out, and the rows they leave.
#include "rqx5/Rqx5CoordinateReceive.h"
#include "Rqx5Fixture.h"

#include <random>

using namespace Rqx5Test;

namespace {

// A coordinate header for file "ROAD1" with the given count bytes (the count is high * 100 + low).
QByteArray header(unsigned char high, unsigned char low)
{
    return fromHex("00 00 52 4F 41 44 31 20 20 20 20 20 20 20") + QByteArray(1, char(high)) +
           QByteArray(1, char(low)) + fromHex("AA 82");
}

// A 60-byte coordinate record whose fields are the given texts, each already of its wire width.
QByteArray record(const char *number, const char *name, const char *north, const char *east,
                  const char *height)
{
    const QByteArray bytes = QByteArray("\x90") + number + name + north + east + height + "\xB0";
    EXPECT_EQ(bytes.size(), 60) << number;
    return bytes;
}

QByteArray pointRecord(const char *number)
{
    return record(number, " B2     ", "100.5         ", "200.25        ", "3.125         ");
}

// Rows 1..n as "k|k|Pk|100.5|200.25|3.125".
void addRows(CoordinateTableModel &table, int n, bool nez)
{
    table.buildColumns(nez);
    for (int k = 1; k <= n; ++k) {
        const QString s = QString::number(k);
        table.append(CoordinatePoint{s, s, "P" + s, "100.5", "200.25", "3.125"});
    }
}

const QString kWorking = QStringLiteral("status rqx5 receiving");
const QString kDone = QStringLiteral("status rqx5 received");
// The start of the line a header gives.
const QString kFile = QStringLiteral("file ");
const QString kComplete = QStringLiteral("message 成功|数据传输完毕！");
const QStringList kEcho = {kComplete, "clearOutput", "clearInput", "open", "write AA 82"};
const QString kDamagedHeader = QStringLiteral(
    "message 错误提示|收到的坐标数据头损坏（长度不对），未接收。请在全站仪上重新发送坐标数据！");
const QString kDamaged = QStringLiteral(
    "message 错误提示|收到一条损坏的坐标数据（长度不对），该点未保存。请在全站仪上重新发送坐标数据！");

QStringList headerLines(const QString &count)
{
    return {"file ROAD1       |" + count + "||"};
}
QStringList next(const QString &progress)
{
    return {"clearOutput", "clearInput", "progress " + progress, "open", "write AA 81"};
}
// The answer to the last announced point; the table's rows are counted by the window.
const QStringList kLast = {"clearOutput", "clearInput", "open", kDone, "write AA 81"};

struct Exchange {
    const char *what;
    bool nez = true;
    int rowsBefore = 0;     // rows the table holds (NEZ columns)
    bool plainList = false; // the table shows the lines of a file read without fields
    bool started = true;    // false: adopted, the instrument begins on its own
    std::vector<std::pair<QByteArray, QStringList>> frames;
    QStringList rows;
};

class Rqx5CoordinateReceiveExchange : public ::testing::TestWithParam<Delivery> {};

} // namespace

TEST(Rqx5CoordinateReceive, StartPreparesThePortAndSendsNothing)
{
    TransferDriver driver;
    Rqx5CoordinateReceive receive(true);
    EXPECT_EQ(driver.start(receive), QStringList({"clearOutput", "clearInput", "open"}));
    EXPECT_TRUE(receive.underway());
}

TEST_P(Rqx5CoordinateReceiveExchange, FramesGiveTheirAnswersInOrder)
{
    const QByteArray worked = fromHex(kWorkedRecord);
    const QString workedNez = "|12|A1|3456.7890|1234.50|12.340";
    const Exchange exchanges[] = {
        {"worked header (0x01 0x14 is 120, not 276) and record",
         true,
         0,
         false,
         true,
         {{fromHex("00 00 52 4F 41 44 31 20 20 20 20 20 20 20 01 14 AA 82"),
           headerLines("120") + next("0/120")},
          {worked, QStringList{kWorking, "row #" + workedNez} + next("1/120")}},
         {"1" + workedNez}},
        {"worked record under ENZ: N in the column headed N",
         false,
         0,
         false,
         true,
         {{header(0, 1), headerLines("1") + next("0/1")},
          {worked, QStringList{kWorking, "row #|12|A1|1234.50|3456.7890|12.340"} + kLast},
          {fromHex("AA 82"), kEcho}},
         {"1|12|A1|1234.50|3456.7890|12.340"}},
        {"two points after five rows, the completion before the echo",
         true,
         5,
         false,
         true,
         {{header(0, 2), headerLines("2") + next("0/2")},
          {worked, QStringList{kWorking, "row #" + workedNez} + next("1/2")},
          {pointRecord("  000A12"), QStringList{kWorking, "row #|A12|B2|100.50|200.250|3.1250"} + kLast},
          {fromHex("AA 82"), kEcho}},
         {"1|1|P1|100.5|200.25|3.125", "2|2|P2|100.5|200.25|3.125", "3|3|P3|100.5|200.25|3.125",
          "4|4|P4|100.5|200.25|3.125", "5|5|P5|100.5|200.25|3.125", "6" + workedNez,
          "7|A12|B2|100.50|200.250|3.1250"}},
        {"header announcing no points ends at once",
         true,
         5,
         false,
         true,
         {{header(0, 0), headerLines("0") + kLast}},
         {"1|1|P1|100.5|200.25|3.125", "2|2|P2|100.5|200.25|3.125", "3|3|P3|100.5|200.25|3.125",
          "4|4|P4|100.5|200.25|3.125", "5|5|P5|100.5|200.25|3.125"}},
        {"largest count",
         true,
         0,
         false,
         true,
         {{header(0xFF, 0xFF), headerLines("25755") + next("0/25755")}},
         {}},
        {"points over the lines of a file get columns",
         true,
         0,
         true,
         true,
         {{header(0, 1), headerLines("1") + next("0/1")},
          {worked, QStringList{kWorking, "row #" + workedNez} + kLast}},
         {"1" + workedNez}},
        // A damaged record is refused: nothing stored, nothing answered. The instrument starts over;
        // the broken-off attempt's rows go and the restart's take their place.
        {"byte lost, then the instrument starts over in the same read",
         true,
         2,
         false,
         true,
         {{header(0, 2), headerLines("2") + next("0/2")},
          {worked, QStringList{kWorking, "row #" + workedNez} + next("1/2")},
          {pointRecord("  000A12").remove(10, 1) + header(0, 2),
           QStringList{kDamaged, "withdraw 1"} + headerLines("2") + next("0/2")},
          {worked, QStringList{kWorking, "row #" + workedNez} + next("1/2")},
          {pointRecord("  000A12"), QStringList{kWorking, "row #|A12|B2|100.50|200.250|3.1250"} + kLast}},
         {"1|1|P1|100.5|200.25|3.125", "2|2|P2|100.5|200.25|3.125", "3" + workedNez,
          "4|A12|B2|100.50|200.250|3.1250"}},
        {"leftovers before a whole record go; the rest of a broken record before a header too",
         true,
         0,
         false,
         true,
         {{header(0, 2), headerLines("2") + next("0/2")},
          {QByteArray("\0 ", 2) + worked, QStringList{kWorking, "row #" + workedNez} + next("1/2")},
          {worked.left(30) + header(0, 1), QStringList{"withdraw 1"} + headerLines("1") + next("0/1")},
          {worked, QStringList{kWorking, "row #" + workedNez} + kLast}},
         {"1" + workedNez}},
        {"a header with a byte added is refused; the one sent again is taken",
         true,
         0,
         false,
         true,
         {{header(0, 1).insert(8, 'X'), {kDamagedHeader}},
          {header(0, 1), headerLines("1") + next("0/1")},
          {worked, QStringList{kWorking, "row #" + workedNez} + kLast}},
         {"1" + workedNez}},
        {"a header after the last record begins a file below the first",
         true,
         0,
         false,
         true,
         {{header(0, 1), headerLines("1") + next("0/1")},
          {worked, QStringList{kWorking, "row #" + workedNez} + kLast},
          {header(0, 1), headerLines("1") + next("0/1")},
          {worked, QStringList{kWorking, "row #" + workedNez} + kLast}},
         {"1" + workedNez, "2" + workedNez}},
        // Whatever window is open besides: the coordinate receive in progress keeps its header.
        {"header with no receive started (the instrument begins)",
         true,
         0,
         false,
         false,
         {{header(0, 1), headerLines("1") + next("0/1")}},
         {}},
    };
    for (const Exchange &e : exchanges) {
        SCOPED_TRACE(e.what);
        TransferDriver driver;
        if (e.plainList) {
            driver.table.append(CoordinatePoint{"1,P1,10,20,30", {}, {}, {}, {}, {}});
            driver.table.showAsPlainList();
        } else if (e.rowsBefore > 0) {
            addRows(driver.table, e.rowsBefore, e.nez);
        }
        Rqx5CoordinateReceive receive(e.nez);
        if (e.started)
            driver.start(receive);
        for (const auto &[bytes, lines] : e.frames)
            EXPECT_EQ(deliver(driver, receive, bytes, GetParam()), lines);
        EXPECT_EQ(driver.tableRows(), e.rows);
        if (!e.rows.isEmpty()) {
            EXPECT_EQ(driver.table.headers().mid(3), e.nez ? QStringList({"坐标--N", "坐标--E", "坐标--Z"})
                                                           : QStringList({"坐标--E", "坐标--N", "坐标--Z"}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Delivery, Rqx5CoordinateReceiveExchange,
                         ::testing::Values(Delivery::Whole, Delivery::Bytewise, Delivery::Pieces),
                         deliveryName);

TEST(Rqx5CoordinateReceive, FieldsAsTheTableShowsThem)
{
    QByteArray codes = pointRecord("       1");
    codes[11] = 0x0D; // the name's third byte: outside the table, it enters as its number
    codes[12] = 0x7D; // the degree mark
    const std::pair<QByteArray, const char *> cases[] = {
        // Plain point numbers take their shortest form; others keep their text.
        {pointRecord("  000012"), "12|B2"},
        {pointRecord("        "), "0|B2"},
        {pointRecord("00000000"), "0|B2"},
        {pointRecord("     A12"), "A12|B2"},
        {pointRecord("  000A12"), "A12|B2"},
        {pointRecord("    K3-1"), "K3-1|B2"},
        {pointRecord("1 2 3   "), "123|B2"},
        {pointRecord("   -0012"), "-12|B2"},
        // A coordinate loses its fourteenth character and gains a zero; an empty one is "0".
        {record("      12", "ABCDEFGH", "12345678.12345", "              ", "-1.5          "),
         "12|ABCDEFGH|12345678.12340|0|-1.50"},
        {codes, "1|B13°"},
    };
    TransferDriver driver;
    Rqx5CoordinateReceive receive(true);
    driver.start(receive);
    driver.feed(receive, header(0, std::size(cases)));
    for (const auto &[bytes, shown] : cases) {
        driver.feed(receive, bytes);
        const QString row = driver.tableRows().constLast();
        EXPECT_TRUE(row.startsWith(QString::number(driver.table.count()) + "|" + shown)) << row.toStdString();
    }
    EXPECT_EQ(driver.table.count(), int(std::size(cases)));
}

// A frame is known by its terminator and where it lands, counted from the first byte not yet taken.
TEST(Rqx5CoordinateReceive, FramesAreKnownByTerminatorAndPosition)
{
    const std::pair<QByteArray, QString> cases[] = {
        {fromHex("AA 82"), kComplete}, // a bare end frame at positions 0-1 or 1-2
        {fromHex("00 AA 82"), kComplete},
        // Beyond position 2 the pair closes a header, whole only with its 18 bytes: one lost or added
        // would show another name and count.
        {fromHex("00 00 AA 82"), kDamagedHeader},
        {block(7, {{5, 0xAA}, {6, 0x82}}), kDamagedHeader},
        {header(0, 3).remove(5, 1), kDamagedHeader},
        {header(0, 3).insert(15, '\x05'), kDamagedHeader},
        {block(18, {{14, 0x01}, {15, 0xB4}, {16, 0xAA}, {17, 0x82}}), kFile},
        {block(56, {{0, 0x90}, {55, 0xB0}}), ""}, // 0xB0 counts only beyond position 55
        {block(60, {{0, 0x90}, {30, 0xB0}, {59, 0xB0}}), kWorking},
        // A record is whole with its start byte at 0 and its terminator at 59, or after leftovers.
        {block(57, {{0, 0x90}, {56, 0xB0}}), kDamaged},
        {block(61, {{0, 0x90}, {60, 0xB0}}), kDamaged},
        {block(60, {{59, 0xB0}}), kDamaged},
        {block(62, {{2, 0x90}, {61, 0xB0}}), kWorking},
        // A header is taken from its own first 18 bytes; count bytes 0xAA 0x82 do not end it.
        {block(40, {{22, 0x90}, {38, 0xAA}, {39, 0x82}}), kFile},
        {block(18, {{14, 0xAA}, {15, 0x82}, {16, 0xAA}, {17, 0x82}}), kFile},
        {block(16, {{14, 0xAA}, {15, 0x82}}), ""},
        {fromHex("AA"), ""},
        // Frames of other exchanges.
        {fromHex("AA 81"), ""},
        {fromHex("AA BB"), ""},
        {block(246, {{245, 0xB1}}), ""},
        {block(58, {{57, 0xB4}}), ""},
    };
    for (const auto &[bytes, first] : cases) {
        SCOPED_TRACE(hex(bytes).toStdString());
        TransferDriver driver;
        Rqx5CoordinateReceive receive(true);
        driver.start(receive);
        const QStringList lines = driver.feed(receive, bytes);
        // A header's line is known by its start; its name and count are the block's.
        EXPECT_EQ(first == kFile ? lines.value(0).left(kFile.size()) : lines.value(0), first);
    }
}

TEST(Rqx5CoordinateReceive, BytesAfterAFrameGoWithTheClearedInput)
{
    TransferDriver driver;
    Rqx5CoordinateReceive receive(true);
    driver.start(receive);
    EXPECT_EQ(driver.feed(receive, header(0, 1) + fromHex("AA 81 B0")), headerLines("1") + next("0/1"));
    // The first frame ends the read: the end frame behind the record is not taken.
    EXPECT_EQ(driver.feed(receive, fromHex(kWorkedRecord) + fromHex("AA 82")),
              QStringList({kWorking, "row #|12|A1|3456.7890|1234.50|12.340"}) + kLast);
    EXPECT_EQ(driver.feed(receive, fromHex("AA 82")), kEcho);
    EXPECT_FALSE(receive.underway());
}

TEST(Rqx5CoordinateReceive, SilenceInARecordLeavesTheReceiveReadyForTheRestart)
{
    TransferDriver driver;
    Rqx5CoordinateReceive receive(true);
    // Begun by the instrument: its header makes the exchange one that a silence interrupts.
    driver.feed(receive, header(0, 2));
    driver.feed(receive, fromHex(kWorkedRecord));
    driver.feed(receive, fromHex(kWorkedRecord).left(40));
    ASSERT_TRUE(receive.midFrame());
    EXPECT_EQ(driver.applied(receive.silence()),
              QStringList{"message 错误提示|数据传输中断：仪器已停止发送。请在全站仪上重新发送！"});
    EXPECT_FALSE(receive.midFrame());
    EXPECT_EQ(driver.feed(receive, header(0, 1)), QStringList{"withdraw 1"} + headerLines("1") + next("0/1"));
    driver.feed(receive, fromHex(kWorkedRecord));
    EXPECT_EQ(driver.tableRows(), QStringList{"1|12|A1|3456.7890|1234.50|12.340"});
}

TEST(Rqx5CoordinateReceive, ArbitraryBytesNeverReachPastAFrame)
{
    std::mt19937 random(5);
    const unsigned char interesting[] = {0xAA, 0x81, 0x82, 0x90, 0xB0, 0xB1,
                                         0xBB, 0x20, 0x30, 0x41, 0x00, 0xFF};
    TransferDriver driver;
    addRows(driver.table, 3, true);
    Rqx5CoordinateReceive receive(true);
    driver.start(receive);
    for (int round = 0; round < 3000; ++round) {
        QByteArray chunk;
        const int length = std::uniform_int_distribution<int>(1, 300)(random);
        for (int i = 0; i < length; ++i)
            chunk.append(char(interesting[random() % std::size(interesting)]));
        driver.feed(receive, chunk);
    }
    for (int row = 1; row <= driver.table.count(); ++row)
        ASSERT_EQ(driver.table.cell(row, 0), QString::number(row));
}
