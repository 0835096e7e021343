// The RQX5 data-file and measurement receive: headers, records, the rows they give, the answers.
#include "rqx5/Rqx5MeasurementReceive.h"
#include "Rqx5Fixture.h"
#include "core/MeasurementTableModel.h"
#include "support/RecordingMeasurementViews.h"

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

class Rqx5MeasurementReceiveTest : public Rqx5Fixture {
protected:
    Rqx5MeasurementReceiveTest() { receive.install(dispatcher.routines(), protocol); }

    QStringList listRow(int index) const { return list.row(index); }

    MeasurementTableModel list;
    RecordingRqx5MeasurementView window{log};
    Rqx5MeasurementReceive receive{state, link, list, window};
};

} // namespace

TEST_F(Rqx5MeasurementReceiveTest, DataFileHeaderOfTheWorkedExample)
{
    receive.StartRqx5DataFileReceive();
    EXPECT_EQ(log.events,
              QStringList({"clearOutput", "clearInput", "sthreshold 1", "rthreshold 33", "open"}));
    log.clear();
    deliver(fromHex(kHeader256));
    // No 0/n: the count stays until the first record shows 1/256.
    EXPECT_EQ(log.events, QStringList({"option3", "label5 正在接收数据...", "text3 JOB1        ", "text1 256",
                                       "text4 123456789", "text2 141225", "clearOutput", "clearInput",
                                       "sthreshold 1", "rthreshold 246", "write AA 81"}));
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_FALSE(view.coordinateDataSelected);
}

TEST_F(Rqx5MeasurementReceiveTest, HeaderCountIsReadUnsignedAndZeroEndsAtOnce)
{
    // 0x01 0xB2: a count byte that is a measurement terminator does not cut the header short.
    const std::array<int, 3> counts[] = {
        {0x01, 0x00, 256}, {0x80, 0x00, 32768}, {0xFF, 0xFF, 65535}, {0x01, 0xB2, 434}};
    for (const auto &[high, low, count] : counts) {
        receive.StartRqx5DataFileReceive();
        deliver(header(high, low));
        EXPECT_EQ(state.Rqx5Count, count);
        EXPECT_EQ(link.rThreshold, 246);
    }
    receive.StartRqx5DataFileReceive();
    log.clear();
    deliver(header(0, 0));
    EXPECT_EQ(log.events.mid(6), QStringList({"clearOutput", "clearInput", "sthreshold 1", "rthreshold 2",
                                              "label5 接收完毕！", "text1 0", "write AA 81"}));
}

class Rqx5DataFileOrder : public Rqx5MeasurementReceiveTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Rqx5DataFileOrder, RecordsShowEveryFieldAndTheEndFrameIsEchoed)
{
    const bool nez = GetParam();
    if (!nez)
        useEnz();
    receive.StartRqx5DataFileReceive();
    deliver(header(0, 2));
    log.clear();
    deliver(dataFileRecord());
    EXPECT_EQ(log.events, QStringList({"text1 1/2", "clearOutput", "clearInput", "sthreshold 1",
                                       "rthreshold 246", "write AA 81"}));
    log.clear();
    deliver(dataFileRecord());
    EXPECT_EQ(log.events, QStringList({"text1 2/2", "clearOutput", "clearInput", "sthreshold 1",
                                       "rthreshold 2", "label5 接收完毕！", "text1 2", "write AA 81"}));

    QStringList expected = kShown;
    if (!nez) {
        expected.swapItemsAt(3, 4);
        expected.swapItemsAt(17, 18);
    }
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(listRow(1), QStringList{"1"} + expected);
    EXPECT_EQ(listRow(2), QStringList{"2"} + expected);
    EXPECT_EQ(list.headers().mid(4, 2),
              nez ? QStringList({"测站--N", "测站--E"}) : QStringList({"测站--E", "测站--N"}));
    EXPECT_EQ(list.headers().mid(18, 2),
              nez ? QStringList({"坐标--N", "坐标--E"}) : QStringList({"坐标--E", "坐标--N"}));
    EXPECT_EQ(state.MeasText[17].at(2), kShown[16]); // 目标高, field 17, is held in MeasText18

