#include "Rqx2Fixture.h"

// Receiving coordinates from an RQX2 instrument: handshake, records, acknowledgements, the
// completion message, and what a damaged record does.

namespace {
// Point 1 of 25: 'P1', 'A', N 1234.567, E -45.5, Z 12.3.
const char kExampleRecord[] =
    "02 30 30 30 31 30 30 32 35 50 31 20 20 20 20 20 41 20 20 20 20 20 20 30 30 30 30 30 31 32 "
    "33 34 2E 35 36 37 30 30 30 30 30 30 2D 34 35 2E 35 30 30 30 30 30 30 30 30 30 31 32 2E "
    "33 30 30 0D";
const char kExampleAcknowledgement[] = "02 30 30 30 31 30 30 32 35 0D 00";
} // namespace

class Rqx2CoordinateReceive : public Rqx2Fixture {
protected:
    // RecZB and the instrument's opening request; the log then starts with what the first record does.
    void startReceive()
    {
        protocol.commandReceiveCoordinates();
        deliver(request());
        log.clear();
    }
};

TEST_F(Rqx2CoordinateReceive, CommandPreparesThePortAndSendsNothing)
{
    state.Rqx5MeasureReceiveStarted = true;
    protocol.commandReceiveCoordinates();
    EXPECT_EQ(log.events, (QStringList{"status 等待接收坐标数据...", "clearOutput", "clearInput",
                                       "sthreshold 1", "rthreshold 3", "open"}));
    EXPECT_EQ(state.ReceiveCoordinatesMode, 1);
    EXPECT_EQ(state.SendCoordinatesMode, 0);
    EXPECT_EQ(state.ReceiveMeasurementsMode, 0);
    EXPECT_EQ(state.HandshakeAnswered, 0);
    EXPECT_FALSE(state.Rqx5MeasureReceiveStarted);
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(Rqx2CoordinateReceive, PortThatCannotBeOpenedIsReported)
{
    link.failOpen = true;
    protocol.commandReceiveCoordinates();
    EXPECT_EQ(log.events.mid(log.events.size() - 3),
              (QStringList{"open failed", "message 错误提示|请检查端口连接是否正确！", "forward"}));
    EXPECT_TRUE(link.written.isEmpty());
}

TEST_F(Rqx2CoordinateReceive, HandshakeIsAnsweredOnceAndArmsForARecord)
{
    protocol.commandReceiveCoordinates();
    log.clear();
    deliver(request());
    EXPECT_EQ(log.events,
              (QStringList{"clearOutput", "clearInput", "sthreshold 3", "rthreshold 63", "write 01 4A 0D"}));
    EXPECT_EQ(state.HandshakeAnswered, 1);

    // A second request in the same transfer is not answered, and the port stays armed for a record.
    log.clear();
    dispatcher.dispatch(fromHex("4A 0D"));
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_EQ(link.rThreshold, 63);
}

TEST_F(Rqx2CoordinateReceive, ExampleRecordUnderNez)
{
    startReceive();
    deliver(fromHex(kExampleRecord));
    EXPECT_EQ(row(1), "1|P1|A|1234.5670|-45.5000|12.3000");
    EXPECT_EQ(log.events, (QStringList{"status ", "progress 1/25", "clearOutput", "clearInput",
                                       "sthreshold 1", "rthreshold 63", "status 数据传输中。。。",
                                       QStringLiteral("write ") + kExampleAcknowledgement}));
    EXPECT_EQ(table.headers().at(3), "坐标--N");
    EXPECT_EQ(state.RecordCount, 1);
    EXPECT_EQ(state.PointText[0].at(1), "1234.5670");
    EXPECT_EQ(state.PointText[1].at(1), "-45.5000");
    EXPECT_EQ(state.PointText[2].at(1), "12.3000");
    EXPECT_EQ(state.PointText[3].at(1), "P1");
    EXPECT_EQ(state.PointText[4].at(1), "A");
}

TEST_F(Rqx2CoordinateReceive, ExampleRecordUnderEnz)
{
    useEnz();
    startReceive();
    deliver(fromHex(kExampleRecord));
    EXPECT_EQ(row(1), "1|P1|A|-45.5000|1234.5670|12.3000");
    EXPECT_EQ(table.headers().at(3), "坐标--E");
    EXPECT_EQ(link.lastWrite(), kExampleAcknowledgement);
}

TEST_F(Rqx2CoordinateReceive, RecordArrivesWholeBytewiseOrWithTrailingBytes)
{
    startReceive();
    deliverBytewise(fromHex(kExampleRecord));
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(link.lastWrite(), kExampleAcknowledgement);

    // Bytes after the CR are not part of the record; the acknowledgement discards them.
    deliver(record("0002", "0025", "P2     ", "B      ", "000000001.000", "000000002.000", "000000003.000") +
            fromHex("0D 4A 00"));
    EXPECT_EQ(table.count(), 2);
    EXPECT_EQ(row(2), "2|P2|B|1.0000|2.0000|3.0000");
    EXPECT_EQ(link.lastWrite(), "02 30 30 30 32 30 30 32 35 0D 00");
    EXPECT_EQ(link.waitingCount(), 0);
    EXPECT_EQ(countOf("write 02 30 30 30 32 30 30 32 35 0D 00"), 1);
}

TEST_F(Rqx2CoordinateReceive, CoordinateTexts)
{
    startReceive();
    // A minus among zeros keeps a value below 1 negative; inner spaces of the point number vanish;
    // the integer part loses its leading zeros.
    deliver(record("0001", "0003", "A 1    ", "       ", "0000000-0.250", "000000000.000", "-00000100.001"));
    EXPECT_EQ(row(1), "1|A1||-0.2500|0.0000|-100.0010");
    // Spaces in front of the digits vanish as zeros do; seven characters fill the text fields.
    deliver(record("0002", "0003", "1234567", "ABCDEFG", "999999999.999", "       12.500", "+00000012.300"));
    EXPECT_EQ(row(2), "2|1234567|ABCDEFG|999999999.9990|12.5000|12.3000");
}

TEST_F(Rqx2CoordinateReceive, ShiftedLayoutKeepsThreeDecimals)
{
    startReceive();
    // One extra byte before the 0x02: 64 bytes, CR at position 63.
    deliver(fromHex("00") + fromHex(kExampleRecord));
    EXPECT_EQ(row(1), "1|P1|A|1234.567|-45.500|12.300");
    EXPECT_EQ(link.lastWrite(), kExampleAcknowledgement);

    // On a line its first 63 bytes reach the receive threshold before its CR has come.
    const QByteArray second = fromHex("00") + fromHex(kExampleRecord).replace(1, 4, "0002");
    deliver(second.left(63));
    EXPECT_EQ(table.count(), 1);
    deliver(second.mid(63));
    EXPECT_EQ(row(2), "2|P1|A|1234.567|-45.500|12.300");
    deliverBytewise(fromHex("00") + fromHex(kExampleRecord).replace(1, 4, "0003"));
    EXPECT_EQ(table.count(), 3);
    EXPECT_EQ(link.lastWrite(), "02 30 30 30 33 30 30 32 35 0D 00");
    EXPECT_TRUE(log.matching("message").isEmpty());
}

TEST_F(Rqx2CoordinateReceive, PointTwoThousandOfAStandardTransfer)
{
    startReceive();
    // Character 0 is the digit 2, but the CR stands at 62: the standard layout.
    deliver(record("2000", "2500", "2000   ", "K2000  ", "000012345.678", "000054321.001", "000000099.990"));
    EXPECT_EQ(row(1), "1|2000|K2000|12345.6780|54321.0010|99.9900");
    EXPECT_EQ(view.progress, "2000/2500");
    EXPECT_EQ(link.lastWrite(), "02 32 30 30 30 32 35 30 30 0D 00");
}

TEST_F(Rqx2CoordinateReceive, AcknowledgementDigits)
{
    startReceive();
    deliver(record("0007", "1000", "7      ", "       ", "000000001.000", "000000001.000", "000000001.000"));
    EXPECT_EQ(link.lastWrite(), "02 30 30 30 37 31 30 30 30 0D 00");
    deliver(record("0056", "1000", "56     ", "       ", "000000001.000", "000000001.000", "000000001.000"));
    EXPECT_EQ(link.lastWrite(), "02 30 30 35 36 31 30 30 30 0D 00");
    deliver(record("0999", "1000", "999    ", "       ", "000000001.000", "000000001.000", "000000001.000"));
    EXPECT_EQ(link.lastWrite(), "02 30 39 39 39 31 30 30 30 0D 00");
    EXPECT_EQ(view.progress, "999/1000");
}

TEST_F(Rqx2CoordinateReceive, CompletionMessageComesBeforeTheLastAcknowledgement)
{
    startReceive();
    bool acknowledgedWhileMessageOpen = true;
    view.onMessage = [&] {
        acknowledgedWhileMessageOpen = link.written.endsWith(fromHex("32 35 30 30 32 35 0D 00"));
    };
    deliver(record("0025", "0025", "P25    ", "A      ", "000001234.567", "000000-45.500", "000000012.300"));
    EXPECT_FALSE(acknowledgedWhileMessageOpen);
    EXPECT_EQ(log.events.mid(log.events.size() - 3),
              (QStringList{"status ", "message 成功|坐标数据传输完毕！",
                           "write 02 30 30 32 35 30 30 32 35 0D 00"}));
    EXPECT_EQ(view.status, "");

    // A current number beyond the total ends the same way.
    log.clear();
    deliver(record("0030", "0025", "P30    ", "A      ", "000000001.000", "000000001.000", "000000001.000"));
    EXPECT_EQ(log.events.mid(log.events.size() - 2),
              (QStringList{"message 成功|坐标数据传输完毕！", "write 02 30 30 33 30 30 30 32 35 0D 00"}));
}

TEST_F(Rqx2CoordinateReceive, SecondReceiveContinuesBelowTheExistingRows)
{
    startReceive();
    deliver(record("0001", "0002", "A      ", "       ", "000000001.000", "000000001.000", "000000001.000"));
    deliver(record("0002", "0002", "B      ", "       ", "000000002.000", "000000002.000", "000000002.000"));

    protocol.commandReceiveCoordinates();
    deliver(request());
    EXPECT_EQ(link.lastWrite(), "01 4A 0D");
    deliver(record("0001", "0002", "C      ", "       ", "000000003.000", "000000003.000", "000000003.000"));
    deliver(record("0002", "0002", "D      ", "       ", "000000004.000", "000000004.000", "000000004.000"));
    ASSERT_EQ(table.count(), 4);
    EXPECT_EQ(row(1), "1|A||1.0000|1.0000|1.0000");
    EXPECT_EQ(row(3), "3|C||3.0000|3.0000|3.0000");
    EXPECT_EQ(row(4), "4|D||4.0000|4.0000|4.0000");
    EXPECT_EQ(view.progress, "2/2");
}

TEST_F(Rqx2CoordinateReceive, ReceiveAfterASendStoresFreshTexts)
{
    startReceive();
    deliver(record("0001", "0001", "P1     ", "A      ", "000000001.000", "000000001.000", "000000001.000"));
    // The send command puts RecordCount back to 0; the next receive uses index 1 again.
    state.RecordCount = 0;
    protocol.commandReceiveCoordinates();
    deliver(request());
    deliver(record("0001", "0001", "P1     ", "A      ", "000000001.000", "000000001.000", "000000001.000"));
    EXPECT_EQ(state.PointText[3].at(1), "P1");
    EXPECT_EQ(state.PointText[4].at(1), "A");
    EXPECT_EQ(row(1), "1|P1|A|1.0000|1.0000|1.0000");
    EXPECT_EQ(table.count(), 1);
}

TEST_F(Rqx2CoordinateReceive, TableClearedBetweenReceivesGetsItsColumnsBack)
{
    startReceive();
    deliver(record("0001", "0001", "P1     ", "A      ", "000000001.000", "000000001.000", "000000001.000"));
    table.clear();
    protocol.commandReceiveCoordinates();
    deliver(request());
    deliver(record("0001", "0001", "P2     ", "B      ", "000000002.000", "000000002.000", "000000002.000"));
    EXPECT_TRUE(table.hasColumns());
    EXPECT_EQ(table.columnCount(), 6);
    EXPECT_EQ(row(1), "2|P2|B|2.0000|2.0000|2.0000");
}

TEST_F(Rqx2CoordinateReceive, DamagedRecordIsNeitherStoredNorAcknowledged)
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
        // A byte lost on the line: the CR stands at 61, and a byte of what follows makes up 63.
        {"a record one byte short", example.left(20) + example.mid(21) + fromHex("20")},
        {"two bytes before the record", fromHex("00 00") + example},
    };
    startReceive();
    for (const auto &[what, bytes] : damaged) {
        SCOPED_TRACE(what);
        log.clear();
        deliver(bytes + fromHex("41 42"));
        EXPECT_EQ(table.count(), 0);
        EXPECT_EQ(state.RecordCount, 0);
        EXPECT_EQ(
            log.matching("message"),
            QStringList{"message 错误提示|收到一条损坏的坐标数据（长度不对，或点序号、点数不是四位数字），"
                        "该点未保存。请在全站仪上重新发送坐标数据！"});
        EXPECT_TRUE(log.matching("write").isEmpty());
        EXPECT_EQ(link.waitingCount(), 0);
    }

    // The record sent again is received as usual.
    deliver(example);
    EXPECT_EQ(row(1), "1|P1|A|1234.5670|-45.5000|12.3000");
    EXPECT_EQ(link.lastWrite(), kExampleAcknowledgement);
}

