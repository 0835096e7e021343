// The RQX5 measurement window: created hidden with the main window, shown by "测量数据", its
// receive commands, and its files through the main window's file dialog.
#include "AppFixture.h"

#include "rqx5/Rqx5DataFileReceive.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "rqx5/Rqx5MeasurementReceive.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedFileDialogs.h"
#include "ui/Form4.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTableView>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

class Rqx5MeasurementWindow : public AppFixture {
protected:
    void start(bool nez = true)
    {
        fileDialogs = &dialogs;
        startWithCable(true, nez);
    }

    Form4 *form4() { return app->measureWindow(); }
    QString text(const char *name) { return child<QLineEdit>(form4(), name)->text(); }
    QString path(const char *name) const { return files.filePath(QLatin1String(name)); }
    MeasurementTableModel &list() { return form4()->list(); }
    template <class T> T *current() { return dynamic_cast<T *>(app->executor().current()); }
    void fillRows(int count, int cells)
    {
        for (int r = 1; r <= count; ++r) {
            QStringList row{QString::number(r)};
            for (int c = 1; c <= cells; ++c)
                row << QStringLiteral(" %1,%2 ").arg(r).arg(c);
            list().append(row);
        }
    }

    ScriptedFileDialogs dialogs;
    QTemporaryDir files;
};

} // namespace

TEST_F(Rqx5MeasurementWindow, CreatedHiddenAtLoadAndShownBesideTheMainWindow)
{
    start(false);
    ASSERT_NE(form4(), nullptr);
    EXPECT_FALSE(form4()->isVisible());
    EXPECT_EQ(form4()->windowTitle(), "HYL-测量数据");
    const int unit = form4()->measureColumnUnit();
    EXPECT_GT(unit, 0);
    EXPECT_EQ(unit, qRound(form4()->tableView()->width() / 19.0));
    for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5"})
        EXPECT_EQ(child<QLabel>(form4(), name)->font().family(), "宋体") << name;
    const std::pair<const char *, const char *> entries[] = {
        {"File", "文件(F)"},       {"Open", "打开(O)"},
        {"df", "数据文件"},        {"d", "测量数据"},
        {"Save", "保存(S)"},       {"dfs", "数据文件"},
        {"ds", "测量数据"},        {"Q", "退出(Q)"},
        {"Rec", "通讯(C)"},        {"DataFile_R", "接收数据文件"},
        {"Data_R", "接收测量数据"}};
    for (const auto &[name, caption] : entries)
        EXPECT_EQ(child<QAction>(form4(), name)->text(), caption);

    form1()->action(QStringLiteral("CLSend"))->trigger();
    EXPECT_TRUE(form4()->isVisible());
    EXPECT_TRUE(form1()->isVisible());
    // The window keeps nothing in boxes out of sight: every box it has is seen.
    for (const QLineEdit *box : form4()->findChildren<QLineEdit *>())
        EXPECT_TRUE(box->isVisible()) << box->objectName().toStdString();
    EXPECT_EQ(form4()->findChild<QObject *>(QStringLiteral("Text6")), nullptr);

    // Columns in units, the number column practically hidden, N and E headers in the ENZ order.
    form4()->button(QStringLiteral("Command1"))->click();
    const QHeaderView *header = form4()->tableView()->horizontalHeader();
    EXPECT_TRUE(header->isSectionHidden(0));
    EXPECT_EQ(header->sectionSize(1), 2 * unit);
    EXPECT_EQ(header->sectionSize(20), 3 * unit);
    EXPECT_EQ(list().headers().at(4), "测站--E");

    // Leaving hides the window; what it shows stays.
    fillRows(2, 20);
    form4()->action(QStringLiteral("Q"))->trigger();
    EXPECT_FALSE(form4()->isVisible());
    form1()->action(QStringLiteral("CLSend"))->trigger();
    form4()->button(QStringLiteral("Command11"))->click();
    EXPECT_FALSE(form4()->isVisible());
    EXPECT_EQ(list().count(), 2);
    EXPECT_EQ(ends, 0);
}

