// The receive dispatcher: which routine a received chunk reaches, by series, terminator and position.
#include "core/AppState.h"
#include "serial/ReceiveDispatcher.h"
#include "support/FakeSerialLink.h"
#include "support/RecordingView.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace {

// An n-byte chunk of spaces (a byte no rule reacts to) with the given bytes at the given positions.
QByteArray chunk(int n, std::initializer_list<std::pair<int, unsigned char>> bytes)
{
    QByteArray result(n, ' ');
    for (const auto &[position, value] : bytes)
        result[position] = static_cast<char>(value);
    return result;
}

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.Selection = &selection;
        state.load();
        state.ReceiveBuffer.reallocate(50000);
        ReceiveRoutines &r = dispatcher.routines();
        r.AnswerRqx2Handshake = routine("AnswerRqx2Handshake");
        r.ReceiveRqx2CoordinateRecord = routine("ReceiveRqx2CoordinateRecord");
        r.ReceiveRqx2LongRecord = routine("ReceiveRqx2LongRecord");
        r.ReceiveRqx2ShortRecord = routine("ReceiveRqx2ShortRecord");
        r.ShowRqx5TransferComplete = routine("ShowRqx5TransferComplete");
        r.ReceiveRqx5DataBlock = [this] {
            log.add(QStringLiteral("ReceiveRqx5DataBlock at %1 notFirst %2")
                        .arg(state.LoopIndex)
                        .arg(state.Rqx5AckNotFirst ? "true" : "false"));
        };
        r.SendRqx5NextCoordinate = [this] {
            log.add(QStringLiteral("SendRqx5NextCoordinate at %1 count %2")
                        .arg(state.LoopIndex)
                        .arg(state.RecordCount));
        };
        r.ReceiveRqx5CoordinateRecord = routine("ReceiveRqx5CoordinateRecord");
        r.ReceiveRqx5DataFileRecord = routine("ReceiveRqx5DataFileRecord");
        r.ReceiveRqx5MeasurementRecord = [this] {
            log.add(QStringLiteral("ReceiveRqx5MeasurementRecord at %1 kind %2")
                        .arg(state.LoopIndex)
                        .arg(state.Rqx5DataKind));
        };
    }

    // The routine logs its name and the position the dispatcher stands at when it is called.
    std::function<void()> routine(const char *name)
    {
        return [this, name] {
            log.add(QStringLiteral("%1 at %2").arg(QLatin1String(name)).arg(state.LoopIndex));
        };
    }

    void selectRqx2()
    {
        selection.rqx2 = true;
        selection.rqx5 = false;
    }
    void selectRqx5()
    {
        selection.rqx2 = false;
        selection.rqx5 = true;
    }

    QStringList dispatch(const QByteArray &bytes)
    {
        log.clear();
        dispatcher.dispatch(bytes);
        return log.events;
    }

    Recorder log;
    FakeSerialLink link{log};
    RecordingView view{log};
    FixedSelection selection;
    AppState state;
    ReceiveDispatcher dispatcher{state, link, view};
};

using Events = QStringList;

} // namespace

// ---- RQX2 ----------------------------------------------------------------------------------------

TEST_F(DispatcherTest, Rqx2HandshakeJAndCrAnswered)
{
    selectRqx2();
    EXPECT_EQ(dispatch(fromHex("4A 0D")), Events{"AnswerRqx2Handshake at 1"});
    // Whatever stands before the J is not examined.
    EXPECT_EQ(dispatch(fromHex("02 41 4A 0D")), Events{"AnswerRqx2Handshake at 3"});
    // J CR wins over the position rules: at 61..64 it is still the handshake.
    EXPECT_EQ(dispatch(chunk(63, {{61, 0x4A}, {62, 0x0D}})), Events{"AnswerRqx2Handshake at 62"});
    EXPECT_EQ(dispatch(chunk(130, {{119, 0x4A}, {120, 0x0D}})), Events{"AnswerRqx2Handshake at 120"});
}

