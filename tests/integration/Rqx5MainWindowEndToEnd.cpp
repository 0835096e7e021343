// The RQX5 coordinate transfers as the surveyor runs them: from the main window's menu entries and
// buttons, through the program's own port, against the simulated instrument.
#include "support/RecordingPresenter.h"
#include "support/SimProcess.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct Order {
    bool nez;
    const char *command; // the menu entry or button that starts the transfer
};

class Rqx5MainWindow : public ::testing::TestWithParam<Order> {
protected:
    bool startProgram(const QStringList &simArgs)
    {
        if (!sim.start(QStringList{"--series", "rqx5"} + simArgs))
            return false;
        app = std::make_unique<Application>(sim.deviceDir(), messages, [] {});
        app->start();
        Form6 *selection = app->selectionDialog();
        selection->findChild<QRadioButton *>("Option4")->setChecked(true);
        selection->findChild<QRadioButton *>(GetParam().nez ? "Option1" : "Option2")->setChecked(true);
        app->ConfirmSelection();
        messages.messages.clear();
        return app->mainWindow() && app->mainWindow()->isVisible();
    }

    void run()
    {
        Form1 *w = app->mainWindow();
        const QString command = QLatin1String(GetParam().command);
        if (command.startsWith(u'C'))
            w->button(command)->click();
        else
            w->action(command)->trigger();
    }

    void finish()
    {
        ASSERT_TRUE(sim.waitForFinished(20000)) << sim.errorOutput().toStdString();
        EXPECT_EQ(sim.exitCode(), 0) << sim.errorOutput().toStdString();
    }

    QString text(const char *name) const
    {
        if (auto *edit = app->mainWindow()->findChild<QLineEdit *>(name))
            return edit->text();
        return app->mainWindow()->findChild<QLabel *>(name)->text();
    }

    void addRow(const QString &number, const QString &name, const QString &north, const QString &east,
                const QString &height)
    {
        CoordinateTableModel &table = app->table();
        if (!table.hasColumns())
            table.buildColumns(GetParam().nez);
        const bool nez = GetParam().nez;
        table.append(CoordinatePoint{QString::number(table.count() + 1), number, name, nez ? north : east,
                                     nez ? east : north, height});
    }

    Recorder log;
    RecordingPresenter messages{log};
    QTemporaryDir dir;
    SimProcess sim;
    std::unique_ptr<Application> app;
};

using Rqx5MainWindowReceive = Rqx5MainWindow;
using Rqx5MainWindowSend = Rqx5MainWindow;

} // namespace

TEST_P(Rqx5MainWindowReceive, ReceivesTheInstrumentsPointsIntoTheTable)
{
    const QString points = dir.filePath(QStringLiteral("Q7.txt"));
    QFile file(points);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 120; ++i)
        file.write(
            QStringLiteral("%1,C%1,%2.5,%3.25,%4.5\n").arg(i).arg(40000 + i).arg(7000 + i).arg(i).toLatin1());
    file.close();
    ASSERT_TRUE(startProgram({"--action", "send", "--points-file", points}));
    for (int i = 1; i <= 5; ++i)
        addRow(QString::number(100 + i), QStringLiteral("OLD"), "1", "2", "3");

    run();
    sim.go();
    finish();

    const CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), 125);
    const bool nez = GetParam().nez;
    const CoordinatePoint first = table.point(6);
    EXPECT_EQ(first.sequence, "6");
    EXPECT_EQ(first.number, "1");
    EXPECT_EQ(first.name, "C1");
    EXPECT_EQ(first.first, nez ? "40001.50" : "7001.250");
    EXPECT_EQ(first.second, nez ? "7001.250" : "40001.50");
    EXPECT_EQ(first.height, "1.50");
    const CoordinatePoint last = table.point(125);
    EXPECT_EQ(last.sequence, "125");
    EXPECT_EQ(last.number, "120");
    EXPECT_EQ(last.first, nez ? "40120.50" : "7120.250");
    EXPECT_EQ(text("Text3"), "Q7          ");
    EXPECT_EQ(text("Text1"), "125");
    EXPECT_EQ(text("Label4"), "传送完毕！");
    EXPECT_TRUE(app->mainWindow()->findChild<QRadioButton *>("Option1")->isChecked());
    EXPECT_EQ(messages.messages, QStringList({"成功|数据传输完毕！"}));
}

TEST_P(Rqx5MainWindowSend, SendsTheTableToTheInstrument)
{
    const QString output = dir.filePath(QStringLiteral("instrument.txt"));
    ASSERT_TRUE(startProgram({"--action", "receive", "--output", output}));
    for (int i = 1; i <= 120; ++i)
        addRow(QString::number(i), QStringLiteral("D%1").arg(i), QStringLiteral("%1.5").arg(40000 + i),
               QStringLiteral("%1.25").arg(7000 + i), QStringLiteral("%1.5").arg(i));

    run();
    finish();

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 120);
    EXPECT_EQ(lines.first(), "000001,D1,40001.5,7001.25,1.5");
    EXPECT_EQ(lines.last(), "000120,D120,40120.5,7120.25,120.5");
    EXPECT_EQ(text("Text1"), "120/120");
    EXPECT_EQ(text("Label2"), "完毕！");
    EXPECT_EQ(text("Label4"), "发送中：");
    EXPECT_TRUE(messages.messages.isEmpty());
}

namespace {
std::string orderName(const ::testing::TestParamInfo<Order> &info)
{
    return std::string(info.param.nez ? "Nez" : "Enz") + info.param.command;
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Commands, Rqx5MainWindowReceive,
                         ::testing::Values(Order{true, "RecZB"}, Order{false, "RecZB"},
                                           Order{false, "Command12"}),
                         orderName);
INSTANTIATE_TEST_SUITE_P(Commands, Rqx5MainWindowSend,
                         ::testing::Values(Order{true, "SendZB"}, Order{false, "SendZB"},
                                           Order{true, "Command3"}),
                         orderName);