TEST_F(Rqx5MeasurementWindow, ReceiveCommandsArmThePortForTheirMode)
{
    start();
    form1()->action(QStringLiteral("CLSend"))->trigger();
    SetRqx5MeasurementColumns(list(), true);
    fillRows(1, 9);
    // The button re-heads the list for a data file; the menu entries keep rows of their own kind.
    form4()->action(QStringLiteral("Data_R"))->trigger();
    EXPECT_TRUE(link.isOpen());
    EXPECT_NE(current<Rqx5MeasurementReceive>(), nullptr);
    EXPECT_EQ(child<QLabel>(form4(), "Label5")->text(), "等待接收数据...");
    child<QRadioButton>(form4(), "Option2")->setChecked(true);
    form4()->button(QStringLiteral("Command1"))->click();
    EXPECT_NE(current<Rqx5MeasurementReceive>(), nullptr);
    EXPECT_EQ(list().count(), 1);
    messages.answers = {true};
    form4()->action(QStringLiteral("DataFile_R"))->trigger();
    EXPECT_NE(current<Rqx5DataFileReceive>(), nullptr);
    EXPECT_EQ(list().count(), 0);
    messages.messages.clear();
    child<QRadioButton>(form4(), "Option1")->setChecked(true);
    form4()->button(QStringLiteral("Command1"))->click();
    EXPECT_NE(current<Rqx5DataFileReceive>(), nullptr);
    EXPECT_EQ(list().count(), 0);
    EXPECT_EQ(list().columnCount(), 21);

    // A data-file header selects the main window's "测量数据".
    instrumentSends(fromHex("00 00 4A 4F 42 31 20 20 20 20 20 20 20 20 00 01 31 32 33 34 35 36 37 38 39 31 "
                            "34 31 32 32 35 AA 82"));
    EXPECT_TRUE(child<QRadioButton>(form1(), "Option3")->isChecked());
    EXPECT_EQ(text("Text1"), "1");

    // A port that cannot be opened is reported over this window, which comes forward.
    form4()->hide();
    link.closeWhenWritten({});
    link.failOpen = true;
    form4()->action(QStringLiteral("Data_R"))->trigger();
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请检查端口连接是否正确！"});
    EXPECT_EQ(messages.parentName, "Form4");
    EXPECT_TRUE(form4()->isVisible());
    // The status claims no wait on a port that failed; with the cable in, the command works again.
    EXPECT_EQ(child<QLabel>(form4(), "Label5")->text(), "");
    link.failOpen = false;
    form4()->action(QStringLiteral("DataFile_R"))->trigger();
    EXPECT_EQ(child<QLabel>(form4(), "Label5")->text(), "等待接收数据...");

    // A cable pulled in the middle of the data file: told once over this window, the rows kept.
    messages.messages.clear();
    const int rows = list().count();
    link.pull();
    settle();
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请检查端口连接是否正确！"});
    EXPECT_EQ(messages.parentName, "Form4");
    EXPECT_EQ(list().count(), rows);
}