    log.clear();
    deliver(fromHex("AA 82"));
    EXPECT_EQ(log.events, QStringList({"form4 message 成功|数据传输完毕！", "clearOutput", "clearInput",
                                       "sthreshold 1", "write AA 82"}));
    EXPECT_EQ(state.RecordCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Order, Rqx5DataFileOrder, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Nez" : "Enz";
                         });

TEST_F(Rqx5MeasurementReceiveTest, WorkedKindThreeRecord)
{
    receive.StartRqx5MeasurementReceive();
    EXPECT_EQ(link.rThreshold, 30);
    EXPECT_TRUE(state.TransferUnderway);
    list.setColumns({{}, {}});
    list.append(QStringList{"1"});
    list.append(QStringList{"2"});
    state.RecordCount = 4;
    log.clear();
    deliver(measurement(0xB4, {"90\x7D"
                               "00\x7E"
                               "00\x7F",
                               "88\x7D"
                               "10\x7E"
                               "30\x7F",
                               "15.250", "-0.375"}));
    EXPECT_EQ(state.Rqx5DataKind, 3);
    EXPECT_EQ(listRow(3), QStringList({"3", "5", "90°00′00″     ", "88°10′30″     ", "", "-0.375        ",
                                       "15.250        ", "", "", ""}));
    EXPECT_TRUE(log.events.isEmpty());    // nothing sent, the threshold left as it was
    EXPECT_FALSE(state.TransferUnderway); // a cable unplugged now loses nothing
}