TEST_F(Rqx2CoordinateReceive, SendStartedAgainAfterADamagedRecordIsAnsweredAndReceived)
{
    startReceive();
    deliver(record("0001", "0002", "A      ", "       ", "000000001.000", "000000001.000", "000000001.000"));
    deliver(record("0002", "00x2", "B      ", "       ", "000000002.000", "000000002.000", "000000002.000"));
    ASSERT_EQ(table.count(), 1);

    // The user starts the send on the instrument again: its request is answered as the first one.
    log.clear();
    deliver(request());
    EXPECT_EQ(log.events,
              (QStringList{"clearOutput", "clearInput", "sthreshold 3", "rthreshold 63", "write 01 4A 0D"}));
    deliver(record("0001", "0002", "A      ", "       ", "000000001.000", "000000001.000", "000000001.000"));
    deliver(record("0002", "0002", "B      ", "       ", "000000002.000", "000000002.000", "000000002.000"));
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(row(3), "3|B||2.0000|2.0000|2.0000");
    EXPECT_EQ(link.lastWrite(), "02 30 30 30 32 30 30 30 32 0D 00");
    EXPECT_EQ(view.messages.last(), "成功|坐标数据传输完毕！");
}

TEST_F(Rqx2CoordinateReceive, ManyRecordsAreAllKept)
{
    startReceive();
    for (int i = 1; i <= 40005; ++i) {
        const QByteArray digits = QByteArray::number(i % 10000).rightJustified(4, '0');
        deliver("\x02" + digits + "9999" + digits.leftJustified(7, ' ') + "       " +
                "000000001.000000000002.000000000003.000\r");
    }
    EXPECT_EQ(table.count(), 40005);
    EXPECT_EQ(state.RecordCount, 40005);
    EXPECT_EQ(row(40005), "40005|0005||1.0000|2.0000|3.0000");
    EXPECT_EQ(state.PointText[3].at(40005), "0005");
}

