// The simulated RQX2 instrument against a hand-driven program end: the frames it sends are the
// instrument's, and a program that answers wrongly is reported and fails the run.
#include "serial/QSerialLink.h"
#include "support/QStringPrinter.h"
#include "support/Recorder.h"
#include "support/SimProcess.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <utility>

namespace {

// Point 1 of 25: 'P1', 'A', N 1234.567, E -45.5, Z 12.3, as the instrument sends it.
const char kExampleRecord[] =
    "02 30 30 30 31 30 30 32 35 50 31 20 20 20 20 20 41 20 20 20 20 20 20 30 30 30 30 30 31 32 "
    "33 34 2E 35 36 37 30 30 30 30 30 30 2D 34 35 2E 35 30 30 30 30 30 30 30 30 30 31 32 2E "
    "33 30 30 0D";

// The program's end of the line: every chunk the instrument sends is given to the test's answer,
// with the number of the chunk.
class ProgramEnd {
public:
    explicit ProgramEnd(const QString &deviceDir) : link(deviceDir)
    {
        // The bytes are taken once at least `threshold` of them wait, all of them as one chunk, as the
        // instrument's frames are taken whole.
        link.setReceiveHandler([this] {
            pending += link.readAll();
            if (pending.isEmpty() || pending.size() < threshold)
                return;
            const QByteArray chunk = std::exchange(pending, {});
            chunks.append(hex(chunk));
            if (answer)
                answer(static_cast<int>(chunks.size()), chunk);
        });
    }
    QSerialLink link;
    int threshold = 1;
    QByteArray pending;
    QStringList chunks;
    std::function<void(int, const QByteArray &)> answer;
};

class Rqx2Simulator : public ::testing::Test {
protected:
    // Runs the simulator with args against answer; its exit code.
    int run(const QStringList &args, int firstThreshold,
            std::function<void(ProgramEnd &, int, const QByteArray &)> answer)
    {
        // A time-out only a program end that never answers reaches.
        if (!sim.start(QStringList{"--series", "rqx2", "--timeout", QString::number(kGivesUpMs)} + args))
            return -1;
        ProgramEnd end(sim.deviceDir());
        if (!end.link.open())
            return -2;
        end.answer = [&](int n, const QByteArray &chunk) { answer(end, n, chunk); };
        end.threshold = firstThreshold;
        sim.go();
        if (!sim.waitForFinished(kGivesUpMs + 20000))
            return -3;
        chunks = end.chunks;
        errors = sim.errorOutput();
        return sim.exitCode();
    }

    QString writePoints(int count)
    {
        const QString path = dir.filePath(QStringLiteral("points.txt"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("P1,A,1234.567,-45.5,12.3\n");
            for (int i = 2; i <= count; ++i)
                file.write(QByteArray::number(i) + ",B,1,2,3\n");
        }
        return path;
    }

    // A failed run with a fault tells how to put the fault at the same place again.
    void TearDown() override
    {
        const QRegularExpressionMatch seed =
            QRegularExpression(QStringLiteral("--fault-seed (\\d+)")).match(sim.errorOutput());
        if (HasFailure() && seed.hasMatch())
            std::cerr << "The simulator's fault repeats with RQXSIM_FAULT_SEED="
                      << seed.captured(1).toStdString() << '\n';
    }

    // How long the instrument waits for each answer: as long as any wait of the suite, so that a
    // loaded machine never makes it give up; the test that has it give up waits that long.
    static constexpr int kGivesUpMs = 20000;

    QTemporaryDir dir;
    SimProcess sim;
    QStringList chunks;
    QString errors;
};

} // namespace

TEST_F(Rqx2Simulator, SendsTheExampleRecordAndReportsAnAcknowledgementWithoutItsNul)
{
    const int status = run({"--action", "send", "--points-file", writePoints(25)}, 3,
                           [](ProgramEnd &end, int n, const QByteArray &) {
                               if (n == 1) {
                                   end.threshold = 63;
                                   end.link.write(fromHex("01 4A 0D"));
                               } else if (n == 2) {
                                   // What comes after the CR is the next request's first byte, not the NUL.
                                   end.link.write(fromHex("02 30 30 30 31 30 30 32 35 0D 02"));
                               }
                           });
    EXPECT_EQ(status, 1);
    ASSERT_GE(chunks.size(), 2);
    EXPECT_EQ(chunks[0], "02 4A 0D");
    EXPECT_EQ(chunks[1], kExampleRecord);
    EXPECT_TRUE(errors.contains("expected 02 30 30 30 31 30 30 32 35 0D 00 acknowledging point 1 of 25, got "
                                "02 30 30 30 31 30 30 32 35 0D 02"))
        << errors.toStdString();
}

TEST_F(Rqx2Simulator, ReportsAWrongHandshakeAnswer)
{
    const int status =
        run({"--action", "send", "--points", "3"}, 3,
            [](ProgramEnd &end, int, const QByteArray &) { end.link.write(fromHex("05 4A 0D")); });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains("expected 01 4A 0D answering the request, got 05 4A 0D"))
        << errors.toStdString();
}

