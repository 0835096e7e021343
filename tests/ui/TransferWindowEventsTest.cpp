// What each window shows of a transfer's events: event in, the texts of its controls and its list's
// rows out. The texts are the windows' own and must not change.
#include "core/CoordinateTableModel.h"
#include "support/FakeSerialLink.h"
#include "support/QStringPrinter.h"
#include "support/RecordingPresenter.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form4.h"
#include "ui/Form7.h"
#include "ui/TransferExecutor.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace TransferEvents;

namespace {
// An event and the text one control shows after it.
struct Shown {
    TransferEvent event;
    const char *control;
    QString text;
};

QString textOf(QWidget *window, const char *control)
{
    QWidget *found = window->findChild<QWidget *>(QLatin1String(control));
    if (auto *label = qobject_cast<QLabel *>(found))
        return label->text();
    if (auto *box = qobject_cast<QLineEdit *>(found))
        return box->text();
    if (auto *button = qobject_cast<QAbstractButton *>(found))
        return button->text();
    ADD_FAILURE() << "no control " << control;
    return {};
}

void expectShown(TransferWindow &window, const std::vector<Shown> &cases)
{
    for (const Shown &c : cases) {
        SCOPED_TRACE(describe(c.event).toStdString());
        EXPECT_TRUE(window.showTransferEvent(c.event));
        EXPECT_EQ(textOf(window.transferWidget(), c.control), c.text);
    }
}

QStringList rowsOf(const MeasurementTableModel &list)
{
    QStringList rows;
    for (int r = 1; r <= list.count(); ++r)
        rows.append(list.row(r).join(u'|'));
    return rows;
}
} // namespace

TEST(TransferWindowEvents, MainWindow)
{
    Recorder log;
    RecordingPresenter messages(log);
    CoordinateTableModel table;
    Form1 window(table, messages, [] { return true; });
    expectShown(
        window,
        {
            {Status{TransferEvents::Series::Rqx2, State::Receiving}, "Label4", "数据传输中。。。"},
            {Status{TransferEvents::Series::Rqx2, State::Idle}, "Label4", ""},
            {Status{TransferEvents::Series::Rqx5, State::Receiving}, "Label4", "坐标数据传送中。。。"},
            {Status{TransferEvents::Series::Rqx2, State::AwaitingRequest}, "Label4", "等待发送坐标数据..."},
            {Status{TransferEvents::Series::Rqx2, State::Sending}, "Label4", "发送中..."},
            {Status{TransferEvents::Series::Rqx5, State::Sending}, "Label4", "发送中："},
            {Status{TransferEvents::Series::Rqx5, State::Sent}, "Label2", "完毕！"},
            {FileAnnounced{"ROAD1       ", 120, {}, {}}, "Text3", "ROAD1       "},
            {FileAnnounced{"ROAD1       ", 120, {}, {}}, "Text1", "120"},
            {Progress{3, 25}, "Text1", "3/25"},
            {PortShown{true}, "Command12", "关闭串口"},
            {PortShown{false}, "Command12", "打开串口"},
        });
    EXPECT_TRUE(window.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
    auto *testing = window.findChild<QLabel *>(QStringLiteral("Label3"));
    EXPECT_TRUE(window.showTransferEvent(Status{TransferEvents::Series::Rqx5, State::Testing}));
    EXPECT_FALSE(testing->isHidden());
    EXPECT_TRUE(window.showTransferEvent(Status{TransferEvents::Series::Rqx5, State::Tested}));
    EXPECT_TRUE(testing->isHidden());

    // The lines of a file read without fields give way to columns; the table numbers points it
    // numbers itself, and the series' own numbers stand.
    table.append(CoordinatePoint{"1,P1,10,20,30", {}, {}, {}, {}, {}});
    table.showAsPlainList();
    const QStringList point{"P1", "A", "2.5", "1.5", "3"};
    for (const TransferEvent &event :
         std::vector<TransferEvent>{Row{RecordKind::Point, false, std::nullopt, point},
                                    Row{RecordKind::Point, false, std::nullopt, point},
                                    Row{RecordKind::Point, false, 7, point}, RowsWithdrawn{1}})
        EXPECT_TRUE(window.showTransferEvent(event));
    EXPECT_EQ(table.headers().at(3), QStringLiteral("坐标--E"));
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.point(2).sequence, "2");
    EXPECT_EQ(table.point(2).name, "A");
    expectShown(window, {{Status{TransferEvents::Series::Rqx5, State::Received}, "Label4", "传送完毕！"},
                         {Status{TransferEvents::Series::Rqx5, State::Received}, "Text1", "2"}});
    EXPECT_TRUE(window.showTransferEvent(ListStarted{RecordKind::Point, true}));
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.headers().at(3), QStringLiteral("坐标--N"));

    // What only the measurement windows show.
    EXPECT_FALSE(window.showTransferEvent(Status{TransferEvents::Series::Rqx2, State::AwaitingHandshake}));
    EXPECT_FALSE(window.showTransferEvent(Row{RecordKind::Rqx5DataFile, true, std::nullopt, {}}));
    EXPECT_FALSE(window.showTransferEvent(ListStarted{RecordKind::Rqx2Measurement, true}));
}

