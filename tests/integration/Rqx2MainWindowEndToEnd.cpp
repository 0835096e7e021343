// The RQX2 coordinate transfers as the surveyor runs them: from the main window's "接收" and "发送"
// entries of the "坐标数据" menu, through the program's own port, against the simulated instrument.
#include "serial/SerialLink.h"
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"
#include "ui/TransferExecutor.h"
#include "ui/TransferObserver.h"

#include <QAction>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace {

constexpr int kPoints = 25;

class Rqx2MainWindow : public MainWindowSimFixture, public ::testing::WithParamInterface<bool> {
protected:
    bool nez() const { return GetParam(); }

    bool startProgram(const QStringList &simArgs)
    {
        return MainWindowSimFixture::startProgram(false, nez(), QStringList{"--timeout", "20000"} + simArgs);
    }

    // The instrument's kPoints points: numbers 1.., names C1.., N, E (negative) and Z.
    QString writePoints()
    {
        const QString points = dir.filePath(QStringLiteral("points.txt"));
        QFile file(points);
        if (file.open(QIODevice::WriteOnly)) {
            for (int i = 1; i <= kPoints; ++i)
                file.write(QStringLiteral("%1,C%1,%2.5,-%3.25,%4.125\n")
                               .arg(i)
                               .arg(40000 + i)
                               .arg(7000 + i)
                               .arg(i)
                               .toLatin1());
        }
        return points;
    }

    // The bytes the simulator recorded going out to the program ("out") or coming from it ("in").
    static QByteArray wireBytes(const QString &record, const char *direction)
    {
        QFile file(record);
        QByteArray bytes;
        if (!file.open(QIODevice::ReadOnly))
            return bytes;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() > 2 && fields[1] == direction)
                bytes += QByteArray::fromHex(line.mid(fields[0].size() + fields[1].size() + 2));
        }
        return bytes;
    }

    // True once the instrument has sent every record it will send: the request (3 bytes) answered
    // (3 bytes), the first `answered` records (63 bytes each) acknowledged (11 bytes each), and the
    // next one, which nothing will answer.
    static bool instrumentWaitsForAnAnswer(const QString &record, int answered)
    {
        const int sent = std::min(answered + 1, kPoints);
        return wireBytes(record, "in").size() == 3 + 11 * answered &&
               wireBytes(record, "out").size() == 3 + 63 * sent;
    }
};

} // namespace

TEST_P(Rqx2MainWindow, ReceivesTheInstrumentsPointsIntoTheTable)
{
    const QString points = writePoints();
    ASSERT_TRUE(startProgram({"--action", "send", "--points-file", points}));

    app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
    EXPECT_EQ(text("Label4"), "等待接收坐标数据...");
    sim.go();
    finish();

    const CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), kPoints);
    const CoordinatePoint first = table.point(1);
    EXPECT_EQ(first.sequence, "1");
    EXPECT_EQ(first.number, "1");
    EXPECT_EQ(first.name, "C1");
    EXPECT_EQ(first.first, nez() ? "40001.5000" : "-7001.2500");
    EXPECT_EQ(first.second, nez() ? "-7001.2500" : "40001.5000");
    EXPECT_EQ(first.height, "1.1250");
    const CoordinatePoint last = table.point(kPoints);
    EXPECT_EQ(last.sequence, "25");
    EXPECT_EQ(last.number, "25");
    EXPECT_EQ(last.name, "C25");
    EXPECT_EQ(last.first, nez() ? "40025.5000" : "-7025.2500");
    EXPECT_EQ(last.height, "25.1250");
    EXPECT_EQ(table.headers().at(3), nez() ? "坐标--N" : "坐标--E");
    EXPECT_EQ(text("Text1"), "25/25");
    EXPECT_EQ(text("Label4"), "");
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据传输完毕！"});
}

