// Every receive over a dirty line at 1200 baud, through the whole program against the simulated
// instrument: a byte lost, a byte added, the instrument silent in the middle of a record, the cable
// pulled; on RQX5 also a record's terminator lost and a header with a byte lost or added. After each the rows
// are the file's records once (the send started over on the instrument), or those before the fault (no
// restart); no row ever differs from a record the instrument sent, which a clean run of the same file shows.
#include "serial/SerialLink.h"
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"
#include "ui/Form4.h"
#include "ui/Form7.h"
#include "ui/TransferExecutor.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <map>

namespace {

constexpr int kRecords = 4;
constexpr int kFaultAt = 2;
// Longer than any gap inside a frame at 1200 baud in the simulator's pieces (a 246-byte record takes
// 2.05 s), shorter than the instrument's silence before it starts over.
constexpr int kSilenceMs = 3000;
const QString kRestartSeconds = QStringLiteral("4");

enum class Receive { Rqx2Coordinates, Rqx2Measurements, Rqx5Coordinates, Rqx5DataFile, Rqx5Measurements };
enum class Fault {
    None,
    LoseByte,
    AddByte,
    SilentThenRestart,
    CablePulled,
    TerminatorLost,
    HeaderByteLost,
    HeaderByteAdded,
    TerminatorInside,
    RepeatedRecord
};

const char *nameOf(Receive r)
{
    switch (r) {
    case Receive::Rqx2Coordinates:
        return "Rqx2Coordinates";
    case Receive::Rqx2Measurements:
        return "Rqx2Measurements";
    case Receive::Rqx5Coordinates:
        return "Rqx5Coordinates";
    case Receive::Rqx5DataFile:
        return "Rqx5DataFile";
    case Receive::Rqx5Measurements:
        return "Rqx5Measurements";
    }
    return "";
}

const char *nameOf(Fault f)
{
    switch (f) {
    case Fault::None:
        return "Clean";
    case Fault::LoseByte:
        return "ByteLost";
    case Fault::AddByte:
        return "ByteAdded";
    case Fault::SilentThenRestart:
        return "SilentThenRestart";
    case Fault::CablePulled:
        return "CablePulled";
    case Fault::TerminatorLost:
        return "TerminatorLost";
    case Fault::HeaderByteLost:
        return "HeaderByteLost";
    case Fault::HeaderByteAdded:
        return "HeaderByteAdded";
    case Fault::TerminatorInside:
        return "TerminatorInside";
    case Fault::RepeatedRecord:
        return "RepeatedRecord";
    }
    return "";
}

bool rqx5(Receive r)
{
    return r == Receive::Rqx5Coordinates || r == Receive::Rqx5DataFile || r == Receive::Rqx5Measurements;
}

// One run of the program against the simulator.
class DirtyRun : public MainWindowSimFixture {
public:
    using MainWindowSimFixture::messages;
    using MainWindowSimFixture::TearDown;