TEST_F(Rqx5MeasurementReceiveTest, EveryKindAloneOrPaddedGivesOneRow)
{
    struct Case {
        unsigned char terminator;
        QList<const char *> fields;
        bool nez;
        QStringList row; // subitems 2..9
    };
    const Case cases[] = {
        {0xB2, {"10.0000", "20.0000"}, true, {"10.0000       ", "20.0000       ", "", "", "", "", "", ""}},
        {0xB3,
         {"10.0000", "20.0000", "33.333"},
         true,
         {"10.0000       ", "20.0000       ", "33.333        ", "", "", "", "", ""}},
        {0xB5,
         {"3456.789", "1234.5", "12.34"},
         true,
         {"", "", "", "", "", "3456.789      ", "1234.5        ", "12.34         "}},
        {0xB5,
         {"3456.789", "1234.5", "12.34"},
         false,
         {"", "", "", "", "", "1234.5        ", "3456.789      ", "12.34         "}},
    };
    for (bool padded : {false, true}) {
        for (const Case &c : cases) {
            selection.nez = c.nez;
            list.setColumns({});
            state.RecordCount = 0;
            receive.StartRqx5MeasurementReceive();
            deliver(measurement(c.terminator, c.fields, padded));
            ASSERT_EQ(list.count(), 1) << "kind " << c.terminator - 0xB1 << (padded ? " padded" : "");
            EXPECT_EQ(listRow(1), QStringList({"1", "1"}) + c.row);
            EXPECT_EQ(list.headers().at(7), c.nez ? "坐标--N" : "坐标--E");
        }
    }
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(Rqx5MeasurementReceiveTest, RecordsAreTakenByTheirTerminatorHoweverTheyArrive)
{
    const QByteArray records = measurement(0xB2, {"1.0000", "2.0000"}) +
                               measurement(0xB3, {"1.0000", "2.0000", "33.333"}) +
                               measurement(0xB5, {"3456.789", "1234.5", "12.34"}, true) +
                               measurement(0xB4, {"1.0000", "2.0000", "15.25", "-0.5"});
    // All in one read, byte by byte, and in pieces that end inside records.
    for (int piece : {int(records.size()), 1, 7, 45}) {
        list.setColumns({});
        state.RecordCount = 0;
        receive.StartRqx5MeasurementReceive();
        // The port raises one receive event for each arrival that brings the waiting bytes to the
        // threshold; bytes handed back raise none of their own.
        for (int at = 0; at < records.size(); at += piece) {
            link.waiting += records.mid(at, piece);
            if (link.waitingCount() >= link.rThreshold)
                dispatcher.OnReceiveEvent();
        }
        ASSERT_EQ(list.count(), 4) << "pieces of " << piece;
        for (int r = 1; r <= 4; ++r)
            EXPECT_EQ(list.cell(r, 1), QString::number(r));
        EXPECT_EQ(list.cell(2, 4), "33.333        ");
        EXPECT_EQ(list.cell(3, 9), "12.34         ");
        EXPECT_EQ(list.cell(4, 5), "-0.5          ");
    }
    EXPECT_TRUE(log.matching("form4 message").isEmpty());
}

TEST_F(Rqx5MeasurementReceiveTest, DataFileArrivingByteByByte)
{
    receive.StartRqx5DataFileReceive();
    deliverBytewise(header(0, 2));
    deliverBytewise(dataFileRecord());
    deliverBytewise(dataFileRecord());
    deliverBytewise(fromHex("AA 82"));
    EXPECT_EQ(hex(link.written), "AA 81 AA 81 AA 81 AA 82");
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(log.matching("form4 message"), QStringList{"form4 message 成功|数据传输完毕！"});
}

TEST_F(Rqx5MeasurementReceiveTest, TwoReceivesSeparatedByAnEndFrameBothNumberFromOne)
{
    const QByteArray angles = measurement(0xB2, {"1.0000", "2.0000"});
    receive.StartRqx5MeasurementReceive();
    deliver(angles);
    deliver(angles);
    dispatcher.dispatch(fromHex("AA 82"));
    receive.StartRqx5MeasurementReceive();
    deliver(angles);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.cell(2, 1), "2");
    EXPECT_EQ(list.row(3).mid(0, 4), QStringList({"3", "1", "1.0000        ", "2.0000        "}));
    EXPECT_EQ(state.MeasText[11].at(1), "1.0000        ");
}

TEST_F(Rqx5MeasurementReceiveTest, FramesThatAreNotWholeAreNotStored)
{
    // A kind-1 terminator where no record of that kind ends.
    receive.StartRqx5MeasurementReceive();
    log.clear();
    deliver(QByteArray(35, ' ') + "\xB2");
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_EQ(log.events,
              QStringList{"form4 message 错误提示|" + Rqx5MeasurementReceive::kDamagedMeasurement});

    // A data-file record cut short: not acknowledged, the port waits for a whole one.
    receive.StartRqx5DataFileReceive();
    deliver(header(0, 2));
    log.clear();
    deliver(dataFileRecord().mid(10) + QByteArray(10, ' '));
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(log.events,
              QStringList({"clearInput", "rthreshold 246",
                           "form4 message 错误提示|" + Rqx5MeasurementReceive::kDamagedDataFileRecord}));
    deliver(dataFileRecord());
    EXPECT_EQ(list.count(), 1);
}

TEST_F(Rqx5MeasurementReceiveTest, PortFailureBringsTheMeasurementWindowForward)
{
    link.failOpen = true;
    EXPECT_FALSE(receive.StartRqx5MeasurementReceive());
    EXPECT_EQ(
        log.events.mid(4),
        QStringList({"open failed", "form4 message 错误提示|请检查端口连接是否正确！", "form4 forward"}));
    EXPECT_TRUE(state.Rqx5MeasureReceiveStarted);
    EXPECT_TRUE(state.Rqx5MeasureWindowOpen);
    receive.StartRqx5DataFileReceive();
    EXPECT_FALSE(state.Rqx5MeasureReceiveStarted);
}