TEST_F(DispatcherTest, Rqx2CrRoutedByItsPosition)
{
    selectRqx2();
    const std::pair<int, const char *> cases[] = {
        {1, "ReceiveRqx2ShortRecord at 1"},        {60, "ReceiveRqx2ShortRecord at 60"},
        {61, "ReceiveRqx2CoordinateRecord at 61"}, {62, "ReceiveRqx2CoordinateRecord at 62"},
        {64, "ReceiveRqx2CoordinateRecord at 64"}, {65, "ReceiveRqx2ShortRecord at 65"},
        {115, "ReceiveRqx2ShortRecord at 115"},    {116, "ReceiveRqx2LongRecord at 116"},
        {120, "ReceiveRqx2LongRecord at 120"},     {4999, "ReceiveRqx2LongRecord at 4999"},
    };
    for (const auto &[position, expected] : cases) {
        SCOPED_TRACE(position);
        EXPECT_EQ(dispatch(chunk(position + 1, {{0, 0x02}, {position, 0x0D}})), Events{expected});
        // Trailing bytes after the CR change nothing.
        EXPECT_EQ(dispatch(chunk(position + 5, {{0, 0x02}, {position, 0x0D}})), Events{expected});
    }
}

TEST_F(DispatcherTest, Rqx2CrAtPositionZeroIsOnlyAPredecessor)
{
    selectRqx2();
    EXPECT_TRUE(dispatch(fromHex("0D 41 42")).isEmpty());
    // A J at position 0 followed by CR is still the pair "J" CR at position 1.
    EXPECT_EQ(dispatch(fromHex("4A 0D")), Events{"AnswerRqx2Handshake at 1"});
}

TEST_F(DispatcherTest, Rqx2FirstCrEndsTheScan)
{
    selectRqx2();
    state.ReceiveBuffer.reallocate(5000);
    EXPECT_EQ(dispatch(chunk(63, {{10, 0x0D}, {62, 0x0D}})), Events{"ReceiveRqx2ShortRecord at 10"});
    // The rest of the chunk is neither examined nor stored.
    EXPECT_EQ(state.ReceiveBuffer.at(10), 0x0D);
    EXPECT_EQ(state.ReceiveBuffer.at(11), 0);
    EXPECT_EQ(state.ReceiveBuffer.at(62), 0);
    EXPECT_EQ(state.LoopIndex, 62);
}

TEST_F(DispatcherTest, Rqx2IgnoresTheRqx5Frames)
{
    selectRqx2();
    EXPECT_TRUE(dispatch(fromHex("AA BB")).isEmpty());
    EXPECT_TRUE(dispatch(fromHex("AA 82")).isEmpty());
    EXPECT_TRUE(dispatch(fromHex("AA 81")).isEmpty());
    EXPECT_TRUE(dispatch(chunk(60, {{0, 0x90}, {59, 0xB0}})).isEmpty());
    EXPECT_TRUE(dispatch(chunk(58, {{57, 0xB4}})).isEmpty());
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(state.RecordCount, 0);
}

// ---- RQX5 ----------------------------------------------------------------------------------------

TEST_F(DispatcherTest, Rqx5EndPairAtTheStartShowsCompletionFirst)
{
    selectRqx5();
    state.Rqx5AckNotFirst = true;
    EXPECT_EQ(dispatch(fromHex("AA 82")),
              (Events{"ShowRqx5TransferComplete at 1", "ReceiveRqx5DataBlock at 1 notFirst false"}));
    // Positions 1-2 still open the block (i = 2 is not beyond 2).
    EXPECT_EQ(dispatch(fromHex("00 AA 82")),
              (Events{"ShowRqx5TransferComplete at 2", "ReceiveRqx5DataBlock at 2 notFirst false"}));
}

