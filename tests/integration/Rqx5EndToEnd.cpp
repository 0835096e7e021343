// The RQX5 coordinate transfers as the surveyor runs them: from the main window's menu entries and
// buttons, through the program's own serial link over a pseudo-terminal, against the simulated
// instrument, under both coordinate orders.
#include "support/MainWindowSimFixture.h"
#include "ui/Form1.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

namespace {

// 120 points: plain, zero-led and lettered point numbers, coordinates of up to 13 characters (the
// receive keeps 13 of a field's 14).
std::vector<TestPoint> testPoints()
{
    std::vector<TestPoint> points;
    for (int i = 1; i <= 120; ++i) {
        QString number = QString::number(i);
        if (i % 10 == 3)
            number = QStringLiteral("00") + number;
        else if (i % 10 == 7)
            number = QStringLiteral("K%1-1").arg(i);
        points.push_back({number, QStringLiteral("ST%1").arg(i),
                          QStringLiteral("%1.%2").arg(3000000 + i).arg(i % 10),
                          QStringLiteral("-%1.125").arg(500 + i), QStringLiteral("%1.05").arg(i % 50)});
    }
    return points;
}

// The number the table shows: plain numbers lose their leading zeros, lettered ones keep their text.
QString shownNumber(const QString &number)
{
    bool plain = false;
    const int value = number.toInt(&plain);
    return plain ? QString::number(value) : number;
}

struct Run {
    bool nez;
    const char *command; // the menu entry or button that starts the transfer
    int rowsBefore;      // rows the table holds before a receive
};

class Rqx5EndToEnd : public MainWindowSimFixture, public ::testing::WithParamInterface<Run> {
protected:
    bool startProgram(const QStringList &simArgs)
    {
        return MainWindowSimFixture::startProgram(true, GetParam().nez, simArgs);
    }

    void runCommand()
    {
        Form1 *w = app->mainWindow();
        const QString command = QLatin1String(GetParam().command);
        if (command.startsWith(u'C'))
            w->button(command)->click();
        else
            w->action(command)->trigger();
    }
};

using Rqx5EndToEndReceive = Rqx5EndToEnd;
using Rqx5EndToEndSend = Rqx5EndToEnd;

} // namespace

TEST_P(Rqx5EndToEndReceive, TheInstrumentsPointsAreAppendedToTheTable)
{
    const auto points = testPoints();
    const QString pointsFile = dir.filePath(QStringLiteral("route7.txt"));
    ASSERT_TRUE(writePointsFile(pointsFile, points));
    ASSERT_TRUE(startProgram({"--action", "send", "--points-file", pointsFile}));
    const int before = GetParam().rowsBefore;
    for (int i = 1; i <= before; ++i)
        addRow({QString::number(900 + i), QStringLiteral("OLD"), "1", "2", "3"});

    runCommand();
    sim.go();
    finish();

    const CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), before + 120);
    if (before) {
        EXPECT_EQ(table.cell(before, 1), QString::number(900 + before));
    }
    const bool nez = GetParam().nez;
    for (int i = 0; i < 120; ++i) {
        const TestPoint &p = points[size_t(i)];
        const int row = before + i + 1;
        const QString north = p.north + "0", east = p.east + "0";
        const CoordinatePoint got = table.point(row);
        EXPECT_EQ(got.sequence, QString::number(row));
        EXPECT_EQ(got.number, shownNumber(p.number)) << "row " << row;
        EXPECT_EQ(got.name, p.name);
        EXPECT_EQ(got.first, nez ? north : east) << "row " << row;
        EXPECT_EQ(got.second, nez ? east : north) << "row " << row;
        EXPECT_EQ(got.height, p.height + "0");
    }
    EXPECT_EQ(table.headers().at(3), nez ? "坐标--N" : "坐标--E");
    EXPECT_EQ(text("Text3"), "route7      ");
    EXPECT_EQ(text("Text1"), QString::number(before + 120));
    EXPECT_EQ(text("Label4"), "传送完毕！");
    EXPECT_TRUE(app->mainWindow()->findChild<QRadioButton *>("Option1")->isChecked());
    EXPECT_EQ(messages.messages, QStringList({"成功|数据传输完毕！"}));
}

