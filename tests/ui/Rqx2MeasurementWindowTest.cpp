// The RQX2 measurement window as the surveyor uses it: shown by "测量数据", receiving, saving and
// opening the measurement file, and ending the program.
#include "AppFixture.h"

#include "rqx2/Rqx2MeasurementReceive.h"
#include "support/QStringPrinter.h"
#include "support/Rqx2MeasurementExamples.h"
#include "support/ScriptedFileDialogs.h"
#include "ui/Form4.h"
#include "ui/Form7.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableView>

using namespace Rqx2MeasurementExamples;

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}
} // namespace

class Rqx2MeasurementWindow : public AppFixture {
protected:
    void start(bool nez = true)
    {
        fileDialogs = &dialogs;
        startWithCable(false, nez);
        app->rqx2MeasurementWindow()->setMeasureColumnUnit(40);
        form1()->action(QStringLiteral("CLSend"))->trigger();
    }
    Form7 *form7() { return app->rqx2MeasurementWindow(); }
    QString text(const char *name)
    {
        return form7()->findChild<QLabel *>(name) ? child<QLabel>(form7(), name)->text()
                                                  : child<QLineEdit>(form7(), name)->text();
    }
    // 接收数据 and the three example records of a file of 10.
    void receiveExamples()
    {
        form7()->button(QStringLiteral("Command1"))->click();
        instrumentSends(fromHex("4A 0D"));
        instrumentSends(fromHex(kHeader));
        instrumentSends(fromHex(kStation));
        instrumentSends(fromHex(kBacksight));
        instrumentSends(measurement("0003", "0010"));
    }

    ScriptedFileDialogs dialogs;
    QTemporaryDir files;
};

TEST_F(Rqx2MeasurementWindow, MeasurementCommandShowsTheWindowInPlaceOfTheMainWindow)
{
    start(false);
    EXPECT_TRUE(form7()->isVisible());
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_EQ(form7()->windowTitle(), "测量数据");
    // Every box the window has is seen, and no timer runs for nothing.
    for (const QLineEdit *box : form7()->findChildren<QLineEdit *>())
        EXPECT_TRUE(box->isVisible()) << box->objectName().toStdString();
    for (const char *gone : {"Text2", "Timer1"})
        EXPECT_EQ(form7()->findChild<QObject *>(QLatin1String(gone)), nullptr) << gone;
    // The window serves a measurement receive from now on.
    EXPECT_NE(dynamic_cast<Rqx2MeasurementReceive *>(app->executor().current()), nullptr);
    QHeaderView *header = form7()->listView()->horizontalHeader();
    EXPECT_TRUE(header->isSectionHidden(0));
    EXPECT_EQ(header->sectionSize(1), 80);
    EXPECT_EQ(form7()->list().headers().at(10), "坐标--E");
    EXPECT_EQ(form7()->list().headers().at(17), "测站--N");

    form7()->button(QStringLiteral("Command3"))->click();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(form7()->isVisible());
}

TEST_F(Rqx2MeasurementWindow, ReceiveOnceShowsTheTransferAndItsRows)
{
    start();
    receiveExamples();
    EXPECT_FALSE(form7()->button(QStringLiteral("Command1"))->isEnabled());
    EXPECT_EQ(text("Label1"), "文件名： F0001");
    EXPECT_EQ(text("Label4"), "数据传输中。。。");
    EXPECT_EQ(text("Text1"), "3/10");
    EXPECT_EQ(form7()->list().count(), 3);
    EXPECT_EQ(form7()->list().cell(3, 3), "123°45′06″");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(Rqx2MeasurementWindow, ProgressShownAndStopKeepsTheRowsAndAllowsAnotherReceive)
{
    start();
    receiveExamples();
    auto *bar = child<QProgressBar>(form7(), "TransferProgress");
    auto *stop = child<QPushButton>(form7(), "StopTransfer");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == 3; }, 20000));
    EXPECT_EQ(bar->maximum(), 10);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(child<QLabel>(form7(), "TransferTimeLeft")->text().startsWith("剩余时间 0:"));
    EXPECT_TRUE(stop->isVisible() && stop->isEnabled());
    EXPECT_EQ(stop->text(), "停止传输");

    link.written.clear();
    stop->click();
    settle();
    EXPECT_EQ(messages.messages, QStringList{"提示|传输已停止，已接收 3 条记录。"});
    EXPECT_EQ(messages.parentName, "Form7");
    EXPECT_EQ(form7()->list().count(), 3);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(stop->isVisible());
    // The record the instrument had on its way is neither stored nor answered.
    instrumentSends(measurement("0004", "0010"));
    EXPECT_EQ(form7()->list().count(), 3);
    EXPECT_TRUE(link.written.isEmpty());

    // 接收数据 works again: a new handshake is answered and its file received.
    messages.messages.clear();
    form7()->button(QStringLiteral("Command1"))->click();
    instrumentSends(fromHex("4A 0D"));
    EXPECT_EQ(hex(link.written), "05 4A 0D");
    instrumentSends(fromHex(kHeader));
    instrumentSends(fromHex(kStation));
    EXPECT_EQ(form7()->list().count(), 1);
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(Rqx2MeasurementWindow, PortFailureBringsTheMeasurementWindowForward)
{
    start();
    link.failOpen = true;
    form7()->hide();
    form7()->button(QStringLiteral("Command1"))->click();
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请检查端口连接是否正确！"});
    EXPECT_EQ(messages.parentName, "Form7");
    EXPECT_TRUE(form7()->isVisible());
    EXPECT_FALSE(form1()->isVisible());
    // Nothing waits for a handshake on a port that failed, and the command works once the cable is in.
    EXPECT_EQ(text("Label4"), "");
    ASSERT_TRUE(form7()->button(QStringLiteral("Command1"))->isEnabled());
    link.failOpen = false;
    form7()->button(QStringLiteral("Command1"))->click();
    EXPECT_EQ(text("Label4"), "等待握手信号。。。");
    EXPECT_FALSE(form7()->button(QStringLiteral("Command1"))->isEnabled());

    // A port that fails while the handshake is answered is told over this window too; the main
    // window, which it has taken the place of, stays hidden.
    messages.messages.clear();
    link.failWrite = true;
    instrumentSends(fromHex("02 4A 0D"));
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请检查端口连接是否正确！"});
    EXPECT_EQ(messages.parentName, "Form7");
    EXPECT_FALSE(form1()->isVisible());
}