TEST_F(DispatcherTest, Rqx5EndPairBeyondPositionTwoClosesAHeader)
{
    selectRqx5();
    EXPECT_EQ(dispatch(fromHex("00 00 AA 82")), Events{"ReceiveRqx5DataBlock at 3 notFirst true"});
    EXPECT_EQ(dispatch(chunk(7, {{5, 0xAA}, {6, 0x82}})), Events{"ReceiveRqx5DataBlock at 6 notFirst true"});
    // The 18-byte coordinate header: 12 name characters, count 1 x 100 + 23, then the pair.
    const QByteArray header = fromHex("00 00 31 32 33 20 20 20 20 20 20 20 20 20 01 17 AA 82");
    EXPECT_EQ(dispatch(header), Events{"ReceiveRqx5DataBlock at 17 notFirst true"});
}

TEST_F(DispatcherTest, Rqx5NextPairCountsBeforeTheNextPointIsSent)
{
    selectRqx5();
    state.RecordCount = 4;
    EXPECT_EQ(dispatch(fromHex("AA 81")), Events{"SendRqx5NextCoordinate at 1 count 5"});
    EXPECT_EQ(state.RecordCount, 5);
}

TEST_F(DispatcherTest, Rqx5CoordinateRecordOnlyBeyondPosition55)
{
    selectRqx5();
    EXPECT_TRUE(dispatch(chunk(56, {{0, 0x90}, {55, 0xB0}})).isEmpty());
    EXPECT_EQ(dispatch(chunk(57, {{0, 0x90}, {56, 0xB0}})), Events{"ReceiveRqx5CoordinateRecord at 56"});
    EXPECT_EQ(dispatch(chunk(60, {{0, 0x90}, {59, 0xB0}})), Events{"ReceiveRqx5CoordinateRecord at 59"});
    // A 0xB0 too early is passed over and the scan goes on to what follows.
    EXPECT_EQ(dispatch(chunk(60, {{30, 0xB0}, {59, 0xB0}})), Events{"ReceiveRqx5CoordinateRecord at 59"});
    EXPECT_EQ(dispatch(chunk(40, {{30, 0xB0}, {38, 0xAA}, {39, 0x81}})),
              Events{"SendRqx5NextCoordinate at 39 count 1"});
}

TEST_F(DispatcherTest, Rqx5DataFileRecordOnlyBeyondPosition200)
{
    selectRqx5();
    EXPECT_TRUE(dispatch(chunk(201, {{200, 0xB1}})).isEmpty());
    EXPECT_EQ(dispatch(chunk(202, {{201, 0xB1}})), Events{"ReceiveRqx5DataFileRecord at 201"});
    EXPECT_EQ(dispatch(chunk(246, {{245, 0xB1}})), Events{"ReceiveRqx5DataFileRecord at 245"});
    // A 0xB0 beyond 55 inside a longer block comes first.
    EXPECT_EQ(dispatch(chunk(246, {{100, 0xB0}, {245, 0xB1}})), Events{"ReceiveRqx5CoordinateRecord at 100"});
}

TEST_F(DispatcherTest, Rqx5TestAnswerEndsTheConnectionTest)
{
    selectRqx5();
    view.connectionTestShown = true;
    EXPECT_EQ(dispatch(fromHex("AA BB")),
              (Events{"label3 hidden", "message 测试成功|通讯测试成功！您的电脑可以与仪器进行数据传输。"}));
    EXPECT_FALSE(view.connectionTestShown);
    // Anywhere in the chunk.
    EXPECT_EQ(dispatch(fromHex("00 00 00 AA BB 00")).size(), 2);
}

TEST_F(DispatcherTest, Rqx5MeasurementTerminatorsWhileAMeasurementReceiveRuns)
{
    selectRqx5();
    state.Rqx5MeasureReceiveStarted = true;
    EXPECT_EQ(dispatch(chunk(30, {{29, 0xB2}})), Events{"ReceiveRqx5MeasurementRecord at 29 kind 1"});
    EXPECT_EQ(dispatch(chunk(44, {{43, 0xB3}})), Events{"ReceiveRqx5MeasurementRecord at 43 kind 2"});
    EXPECT_EQ(dispatch(chunk(58, {{57, 0xB4}})), Events{"ReceiveRqx5MeasurementRecord at 57 kind 3"});
    EXPECT_EQ(dispatch(chunk(44, {{43, 0xB5}})), Events{"ReceiveRqx5MeasurementRecord at 43 kind 4"});
    // At any position, even the first.
    EXPECT_EQ(dispatch(fromHex("00 B3")), Events{"ReceiveRqx5MeasurementRecord at 1 kind 2"});
    // 0xB6 is no terminator.
    EXPECT_TRUE(dispatch(chunk(58, {{57, 0xB6}})).isEmpty());
}