TEST_F(Rqx2Simulator, ReceivesPointsRequestByRequestAndWritesThemAsTheyCame)
{
    const QString output = dir.filePath(QStringLiteral("got.txt"));
    const int status =
        run({"--action", "receive", "--output", output}, 3, [](ProgramEnd &end, int n, const QByteArray &) {
            if (n == 1)
                end.link.write(fromHex("01 4A 0D") +
                               fromHex(kExampleRecord).replace("\x30\x30\x32\x35", "\x30\x30\x30\x32") +
                               fromHex("00"));
            else if (n == 2)
                end.link.write(QByteArray("\x02"
                                          "00020002ABCDEFG       000000001.000000000002.000000000003."
                                          "000\r",
                                          63) +
                               QByteArray(1, '\0'));
        });
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_EQ(chunks, (QStringList{"02 4A 0D", "02 4A 0D"}));
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()),
              "P1     ,A      ,000001234.567,000000-45.500,000000012.300\n"
              "ABCDEFG,       ,000000001.000,000000002.000,000000003.000\n");
}

TEST_F(Rqx2Simulator, ReportsARecordThatIsNotTheOneRequested)
{
    const int status = run({"--action", "receive"}, 3, [](ProgramEnd &end, int n, const QByteArray &) {
        if (n == 1)
            end.link.write(fromHex("01 4A 0D") +
                           QByteArray("\x02"
                                      "00020002ABCDEFG       000000001.000000000002.000000000003.000\r",
                                      63) +
                           QByteArray(1, '\0'));
    });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains("expected point 1, the record says 2")) << errors.toStdString();
}

TEST_F(Rqx2Simulator, ReportsARecordWithoutItsTrailingNul)
{
    const int status = run({"--action", "receive"}, 3, [](ProgramEnd &end, int n, const QByteArray &) {
        if (n == 1)
            end.link.write(fromHex("01 4A 0D") + fromHex(kExampleRecord) + fromHex("20"));
    });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors.contains("point 1: bytes 62 and 63 are not 0D 00")) << errors.toStdString();
}

// ---- Faults on the line ----------------------------------------------------------------------------

namespace {

// "record 1: byte 17 (0x31) lost" as {17, 0x31}.
std::pair<int, int> reportedByte(const QString &errors)
{
    static const QRegularExpression damage(QStringLiteral("record \\d+: byte (\\d+) \\(0x([0-9A-F]{2})\\)"));
    const QRegularExpressionMatch match = damage.match(errors);
    return {match.captured(1).toInt(), match.hasMatch() ? match.captured(2).toInt(nullptr, 16) : -1};
}

const char kAcknowledgement1Of2[] = "02 30 30 30 31 30 30 30 32 0D 00";
const char kAcknowledgement2Of2[] = "02 30 30 30 32 30 30 30 32 0D 00";

} // namespace

TEST_F(Rqx2Simulator, LostByteGoesUnansweredAndTheInstrumentGivesUp)
{
    const int status = run({"--action", "send", "--points-file", writePoints(25), "--lose-byte", "1"}, 3,
                           [](ProgramEnd &end, int n, const QByteArray &) {
                               if (n == 1) {
                                   end.threshold = 62;
                                   end.link.write(fromHex("01 4A 0D"));
                               }
                           });
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("unanswered for %1 ms").arg(kGivesUpMs)))
        << errors.toStdString();
    const auto [at, value] = reportedByte(errors);
    ASSERT_EQ(chunks.size(), 2);
    QByteArray intact = fromHex(kExampleRecord);
    EXPECT_EQ(static_cast<unsigned char>(intact[at]), value);
    EXPECT_EQ(chunks[1], hex(intact.remove(at, 1)));
}

