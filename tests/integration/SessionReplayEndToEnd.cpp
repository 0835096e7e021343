// Session logs kept in tests/data/sessions replayed through the whole program: rqxsim --replay plays
// the instrument's side of each, and the program must write exactly the bytes of the log and end as
// the surveyor saw it end. The program's own log of the replay carries the same bytes both ways.
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"
#include "ui/Form7.h"
#include "ui/SessionLog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>

namespace {

enum Command { CoordinateReceive, CoordinateSend, Rqx2Measurements };

struct KeptLog {
    const char *file;
    bool rqx5;
    Command command;
    int rows;
    const char *message;
    const char *testName;
};

// The rows the program's table held when the coordinate send was logged.
const TestPoint kSentRows[] = {{"A1", "ST", "100.5", "200.25", "3.125"}, {"A2", "", "-7.5", "8", "9"}};

// A log's bytes, each direction joined: {tx, rx}.
std::pair<QByteArray, QByteArray> streams(const QString &path)
{
    QFile file(path);
    std::pair<QByteArray, QByteArray> both;
    if (!file.open(QIODevice::ReadOnly))
        return both;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.startsWith('#'))
            continue;
        const QList<QByteArray> words = line.left(line.indexOf(" | ")).split(' ');
        QByteArray &into = words.value(1) == "tx" ? both.first : both.second;
        into += QByteArray::fromHex(words.mid(2).join());
    }
    return both;
}

class SessionReplay : public MainWindowSimFixture, public ::testing::WithParamInterface<KeptLog> {
protected:
    QString keptLog() const { return QStringLiteral(RQX_TEST_DATA_DIR "/sessions/") + GetParam().file; }

    void run(const TestPoint *rows, int count)
    {
        const KeptLog &kept = GetParam();
        // The series is the log's own: the simulator is not told.
        ASSERT_TRUE(MainWindowSimFixture::startProgram(kept.rqx5, true, {"--replay", keptLog()}));
        for (int i = 0; i < count; ++i)
            addRow(rows[i]);
        switch (kept.command) {
        case CoordinateReceive:
            app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
            break;
        case CoordinateSend:
            app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
            break;
        case Rqx2Measurements:
            app->mainWindow()->action(QStringLiteral("CLSend"))->trigger();
            app->rqx2MeasurementWindow()->findChild<QPushButton *>("Command1")->click();
            break;
        }
        sim.go();
    }

    int rows() const
    {
        return GetParam().command == Rqx2Measurements ? app->rqx2MeasurementWindow()->list().rowCount()
                                                      : app->table().count();
    }
};

} // namespace

TEST_P(SessionReplay, TheProgramWritesTheLoggedBytesAndEndsAsLogged)
{
    const QString folder = SessionLog::defaultFolder();
    QDir(folder).removeRecursively();
    run(kSentRows, GetParam().command == CoordinateSend ? 2 : 0);
    finish();
    EXPECT_TRUE(sim.errorOutput().contains("replay complete")) << sim.errorOutput().toStdString();
    EXPECT_EQ(rows(), GetParam().rows);
    EXPECT_EQ(messages.messages, QStringList{GetParam().message});

    app.reset();
    SessionLog::waitForWrites();
    const QStringList logs = QDir(folder).entryList({QStringLiteral("*.log")}, QDir::Files);
    ASSERT_EQ(logs.size(), 1) << logs.join(u' ').toStdString();
    EXPECT_TRUE(logs[0].endsWith(QStringLiteral("-") + QFileInfo(GetParam().file).fileName()));
    const auto replayed = streams(QDir(folder).filePath(logs[0]));
    const auto original = streams(keptLog());
    EXPECT_EQ(replayed.first.toHex(' '), original.first.toHex(' '));
    EXPECT_EQ(replayed.second.toHex(' '), original.second.toHex(' '));
}

TEST_P(SessionReplay, ALogFolderThatCannotBeMadeFailsNothing)
{
    // The state folder's place is taken by a file: no log can be written.
    const QString blocked = dir.filePath(QStringLiteral("state"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray before = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", blocked.toLocal8Bit());
    run(kSentRows, GetParam().command == CoordinateSend ? 2 : 0);
    qputenv("XDG_STATE_HOME", before);
    finish();
    EXPECT_EQ(rows(), GetParam().rows);
    EXPECT_EQ(messages.messages, QStringList{GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(Kept, SessionReplay,
                         ::testing::Values(KeptLog{"rqx5-coordinate-receive.log", true, CoordinateReceive, 3,
                                                   "成功|数据传输完毕！", "Rqx5CoordinateReceive"},
                                           KeptLog{"rqx2-measurement-receive.log", false, Rqx2Measurements, 4,
                                                   "成功|传输完毕！", "Rqx2MeasurementReceive"},
                                           KeptLog{"rqx2-coordinate-send.log", false, CoordinateSend, 2,
                                                   "成功|坐标数据发送完毕！", "Rqx2CoordinateSend"},
                                           // Read at line speed: pieces made only of spaces.
                                           KeptLog{"rqx2-coordinate-receive.log", false, CoordinateReceive, 3,
                                                   "成功|坐标数据传输完毕！", "Rqx2CoordinateReceive"}),
                         [](const ::testing::TestParamInfo<KeptLog> &info) { return info.param.testName; });

namespace {
class SessionReplayDifference : public MainWindowSimFixture {};
} // namespace

TEST_F(SessionReplayDifference, IsReportedWithItsOffsetAndStatusOne)
{
    // The send logged 3.125 as the first point's height; the table now holds 3.5. The program's bytes
    // are the handshake answer 01 4A 0D, then the record: 02, the counters (8), number and name (7
    // each), N and E (13 each), and Z "000000003.500" differs from "000000003.125" at its 11th byte:
    // 3 + 1 + 8 + 7 + 7 + 13 + 13 + 10 = 62.
    ASSERT_TRUE(startProgram(
        false, true, {"--replay", QStringLiteral(RQX_TEST_DATA_DIR "/sessions/rqx2-coordinate-send.log")}));
    addRow({"A1", "ST", "100.5", "200.25", "3.5"});
    addRow(kSentRows[1]);
    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    finish(1);
    EXPECT_TRUE(sim.errorOutput().contains("at offset 62")) << sim.errorOutput().toStdString();
}