TEST_F(DispatcherTest, Rqx5FirstMatchEndsTheScanAndNothingAfterItCounts)
{
    selectRqx5();
    state.Rqx5MeasureReceiveStarted = true;
    EXPECT_EQ(dispatch(chunk(30, {{10, 0xB2}, {20, 0xAA}, {21, 0x81}})),
              Events{"ReceiveRqx5MeasurementRecord at 10 kind 1"});
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_EQ(state.ReceiveBuffer.at(20), 0);
    EXPECT_EQ(state.LoopIndex, 29);
}

// A data-file header's low count byte can be any value; 178 records give 0x00 0xB2 at bytes 14-15.
// Outside a measurement receive that byte is only a count, and the header reaches its routine.
TEST_F(DispatcherTest, Rqx5CountByteLikeATerminatorIsNoMeasurementOutsideAMeasurementReceive)
{
    selectRqx5();
    QByteArray header = chunk(33, {{14, 0x00}, {15, 0xB2}, {31, 0xAA}, {32, 0x82}});
    state.Rqx5MeasureReceiveStarted = false;
    EXPECT_EQ(dispatch(header), Events{"ReceiveRqx5DataBlock at 32 notFirst true"});
    for (unsigned char count : {0xB3, 0xB4, 0xB5}) {
        header[15] = static_cast<char>(count);
        EXPECT_EQ(dispatch(header), Events{"ReceiveRqx5DataBlock at 32 notFirst true"});
    }
    // The same in a coordinate header.
    EXPECT_EQ(dispatch(chunk(18, {{14, 0x01}, {15, 0xB4}, {16, 0xAA}, {17, 0x82}})),
              Events{"ReceiveRqx5DataBlock at 17 notFirst true"});
    EXPECT_EQ(state.Rqx5DataKind, 0);
}

// ---- Both series and neither ---------------------------------------------------------------------

TEST_F(DispatcherTest, RqxFiveOptionIsTestedBeforeRqx2)
{
    selection.rqx2 = true;
    selection.rqx5 = true;
    EXPECT_TRUE(dispatch(fromHex("4A 0D")).isEmpty());
    EXPECT_EQ(dispatch(fromHex("AA 81")), Events{"SendRqx5NextCoordinate at 1 count 1"});
}