TEST(TransferWindowEvents, Rqx5MeasurementWindow)
{
    Form4 window;
    bool measurementDataSelected = false;
    window.setSelectMeasurementData([&] { measurementDataSelected = true; });
    const FileAnnounced header{"JOB1        ", 256, "123456789", "141225"};
    expectShown(window,
                {
                    {Status{TransferEvents::Series::Rqx5, State::Receiving}, "Label5", "正在接收数据..."},
                    {header, "Text3", "JOB1        "},
                    {header, "Text1", "256"},
                    {header, "Text4", "123456789"},
                    {header, "Text2", "141225"},
                    {Progress{1, 2}, "Text1", "1/2"},
                    {Status{TransferEvents::Series::Rqx5, State::Idle}, "Label5", ""},
                });
    EXPECT_TRUE(measurementDataSelected);

    // An empty list takes the columns of the records that come; the list numbers the rows.
    EXPECT_TRUE(window.showTransferEvent(Row{RecordKind::Rqx5Measurement, true, std::nullopt, {"1", "a"}}));
    EXPECT_EQ(window.listLayout(), Form4::kMeasurementLayout);
    EXPECT_TRUE(window.showTransferEvent(Row{RecordKind::Rqx5Measurement, true, std::nullopt, {"2", "b"}}));
    EXPECT_TRUE(window.showTransferEvent(RowsWithdrawn{1}));
    EXPECT_EQ(rowsOf(window.list()), QStringList{"1|1|a"});
    EXPECT_TRUE(window.showTransferEvent(RowsCleared{}));
    EXPECT_TRUE(window.showTransferEvent(Row{RecordKind::Rqx5DataFile, false, std::nullopt, {"x"}}));
    EXPECT_EQ(window.listLayout(), Form4::kDataFileLayout);
    EXPECT_EQ(window.list().headers().at(4), QStringLiteral("测站--E"));
    expectShown(window, {{Status{TransferEvents::Series::Rqx5, State::Received}, "Label5", "接收完毕！"},
                         {Status{TransferEvents::Series::Rqx5, State::Received}, "Text1", "1"}});

    EXPECT_FALSE(window.showTransferEvent(PortShown{true}));
    EXPECT_FALSE(window.showTransferEvent(Status{TransferEvents::Series::Rqx5, State::Sending}));
    EXPECT_FALSE(window.showTransferEvent(Row{RecordKind::Point, true, std::nullopt, {}}));
}

TEST(TransferWindowEvents, Rqx2MeasurementWindow)
{
    Form7 window;
    expectShown(
        window,
        {
            {Status{TransferEvents::Series::Rqx2, State::AwaitingHandshake}, "Label4", "等待握手信号。。。"},
            {Status{TransferEvents::Series::Rqx2, State::Receiving}, "Label4", "数据传输中。。。"},
            {FileAnnounced{"F0001", 10, {}, {}}, "Label1", "文件名： F0001"},
            {Progress{1, 10}, "Text1", "1/10"},
            {Status{TransferEvents::Series::Rqx2, State::Received}, "Label4", "传输完毕！"},
            {Status{TransferEvents::Series::Rqx2, State::Idle}, "Label4", ""},
        });

    EXPECT_TRUE(window.showTransferEvent(ListStarted{RecordKind::Rqx2Measurement, false}));
    EXPECT_EQ(window.list().headers().at(10), QStringLiteral("坐标--E"));
    EXPECT_TRUE(window.showTransferEvent(Row{RecordKind::Rqx2Measurement, false, 1, {"a"}}));
    EXPECT_TRUE(window.showTransferEvent(Row{RecordKind::Rqx2Measurement, false, 2, {"b"}}));
    EXPECT_EQ(rowsOf(window.list()).value(1).left(3), "2|b");
    EXPECT_TRUE(window.showTransferEvent(RowsCleared{}));
    EXPECT_EQ(window.list().count(), 0);
    EXPECT_EQ(window.list().columnCount(), 22);

    EXPECT_FALSE(window.showTransferEvent(PortShown{false}));
    EXPECT_FALSE(window.showTransferEvent(Status{TransferEvents::Series::Rqx2, State::AwaitingRequest}));
    EXPECT_FALSE(window.showTransferEvent(Row{RecordKind::Rqx5Measurement, true, std::nullopt, {}}));
}

// An event begun over a window that has no place for it, and a command wired to a name the window
// does not have, end the program instead of going unseen.
TEST(TransferWindowEventsDeathTest, WiringFaultsEndTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Recorder log;
            RecordingPresenter messages(log);
            FakeSerialLink link(log);
            TransferExecutor executor(link, messages);
            Form7 window;
            executor.perform({TransferAction::show(PortShown{true})}, window);
        },
        "cannot show port shown open");
    EXPECT_DEATH(
        {
            QWidget window;
            window.setObjectName(QStringLiteral("Form9"));
            ConnectCommand(&window, "Command99", [] {});
        },
        "Form9 has no command named Command99");
}