TEST_F(Rqx5MeasurementWindow, ACoordinateReceiveKeepsItsHeaderWhenTheMeasurementWindowOpens)
{
    start();
    form1()->action(QStringLiteral("RecZB"))->trigger();
    form1()->action(QStringLiteral("CLSend"))->trigger();
    ASSERT_TRUE(form4()->isVisible());
    // A 3-point coordinate header ("K1"): the main window takes it and asks for the first point.
    link.written.clear();
    instrumentSends(fromHex("00 00 4B 31 20 20 20 20 20 20 20 20 20 20 00 03 AA 82"));
    EXPECT_EQ(hex(link.written), "AA 81");
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), "0/3");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(Rqx5MeasurementWindow, FilesSaveWithTheirExtensionAndOpenAgain)
{
    start();
    form4()->button(QStringLiteral("Command1"))->click(); // data-file columns
    fillRows(2, 20);
    child<QLineEdit>(form4(), "Text2")->setText("141225");
    child<QLineEdit>(form4(), "Text4")->setText("123456789");
    dialogs.choose(path("job"), 1);
    form4()->button(QStringLiteral("Command9"))->click();
    ASSERT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"job.raw"});
    EXPECT_EQ(dialogs.shown.last().request.filter, "测量文件(*.raw)|*.raw");
    EXPECT_EQ(dialogs.shown.last().parentName, "Form4");
    const QByteArray saved = fileBytes(path("job.raw"));
    EXPECT_TRUE(saved.endsWith("\r\n141225\r\n123456789\r\n\r\n"));
    EXPECT_EQ(saved.count("\xA3\xAC"), 40); // "，" in the Chinese code page

    // A cancelled open keeps the list; opening the file renumbers and refills the boxes.
    list().setColumns({});
    fillRows(1, 20);
    child<QLineEdit>(form4(), "Text2")->clear();
    dialogs.cancel();
    form4()->action(QStringLiteral("df"))->trigger();
    EXPECT_EQ(list().count(), 1);
    dialogs.choose(path("job.raw"), 1);
    form4()->button(QStringLiteral("Command2"))->click();
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().row(2).mid(0, 3), QStringList({"2", " 2,1 ", " 2,2 "}));
    EXPECT_EQ(text("Text2"), "141225");
    EXPECT_EQ(text("Text4"), "123456789");
    EXPECT_EQ(text("Text3"), path("job.raw"));
    EXPECT_EQ(text("Text1"), "2");

    // A measurement file of three data lines; a line too short for one is reported, not read.
    child<QRadioButton>(form4(), "Option2")->setChecked(true);
    QFile golden(QStringLiteral(RQX_TEST_DATA_DIR "/three-rows.txt"));
    ASSERT_TRUE(golden.copy(path("three.txt")));
    dialogs.choose(path("three.txt"), 1);
    messages.answers = {true};
    form4()->button(QStringLiteral("Command2"))->click();
    EXPECT_EQ(list().count(), 3);
    EXPECT_EQ(list().headers().at(1), "接收序号");
    EXPECT_EQ(text("Text1"), "3");
    EXPECT_EQ(messages.messages, QStringList{"提示|列表中的 2 条记录将被清除，是否继续？"});
    messages.messages.clear();

    // A file that cannot be written is one message with its path; the file there stays.
    const QString blocked = path("job.raw/x.txt");
    dialogs.choose(blocked, 1);
    form4()->action(QStringLiteral("ds"))->trigger();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith("错误提示|" + blocked + "\n"));
    EXPECT_EQ(fileBytes(path("job.raw")), saved);
}

TEST_F(Rqx5MeasurementWindow, DataFileProgressAndStopInTheMiddle)
{
    start();
    form1()->action(QStringLiteral("CLSend"))->trigger();
    auto *bar = child<QProgressBar>(form4(), "TransferProgress");
    auto *timeLeft = child<QLabel>(form4(), "TransferTimeLeft");
    auto *stop = child<QPushButton>(form4(), "StopTransfer");
    EXPECT_FALSE(bar->isVisible());
    form4()->action(QStringLiteral("DataFile_R"))->trigger();
    EXPECT_TRUE(stop->isVisible());
    // A header of 3 records, then the first record (245 bytes and its terminator 0xB1).
    const QByteArray header = fromHex("00 00 4A 4F 42 31 20 20 20 20 20 20 20 20 00 03 31 32 33 34 35 36 37 "
                                      "38 39 31 34 31 32 32 35 AA 82");
    const QByteArray record = QByteArray(245, ' ') + '\xB1';
    instrumentSends(header);
    instrumentSends(record);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == 1; }, 20000));
    EXPECT_EQ(bar->maximum(), 3);
    // Before a rate is measured, from the line: 2 records of 248 bytes at 1200 baud, 4.1 s.
    EXPECT_EQ(timeLeft->text(), "剩余时间 0:05");
    EXPECT_EQ(text("Text1"), "1/3");

    // Stopped: the row stays, the instrument's next record is not taken, one message.
    link.written.clear();
    stop->click();
    settle();
    EXPECT_EQ(messages.messages, QStringList{"提示|传输已停止，已接收 1 条记录。"});
    EXPECT_EQ(child<QLabel>(form4(), "Label5")->text(), "");
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(stop->isVisible());
    instrumentSends(record);
    EXPECT_EQ(list().count(), 1);
    EXPECT_TRUE(link.written.isEmpty());

    // The next receive works; single measurements have no total, so the bar shows the count alone.
    messages.messages.clear();
    form4()->action(QStringLiteral("DataFile_R"))->trigger();
    instrumentSends(header);
    EXPECT_EQ(hex(link.written), "AA 81");
    messages.answers = {true};
    form4()->action(QStringLiteral("Data_R"))->trigger();
    messages.messages.removeAll(QStringLiteral("提示|列表中的 1 条记录将被清除，是否继续？"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->isVisible() && bar->value() == 0; }, 20000));
    EXPECT_TRUE(timeLeft->text().isEmpty());
    EXPECT_TRUE(messages.messages.isEmpty());
}

