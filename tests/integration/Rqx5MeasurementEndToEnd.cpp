// The RQX5 observations as the surveyor receives them: the main window's "测量数据" opens the
// measurement window, whose receive takes a data file or single measurements from the simulated
// instrument over the program's own serial link, under both coordinate orders.
#include "support/MainWindowSimFixture.h"
#include "support/QStringPrinter.h"
#include "ui/Form1.h"
#include "ui/Form4.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

struct Run {
    bool nez;
    const char *action; // what the instrument plays
    int records;
    bool lineSpeed = false; // at 1200 baud in uneven pieces, as a real cable delivers them
};

class Rqx5MeasurementEndToEnd : public MainWindowSimFixture, public ::testing::WithParamInterface<Run> {
protected:
    bool nez() const { return GetParam().nez; }

    // Opens the measurement window from the main window's "测量数据", starts its receive with
    // command and lets the instrument play simArgs; returns what the instrument sent, one record a
    // line, its fields apart.
    QList<QStringList> receive(const QStringList &simArgs, const std::function<void(Form4 &)> &command)
    {
        const QString output = dir.filePath(QStringLiteral("sent.txt"));
        const QStringList speed = GetParam().lineSpeed ? SimProcess::lineSpeedArgs() : QStringList();
        if (!startProgram(true, nez(), speed + simArgs + QStringList{"--output", output})) {
            ADD_FAILURE() << "the program did not start";
            return {};
        }
        app->mainWindow()->action(QStringLiteral("CLSend"))->trigger();
        EXPECT_TRUE(app->measureWindow()->isVisible());
        command(*app->measureWindow());
        sim.go();
        finish();
        QFile file(output);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QList<QStringList> records;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts))
            records << line.split(u'|');
        return records;
    }
    QString text(const char *name)
    {
        Form4 *w = app->measureWindow();
        if (auto *edit = w->findChild<QLineEdit *>(name))
            return edit->text();
        return w->findChild<QLabel *>(name)->text();
    }
};

using Rqx5DataFileEndToEnd = Rqx5MeasurementEndToEnd;
using Rqx5MeasurementsEndToEnd = Rqx5MeasurementEndToEnd;

std::string runName(const ::testing::TestParamInfo<Run> &info)
{
    QString action = QString::fromLatin1(info.param.action).remove(u'-');
    return (info.param.nez ? "Nez" : "Enz") + action.toStdString() +
           (info.param.lineSpeed ? "AtLineSpeed" : "");
}

} // namespace

TEST_P(Rqx5DataFileEndToEnd, EveryRecordWithEveryField)
{
    // "数据文件" is chosen when the window opens.
    const int n = GetParam().records;
    const QList<QStringList> records =
        receive({"--action", "datafile", "--points", QString::number(n)},
                [](Form4 &w) { w.button(QStringLiteral("Command1"))->click(); });
    ASSERT_EQ(records.size(), n);
    const MeasurementTableModel &list = app->measureWindow()->list();
    ASSERT_EQ(list.count(), n);
    for (int r = 1; r <= n; ++r) {
        QStringList expected = records[r - 1];
        if (!nez()) {
            expected.swapItemsAt(3, 4);   // station N and E
            expected.swapItemsAt(17, 18); // point N and E
        }
        EXPECT_EQ(list.row(r), QStringList{QString::number(r)} + expected) << "row " << r;
    }
    EXPECT_EQ(list.headers().at(18), nez() ? "坐标--N" : "坐标--E");
    EXPECT_EQ(text("Text3"), "JOB1        ");
    EXPECT_EQ(text("Text2"), "151030");
    EXPECT_EQ(text("Text4"), "RQX512345");
    EXPECT_EQ(text("Text1"), QString::number(n));
    EXPECT_EQ(text("Label5"), "接收完毕！");
    EXPECT_TRUE(app->mainWindow()->findChild<QRadioButton *>("Option3")->isChecked());
    EXPECT_EQ(messages.messages, QStringList{"成功|数据传输完毕！"});
    // Over the window the surveyor is looking at, not over the main window behind it.
    EXPECT_EQ(messages.parentName, "Form4");
}

TEST_P(Rqx5MeasurementsEndToEnd, RecordsOfMixedKindsEachBecomeARow)
{
    const int n = GetParam().records;
    const QList<QStringList> records =
        receive({"--action", GetParam().action, "--points", QString::number(n), "--pause", "150"},
                [](Form4 &w) { w.action(QStringLiteral("Data_R"))->trigger(); });
    ASSERT_EQ(records.size(), n);
    const MeasurementTableModel &list = app->measureWindow()->list();
    ASSERT_EQ(list.count(), n);
    EXPECT_EQ(list.headers().at(7), nez() ? "坐标--N" : "坐标--E");
    for (int r = 1; r <= n; ++r) {
        // Subitems 2..9: horizontal angle, vertical angle, slope distance, height difference,
        // horizontal distance, then N, E (E, N under ENZ), Z.
        const QStringList &f = records[r - 1];
        QStringList expected(8);
        switch (f[0].toInt()) {
        case 1:
            expected[0] = f[1], expected[1] = f[2];
            break;
        case 2:
            expected[0] = f[1], expected[1] = f[2], expected[2] = f[3];
            break;
        case 3:
            expected[0] = f[1], expected[1] = f[2], expected[4] = f[3], expected[3] = f[4];
            break;
        default:
            expected[nez() ? 5 : 6] = f[1], expected[nez() ? 6 : 5] = f[2], expected[7] = f[3];
        }
        EXPECT_EQ(list.row(r), QStringList({QString::number(r), QString::number(r)}) + expected)
            << "row " << r;
    }
    // A receive of single measurements has no end: the simulator ending after the last one is a
    // pulled cable, which may be told; nothing else is.
    QStringList told = messages.messages;
    told.removeAll(QStringLiteral("错误提示|请检查端口连接是否正确！"));
    EXPECT_TRUE(told.isEmpty()) << messages.messages.join(u';').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Orders, Rqx5DataFileEndToEnd,
                         ::testing::Values(Run{true, "datafile", 25}, Run{false, "datafile", 25},
                                           Run{true, "datafile", 2, true}),
                         runName);
INSTANTIATE_TEST_SUITE_P(Orders, Rqx5MeasurementsEndToEnd,
                         ::testing::Values(Run{true, "measure", 12}, Run{false, "measure", 12},
                                           Run{true, "measure-padded", 12}, Run{false, "measure-padded", 12},
                                           Run{true, "measure", 4, true},
                                           Run{false, "measure-padded", 4, true}),
                         runName);