// Counts the bytes the program has read from the port, each fed to a transfer as it is read; watches
// the executor in place of the session log (which the test does not read) while it lives.
class ArrivedBytes : public TransferObserver {
public:
    explicit ArrivedBytes(TransferExecutor &executor) : m_executor(executor) { executor.setObserver(this); }
    ~ArrivedBytes() override { m_executor.setObserver(nullptr); }
    qsizetype count = 0;
    void transferBegun(const Transfer &, bool) override {}
    void transferEnded() override {}
    void bytesWritten(const QByteArray &) override {}
    void bytesArrived(const QByteArray &bytes) override { count += bytes.size(); }

private:
    TransferExecutor &m_executor;
};

TEST_P(Rqx2MainWindow, StoppedInTheMiddleOfAReceiveKeepsThePointsTaken)
{
    const QString points = writePoints();
    const QString wire = dir.filePath(QStringLiteral("wire.txt"));
    ASSERT_TRUE(startProgram(QStringList{"--action", "send", "--points-file", points, "--record", wire} +
                             SimProcess::lineSpeedArgs()));

    ArrivedBytes arrived(app->executor());
    app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
    sim.go();
    auto *bar = app->mainWindow()->findChild<QProgressBar *>(QStringLiteral("TransferProgress"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->isVisible() && bar->value() >= 2; }, 20000));
    EXPECT_EQ(bar->maximum(), kPoints);
    app->mainWindow()->findChild<QPushButton *>(QStringLiteral("StopTransfer"))->click();
    const int kept = app->table().count();
    ASSERT_GE(kept, 2);
    ASSERT_LT(kept, kPoints);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0], QStringLiteral("提示|传输已停止，已接收 %1 条记录。").arg(kept));
    // Whatever the instrument still sends is not taken: the rows stay as they were, each one whole.
    // Each record taken was answered; the instrument sends the next one and waits for an answer
    // that never comes. Once its last byte is on the line, the program has every byte it will get.
    ASSERT_TRUE(QTest::qWaitFor([&] { return instrumentWaitsForAnAnswer(wire, kept); }, 20000))
        << wireBytes(wire, "out").size() << " bytes sent, " << wireBytes(wire, "in").size() << " answered";
    // Every byte the instrument sent has been read, and so given to the transfer the program has.
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.count == wireBytes(wire, "out").size(); }, 20000))
        << arrived.count << " of " << wireBytes(wire, "out").size() << " bytes read";
    EXPECT_EQ(app->table().count(), kept);
    EXPECT_EQ(app->table().point(kept).name, QStringLiteral("C%1").arg(kept));
    EXPECT_FALSE(bar->isVisible());
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(20000));
}

TEST_P(Rqx2MainWindow, SendsTheTableToTheInstrument)
{
    const QString output = dir.filePath(QStringLiteral("instrument.txt"));
    ASSERT_TRUE(startProgram({"--action", "receive", "--output", output}));
    for (int i = 1; i <= kPoints; ++i)
        addRow({QStringLiteral("D%1").arg(i), i == 2 ? QString() : QStringLiteral("NAME%1").arg(i),
                QStringLiteral("%1.5").arg(40000 + i), QStringLiteral("-%1.25").arg(7000 + i),
                QStringLiteral("%1.1259").arg(i)});

    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    finish();

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kPoints);
    EXPECT_EQ(lines[0], "D1     ,NAME1  ,000040001.500,0000-7001.250,000000001.125");
    EXPECT_EQ(lines[1], "D2     ,       ,000040002.500,0000-7002.250,000000002.125");
    EXPECT_EQ(lines[24], "D25    ,NAME25 ,000040025.500,0000-7025.250,000000025.125");
    EXPECT_EQ(text("Text1"), "25/25");
    EXPECT_EQ(text("Label4"), "");
    EXPECT_FALSE(app->link().isOpen());
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据发送完毕！"});
}

