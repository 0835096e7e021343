#include "rqx2/Rqx2MeasurementReceive.h"
#include "Rqx2Fixture.h"
#include "core/MeasurementTableModel.h"
#include "support/RecordingMeasurementViews.h"
#include "support/Rqx2MeasurementExamples.h"

// Receiving a measurement file from an RQX2 instrument: the header, station, backsight and
// measurement records, their stored texts and rows, the acknowledgements, the end of the transfer,
// and what a damaged record does.

using namespace Rqx2MeasurementExamples;

namespace {

// Record 3 of the examples as a row: its number, the measurement's 12 fields, 9 empty station and
// backsight columns.
const QStringList kMeasurementRow =
    QStringList{"3",      "M1",    "P7",    "123°45′06″", "90°00′00″", "12.345", "-1.200",
                "12.300", "1.500", "1.800", "1234.567",   "-45.500",   "12.300"} +
    QStringList(9);

} // namespace

class Rqx2MeasurementReceiveTest : public Rqx2Fixture {
protected:
    Rqx2MeasurementReceiveTest() { receive.install(dispatcher.routines()); }

    // 接收数据, the instrument's request and the example header; the log then starts after it.
    void startFile()
    {
        receive.commandReceive();
        deliver(request());
        deliver(fromHex(kHeader));
        log.clear();
    }
    int messages() const { return static_cast<int>(log.matching(QStringLiteral("message ")).size()); }
    QString damaged() const
    {
        return QStringLiteral("message 错误提示|") + Rqx2MeasurementReceive::kDamagedRecord;
    }

    MeasurementTableModel list;
    RecordingRqx2MeasurementView form7{log};
    Rqx2MeasurementReceive receive{state, link, list, form7};
};

TEST_F(Rqx2MeasurementReceiveTest, CommandHandshakeAndHeader)
{
    state.PointText[0].set(1, QStringLiteral("old"));
    receive.commandReceive();
    EXPECT_EQ(log.events, (QStringList{"clearOutput", "clearInput", "sthreshold 1", "rthreshold 3", "open",
                                       "label4 等待握手信号。。。"}));
    EXPECT_EQ(state.PointText[0].at(1), QString());
    EXPECT_EQ(state.ReceiveMeasurementsMode, 1);
    EXPECT_EQ(list.headers().at(10), "坐标--N");
    EXPECT_EQ(list.columns().size(), 22u);

    log.clear();
    deliver(request());
    EXPECT_EQ(log.events,
              (QStringList{"clearOutput", "clearInput", "sthreshold 3", "rthreshold 16",
                           "measurement status 数据传输中。。。", "rthreshold 16", "write 05 4A 0D"}));
    log.clear();
    deliver(fromHex(kHeader));
    EXPECT_EQ(log.events, (QStringList{"label1 文件名： F0001", "clearOutput", "clearInput", "sthreshold 1",
                                       "rthreshold 32", QStringLiteral("write ") + kHeaderAck}));
    EXPECT_EQ(list.count(), 0);
}

TEST_F(Rqx2MeasurementReceiveTest, PortFailureIsToldOverTheMeasurementWindow)
{
    link.failOpen = true;
    receive.commandReceive();
    EXPECT_EQ(log.events.mid(4), (QStringList{"open failed", "message 错误提示|请检查端口连接是否正确！",
                                              "form7 forward", "label4 等待握手信号。。。"}));
}

