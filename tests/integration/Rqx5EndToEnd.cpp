// Both RQX5 coordinate transfers over a pseudo-terminal against the simulated instrument, through
// the production serial link, the dispatcher and the protocol, under both coordinate orders.
#include "core/AppState.h"
#include "core/CoordinateTableModel.h"
#include "rqx5/Rqx5Protocol.h"
#include "serial/QSerialLink.h"
#include "serial/ReceiveDispatcher.h"
#include "support/RecordingView.h"
#include "support/SimProcess.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct TestPoint {
    QString number, name, north, east, height;
};

// 120 points the instrument holds: plain, zero-led and lettered point numbers, names up to 7
// characters, coordinates of up to 13 characters (the receive keeps 13 of the field's 14).
std::vector<TestPoint> instrumentPoints()
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

class Rqx5EndToEnd : public ::testing::TestWithParam<bool> {
protected:
    Rqx5EndToEnd()
    {
        selection.rqx5 = true;
        selection.rqx2 = false;
        selection.nez = GetParam();
        state.Selection = &selection;
        state.load();
    }

    // Starts the simulator and wires the program's side to its port.
    bool connect(const QStringList &simArgs)
    {
        if (!sim.start(QStringList{"--series", "rqx5"} + simArgs))
            return false;
        link = std::make_unique<QSerialLink>(sim.deviceDir());
        dispatcher = std::make_unique<ReceiveDispatcher>(state, *link, view);
        protocol = std::make_unique<Rqx5Protocol>(state, *link, table, view);
        protocol->install(dispatcher->routines());
        link->setReceiveHandler([this] { dispatcher->OnReceiveEvent(); });
        return true;
    }

    void finish()
    {
        ASSERT_TRUE(sim.waitForFinished(20000)) << sim.errorOutput().toStdString();
        EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
    }

    QString writePointsFile(const std::vector<TestPoint> &points)
    {
        const QString path = dir.filePath(QStringLiteral("route7.txt"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (const auto &p : points)
            file.write(QStringList{p.number, p.name, p.north, p.east, p.height}.join(u',').toUtf8() + "\n");
        return path;
    }

    void addTableRow(const TestPoint &p)
    {
        if (!table.hasColumns())
            table.buildColumns(selection.nez);
        const bool nez = selection.nez;
        table.append(CoordinatePoint{QString::number(table.count() + 1), p.number, p.name,
                                     nez ? p.north : p.east, nez ? p.east : p.north, p.height});
    }

    void receiveInto(int rowsBefore)
    {
        const auto points = instrumentPoints();
        for (int i = 1; i <= rowsBefore; ++i)
            addTableRow({QString::number(900 + i), QStringLiteral("OLD"), "1", "2", "3"});
        ASSERT_TRUE(connect({"--action", "send", "--points-file", writePointsFile(points)}));

        protocol->commandReceiveCoordinates();
        sim.go();
        finish();

        ASSERT_EQ(table.count(), rowsBefore + 120);
        EXPECT_EQ(table.cell(rowsBefore, 1), rowsBefore ? QString::number(900 + rowsBefore) : QString());
        for (int i = 0; i < 120; ++i) {
            const TestPoint &p = points[size_t(i)];
            const int row = rowsBefore + i + 1;
            const QString north = p.north + "0", east = p.east + "0";
            const CoordinatePoint got = table.point(row);
            EXPECT_EQ(got.sequence, QString::number(row));
            EXPECT_EQ(got.number, shownNumber(p.number)) << "row " << row;
            EXPECT_EQ(got.name, p.name);
            EXPECT_EQ(got.first, selection.nez ? north : east) << "row " << row;
            EXPECT_EQ(got.second, selection.nez ? east : north) << "row " << row;
            EXPECT_EQ(got.height, p.height + "0");
        }
        EXPECT_EQ(view.fileName, QStringLiteral("route7      "));
        EXPECT_EQ(view.status, QStringLiteral("传送完毕！"));
        EXPECT_EQ(view.progress, QString::number(rowsBefore + 120));
        EXPECT_EQ(view.messages, QStringList({QStringLiteral("成功|数据传输完毕！")}));
    }

    Recorder log;
    RecordingView view{log};
    FixedSelection selection;
    AppState state;
    CoordinateTableModel table;
    QTemporaryDir dir;
    SimProcess sim;
    std::unique_ptr<QSerialLink> link;
    std::unique_ptr<ReceiveDispatcher> dispatcher;
    std::unique_ptr<Rqx5Protocol> protocol;
};

} // namespace

TEST_P(Rqx5EndToEnd, ReceiveIntoAnEmptyTable)
{
    receiveInto(0);
}

TEST_P(Rqx5EndToEnd, ReceiveIntoATableOfFiveRowsNumbersTheNewRowsFromSix)
{
    receiveInto(5);
}

TEST_P(Rqx5EndToEnd, SendTheTable)
{
    const auto points = instrumentPoints();
    for (const auto &p : points)
        addTableRow(p);
    const QString output = dir.filePath(QStringLiteral("received.txt"));
    ASSERT_TRUE(connect({"--action", "receive", "--output", output}));

    protocol->commandSendCoordinates();
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
    EXPECT_EQ(view.progress, QStringLiteral("120/120"));
    EXPECT_EQ(view.countLabel, QStringLiteral("完毕！"));
    EXPECT_TRUE(view.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Order, Rqx5EndToEnd, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? "Nez" : "Enz";
                         });