TEST_P(Rqx5EndToEndSend, TheTablesPointsReachTheInstrument)
{
    const auto points = testPoints();
    const QString output = dir.filePath(QStringLiteral("instrument.txt"));
    ASSERT_TRUE(startProgram({"--action", "receive", "--output", output}));
    for (const auto &p : points)
        addRow(p);

    runCommand();
    finish();

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 120);
    for (int i = 0; i < 120; ++i) {
        const TestPoint &p = points[size_t(i)];
        // On the wire the number is zero-padded to six characters; N always comes before E.
        const QString number = p.number.size() < 6 ? p.number.rightJustified(6, u'0') : p.number;
        EXPECT_EQ(lines[i], QStringList({number, p.name, p.north, p.east, p.height}).join(u','))
            << "point " << i + 1;
    }
    EXPECT_EQ(text("Text1"), "120/120");
    EXPECT_EQ(text("Label2"), "完毕！");
    EXPECT_EQ(text("Label4"), "发送中：");
    EXPECT_TRUE(messages.messages.isEmpty());
}

namespace {
std::string runName(const ::testing::TestParamInfo<Run> &info)
{
    return std::string(info.param.nez ? "Nez" : "Enz") + info.param.command +
           (info.param.rowsBefore ? "IntoFiveRows" : "");
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Commands, Rqx5EndToEndReceive,
                         ::testing::Values(Run{true, "RecZB", 0}, Run{true, "RecZB", 5},
                                           Run{false, "RecZB", 0}, Run{false, "Command12", 5}),
                         runName);
INSTANTIATE_TEST_SUITE_P(Commands, Rqx5EndToEndSend,
                         ::testing::Values(Run{true, "SendZB", 0}, Run{false, "SendZB", 0},
                                           Run{false, "Command3", 0}),
                         runName);

// ---- At the instrument's line speed -------------------------------------------------------------

namespace {

// Both transfers as a real cable carries them: 1200 baud, each frame in uneven pieces.
class Rqx5AtLineSpeed : public MainWindowSimFixture {
protected:
    bool startProgram(const QStringList &simArgs)
    {
        return MainWindowSimFixture::startProgram(true, true, SimProcess::lineSpeedArgs() + simArgs);
    }
};

} // namespace

TEST_F(Rqx5AtLineSpeed, HeaderEveryRecordAndTheEndFrameAreTakenWhole)
{
    const QString pointsFile = dir.filePath(QStringLiteral("line.txt"));
    ASSERT_TRUE(writePointsFile(pointsFile, {{"12", "A1", "3456.789", "1234.5", "12.34"},
                                             {"007", "K", "-1.5", "-2.25", "0.5"},
                                             {"K7-1", "ST3", "4012345.678", "512345.123", "100.001"}}));
    ASSERT_TRUE(startProgram({"--action", "send", "--points-file", pointsFile}));

    app->mainWindow()->action(QStringLiteral("RecZB"))->trigger();
    sim.go();
    finish();

    const CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), 3);
    const QStringList expected = {"1|12|A1|3456.7890|1234.50|12.340", "2|7|K|-1.50|-2.250|0.50",
                                  "3|K7-1|ST3|4012345.6780|512345.1230|100.0010"};
    for (int row = 1; row <= 3; ++row) {
        const CoordinatePoint p = table.point(row);
        EXPECT_EQ(QStringList({p.sequence, p.number, p.name, p.first, p.second, p.height}).join(u'|'),
                  expected[row - 1])
            << sim.errorOutput().toStdString();
    }
    EXPECT_EQ(text("Text3"), "line        ");
    EXPECT_EQ(text("Label4"), "传送完毕！");
    EXPECT_EQ(messages.messages, QStringList({"成功|数据传输完毕！"}));
}

TEST_F(Rqx5AtLineSpeed, EveryRequestIsAnsweredWithItsRow)
{
    const QString output = dir.filePath(QStringLiteral("instrument.txt"));
    ASSERT_TRUE(startProgram({"--action", "receive", "--output", output}));
    addRow({"12", "A1", "3456.789", "1234.5", "12.34"});
    addRow({"K7-1", "", "-1.5", "-2.25", "0"});

    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    finish();

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), "000012,A1,3456.789,1234.5,12.34\n"
                                                 "00K7-1,,-1.5,-2.25,0\n")
        << sim.errorOutput().toStdString();
    EXPECT_EQ(text("Text1"), "2/2");
    EXPECT_EQ(text("Label2"), "完毕！");
}
