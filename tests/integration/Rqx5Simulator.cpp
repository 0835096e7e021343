// The simulated RQX5 instrument itself: the frames it sends and how it reports a program that
// answers wrongly. The test plays the program on the other end of the line.
#include "support/Recorder.h"
#include "support/SimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The program's end of the line, opened raw.
class ProgramEnd {
public:
    explicit ProgramEnd(const QString &deviceDir)
    {
        const QFileInfoList entries = QDir(deviceDir).entryInfoList(QDir::System | QDir::Files);
        if (entries.isEmpty())
            return;
        m_fd = ::open(entries.first().absoluteFilePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
    }
    ~ProgramEnd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    void send(const QByteArray &bytes)
    {
        ASSERT_EQ(::write(m_fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    QByteArray receive(int count, int timeoutMs = 20000)
    {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < timeoutMs) {
            pollfd pfd{m_fd, POLLIN, 0};
            if (::poll(&pfd, 1, 10) > 0 && (pfd.revents & POLLIN)) {
                char buffer[256];
                const ssize_t n = ::read(m_fd, buffer, size_t(std::min<qsizetype>(count - got.size(), 256)));
                if (n > 0)
                    got.append(buffer, n);
            }
        }
        return got;
    }

private:
    int m_fd = -1;
};

const char kWorkedRecord[] =
    "90 20 20 30 30 30 30 31 32 20 41 31 20 20 20 20 20 33 34 35 36 2E 37 38 39 20 20 20 20 20 20"
    " 31 32 33 34 2E 35 20 20 20 20 20 20 20 20 31 32 2E 33 34 20 20 20 20 20 20 20 20 20 B0";

} // namespace

TEST(Rqx5Simulator, SendsTheCoordinateHeaderAndReportsAWrongAnswer)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "send", "--points", "120"}));
    ProgramEnd program(sim.deviceDir());
    ASSERT_TRUE(program.ok());
    sim.go();
    // File name POINTS; 120 points: 0x01 * 100 + 0x14.
    EXPECT_EQ(hex(program.receive(18)), "AA 80 50 4F 49 4E 54 53 20 20 20 20 20 20 01 14 AA 82");
    program.send(fromHex("AA 82"));
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 1);
    EXPECT_TRUE(sim.errorOutput().contains("expected AA 81 after the header, got AA 82"))
        << sim.errorOutput().toStdString();
}

TEST(Rqx5Simulator, SendsOneRecordPerRequestThenTheEndFrameAndWantsItsEcho)
{
    QTemporaryDir dir;
    const QString points = dir.filePath("A.txt");
    QFile file(points);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12,A1,3456.789,1234.5,12.34\n");
    file.close();
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "send", "--points-file", points}));
    ProgramEnd program(sim.deviceDir());
    sim.go();
    EXPECT_EQ(hex(program.receive(18)), "AA 80 41 20 20 20 20 20 20 20 20 20 20 20 00 01 AA 82");
    program.send(fromHex("AA 81"));
    const QByteArray record = program.receive(60);
    ASSERT_EQ(record.size(), 60);
    EXPECT_EQ(hex(record.mid(17)),
              hex(fromHex(kWorkedRecord).mid(17))); // N, E, Z as the program lays them out
    program.send(fromHex("AA 81"));
    EXPECT_EQ(hex(program.receive(2)), "AA 82");
    program.send(fromHex("AA 82"));
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}

TEST(Rqx5Simulator, ReceivesPointsAndReportsACountThatDoesNotMatchTheHeader)
{
    QTemporaryDir dir;
    const QString output = dir.filePath("out.txt");
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "receive", "--output", output}));
    ProgramEnd program(sim.deviceDir());
    program.send(fromHex("AA 80 00 02 AA 82"));
    EXPECT_EQ(hex(program.receive(2)), "AA 81");
    program.send(fromHex(kWorkedRecord));
    EXPECT_EQ(hex(program.receive(2)), "AA 81");
    program.send(fromHex("AA 82"));
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 1);
    EXPECT_TRUE(sim.errorOutput().contains("announced 2 points, 1 came")) << sim.errorOutput().toStdString();
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "000012,A1,3456.789,1234.5,12.34\n");
}

