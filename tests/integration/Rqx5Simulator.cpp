// The simulated RQX5 instrument itself: the frames it sends and how it reports a program that
// answers wrongly. The test plays the program on the other end of the line.
#include "support/Recorder.h"
#include "support/SimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