    // Runs one receive of kRecords records with the fault in record faultAt; the rows as the window
    // holds them, without the cells the program numbers itself.
    QStringList run(Receive receive, Fault fault, int faultAt = kFaultAt)
    {
        QStringList simArgs{"--points", QString::number(kRecords)};
        switch (receive) {
        case Receive::Rqx2Coordinates:
        case Receive::Rqx5Coordinates:
            simArgs << "--action"
                    << "send";
            break;
        case Receive::Rqx2Measurements:
            simArgs << "--action"
                    << "measurements";
            break;
        case Receive::Rqx5DataFile:
            simArgs << "--action"
                    << "datafile";
            break;
        case Receive::Rqx5Measurements:
            simArgs << "--action"
                    << "measure"
                    << "--pause"
                    << "100";
            break;
        }
        const QString at = QString::number(faultAt);
        // Single measurements are never answered: the instrument goes on after a damaged one.
        const QStringList restart = receive == Receive::Rqx5Measurements
                                        ? QStringList()
                                        : QStringList{"--restart-after", kRestartSeconds};
        switch (fault) {
        case Fault::None:
            break;
        case Fault::LoseByte:
            simArgs << "--lose-byte" << at << restart;
            break;
        case Fault::AddByte:
            simArgs << "--add-byte" << at << restart;
            break;
        case Fault::SilentThenRestart:
            simArgs << "--fall-silent" << at << "--restart-after" << kRestartSeconds;
            break;
        case Fault::CablePulled:
            simArgs << "--pull-cable" << at;
            break;
        case Fault::TerminatorLost:
            simArgs << "--lose-terminator" << at << restart;
            break;
        case Fault::HeaderByteLost:
            simArgs << "--damage-header"
                    << "lose" << restart;
            break;
        case Fault::HeaderByteAdded:
            simArgs << "--damage-header"
                    << "add" << restart;
            break;
        case Fault::TerminatorInside:
            simArgs << "--terminator-inside" << at << restart;
            break;
        case Fault::RepeatedRecord:
            simArgs << "--repeat-record" << at;
            break;
        }
        if (!startProgram(rqx5(receive), true, SimProcess::lineSpeedArgs() + simArgs)) {
            ADD_FAILURE() << "the program did not start";
            return {};
        }
        app->executor().setSilenceInterval(kSilenceMs);
        startReceive(receive);
        sim.go();
        // A file sent again after its last record takes longer than one wait: first the fault is told.
        if (fault == Fault::TerminatorLost && receive != Receive::Rqx5Measurements) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return errorMessages() > 0; }, 20000));
        }
        finish();
        // The end of the line is told once the port has noticed it.
        if (fault == Fault::CablePulled) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !app->link().isOpen(); }, 20000));
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return app->executor().idle(); }, 20000));
        return rows(receive);
    }

    void startReceive(Receive receive)
    {
        Form1 *main = app->mainWindow();
        switch (receive) {
        case Receive::Rqx2Coordinates:
        case Receive::Rqx5Coordinates:
            main->action(QStringLiteral("RecZB"))->trigger();
            break;
        case Receive::Rqx2Measurements:
            main->action(QStringLiteral("CLSend"))->trigger();
            app->rqx2MeasurementWindow()->button(QStringLiteral("Command1"))->click();
            break;
        case Receive::Rqx5DataFile:
        case Receive::Rqx5Measurements:
            main->action(QStringLiteral("CLSend"))->trigger();
            app->measureWindow()
                ->findChild<QRadioButton *>(receive == Receive::Rqx5DataFile ? "Option1" : "Option2")
                ->setChecked(true);
            app->measureWindow()->button(QStringLiteral("Command1"))->click();
            break;
        }
    }

    QStringList rows(Receive receive) const
    {
        QStringList rows;
        if (receive == Receive::Rqx2Coordinates || receive == Receive::Rqx5Coordinates) {
            for (int r = 1; r <= app->table().count(); ++r) {
                const CoordinatePoint p = app->table().point(r);
                rows << QStringList{p.number, p.name, p.first, p.second, p.height}.join(u'|');
            }
            return rows;
        }
        const MeasurementTableModel &list = receive == Receive::Rqx2Measurements
                                                ? app->rqx2MeasurementWindow()->list()
                                                : app->measureWindow()->list();
        // The row's own number, and a single measurement's receive number, are the program's.
        const int from = receive == Receive::Rqx5Measurements ? 2 : 1;
        for (int r = 1; r <= list.count(); ++r)
            rows << list.row(r).mid(from).join(u'|');
        return rows;
    }

    // The "错误提示" boxes. A receive of single measurements has no end: the simulator ending after
    // its last one is a cable pulled, and is told as such; withoutLostPort leaves that box out.
    int errorMessages(bool withoutLostPort = false) const
    {
        QStringList errors = messages.messages.filter(QStringLiteral("错误提示|"));
        if (withoutLostPort && errors.endsWith(QStringLiteral("错误提示|请检查端口连接是否正确！")))
            errors.removeLast();
        return static_cast<int>(errors.size());
    }

    void TestBody() override {}
};

class DirtyLine : public ::testing::TestWithParam<Receive> {};

TEST_P(DirtyLine, RowsAreTheRecordsOnceOrThoseBeforeTheFault)
{
    const Receive receive = GetParam();
    QStringList clean;
    {
        DirtyRun run;
        clean = run.run(receive, Fault::None);
        EXPECT_EQ(run.errorMessages(receive == Receive::Rqx5Measurements), 0)
            << run.messages.messages.join(u'\n').toStdString();
        run.TearDown();
    }
    ASSERT_EQ(clean.size(), kRecords);

    for (Fault fault : {Fault::LoseByte, Fault::AddByte, Fault::SilentThenRestart, Fault::CablePulled}) {
        SCOPED_TRACE(nameOf(fault));
        DirtyRun run;
        const QStringList got = run.run(receive, fault);
        QStringList expected = clean;
        if (fault == Fault::CablePulled) {
            // The records before the cable was pulled stay.
            expected = clean.mid(0, kFaultAt);
        } else if (receive == Receive::Rqx5Measurements && fault != Fault::SilentThenRestart) {
            // A single measurement damaged on the line is refused; the others stand.
            expected.removeAt(kFaultAt - 1);
        }
        // Otherwise the send started over on the instrument holds the file once.
        EXPECT_EQ(got, expected);
        // The damage, the interruption or the lost port is told once.
        EXPECT_EQ(run.errorMessages(receive == Receive::Rqx5Measurements && fault != Fault::CablePulled), 1)
            << run.messages.messages.join(u'\n').toStdString();
        run.TearDown();
    }
}