TEST_F(Rqx2MeasurementReceiveTest, TheExampleFileUnderNezAndEnz)
{
    for (bool nez : {true, false}) {
        selection.nez = nez;
        startFile();
        deliver(fromHex(kStation));
        deliver(fromHex(kBacksight));
        deliver(measurement("0003", "0010"));
        ASSERT_EQ(list.count(), 3);
        EXPECT_EQ(list.row(1).mid(13, 6),
                  nez ? QStringList({"S1", "A", "1.550", "1000.000", "2000.000", "100.000"})
                      : QStringList({"S1", "A", "1.550", "2000.000", "1000.000", "100.000"}));
        EXPECT_EQ(list.row(1).first(), "1");
        EXPECT_EQ(list.row(2).mid(19), QStringList({"B1", "B", "45°30′00″"}));
        QStringList row3 = kMeasurementRow;
        if (!nez)
            row3.swapItemsAt(10, 11);
        EXPECT_EQ(list.row(3), row3);
        EXPECT_EQ(list.headers().at(10), nez ? "坐标--N" : "坐标--E");
        EXPECT_EQ(list.headers().at(16), nez ? "测站--N" : "测站--E");
        EXPECT_EQ(state.PointText[1].at(3), "-45.500");
        EXPECT_EQ(link.lastWrite(), "06 30 30 30 33 30 30 31 30 0D");
        EXPECT_EQ(link.rThreshold, 32);

        for (int i = 4; i <= 10; ++i)
            deliver(measurement(QByteArray::number(i).rightJustified(4, '0'), "0010"));
        EXPECT_EQ(list.count(), 10);
        EXPECT_EQ(link.lastWrite(), "06 30 30 31 30 30 30 31 30 0D");
        EXPECT_EQ(form7.progress, "10/10");
        EXPECT_EQ(form7.status, "传输完毕！");
        EXPECT_EQ(log.matching("message "), QStringList{"message 成功|传输完毕！"});
        // The message follows the last acknowledgement.
        EXPECT_EQ(log.events.mid(log.events.size() - 4),
                  (QStringList{"write 06 30 30 31 30 30 30 31 30 0D", "text1 10/10", "label4 传输完毕！",
                               "message 成功|传输完毕！"}));
        log.clear();
    }
}

TEST_F(Rqx2MeasurementReceiveTest, SignedNumbers)
{
    startFile();
    deliver(measurement("0001", "0010", "-0000.200", "-000.350"));
    EXPECT_EQ(list.cell(1, 6), "-0.200");
    EXPECT_EQ(list.cell(1, 8), "-0.350");
    // A minus after padding zeros is not dropped; a blank run reads 0.
    deliver(measurement("0002", "0010", "00-12.500", "    .000"));
    EXPECT_EQ(list.cell(2, 6), "-12.500");
    EXPECT_EQ(list.cell(2, 8), "0.000");
}

TEST_F(Rqx2MeasurementReceiveTest, EveryRecordCountsToTheTotalWhateverItsKind)
{
    struct Case {
        const char *header;
        QList<QByteArray> records;
        QString lastAck;
    };
    const QList<Case> cases{
        // No measurement record at all: the backsight is the last record.
        {"02 30 30 30 30 30 30 30 32 07 46 30 30 30 32 0D",
         {fromHex(kStation).replace(5, 4, "0002"), fromHex(kBacksight).replace(5, 4, "0002")},
         "06 30 30 30 32 30 30 30 32 0D"},
        // One record only; and the file name 'F0007' leaves the count where it stands.
        {"02 30 30 30 30 30 30 30 31 07 46 30 30 30 37 0D",
         {fromHex(kStation).replace(5, 4, "0001")},
         "06 30 30 30 31 30 30 30 31 0D"},
        // A record of another kind is a row of its own, empty; record 0123 keeps its number.
        {"02 30 30 30 30 30 31 32 33 37 46 30 30 30 31 0D",
         {Rqx2MeasurementExamples::record("0122", "0123", 'X', QByteArray(29, 'A')),
          measurement("0123", "0123")},
         "06 30 31 32 33 30 31 32 33 0D"},
    };
    for (const Case &c : cases) {
        receive.commandReceive();
        deliver(request());
        deliver(fromHex(c.header));
        log.clear();
        for (const QByteArray &r : c.records)
            deliver(r);
        EXPECT_EQ(list.count(), c.records.size()) << c.header;
        EXPECT_EQ(link.lastWrite(), c.lastAck);
        EXPECT_EQ(log.matching("message "), QStringList{"message 成功|传输完毕！"}) << c.header;
    }
    EXPECT_EQ(list.row(1), QStringList{"1"} + QStringList(21));
    EXPECT_EQ(form7.progress, "123/123");

    // A header counting no record ends the transfer at once.
    receive.commandReceive();
    deliver(request());
    log.clear();
    deliver(fromHex("02 30 30 30 30 30 30 30 30 07 46 30 30 30 31 0D"));
    EXPECT_EQ(
        log.events.mid(log.events.size() - 3),
        (QStringList{"write 06 30 30 30 30 30 30 30 30 0D", "label4 传输完毕！", "message 成功|传输完毕！"}));
}