TEST_F(Rqx2MeasurementWindow, CablePulledOrInstrumentSilentIsToldOnceAndTheRowsStay)
{
    start();
    receiveExamples();
    ASSERT_EQ(form7()->list().count(), 3);

    // Silent after the third record of ten: the instrument has stopped, told once.
    const QString interrupted = "错误提示|数据传输中断：仪器已停止发送。请在全站仪上重新发送！";
    app->executor().setSilenceInterval(50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 20000));
    passTimersDueWithin(3 * 50);
    EXPECT_EQ(messages.messages, QStringList{interrupted});
    messages.messages.clear();

    // Silent in the middle of the fourth record: told once, the rows stay, and the restart is taken.
    instrumentSends(fromHex("02 30 30 30 34 30 30 31 30"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages.isEmpty(); }, 20000));
    // Told once: a silence timer started again would be due before this.
    passTimersDueWithin(3 * 50);
    EXPECT_EQ(messages.messages, QStringList{interrupted});
    EXPECT_EQ(form7()->list().count(), 3);
    link.written.clear();
    instrumentSends(fromHex("02 4A 0D"));
    EXPECT_EQ(hex(link.written), "05 4A 0D");

    // The cable pulled: told once over this window, rows kept, the main window still hidden.
    messages.messages.clear();
    link.pull();
    settle();
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请检查端口连接是否正确！"});
    EXPECT_EQ(messages.parentName, "Form7");
    EXPECT_EQ(form7()->list().count(), 3);
    EXPECT_FALSE(form1()->isVisible());
}

TEST_F(Rqx2MeasurementWindow, SaveWritesTheFileAndOpenReadsItBack)
{
    start();
    receiveExamples();
    dialogs.choose(files.filePath(QStringLiteral("survey")), 1);
    form7()->button(QStringLiteral("Command2"))->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].request.filter, "文本文档(*.txt)");
    EXPECT_EQ(dialogs.shown[0].parentName, "Form7");
    EXPECT_EQ(fileBytes(files.filePath(QStringLiteral("survey.txt"))),
              fileBytes(QStringLiteral(RQX_TEST_DATA_DIR "/rqx2-measurements.txt")));
    // A name that ends in .txt already gets no second one; a cancelled dialog writes nothing.
    dialogs.choose(files.filePath(QStringLiteral("again.TXT")), 1);
    form7()->button(QStringLiteral("Command2"))->click();
    EXPECT_TRUE(QFile::exists(files.filePath(QStringLiteral("again.TXT"))));
    dialogs.cancel();
    form7()->button(QStringLiteral("Command2"))->click();
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files).size(), 2);

    const QStringList received = form7()->list().row(3);
    dialogs.cancel();
    form7()->button(QStringLiteral("Command4"))->click();
    EXPECT_EQ(form7()->list().count(), 3);
    dialogs.choose(files.filePath(QStringLiteral("survey.txt")), 1);
    form7()->button(QStringLiteral("Command4"))->click();
    EXPECT_EQ(dialogs.shown.last().request.filter, "文本文件(*.txt)");
    ASSERT_EQ(form7()->list().count(), 3);
    EXPECT_EQ(form7()->list().row(3), received);
    EXPECT_EQ(text("Text1"), "");
    EXPECT_EQ(text("Label1"), "文件名： F0001");
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(Rqx2MeasurementWindow, FilesThatCannotBeWrittenOrReadInFullAreReported)
{
    start();
    const QString folder = files.filePath(QStringLiteral("folder.txt"));
    ASSERT_TRUE(QDir().mkdir(folder));
    dialogs.choose(folder, 1);
    form7()->button(QStringLiteral("Command2"))->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith(QStringLiteral("错误提示|") + folder + u'\n'));

    QFile shortLines(files.filePath(QStringLiteral("short.txt")));
    ASSERT_TRUE(shortLines.open(QIODevice::WriteOnly));
    shortLines.write(
        QStringLiteral("文件名： X\n1，2\n2，，，，，，，，，，，，，，，，，，，，，\n3，4\n").toUtf8());
    shortLines.close();
    dialogs.choose(shortLines.fileName(), 1);
    form7()->button(QStringLiteral("Command4"))->click();
    EXPECT_EQ(form7()->list().count(), 1);
    EXPECT_EQ(messages.messages.last(), "提示|有2行数据的字段不全，未读入；第一处是文件的第2行。");
}

TEST_F(Rqx2MeasurementWindow, ColumnsAreInTheWidthUnitOfTheRqx5List)
{
    fileDialogs = &dialogs;
    startWithCable();
    form1()->action(QStringLiteral("CLSend"))->trigger();
    // The unit is taken from the RQX5 measurement window's list when the main window loads.
    const int unit = app->measureWindow()->measureColumnUnit();
    EXPECT_GT(unit, 500 / 19);
    EXPECT_EQ(form7()->listView()->horizontalHeader()->sectionSize(1), 2 * unit);
}