// The RQX2 receives, whose records start with 0x02 and carry their number.
class Rqx2DirtyLine : public DirtyLine {};

TEST_P(Rqx2DirtyLine, ACrInsideARecordOrARecordSentAgainLeavesTheRecordsOnce)
{
    const Receive receive = GetParam();
    QStringList clean;
    {
        DirtyRun run;
        clean = run.run(receive, Fault::None);
        run.TearDown();
    }
    ASSERT_EQ(clean.size(), kRecords);

    for (Fault fault : {Fault::TerminatorInside, Fault::RepeatedRecord}) {
        // The first, a middle and the last record; a measurement file's header is record 0.
        const bool header = fault == Fault::RepeatedRecord && receive == Receive::Rqx2Measurements;
        for (int at : {header ? 0 : 1, kFaultAt, kRecords}) {
            SCOPED_TRACE(QStringLiteral("%1 at record %2").arg(nameOf(fault)).arg(at).toStdString());
            DirtyRun run;
            EXPECT_EQ(run.run(receive, fault, at), clean);
            // The damaged record is told once; a record sent again is answered again without a word.
            EXPECT_EQ(run.errorMessages(), fault == Fault::TerminatorInside ? 1 : 0)
                << run.messages.messages.join(u'\n').toStdString();
            run.TearDown();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryReceive, DirtyLine,
                         ::testing::Values(Receive::Rqx2Coordinates, Receive::Rqx2Measurements,
                                           Receive::Rqx5Coordinates, Receive::Rqx5DataFile,
                                           Receive::Rqx5Measurements),
                         [](const ::testing::TestParamInfo<Receive> &info) { return nameOf(info.param); });

// The clean run of a receive, the rows every faulty run is held against.
QStringList cleanRows(Receive receive)
{
    DirtyRun run;
    const QStringList clean = run.run(receive, Fault::None);
    EXPECT_EQ(run.errorMessages(receive == Receive::Rqx5Measurements), 0)
        << run.messages.messages.join(u'\n').toStdString();
    run.TearDown();
    return clean;
}

class DirtyRqx5Record : public ::testing::TestWithParam<Receive> {};

// A record whose terminator was lost, first, in the middle or last: the instrument sends the file
// again, or a single measurement is lost and the next one is taken.
TEST_P(DirtyRqx5Record, ARecordWithoutItsTerminatorCostsThatRecordOnly)
{
    const Receive receive = GetParam();
    const QStringList clean = cleanRows(receive);
    ASSERT_EQ(clean.size(), kRecords);
    for (int at : {1, kFaultAt, kRecords}) {
        SCOPED_TRACE(at);
        DirtyRun run;
        const QStringList got = run.run(receive, Fault::TerminatorLost, at);
        QStringList expected = clean;
        int told = 1;
        if (receive == Receive::Rqx5Measurements) {
            expected.removeAt(at - 1);
            // Behind the last one's remains the line closes: the lost port is what is told.
            told = at == kRecords ? 0 : 1;
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(run.errorMessages(receive == Receive::Rqx5Measurements), told)
            << run.messages.messages.join(u'\n').toStdString();
        run.TearDown();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRqx5Receive, DirtyRqx5Record,
                         ::testing::Values(Receive::Rqx5Coordinates, Receive::Rqx5DataFile,
                                           Receive::Rqx5Measurements),
                         [](const ::testing::TestParamInfo<Receive> &info) { return nameOf(info.param); });

class DirtyRqx5Header : public ::testing::TestWithParam<Receive> {};

// A header with a byte lost or added is refused once and the instrument's restart taken.
TEST_P(DirtyRqx5Header, ADamagedHeaderIsRefusedAndTheRestartTaken)
{
    const Receive receive = GetParam();
    const QStringList clean = cleanRows(receive);
    ASSERT_EQ(clean.size(), kRecords);
    for (Fault fault : {Fault::HeaderByteLost, Fault::HeaderByteAdded}) {
        SCOPED_TRACE(nameOf(fault));
        DirtyRun run;
        EXPECT_EQ(run.run(receive, fault), clean);
        EXPECT_EQ(run.errorMessages(), 1) << run.messages.messages.join(u'\n').toStdString();
        run.TearDown();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRqx5Header, DirtyRqx5Header,
                         ::testing::Values(Receive::Rqx5Coordinates, Receive::Rqx5DataFile),
                         [](const ::testing::TestParamInfo<Receive> &info) { return nameOf(info.param); });

INSTANTIATE_TEST_SUITE_P(NumberedRecords, Rqx2DirtyLine,
                         ::testing::Values(Receive::Rqx2Coordinates, Receive::Rqx2Measurements),
                         [](const ::testing::TestParamInfo<Receive> &info) { return nameOf(info.param); });

} // namespace