TEST_F(Rqx2CoordinateReceive, MeasurementTransferIsAnsweredWithItsOwnKind)
{
    // As the measurement window's receive command leaves the flags.
    state.HandshakeAnswered = 0;
    state.ReceiveMeasurementsMode = 1;
    ASSERT_TRUE(protocol.PrepareRqx2Transfer());
    log.clear();
    deliver(request());
    EXPECT_EQ(log.events,
              (QStringList{"clearOutput", "clearInput", "sthreshold 3", "rthreshold 16",
                           "measurement status 数据传输中。。。", "rthreshold 16", "write 05 4A 0D"}));
    EXPECT_EQ(state.HandshakeAnswered, 1);
}

TEST_F(Rqx2CoordinateReceive, HandshakeAnswerThatCannotBeWrittenIsReported)
{
    protocol.commandReceiveCoordinates();
    link.failWrite = true;
    deliver(request());
    EXPECT_EQ(log.events.mid(log.events.size() - 3),
              (QStringList{"write failed", "message 错误提示|请检查端口连接是否正确！", "forward"}));
    EXPECT_EQ(state.HandshakeAnswered, 0);
}

TEST_F(Rqx2CoordinateReceive, ArbitraryBytesAreStoredOrRefusedButNeverReadPastTheRecord)
{
    startReceive();
    view.onMessage = [] {};
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int stored = 0, refused = 0;
    for (int i = 0; i < 3000; ++i) {
        // 63 or 64 bytes, CR last, digits in the counters every other time.
        QByteArray block(62 + static_cast<int>(next() % 2), '\0');
        for (char &byte : block)
            byte = static_cast<char>(next() >> 24);
        block.replace('\r', '\x0E');
        if (i % 2)
            block.replace(block.size() - 61, 8, "00010001");
        block.append('\r');
        const int rowsBefore = table.count();
        const int messagesBefore = static_cast<int>(view.messages.size());
        dispatcher.dispatch(block);
        stored += table.count() - rowsBefore;
        refused += static_cast<int>(view.messages.size()) - messagesBefore;
    }
    EXPECT_GT(stored, 1000);
    EXPECT_GT(refused, 1000);
}