TEST_F(Rqx2MeasurementReceiveTest, ARecordSentAgainIsAnsweredAgainButNotStoredTwice)
{
    startFile();
    deliver(fromHex(kStation));
    deliver(fromHex(kStation));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(countOf("write 06 30 30 30 31 30 30 31 30 0D"), 2);
}

TEST_F(Rqx2MeasurementReceiveTest, TrailingBytesAreNotTakenForARecord)
{
    startFile();
    deliver(fromHex(kStation) + fromHex(kBacksight).left(20));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(link.waitingCount(), 0);
    deliver(fromHex(kBacksight));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(messages(), 0);
}

TEST_F(Rqx2MeasurementReceiveTest, RecordsInPiecesAreTakenWhole)
{
    startFile();
    const QByteArray station = fromHex(kStation);
    const QByteArray file = station + fromHex(kBacksight) + measurement("0003", "0010");
    // More than the shortest record, yet no record: it waits for the rest.
    arrive(station.left(40));
    EXPECT_TRUE(link.written.endsWith(fromHex(kHeaderAck)));
    arrive(station.mid(40));
    EXPECT_EQ(list.count(), 1);
    // Byte by byte, each record once it is whole.
    for (int i = station.size(); i < file.size(); ++i)
        arrive(file.mid(i, 1));
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.row(3), kMeasurementRow);
    EXPECT_EQ(link.lastWrite(), "06 30 30 30 33 30 30 31 30 0D");
    EXPECT_EQ(messages(), 0);
}

TEST_F(Rqx2MeasurementReceiveTest, DamagedRecordsAreRefusedAndTheInstrumentStartsOver)
{
    QByteArray lettered = fromHex(kStation);
    lettered[3] = 'O';
    QByteArray controlDigit = fromHex(kHeader);
    controlDigit[8] = 0x00; // decodes as "0", but is no digit
    const QList<std::pair<bool, QByteArray>> cases{
        {true, fromHex("02 30 30 30 30 30 30 31 30 06 46 30 30 30 31 0D")}, // no "7" in the header
        {true, controlDigit},
        {true, fromHex(kHeader).insert(12, '0')}, // a byte too many
        {false, fromHex(kStation).remove(20, 1)},
        {false, lettered},
        {false, fromHex(kBacksight).insert(12, ' ')},
        {false, measurement("0001", "0010").remove(40, 1)}, // its CR at 119, among the long records
        {false, fromHex(kStation).left(63).append('\r')},   // its CR where a coordinate record's stands
    };
    for (const auto &[isHeader, bytes] : cases) {
        receive.commandReceive();
        deliver(request());
        if (!isHeader)
            deliver(fromHex(kHeader));
        log.clear();
        deliver(bytes);
        EXPECT_EQ(log.events,
                  (QStringList{"clearInput", "rthreshold 3", "label4 等待握手信号。。。", damaged()}))
            << hex(bytes).toStdString();
        EXPECT_EQ(list.count(), 0);
        EXPECT_EQ(state.HandshakeAnswered, 0);
    }

    // Started again on the instrument: the request is answered and the file comes from its start.
    deliver(fromHex(kStation));
    EXPECT_TRUE(link.written.endsWith(fromHex(kHeaderAck)));
    deliver(request());
    EXPECT_EQ(link.lastWrite(), "05 4A 0D");
    deliver(fromHex(kHeader));
    deliver(fromHex(kStation));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(link.lastWrite(), "06 30 30 30 31 30 30 31 30 0D");
}

TEST_F(Rqx2MeasurementReceiveTest, CoordinateRecordsStillReachTheCoordinateReceive)
{
    protocol.commandReceiveCoordinates();
    deliver(request());
    deliver(record("0001", "0001", "P1     ", "A      ", "000000001.000", "000000002.000", "000000003.000"));
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(list.count(), 0);
}