TEST(Rqx5Simulator, ReportsADamagedRecordAndASilentProgram)
{
    {
        SimProcess sim;
        ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "receive"}));
        ProgramEnd program(sim.deviceDir());
        program.send(fromHex("AA 80 00 01 AA 82"));
        EXPECT_EQ(hex(program.receive(2)), "AA 81");
        QByteArray damaged = fromHex(kWorkedRecord);
        damaged[59] = char(0xB1);
        program.send(damaged);
        ASSERT_TRUE(sim.waitForFinished(20000));
        EXPECT_EQ(sim.exitCode(), 1);
        EXPECT_TRUE(sim.errorOutput().contains("not a coordinate record")) << sim.errorOutput().toStdString();
    }
    {
        SimProcess sim;
        ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "receive", "--timeout", "300"}));
        ASSERT_TRUE(sim.waitForFinished(20000));
        EXPECT_EQ(sim.exitCode(), 1);
        EXPECT_TRUE(sim.errorOutput().contains("no send header within 300 ms"))
            << sim.errorOutput().toStdString();
    }
}

// ---- Faults on the line ----------------------------------------------------------------------------

namespace {

// What the simulator said it did to a record: "record 1: byte 17 (0x31) lost, 59 of 60 bytes sent"
// gives {1, 17, 0x31, 59}; "record 2: 25 of 60 bytes sent, then ..." gives {2, -1, 0, 25}.
struct Done {
    int record = -1;
    int at = -1;
    int value = -1;
    int sent = -1;
};

Done waitForReport(SimProcess &sim)
{
    static const QRegularExpression damage(
        QStringLiteral("record (\\d+): (?:byte (\\d+) \\(0x([0-9A-F]{2})\\) (?:lost|added), )?(\\d+) "));
    QRegularExpressionMatch match;
    if (!QTest::qWaitFor([&] { return (match = damage.match(sim.errorOutput())).hasMatch(); }, 20000))
        return {};
    return {match.captured(1).toInt(), match.captured(2).isEmpty() ? -1 : match.captured(2).toInt(),
            match.captured(3).isEmpty() ? -1 : match.captured(3).toInt(nullptr, 16),
            match.captured(4).toInt()};
}

// How long the instrument waits for each answer of the program (here the test's): as long as any
// wait of the suite, so that a loaded machine never makes it give up. The case that has it give up
// waits that long.
constexpr int kGivesUpMs = 20000;

const char kHeaderOfA[] = "AA 80 41 20 20 20 20 20 20 20 20 20 20 20 00 02 AA 82";

// Two points, the first the worked example's.
QString writeTwoPoints(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("A.txt");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("12,A1,3456.789,1234.5,12.34\n13,B,1,2,3\n");
    return path;
}

struct Rqx5FaultCase {
    const char *name;
    QStringList fault;
    int status;
    const char *report;
    // Plays the program against the fault; the header has been read and answered.
    std::function<void(ProgramEnd &, SimProcess &)> program;
};

class Rqx5SimulatorFault : public ::testing::TestWithParam<Rqx5FaultCase> {};

// The program refuses the damaged record and says nothing; the instrument starts over with the
// header and sends the whole file, intact.
void restartAndFinish(ProgramEnd &program, QByteArray *first)
{
    EXPECT_EQ(hex(program.receive(18)), kHeaderOfA);
    program.send(fromHex("AA 81"));
    *first = program.receive(60);
    EXPECT_EQ(hex(first->mid(17)), hex(fromHex(kWorkedRecord).mid(17)));
    program.send(fromHex("AA 81"));
    EXPECT_EQ(program.receive(60).size(), 60);
    program.send(fromHex("AA 81"));
    EXPECT_EQ(hex(program.receive(2)), "AA 82");
    program.send(fromHex("AA 82"));
}

} // namespace

