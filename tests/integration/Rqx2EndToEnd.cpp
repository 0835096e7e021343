// Both RQX2 coordinate transfers over a pseudo-terminal against the simulated instrument, through
// the whole program (its serial link, the executor and the transfers), under both coordinate orders.
#include "serial/SerialLink.h"
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"

#include <QAction>
#include <QFile>

namespace {

constexpr int kPoints = 25;

// The instrument asks for the first point of a send; the answer must come, and then nothing.
constexpr char kAnswerAndNothingMore[] = "go\n"
                                         "send 02 4A 0D\n"
                                         "expect 01 4A 0D\n"
                                         "quiet 500\n";

// The points of one transfer: numbers with and without letters (one with an inner space), empty
// and full names, negative coordinates, coordinates without decimals.
TestPoint pointOf(int i)
{
    return {i == 5 ? QStringLiteral("A 5") : (i % 2 ? QString::number(i) : QStringLiteral("P%1").arg(i)),
            i % 4 == 0 ? QString() : QStringLiteral("STN%1").arg(i),
            QStringLiteral("%1.%2").arg(1000 + i).arg(i, 3, 10, QChar(u'0')), QStringLiteral("-%1.5").arg(i),
            QString::number(i)};
}

class Rqx2EndToEnd : public MainWindowSimFixture, public ::testing::WithParamInterface<bool> {
protected:
    bool nez() const { return GetParam(); }
    bool connect(const QStringList &simArgs)
    {
        return startProgram(false, nez(), QStringList{"--timeout", "20000"} + simArgs);
    }
    void trigger(const char *name) { app->mainWindow()->action(QLatin1String(name))->trigger(); }
};

} // namespace

TEST_P(Rqx2EndToEnd, ReceiveTwentyFivePoints)
{
    const QString points = dir.filePath(QStringLiteral("points.txt"));
    std::vector<TestPoint> all;
    for (int i = 1; i <= kPoints; ++i)
        all.push_back(pointOf(i));
    ASSERT_TRUE(writePointsFile(points, all));
    ASSERT_TRUE(connect({"--action", "send", "--points-file", points}));

    trigger("RecZB");
    sim.go();
    ASSERT_TRUE(sim.waitForFinished(20000)) << sim.errorOutput().toStdString();
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();

    const CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), kPoints);
    for (int i = 1; i <= kPoints; ++i) {
        const TestPoint p = pointOf(i);
        // The table shows 4 decimals; spaces inside the point number vanish.
        const QString north = p.north + "0";
        const QString east = p.east + "000";
        const CoordinatePoint got = table.point(i);
        EXPECT_EQ(got.sequence, QString::number(i));
        EXPECT_EQ(got.number, QString(p.number).remove(u' ')) << "row " << i;
        EXPECT_EQ(got.name, p.name) << "row " << i;
        EXPECT_EQ(got.first, nez() ? north : east) << "row " << i;
        EXPECT_EQ(got.second, nez() ? east : north) << "row " << i;
        EXPECT_EQ(got.height, p.height + ".0000") << "row " << i;
    }
    EXPECT_EQ(table.point(1).first, nez() ? "1001.0010" : "-1.5000");
    EXPECT_EQ(table.point(5).number, "A5");
    EXPECT_EQ(text("Text1"), "25/25");
    EXPECT_EQ(text("Label4"), "");
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据传输完毕！"});
}

TEST_P(Rqx2EndToEnd, SendTwentyFivePoints)
{
    const QString output = dir.filePath(QStringLiteral("received.txt"));
    ASSERT_TRUE(connect({"--action", "receive", "--output", output}));
    for (int i = 1; i <= kPoints; ++i)
        addRow(pointOf(i));

    trigger("SendZB");
    sim.go();
    ASSERT_TRUE(sim.waitForFinished(20000)) << sim.errorOutput().toStdString();
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), kPoints);
    EXPECT_EQ(lines[0], "1      ,STN1   ,000001001.001,0000000-1.500,000000001.000");
    EXPECT_EQ(lines[3], "P4     ,       ,000001004.004,0000000-4.500,000000004.000");
    EXPECT_EQ(lines[4], "A 5    ,STN5   ,000001005.005,0000000-5.500,000000005.000");
    EXPECT_EQ(lines[24], "25     ,STN25  ,000001025.025,000000-25.500,000000025.000");
    for (int i = 1; i <= kPoints; ++i) {
        const TestPoint p = pointOf(i);
        const QString expected =
            QStringList{p.number.leftJustified(7), p.name.leftJustified(7), QStringLiteral("00000") + p.north,
                        QStringLiteral("-%1.500").arg(i).rightJustified(13, u'0'),
                        QStringLiteral("%1.000").arg(i).rightJustified(13, u'0')}
                .join(u',');
        EXPECT_EQ(lines[i - 1], expected) << "point " << i;
    }
    EXPECT_EQ(text("Text1"), "25/25");
    EXPECT_FALSE(app->link().isOpen());
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据发送完毕！"});
}

TEST_P(Rqx2EndToEnd, RequestForAnEmptyTableEndsTheProgram)
{
    // The instrument gets its answer and then nothing.
    ASSERT_TRUE(connect({"--action", "script", "--script", writeSimScript(dir, kAnswerAndNothingMore)}));
    trigger("SendZB");
    sim.go();
    ASSERT_TRUE(sim.waitForFinished(20000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
    EXPECT_EQ(messages.messages.value(0), "提示|请首先打开一个坐标数据文件");
    EXPECT_TRUE(ended);
}

INSTANTIATE_TEST_SUITE_P(Order, Rqx2EndToEnd, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Nez" : "Enz";
                         });