TEST_F(DispatcherTest, NeitherSeriesRoutesNothingButStoresTheChunk)
{
    selection.rqx2 = false;
    selection.rqx5 = false;
    state.Rqx5MeasureReceiveStarted = true;
    const QByteArray bytes = fromHex("AA BB 4A 0D AA 82 AA 81 B2");
    EXPECT_TRUE(dispatch(bytes).isEmpty());
    for (int i = 1; i < bytes.size(); ++i)
        EXPECT_EQ(state.ReceiveBuffer.at(i), static_cast<unsigned char>(bytes[i])) << i;
    EXPECT_EQ(state.RecordCount, 0);

    AppState bare; // no selection at all
    ReceiveDispatcher lone(bare, link, view);
    lone.dispatch(bytes);
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(DispatcherTest, OneByteAndEmptyChunksAreIgnored)
{
    for (bool rqx5 : {false, true}) {
        rqx5 ? selectRqx5() : selectRqx2();
        state.Rqx5MeasureReceiveStarted = true;
        state.LoopIndex = 7;
        for (const char *single : {"0D", "B2", "AA", "82"})
            EXPECT_TRUE(dispatch(fromHex(single)).isEmpty()) << single;
        EXPECT_TRUE(dispatch(QByteArray()).isEmpty());
        EXPECT_EQ(state.ReceiveBuffer.at(0), 0);
        EXPECT_EQ(state.LoopIndex, 7);
    }
}

// ---- ReceiveBuffer ---------------------------------------------------------------------------------

TEST_F(DispatcherTest, ChunkIsStoredFromPositionOneUpToTheMatch)
{
    selectRqx5();
    state.ReceiveBuffer.reallocate(5000);
    dispatch(fromHex("11 22 33 44 55 66"));
    EXPECT_EQ(state.ReceiveBuffer.at(0), 0);
    EXPECT_EQ(state.ReceiveBuffer.at(1), 0x22);
    EXPECT_EQ(state.ReceiveBuffer.at(5), 0x66);
    // A shorter chunk overwrites its own positions only.
    dispatch(fromHex("77 AA 81"));
    EXPECT_EQ(state.ReceiveBuffer.at(1), 0xAA);
    EXPECT_EQ(state.ReceiveBuffer.at(2), 0x81);
    EXPECT_EQ(state.ReceiveBuffer.at(3), 0x44);
    EXPECT_EQ(state.ReceiveBuffer.at(5), 0x66);
}

TEST_F(DispatcherTest, ChunkLongerThanTheBufferIsStoredUpToTheBoundAndStillRouted)
{
    selectRqx2();
    state.ReceiveBuffer.reallocate(5000);
    QByteArray bytes = chunk(6001, {{6000, 0x0D}});
    bytes[5000] = 'X';
    EXPECT_EQ(dispatch(bytes), Events{"ReceiveRqx2LongRecord at 6000"});
    EXPECT_EQ(state.ReceiveBuffer.upperBound(), 5000);
    EXPECT_EQ(state.ReceiveBuffer.at(5000), 'X');
    EXPECT_EQ(state.ReceiveBuffer.at(5001), 0);

    selectRqx5();
    EXPECT_EQ(dispatch(chunk(70000, {{69998, 0xAA}, {69999, 0xBB}})).size(), 2);
    EXPECT_EQ(state.ReceiveBuffer.upperBound(), 5000);
}

TEST_F(DispatcherTest, ChunkBeforeTheBufferIsAllocatedIsRoutedAndNotStored)
{
    AppState fresh;
    fresh.Selection = &selection;
    fresh.load();
    ASSERT_FALSE(fresh.ReceiveBuffer.isAllocated());
    ReceiveDispatcher early(fresh, link, view);
    int handshakes = 0;
    early.routines().AnswerRqx2Handshake = [&] { ++handshakes; };
    selectRqx2();
    early.dispatch(fromHex("02 4A 0D"));
    EXPECT_EQ(handshakes, 1);
    EXPECT_FALSE(fresh.ReceiveBuffer.isAllocated());
    EXPECT_EQ(fresh.ReceiveBuffer.at(2), 0);
}

TEST_F(DispatcherTest, RoutineLeftUnsetDoesNothing)
{
    selectRqx5();
    ReceiveDispatcher bare(state, link, view);
    state.Rqx5MeasureReceiveStarted = true;
    for (const char *bytes : {"AA 82", "00 00 AA 82", "AA 81", "00 B3"})
        bare.dispatch(fromHex(bytes));
    bare.dispatch(chunk(60, {{59, 0xB0}}));
    bare.dispatch(chunk(246, {{245, 0xB1}}));
    EXPECT_EQ(state.RecordCount, 1);
    EXPECT_EQ(state.Rqx5DataKind, 2);
}

// ---- The receive event ---------------------------------------------------------------------------

TEST_F(DispatcherTest, FramesArrivingInPiecesAreRoutedOnceWhole)
{
    // A line delivers a frame in pieces of any size; each piece here comes with a receive event of
    // its own. Nothing is routed before the frame is whole, and then at the position it has whole.
    const QByteArray shifted = chunk(64, {{0, 0x00}, {1, 0x02}, {63, 0x0D}});
    const QByteArray record = chunk(60, {{0, 0x90}, {59, 0xB0}});
    struct Case {
        const char *what;
        bool rqx5;
        QList<QByteArray> pieces;
        Events routed;
    };
    const Case cases[] = {
        {"shifted coordinate record, its CR late",
         false,
         {shifted.left(63), shifted.mid(63)},
         {"ReceiveRqx2CoordinateRecord at 63"}},
        {"handshake request byte by byte",
         false,
         {fromHex("00"), fromHex("4A"), fromHex("0D")},
         {"AnswerRqx2Handshake at 2"}},
        {"coordinate record and a 1-byte remainder",
         true,
         {record.left(59), record.mid(59)},
         {"ReceiveRqx5CoordinateRecord at 59"}},
        {"end frame byte by byte",
         true,
         {fromHex("AA"), fromHex("82")},
         {"ShowRqx5TransferComplete at 1", "ReceiveRqx5DataBlock at 1 notFirst false"}},
    };
    for (const Case &c : cases) {
        c.rqx5 ? selectRqx5() : selectRqx2();
        log.clear();
        for (qsizetype i = 0; i < c.pieces.size(); ++i) {
            link.waiting += c.pieces[i];
            dispatcher.OnReceiveEvent();
            if (i + 1 < c.pieces.size()) {
                EXPECT_TRUE(log.events.isEmpty()) << c.what << ": routed before piece " << i + 2;
            }
        }
        EXPECT_EQ(log.events, c.routed) << c.what;
        EXPECT_TRUE(link.waiting.isEmpty()) << c.what;
    }
}

TEST_F(DispatcherTest, BytesAfterAFrameAreRoutedNextUnlessTheRoutineDiscardsTheInput)
{
    // Measurement records are not acknowledged: two in one read are both routed, and a third that
    // is still arriving waits for the rest of its bytes.
    selectRqx5();
    state.Rqx5MeasureReceiveStarted = true;
    link.rThreshold = 30;
    const QByteArray angles = chunk(30, {{29, 0xB2}});
    const QByteArray distance = chunk(44, {{43, 0xB3}});
    link.waiting = angles + distance + distance.left(20);
    log.clear();
    dispatcher.OnReceiveEvent();
    EXPECT_EQ(log.events, (Events{"ReceiveRqx5MeasurementRecord at 29 kind 1",
                                  "ReceiveRqx5MeasurementRecord at 43 kind 2"}));
    EXPECT_EQ(link.waiting, distance.left(20));
    log.clear();
    link.waiting += distance.mid(20);
    dispatcher.OnReceiveEvent();
    EXPECT_EQ(log.events, Events{"ReceiveRqx5MeasurementRecord at 43 kind 2"});

    // An acknowledging routine discards the input, and with it whatever followed its frame.
    selectRqx2();
    dispatcher.routines().AnswerRqx2Handshake = [this] {
        log.add(QStringLiteral("AnswerRqx2Handshake"));
        link.clearInput();
    };
    link.rThreshold = 3;
    link.waiting = fromHex("00 4A 0D 00 4A 0D");
    log.clear();
    dispatcher.OnReceiveEvent();
    EXPECT_EQ(log.events, (Events{"AnswerRqx2Handshake", "clearInput"}));
    EXPECT_TRUE(link.waiting.isEmpty());
}

TEST_F(DispatcherTest, MessageBoxOpenDuringTheTestAnswerDoesNotReenter)
{
    // While the success box is open, the nested event loop may deliver further bytes; the
    // dispatcher's scan of the first chunk has ended by then.
    selectRqx5();
    view.onMessage = [this] {
        view.onMessage = nullptr;
        link.waiting = fromHex("AA BB");
        dispatcher.OnReceiveEvent();
    };
    link.waiting = fromHex("AA BB 00 AA 81");
    log.clear();
    dispatcher.OnReceiveEvent();
    EXPECT_EQ(view.messages.size(), 2);
    EXPECT_EQ(state.RecordCount, 0);
}