TEST_P(Rqx5SimulatorFault, PutsTheReportedDamageOnTheLine)
{
    QTemporaryDir dir;
    SimProcess sim;
    ASSERT_TRUE(
        sim.start(QStringList{"--series", "rqx5", "--action", "send", "--points-file", writeTwoPoints(dir),
                              "--timeout", QString::number(kGivesUpMs), "--fault-seed", "7"} +
                  GetParam().fault));
    ProgramEnd program(sim.deviceDir());
    ASSERT_TRUE(program.ok());
    sim.go();
    EXPECT_EQ(hex(program.receive(18)), kHeaderOfA);
    program.send(fromHex("AA 81"));
    GetParam().program(program, sim);
    ASSERT_TRUE(sim.waitForFinished(kGivesUpMs + 20000));
    EXPECT_EQ(sim.exitCode(), GetParam().status) << sim.errorOutput().toStdString();
    EXPECT_TRUE(sim.errorOutput().contains(GetParam().report)) << sim.errorOutput().toStdString();
    EXPECT_TRUE(sim.errorOutput().contains("(--fault-seed 7)") || GetParam().fault.contains("--pull-cable"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Rqx5SimulatorFault,
    ::testing::Values(Rqx5FaultCase{"LostByteThenRestart",
                                    {"--lose-byte", "1", "--restart-after", "0.3"},
                                    0,
                                    "the instrument starts over",
                                    [](ProgramEnd &program, SimProcess &sim) {
                                        const Done done = waitForReport(sim);
                                        ASSERT_EQ(done.sent, 59);
                                        const QByteArray damaged = program.receive(59);
                                        QByteArray intact;
                                        restartAndFinish(program, &intact);
                                        EXPECT_EQ(static_cast<unsigned char>(intact[done.at]), done.value);
                                        EXPECT_EQ(hex(damaged), hex(intact.remove(done.at, 1)));
                                    }},
                      Rqx5FaultCase{"AddedByteThenRestart",
                                    {"--add-byte", "1", "--restart-after", "0.3"},
                                    0,
                                    "the instrument starts over",
                                    [](ProgramEnd &program, SimProcess &sim) {
                                        const Done done = waitForReport(sim);
                                        ASSERT_EQ(done.sent, 61);
                                        QByteArray damaged = program.receive(61);
                                        QByteArray intact;
                                        restartAndFinish(program, &intact);
                                        ASSERT_GE(done.at, 1);
                                        ASSERT_LE(done.at, 59);
                                        EXPECT_EQ(static_cast<unsigned char>(damaged[done.at]), done.value);
                                        EXPECT_NE(done.value, 0x90);
                                        EXPECT_NE(done.value, 0xB0);
                                        EXPECT_EQ(hex(damaged.remove(done.at, 1)), hex(intact));
                                    }},
                      Rqx5FaultCase{"AddedByteUnansweredEndsTheRun",
                                    {"--add-byte", "2"},
                                    0,
                                    "unanswered for 20000 ms, as it should be; the instrument gives up",
                                    [](ProgramEnd &program, SimProcess &sim) {
                                        EXPECT_EQ(program.receive(60).size(), 60);
                                        program.send(fromHex("AA 81"));
                                        const Done done = waitForReport(sim);
                                        EXPECT_EQ(done.record, 2);
                                        const QByteArray damaged = program.receive(61);
                                        ASSERT_EQ(damaged.size(), 61);
                                        EXPECT_EQ(hex(damaged.left(1) + damaged.right(1)), "90 B0");
                                        // Once the instrument has given up, nothing more came.
                                        ASSERT_TRUE(sim.waitForFinished(kGivesUpMs + 20000));
                                        EXPECT_TRUE(program.receive(1, 300).isEmpty());
                                    }},
                      Rqx5FaultCase{"AnsweredDamageFailsTheRun",
                                    {"--lose-byte", "1"},
                                    1,
                                    "the program answered the damaged record with AA 81",
                                    [](ProgramEnd &program, SimProcess &) {
                                        EXPECT_EQ(program.receive(59).size(), 59);
                                        program.send(fromHex("AA 81"));
                                    }},
                      Rqx5FaultCase{"SilentMidRecordThenRestart",
                                    {"--fall-silent", "0", "--restart-after", "0.3"},
                                    0,
                                    "then the instrument falls silent",
                                    [](ProgramEnd &program, SimProcess &sim) {
                                        const Done done = waitForReport(sim);
                                        ASSERT_GE(done.sent, 1);
                                        ASSERT_LT(done.sent, 60);
                                        const QByteArray part = program.receive(done.sent);
                                        QByteArray intact;
                                        restartAndFinish(program, &intact);
                                        EXPECT_EQ(hex(part), hex(intact.left(done.sent)));
                                    }},
                      Rqx5FaultCase{"CablePulledAfterARecord",
                                    {"--pull-cable", "1"},
                                    0,
                                    "after record 1: the cable is pulled",
                                    [](ProgramEnd &program, SimProcess &sim) {
                                        EXPECT_EQ(program.receive(60).size(), 60);
                                        program.send(fromHex("AA 81"));
                                        ASSERT_TRUE(sim.waitForFinished(20000));
                                        EXPECT_TRUE(program.receive(1, 300).isEmpty());
                                        EXPECT_TRUE(
                                            QDir(sim.deviceDir()).isEmpty(QDir::System | QDir::Files));
                                    }}),
    [](const auto &info) { return std::string(info.param.name); });

// Measurements of kinds 1, 2 and 3 are 30, 44 and 58 bytes; filled, each is a 58-byte block.
class Rqx5SimulatorPadding : public ::testing::TestWithParam<std::tuple<const char *, char, bool>> {};

TEST_P(Rqx5SimulatorPadding, FillsEachMeasurementTo58Bytes)
{
    const auto [pad, filler, before] = GetParam();
    SimProcess sim;
    ASSERT_TRUE(sim.start(
        {"--series", "rqx5", "--action", "measure", "--points", "3", "--pause", "50", "--pad", pad}));
    ProgramEnd program(sim.deviceDir());
    sim.go();
    const int ends[] = {29, 43, 57};
    for (int kind = 1; kind <= 3; ++kind) {
        const QByteArray block = program.receive(58);
        ASSERT_EQ(block.size(), 58);
        EXPECT_EQ(static_cast<unsigned char>(block[0]), 0x92);
        const int end = before ? 57 : ends[kind - 1];
        EXPECT_EQ(static_cast<unsigned char>(block[end]), 0xB1 + kind) << kind;
        const QByteArray filling =
            before ? block.mid(ends[kind - 1], 57 - ends[kind - 1]) : block.mid(end + 1);
        EXPECT_EQ(filling, QByteArray(filling.size(), filler)) << kind;
    }
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fillers, Rqx5SimulatorPadding,
                         ::testing::Values(std::make_tuple("before", ' ', true),
                                           std::make_tuple("nul", '\0', false),
                                           std::make_tuple("space", ' ', false)));

// A byte added to a single measurement never ends a measurement of another kind: that would cut it
// in two pieces, a fault of its own. The seed chose 0xB2..0xB5 for measurement 2 before.
TEST(Rqx5SimulatorMeasureFault, AnAddedByteEndsNoMeasurement)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--series", "rqx5", "--action", "measure", "--points", "2", "--pause", "50",
                           "--add-byte", "2", "--fault-seed", "1435625890"}));
    ProgramEnd program(sim.deviceDir());
    sim.go();
    EXPECT_EQ(program.receive(30).size(), 30);
    const Done done = waitForReport(sim);
    EXPECT_EQ(done.record, 2);
    ASSERT_EQ(done.sent, 45);
    const QByteArray damaged = program.receive(45);
    ASSERT_EQ(damaged.size(), 45);
    EXPECT_EQ(hex(damaged.left(1) + damaged.right(1)), "92 B3");
    for (int i = 0; i < 44; ++i) {
        const auto byte = static_cast<unsigned char>(damaged[i]);
        EXPECT_FALSE(byte >= 0xB2 && byte <= 0xB5) << "byte " << i;
    }
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
}