// Rows of one kind never stand under the other kind's captions: a receive or a file of the other
// kind asks first. 否 leaves everything as it was, nothing starts and no dialog opens; 是 gives the
// list that kind's captions, and what then comes stands under them.
TEST_F(Rqx5MeasurementWindow, AReceiveOrFileOfTheOtherKindAsksFirst)
{
    start();
    ASSERT_TRUE(QFile::copy(QStringLiteral(RQX_TEST_DATA_DIR "/three-rows.txt"), path("three.txt")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(RQX_TEST_DATA_DIR "/two-rows.raw"), path("two.raw")));
    const QStringList dataFileHeaders = [] {
        MeasurementTableModel layout;
        SetRqx5DataFileColumns(layout, true);
        return layout.headers();
    }();
    const QStringList measurementHeaders = [] {
        MeasurementTableModel layout;
        SetRqx5MeasurementColumns(layout, true);
        return layout.headers();
    }();
    struct Path {
        bool dataFileRows; // the list holds data-file rows, else single measurements
        const char *option;
        const char *command;
        const char *file; // the file chosen in the open dialog
        int rowsAfter;
    };
    const Path paths[] = {
        {true, "Option2", "Command1", nullptr, 1}, // a data file, then 测量数据 + 接 收
        {true, nullptr, "Data_R", nullptr, 1},
        {false, "Option1", "Command1", nullptr, 1}, // single measurements, then 数据文件 + 接 收
        {false, nullptr, "DataFile_R", nullptr, 1},
        {true, "Option2", "Command2", "three.txt", 3}, // a file of the other kind opened
        {false, nullptr, "df", "two.raw", 2},
    };
    for (const Path &p : paths) {
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(std::string(p.command) + (yes ? " 是" : " 否"));
            if (p.dataFileRows)
                SetRqx5DataFileColumns(list(), true);
            else
                SetRqx5MeasurementColumns(list(), true);
            fillRows(2, p.dataFileRows ? 20 : 9);
            const QStringList before = list().headers();
            const Transfer *running = app->executor().current();
            const qsizetype dialogsShown = dialogs.shown.size();
            messages.messages.clear();
            messages.answers = {yes};
            dialogs.choices.clear();
            if (p.file)
                dialogs.choose(path(p.file), 1);
            if (p.option)
                child<QRadioButton>(form4(), p.option)->setChecked(true);
            if (QAction *entry = form4()->findChild<QAction *>(QLatin1String(p.command)))
                entry->trigger();
            else
                form4()->button(QLatin1String(p.command))->click();

            EXPECT_EQ(messages.messages, QStringList{"提示|列表中的 2 条记录将被清除，是否继续？"});
            EXPECT_EQ(messages.parentName, "Form4");
            if (!yes) {
                EXPECT_EQ(list().count(), 2);
                EXPECT_EQ(list().headers(), before);
                EXPECT_EQ(app->executor().current(), running);
                EXPECT_EQ(dialogs.shown.size(), dialogsShown);
                continue;
            }
            if (!p.file) {
                EXPECT_EQ(list().count(), 0);
                // What the instrument then sends stands under the new captions.
                if (p.dataFileRows) {
                    instrumentSends(QByteArray(57, ' ') + '\xB4');
                } else {
                    instrumentSends(
                        fromHex("00 00 4A 4F 42 31 20 20 20 20 20 20 20 20 00 01 31 32 33 34 35 36 "
                                "37 38 39 31 34 31 32 32 35 AA 82"));
                    instrumentSends(QByteArray(245, ' ') + '\xB1');
                }
            }
            EXPECT_EQ(list().count(), p.rowsAfter);
            EXPECT_EQ(list().headers(), p.dataFileRows ? measurementHeaders : dataFileHeaders);
        }
    }
}