TEST_F(Rqx2Simulator, AddedByteThenTheRequestAgainAndTheWholeFile)
{
    const int status = run({"--action", "send", "--points", "2", "--add-byte", "2", "--restart-after", "0.3"},
                           3, [](ProgramEnd &end, int n, const QByteArray &) {
                               // request, record 1, damaged record 2, request, record 1, record 2
                               const int thresholds[] = {63, 64, 3, 63, 63, 63, 1};
                               end.threshold = thresholds[std::min(n - 1, 6)];
                               if (n == 1 || n == 4)
                                   end.link.write(fromHex("01 4A 0D"));
                               else if (n == 2 || n == 5)
                                   end.link.write(fromHex(kAcknowledgement1Of2));
                               else if (n == 6)
                                   end.link.write(fromHex(kAcknowledgement2Of2));
                           });
    EXPECT_EQ(status, 0) << errors.toStdString();
    ASSERT_EQ(chunks.size(), 6) << errors.toStdString();
    EXPECT_EQ(chunks[3], "02 4A 0D");
    EXPECT_EQ(chunks[1], chunks[4]);
    const auto [at, value] = reportedByte(errors);
    QByteArray damaged = fromHex(chunks[2].toLatin1().constData());
    EXPECT_EQ(static_cast<unsigned char>(damaged[at]), value);
    EXPECT_EQ(hex(damaged.remove(at, 1)), chunks[5]);
}

TEST_F(Rqx2Simulator, TerminatorInsideARecordGoesUnanswered)
{
    const int status = run({"--action", "send", "--points-file", writePoints(25), "--terminator-inside", "1",
                            "--timeout", "500"},
                           3, [](ProgramEnd &end, int n, const QByteArray &) {
                               if (n == 1) {
                                   end.threshold = 63;
                                   end.link.write(fromHex("01 4A 0D"));
                               }
                           });
    EXPECT_EQ(status, 0) << errors.toStdString();
    const auto [at, value] = reportedByte(errors);
    ASSERT_EQ(chunks.size(), 2);
    QByteArray intact = fromHex(kExampleRecord);
    EXPECT_EQ(static_cast<unsigned char>(intact[at]), value);
    EXPECT_EQ(chunks[1], hex(intact.replace(at, 1, "\r")));
}

TEST_F(Rqx2Simulator, RecordSentAgainAfterItsAcknowledgementIsAnsweredAgain)
{
    const int status = run({"--action", "send", "--points", "2", "--repeat-record", "1"}, 3,
                           [](ProgramEnd &end, int n, const QByteArray &) {
                               // request, record 1, record 1 again, record 2
                               end.threshold = 63;
                               if (n == 1)
                                   end.link.write(fromHex("01 4A 0D"));
                               else if (n == 2 || n == 3)
                                   end.link.write(fromHex(kAcknowledgement1Of2));
                               else if (n == 4)
                                   end.link.write(fromHex(kAcknowledgement2Of2));
                           });
    EXPECT_EQ(status, 0) << errors.toStdString();
    ASSERT_EQ(chunks.size(), 4) << errors.toStdString();
    EXPECT_EQ(chunks[1], chunks[2]);
    EXPECT_NE(chunks[2], chunks[3]);
}

TEST_F(Rqx2Simulator, CablePulledAfterTheMeasurementHeader)
{
    const int status = run({"--action", "measurements", "--points", "3", "--pull-cable", "0"}, 3,
                           [](ProgramEnd &end, int n, const QByteArray &) {
                               if (n == 1) {
                                   end.threshold = 16;
                                   end.link.write(fromHex("05 4A 0D"));
                               } else if (n == 2) {
                                   end.link.write(fromHex("06 30 30 30 30 30 30 30 33 0D"));
                               }
                           });
    EXPECT_EQ(status, 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains("after record 0: the cable is pulled")) << errors.toStdString();
    ASSERT_EQ(chunks.size(), 2);
    EXPECT_TRUE(chunks[1].startsWith("02 30 30 30 30 30 30 30 33 07")) << chunks[1].toStdString();
}