TEST_P(Rqx2MainWindow, RequestForAnEmptyTableEndsTheProgram)
{
    // The instrument asks for the first point; the answer must come, and then nothing.
    ASSERT_TRUE(startProgram({"--action", "script", "--script",
                              writeSimScript(dir, "go\n"
                                                  "send 02 4A 0D\n"
                                                  "expect 01 4A 0D\n"
                                                  "quiet 500\n")}));
    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    finish();
    EXPECT_EQ(messages.messages.value(0), "提示|请首先打开一个坐标数据文件");
    EXPECT_TRUE(ended);
    EXPECT_FALSE(app->mainWindow()->isVisible());
}

TEST_P(Rqx2MainWindow, TableTheInstrumentCannotTakeIsNotSent)
{
    ASSERT_TRUE(startProgram({"--action", "receive", "--timeout", "500"}));
    addRow({"1", "A", "1", "2", "3"});
    addRow({"2", "点2", "1", "2", "3"});
    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    finish(1);
    EXPECT_TRUE(sim.errorOutput().contains("answering the first request")) << sim.errorOutput().toStdString();
    EXPECT_EQ(messages.messages,
              QStringList{"错误提示|第2行的点名“点2”含有仪器不能接收的字符“点”，请修改后再发送！"});
    EXPECT_FALSE(app->link().isOpen());
}

// ---- At the instrument's line speed -------------------------------------------------------------

namespace {

// Both transfers as a real cable carries them: 1200 baud, each frame in uneven pieces.
class Rqx2AtLineSpeed : public MainWindowSimFixture {
protected:
    bool startProgram(const QStringList &simArgs)
    {
        return MainWindowSimFixture::startProgram(false, true, SimProcess::lineSpeedArgs() + simArgs);
    }
};

} // namespace

TEST_F(Rqx2AtLineSpeed, EveryRecordIsTakenWholeAlsoWithAByteBeforeIt)
{
    const QString points = dir.filePath(QStringLiteral("points.txt"));
    ASSERT_TRUE(writePointsFile(points, {{"P1", "A", "1234.567", "-45.5", "12.3"},
                                         {"A 2", "", "-0.25", "100", "0"},
                                         {"K3", "STN3", "4000000.125", "-7.001", "-12.5"},
                                         {"4", "B4", "5", "6", "7"}}));
    // Records 2 and 4 come with one byte before them: 64 bytes, read one place later.
    ASSERT_TRUE(startProgram({"--action", "send", "--points-file", points, "--shifted-records"}));

    app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
    sim.go();
    finish();

    const CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), 4);
    const QStringList expected = {"1|P1|A|1234.5670|-45.5000|12.3000", "2|A2||-0.250|100.000|0.000",
                                  "3|K3|STN3|4000000.1250|-7.0010|-12.5000", "4|4|B4|5.000|6.000|7.000"};
    for (int row = 1; row <= 4; ++row) {
        const CoordinatePoint p = table.point(row);
        EXPECT_EQ(QStringList({p.sequence, p.number, p.name, p.first, p.second, p.height}).join(u'|'),
                  expected[row - 1])
            << sim.errorOutput().toStdString();
    }
    EXPECT_EQ(text("Text1"), "4/4");
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据传输完毕！"});
}

TEST_F(Rqx2AtLineSpeed, EveryRowReachesTheInstrument)
{
    const QString output = dir.filePath(QStringLiteral("instrument.txt"));
    ASSERT_TRUE(startProgram({"--action", "receive", "--output", output}));
    addRow({"D1", "NAME1", "40001.5", "-7001.25", "1.1259"});
    addRow({"2", "", "-0.5", "0", "12"});
    addRow({"K3", "X", "123456789", "1.001", "-3.5"});

    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    finish();

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()),
              "D1     ,NAME1  ,000040001.500,0000-7001.250,000000001.125\n"
              "2      ,       ,0000000-0.500,000000000.000,000000012.000\n"
              "K3     ,X      ,123456789.000,000000001.001,0000000-3.500\n")
        << sim.errorOutput().toStdString();
    EXPECT_EQ(text("Text1"), "3/3");
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据发送完毕！"});
}

INSTANTIATE_TEST_SUITE_P(Order, Rqx2MainWindow, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Nez" : "Enz";
                         });
