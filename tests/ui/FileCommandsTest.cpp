#include "AppFixture.h"

#include "core/CoordinateTableModel.h"
#include "core/TransferAction.h"
#include "support/QStringPrinter.h"
#include "support/ScopedSettingsFolder.h"
#include "support/ScriptedFileDialogs.h"
#include "ui/Form4.h"
#include "ui/Form7.h"
#include "ui/QFileDialogPresenter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

const QString kOpenList = QStringLiteral(
    "HYL格式(NEZ)(*.hyl)|*.hyl|HYL格式(ENZ)(*.hyl)|*.hyl|CAD格式(ENZ)(*.dxf)|*.dxf|南方开思(*.dat)|*.dat|"
    "广州开思(*.dat)|*.dat|SV300格式(*.svf)|*.svf|拓普康格式(*.pts)|*.pts|文本文档(*.txt)|*.txt|"
    "CSV(逗号分隔)(*.csv)|*.csv|");
const QString kSaveList = QStringLiteral(
    "HYL格式(NEZ)(*.hyl)|*.hyl|HYL格式(ENZ)(*.hyl)|*.hyl|CAD格式(*.dxf)|*.dxf|南方开思(*.dat)|*.dat|"
    "广州开思(*.dat)|*.dat|SV300格式(*.svf)|*.svf|拓普康格式(*.pts)|*.pts|文本文档(*.txt)|*.txt|"
    "CSV(逗号分隔)(*.csv)|*.csv|");
const QString kOlderList =
    QStringLiteral("HYL格式(*.hyl)|*.hyl|拓普康格式(*.pts)|*.pts|SV300格式(*.svf)|*.svf|"
                   "广州开思(*.dat)|*.dat|南方开思(*.dat)|*.dat|文本文档(*.txt)|*.txt|"
                   "所有文件(*.*)");

// 控制点 in the Chinese code page.
const QByteArray kControlPoint("\xBF\xD8\xD6\xC6\xB5\xE3");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<no file>");
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class FileCommands : public AppFixture {
protected:
    // The program up with the RQX5 series (whose window shows the file name) in the given order,
    // every file dialog answered by the test.
    void start(bool nez = true)
    {
        addDevice(cableName());
        app = std::make_unique<Application>(
            devices.path(), messages, [this] { ++ends; }, &link, &dialogs);
        app->start();
        choose(true, nez);
        ASSERT_TRUE(form1()->isVisible());
        messages.messages.clear();
    }

    QString path(const char *name) const { return files.filePath(QLatin1String(name)); }

    // Two points: a Chinese name, a zero-padded number, a lettered number, a negative height; the
    // sequence numbers keep the gap a deleted row left.
    void fillTwoPoints(bool nez)
    {
        CoordinateTableModel &table = app->table();
        table.buildColumns(nez);
        const QString n1 = QStringLiteral("3456789.1234"), e1 = QStringLiteral("512345.6789");
        const QString n2 = QStringLiteral("3456700.5"), e2 = QStringLiteral("512300");
        table.append(CoordinatePoint{"1", "12.50", "控制点", nez ? n1 : e1, nez ? e1 : n1, "45.678"});
        table.append(CoordinatePoint{"3", "A7", "K", nez ? n2 : e2, nez ? e2 : n2, "-1.25"});
    }

    QString text(const char *name) { return child<QLineEdit>(form1(), name)->text(); }
    QTableView *list() { return child<QTableView>(form1(), "ListView1"); }

    ScriptedFileDialogs dialogs;
    QTemporaryDir files;
};

TEST_F(FileCommands, EachCommandOffersItsFilterListFirstEntryAndFileName)
{
    start();
    const QString points = path("points.hyl");
    writeBytes(points, "1,P1,10,20,30\r\n");

    dialogs.choose(points, 1);
    form1()->action(QStringLiteral("Open"))->trigger();
    // The open command leaves the dialog's file name as it was: it offers the file last chosen.
    form1()->button(QStringLiteral("Command10"))->click();
    form1()->action(QStringLiteral("Save"))->trigger();
    form1()->button(QStringLiteral("Command9"))->click();

    ASSERT_EQ(dialogs.shown.size(), 4);
    const auto &open1 = dialogs.shown[0].request;
    EXPECT_EQ(open1.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(open1.filter, kOpenList);
    EXPECT_EQ(open1.filterIndex, 1);
    EXPECT_EQ(dialogs.shown[0].parentName, QStringLiteral("Form1"));
    const auto &open2 = dialogs.shown[1].request;
    EXPECT_EQ(open2.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(open2.filter, kOpenList);
    EXPECT_EQ(open2.fileName, points);
    const auto &save = dialogs.shown[2].request;
    EXPECT_EQ(save.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(save.filter, kSaveList);
    EXPECT_EQ(save.filterIndex, 1);
    EXPECT_EQ(save.fileName, QString());
    const auto &older = dialogs.shown[3].request;
    EXPECT_EQ(older.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(older.filter, kOlderList);
    EXPECT_EQ(older.filterIndex, 1);
    EXPECT_EQ(older.fileName, points); // Text3, the file last opened

    // Nothing cancelled was written or read again.
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"points.hyl"});
    EXPECT_TRUE(messages.messages.isEmpty());

    // The older save offers the name Text3 shows: the one a coordinate receive brought, none once
    // the table is cleared.
    TransferEvents::FileAnnounced announced;
    announced.name = QStringLiteral("ROAD1       ");
    announced.count = 1;
    app->executor().perform({TransferAction::show(announced)}, *form1());
    form1()->button(QStringLiteral("Command9"))->click();
    EXPECT_EQ(dialogs.shown.last().request.fileName, QStringLiteral("ROAD1       "));
    form1()->action(QStringLiteral("Edit_S"))->trigger();
    form1()->button(QStringLiteral("Command9"))->click();
    EXPECT_EQ(dialogs.shown.last().request.fileName, QString());
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"points.hyl"});
}

// Every position of the save list writes its own format, the table's column order notwithstanding,
// and the file ends with one empty line.
TEST_F(FileCommands, TheChosenPositionIsTheFormatWritten)
{
    const QByteArray r1nez = "12.50," + kControlPoint + ",3456789.1234,512345.6789,45.678\r\n";
    const QByteArray r2nez = "A7,K,3456700.5,512300,-1.25\r\n";
    const QByteArray r1enz = "12.50," + kControlPoint + ",512345.6789,3456789.1234,45.678\r\n";
    const QByteArray r2enz = "A7,K,512300,3456700.5,-1.25\r\n";
    const std::pair<int, QByteArray> expected[] = {
        {1, r1nez + r2nez + "\r\n"},
        {2, r1enz + r2enz + "\r\n"},
        {4, r1enz + r2enz + "\r\n"},
        {5, "1,12.50,3456789.1234,512345.6789,45.678," + kControlPoint + "\r\n" +
                "3,A7,3456700.5,512300,-1.25,K\r\n\r\n"},
        {6, "1,12.50," + kControlPoint + ",3456789.1234,512345.6789,45.678\r\n" +
                "3,A7,K,3456700.5,512300,-1.25\r\n\r\n"},
        {7, "12.50,512345.6789,3456789.1234,45.678," + kControlPoint + "\r\n" +
                "A7,512300,3456700.5,-1.25,K\r\n\r\n"},
        {8, r1nez + r2nez + "\r\n"},
        {9, r1nez + r2nez + "\r\n"},
    };
    start(true);
    for (bool nez : {true, false}) {
        fillTwoPoints(nez);
        for (const auto &[format, bytes] : expected) {
            const QString name = path(nez ? "nez" : "enz") + QString::number(format);
            dialogs.choose(name, format);
            form1()->action(QStringLiteral("Save"))->trigger();
            EXPECT_EQ(fileBytes(name), bytes) << "format " << format << (nez ? " NEZ" : " ENZ");
        }
        // The drawing: X is E and Y is N, the same drawing from either order.
        const QString drawing = path(nez ? "nez.dxf" : "enz.dxf");
        dialogs.choose(drawing, 3);
        form1()->action(QStringLiteral("Save"))->trigger();
        EXPECT_EQ(fileBytes(drawing), fileBytes(QStringLiteral(RQX_TEST_DATA_DIR "/two-points.dxf")));
    }
    // Saving changes neither the file box nor the count nor the table.
    EXPECT_EQ(text("Text3"), QString());
    EXPECT_EQ(text("Text1"), QString());
    EXPECT_EQ(app->table().count(), 2);
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(FileCommands, SaveUsesTheNameAsChosenAndCancelWritesNothing)
{
    start();
    fillTwoPoints(true);
    // No extension is added.
    dialogs.choose(path("points"), 1);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"points"});

    // An existing file is replaced; a cancelled dialog leaves it alone.
    app->table().buildColumns(true);
    dialogs.cancel();
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(fileBytes(path("points")).left(6), QByteArray("12.50,"));
    // An empty table gives a file holding only the final line end, in every format.
    for (int format : {1, 3, 5}) {
        dialogs.choose(path("points"), format);
        form1()->action(QStringLiteral("Save"))->trigger();
        EXPECT_EQ(fileBytes(path("points")), QByteArray("\r\n")) << format;
    }
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"points"});
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(FileCommands, OlderSaveWritesTheShownOrderWhateverEntryIsChosen)
{
    for (bool nez : {true, false}) {
        SCOPED_TRACE(nez ? "NEZ" : "ENZ");
        start(nez);
        fillTwoPoints(nez);
        const QByteArray expected =
            nez ? "12.50," + kControlPoint +
                      ",3456789.1234,512345.6789,45.678\r\nA7,K,3456700.5,512300,-1.25\r\n\r\n"
                : "12.50," + kControlPoint +
                      ",512345.6789,3456789.1234,45.678\r\nA7,K,512300,3456700.5,-1.25\r\n\r\n";
        for (int entry = 1; entry <= 7; ++entry) {
            const QString name = path("older") + QString::number(entry) + (nez ? "n" : "e");
            dialogs.choose(name, entry);
            form1()->button(QStringLiteral("Command9"))->click();
            EXPECT_EQ(fileBytes(name), expected) << entry;
        }
        // Cancelled: nothing written, although the dialog offered a name.
        const QString kept = path("kept.hyl");
        writeBytes(kept, "old");
        form1()->setFileName(kept);
        dialogs.cancel();
        form1()->button(QStringLiteral("Command9"))->click();
        EXPECT_EQ(dialogs.shown.last().request.fileName, kept);
        EXPECT_EQ(fileBytes(kept), QByteArray("old"));
        EXPECT_TRUE(messages.messages.isEmpty());
        app.reset();
        dialogs.shown.clear();
        QFile::remove(devices.filePath(cableName()));
    }
}

TEST_F(FileCommands, OpeningAFieldsFileFillsTheTableInTheChosenOrder)
{
    const QString file = path("points.hyl");
    const QByteArray nezBytes = "12.50," + kControlPoint + ",3456789.1234,512345.6789,45.678\r\n" +
                                "\r\n" + // a blank line is no row
                                " 7 ,K,-1,-2,-3\r\n\r\n";
    writeBytes(file, nezBytes);

    // A NEZ file read while the order is ENZ: E in the third column, N in the fourth.
    start(false);
    dialogs.choose(file, 1);
    form1()->button(QStringLiteral("Command10"))->click();
    CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), 2);
    EXPECT_TRUE(list()->horizontalHeader()->isVisible());
    EXPECT_EQ(table.headers().at(3), QStringLiteral("坐标--E"));
    EXPECT_EQ(table.point(1),
              (CoordinatePoint{"1", "12.50", "控制点", "512345.6789", "3456789.1234", "45.678"}));
    EXPECT_EQ(table.point(2), (CoordinatePoint{"2", " 7 ", "K", "-2", "-1", "-3"}));
    EXPECT_EQ(text("Text3"), file);
    EXPECT_EQ(text("Text1"), QStringLiteral("2"));
    EXPECT_TRUE(messages.messages.isEmpty());

    // Written back as format 1, it gives the N, E order of the file read.
    dialogs.choose(path("again.hyl"), 1);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(fileBytes(path("again.hyl")),
              nezBytes.left(nezBytes.indexOf("\r\n\r\n") + 2) + " 7 ,K,-1,-2,-3\r\n\r\n");

    // Another file replaces the rows; the format 5 line drops its leading sequence.
    writeBytes(path("gz.dat"), "7,A12,10.5,20.25,1.5,K1\r\n");
    dialogs.choose(path("gz.dat"), 5);
    form1()->action(QStringLiteral("Open"))->trigger();
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.point(1), (CoordinatePoint{"1", "A12", "K1", "20.25", "10.5", "1.5"}));
    EXPECT_EQ(text("Text1"), QStringLiteral("1"));
}

TEST_F(FileCommands, OpeningARawLinesFileShowsAPlainListOfItsLines)
{
    start();
    fillTwoPoints(true);
    writeBytes(path("points.txt"), "1,P1,10,20,30\r\nx\r\n\r\n  2,P2,11,21,31\r\n");
    dialogs.choose(path("points.txt"), 8);
    form1()->action(QStringLiteral("Open"))->trigger();

    CoordinateTableModel &table = app->table();
    ASSERT_EQ(table.count(), 2);
    EXPECT_TRUE(table.isPlainList());
    EXPECT_EQ(table.columnCount(), 1);
    EXPECT_EQ(table.data(table.index(0, 0)).toString(), QStringLiteral("1,P1,10,20,30"));
    EXPECT_EQ(table.data(table.index(1, 0)).toString(), QStringLiteral("  2,P2,11,21,31"));
    EXPECT_FALSE(list()->horizontalHeader()->isVisible());
    EXPECT_FALSE(list()->isColumnHidden(0));
    EXPECT_EQ(text("Text1"), QString()); // empty, not 0
    EXPECT_EQ(text("Text3"), path("points.txt"));

    // A drawing opened is shown as its lines too.
    dialogs.choose(QStringLiteral(RQX_TEST_DATA_DIR "/two-points.dxf"), 3);
    form1()->action(QStringLiteral("Open"))->trigger();
    EXPECT_EQ(table.count(), 182);
    EXPECT_EQ(table.cell(1, 0), QStringLiteral("  0"));
    EXPECT_EQ(table.cell(182, 0), QStringLiteral("EOF"));

    // The next fields file sets the columns up again.
    writeBytes(path("p.csv"), "1,P1,10,20,30\r\n");
    dialogs.choose(path("p.csv"), 9);
    form1()->action(QStringLiteral("Open"))->trigger();
    EXPECT_FALSE(table.isPlainList());
    EXPECT_TRUE(list()->horizontalHeader()->isVisible());
    EXPECT_TRUE(list()->isColumnHidden(0));
    EXPECT_EQ(table.columnCount(), 6);
    EXPECT_EQ(text("Text1"), QStringLiteral("1"));
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(FileCommands, RawLinesAreSavedOnlyAsTextAndThenAsTheyAre)
{
    start();
    const QByteArray lines = "1,P1,10,20,30\r\n  x y\r\n" + kControlPoint + ",2\r\n";
    writeBytes(path("points.txt"), lines);
    dialogs.choose(path("points.txt"), 8);
    form1()->action(QStringLiteral("Open"))->trigger();
    ASSERT_TRUE(app->table().isPlainList());

    dialogs.choose(path("again.txt"), 8);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(fileBytes(path("again.txt")), lines + "\r\n");
    EXPECT_TRUE(messages.messages.isEmpty());

    const QString refusal = QStringLiteral(
        "提示|列表中是打开的文件的原样文本行，不是分好点号和坐标的数据，只能用“文件”菜单的“保存”"
        "存为“文本文档(*.txt)”格式。文件未保存。");
    for (int format : {1, 3, 9}) {
        messages.messages.clear();
        dialogs.choose(path("other"), format);
        form1()->action(QStringLiteral("Save"))->trigger();
        EXPECT_EQ(messages.messages, QStringList{refusal}) << format;
    }
    // The older save writes fields in the table's order: refused before a name is asked for.
    messages.messages.clear();
    const auto dialogsBefore = dialogs.shown.size();
    form1()->button(QStringLiteral("Command9"))->click();
    EXPECT_EQ(messages.messages, QStringList{refusal});
    EXPECT_EQ(dialogs.shown.size(), dialogsBefore);
    EXPECT_FALSE(QFile::exists(path("other")));
}

TEST_F(FileCommands, SkippedLinesAreReportedOnceAfterTheReading)
{
    start();
    writeBytes(path("short.hyl"), "1,P1,10,20,30\r\n2,P2,11\r\n3,P3,12,22,32\r\n4,P4\r\n");
    dialogs.choose(path("short.hyl"), 1);
    form1()->action(QStringLiteral("Open"))->trigger();
    EXPECT_EQ(app->table().count(), 2);
    EXPECT_EQ(text("Text1"), QStringLiteral("2"));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0],
              QStringLiteral("提示|有2行数据的字段不全，未读入；第一处是文件的第2行。"));
    EXPECT_EQ(messages.parentName, QStringLiteral("Form1"));
}

TEST_F(FileCommands, ACancelledOrFailedOpenLeavesTheTableAsItWas)
{
    start();
    fillTwoPoints(true);
    form1()->findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("earlier.hyl"));

    dialogs.cancel();
    form1()->action(QStringLiteral("Open"))->trigger();
    EXPECT_EQ(app->table().count(), 2);
    EXPECT_EQ(text("Text3"), QStringLiteral("earlier.hyl"));
    EXPECT_TRUE(messages.messages.isEmpty());

    const QString missing = path("missing.hyl");
    dialogs.choose(missing, 1);
    form1()->action(QStringLiteral("Open"))->trigger();
    EXPECT_EQ(app->table().count(), 2);
    EXPECT_TRUE(app->table().hasColumns());
    EXPECT_EQ(text("Text3"), QStringLiteral("earlier.hyl"));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith(QStringLiteral("错误提示|") + missing + u'\n'))
        << messages.messages[0].toStdString();
}

TEST_F(FileCommands, AFileThatCannotBeWrittenIsReported)
{
    start();
    fillTwoPoints(true);
    const QString nowhere = path("no-such-folder/points.hyl");
    dialogs.choose(nowhere, 1);
    form1()->action(QStringLiteral("Save"))->trigger();
    dialogs.choose(nowhere, 4);
    form1()->button(QStringLiteral("Command9"))->click();
    ASSERT_EQ(messages.messages.size(), 2);
    for (const QString &message : messages.messages)
        EXPECT_TRUE(message.startsWith(QStringLiteral("错误提示|") + nowhere + u'\n'))
            << message.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));
}

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const QString &value)
        : m_name(name), m_was(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnvironment()
    {
        if (m_wasSet)
            qputenv(m_name, m_was);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_was;
    bool m_wasSet;
};

} // namespace

// Every file dialog of every window opens in the folder a file was last chosen in, through any of
// them and across starts of the program; the first time in Documents, or home when there is none. A
// name typed alone is saved in the folder the dialog showed. The next start is a process of its own:
// this test program run again for this test alone, told by RQX_NEXT_START the folder it must find.
TEST_F(FileCommands, EveryDialogOpensInTheFolderLastUsedAcrossStarts)
{
    if (qEnvironmentVariableIsSet("RQX_NEXT_START")) {
        // The next start: every window's dialogs, cancelled, open where the last file was saved.
        const QString data = qEnvironmentVariable("RQX_NEXT_START");
        const ScopedSettingsFolder settings(qEnvironmentVariable("RQX_NEXT_START_SETTINGS"));
        start();
        form1()->action(QStringLiteral("Open"))->trigger();
        form1()->button(QStringLiteral("Command9"))->click();
        app->measureWindow()->action(QStringLiteral("df"))->trigger();
        app->measureWindow()->action(QStringLiteral("dfs"))->trigger();
        app->rqx2MeasurementWindow()->button(QStringLiteral("Command2"))->click();
        app->rqx2MeasurementWindow()->button(QStringLiteral("Command4"))->click();
        EXPECT_EQ(dialogs.folders(), QStringList(6, data));
        EXPECT_TRUE(messages.messages.isEmpty());
        return;
    }

    QTemporaryDir root;
    const QString home = root.filePath(QStringLiteral("home"));
    const QString documents = home + QStringLiteral("/Documents");
    const QString data = root.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkpath(documents));
    ASSERT_TRUE(QDir().mkpath(data));
    const ScopedEnvironment homeVariable("HOME", home);
    const ScopedEnvironment configVariable("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")));
    const QString settingsFolder = root.filePath(QStringLiteral("settings"));
    const ScopedSettingsFolder settings(settingsFolder);

    start();
    fillTwoPoints(true);
    dialogs.cancel();
    form1()->action(QStringLiteral("Save"))->trigger();
    dialogs.choose(data + QStringLiteral("/points.hyl"), 1);
    form1()->action(QStringLiteral("Save"))->trigger();
    dialogs.choose(QStringLiteral("typed.hyl"), 1);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(dialogs.folders(), (QStringList{documents, documents, data}));
    EXPECT_EQ(QDir(data).entryList(QDir::Files), (QStringList{"points.hyl", "typed.hyl"}));
    app.reset();

    // The next start, in a process of its own.
    const ::testing::TestInfo *self = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess next;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RQX_NEXT_START"), data);
    environment.insert(QStringLiteral("RQX_NEXT_START_SETTINGS"), settingsFolder);
    next.setProcessEnvironment(environment);
    next.setProcessChannelMode(QProcess::MergedChannels);
    next.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=%1.%2")
                    .arg(QLatin1String(self->test_suite_name()), QLatin1String(self->name()))});
    ASSERT_TRUE(next.waitForFinished(60000));
    const QByteArray said = next.readAll();
    EXPECT_EQ(next.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(next.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.contains("[  PASSED  ] 1 test")) << said.toStdString();

    // A remembered folder since removed is passed over for Documents, and Documents for home.
    dialogs.shown.clear();
    app = std::make_unique<Application>(
        devices.path(), messages, [this] { ++ends; }, &link, &dialogs);
    app->start();
    choose(true, true);
    messages.messages.clear();
    ASSERT_TRUE(QDir(data).removeRecursively());
    form1()->action(QStringLiteral("Open"))->trigger();
    ASSERT_TRUE(QDir(documents).removeRecursively());
    form1()->action(QStringLiteral("Open"))->trigger();
    EXPECT_EQ(dialogs.folders(), (QStringList{documents, home}));
    EXPECT_TRUE(messages.messages.isEmpty());
}

// The filter lists as the program's own dialog shows them: every description exactly as listed.
TEST(FileDialogFilters, DescriptionsAreShownExactly)
{
    EXPECT_EQ(QFileDialogPresenter::nameFilters(kOpenList),
              (QStringList{"HYL格式(NEZ)(*.hyl)", "HYL格式(ENZ)(*.hyl)", "CAD格式(ENZ)(*.dxf)",
                           "南方开思(*.dat)", "广州开思(*.dat)", "SV300格式(*.svf)", "拓普康格式(*.pts)",
                           "文本文档(*.txt)", "CSV(逗号分隔)(*.csv)"}));
    EXPECT_EQ(QFileDialogPresenter::nameFilters(kSaveList).at(2), QStringLiteral("CAD格式(*.dxf)"));
    EXPECT_EQ(QFileDialogPresenter::nameFilters(kOlderList),
              (QStringList{"HYL格式(*.hyl)", "拓普康格式(*.pts)", "SV300格式(*.svf)", "广州开思(*.dat)",
                           "南方开思(*.dat)", "文本文档(*.txt)", "所有文件(*.*)"}));
    // A description that does not show its patterns gets them added; one with neither shows all files.
    EXPECT_EQ(QFileDialogPresenter::nameFilters(QStringLiteral("表格|*.csv;*.txt|测量文件")),
              (QStringList{"表格 (*.csv *.txt)", "测量文件 (*)"}));
}

// The extension a save adds is the chosen entry's first pattern, or the one its description shows;
// "*.*", an entry without one, or one beyond the list gives none.
TEST(FileDialogFilters, TheExtensionAddedIsTheChosenEntrys)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.filter = QStringLiteral("表格|*.csv;*.txt|Excel 工作簿(*.xlsx)||测量文件|");
    const std::pair<int, const char *> entries[] = {{1, "csv"}, {2, "xlsx"}, {3, ""}, {4, ""}, {0, ""}};
    for (const auto &[index, extension] : entries)
        EXPECT_EQ(request.extensionOf(index), extension) << index;
    request.filter = kOlderList;
    EXPECT_EQ(request.extensionOf(1), "hyl");
    EXPECT_EQ(request.extensionOf(7), "");

    const std::tuple<FileDialogRequest::Extension, const char *, const char *> names[] = {
        {FileDialogRequest::Extension::AsTyped, "/d/JOB1", "/d/JOB1"},
        {FileDialogRequest::Extension::WhenMissing, "/d/JOB1", "/d/JOB1.hyl"},
        {FileDialogRequest::Extension::WhenMissing, "/d.x/JOB1.old", "/d.x/JOB1.old"},
        {FileDialogRequest::Extension::WhenMissing, "/d.x/JOB1", "/d.x/JOB1.hyl"},
        {FileDialogRequest::Extension::Always, "/d/job.raw", "/d/job.raw.hyl"},
        {FileDialogRequest::Extension::Always, "/d/job.HYL", "/d/job.HYL"},
    };
    for (const auto &[extension, chosen, saved] : names) {
        request.extension = extension;
        EXPECT_EQ(request.savedName(QLatin1String(chosen), 1), saved);
    }
    EXPECT_EQ(request.savedName(QStringLiteral("/d/JOB1"), 7), "/d/JOB1");
}

namespace {

// Runs act on the program's own file dialog once it is open. Should act leave the dialog open (an
// assertion failed inside it), the failsafe, which goes with the dialog, closes it after a time only
// a real failure reaches, so the test fails instead of hanging in the dialog.
void answerDialog(const std::function<void(QFileDialog *)> &act)
{
    constexpr int kFailsafeMs = 30000;
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *failsafe = new QTimer(dialog);
        failsafe->setSingleShot(true);
        QObject::connect(failsafe, &QTimer::timeout, dialog, [dialog] {
            ADD_FAILURE() << "the dialog was left open";
            dialog->reject();
        });
        failsafe->start(kFailsafeMs);
        act(dialog);
    });
}

} // namespace

TEST(FileDialogFilters, AllFilesEntryShowsFilesWithoutAnExtension)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("points")), "1,P1,10,20,30\r\n");
    writeBytes(dir.filePath(QStringLiteral("a.hyl")), "1,P1,10,20,30\r\n");
    QStringList shown;
    QString typedName;
    answerDialog([&](QFileDialog *dialog) {
        // As the user picking the last entry of the list.
        dialog->selectNameFilter(dialog->nameFilters().constLast());
        auto *files = dialog->findChild<QFileSystemModel *>();
        ASSERT_NE(files, nullptr);
        auto listed = [&] {
            shown.clear();
            const QModelIndex folder = files->index(dir.path());
            for (int row = 0; row < files->rowCount(folder); ++row) {
                const QModelIndex item = files->index(row, 0, folder);
                if (files->flags(item) & Qt::ItemIsEnabled)
                    shown << item.data().toString();
            }
            shown.sort();
            return shown.size() == 2;
        };
        EXPECT_TRUE(QTest::qWaitFor(listed, 20000));
        typedName = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        dialog->reject();
    });
    QFileDialogPresenter presenter;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.filter = kOlderList;
    request.fileName = dir.filePath(QStringLiteral("a.hyl"));
    request.folder = dir.path();
    const FileDialogChoice choice = presenter.showFileDialog(nullptr, request);
    EXPECT_TRUE(choice.fileName.isEmpty());
    EXPECT_EQ(shown, (QStringList{"a.hyl", "points"}));
    EXPECT_EQ(typedName, "a.hyl");
}

// The real dialog, offscreen: the save list shown, the second entry and a name chosen by the user.
TEST_F(FileCommands, TheProgramsOwnDialogReportsTheChosenFileAndPosition)
{
    addDevice(cableName());
    app = std::make_unique<Application>(
        devices.path(), messages, [this] { ++ends; }, &link);
    app->start();
    choose(true, true);
    fillTwoPoints(true);

    QStringList filtersShown;
    QString folderShown;
    const QString chosen = path("chosen");
    auto answer = [&](bool accept) {
        answerDialog([&, accept](QFileDialog *dialog) {
            filtersShown = dialog->nameFilters();
            folderShown = dialog->directory().absolutePath();
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
            EXPECT_EQ(dialog->selectedNameFilter(), filtersShown.value(0));
            dialog->selectNameFilter(filtersShown.value(1));
            dialog->selectFile(chosen);
            // As the user pressing "保存" or "取消".
            QDialog *asDialog = dialog;
            if (accept)
                asDialog->accept();
            else
                asDialog->reject();
        });
    };
    answer(false);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_EQ(filtersShown.size(), 9);

    answer(true);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(fileBytes(chosen), "12.50," + kControlPoint + ",512345.6789,3456789.1234,45.678\r\n" +
                                     "A7,K,512300,3456700.5,-1.25\r\n\r\n");
    EXPECT_EQ(filtersShown.value(1), QStringLiteral("HYL格式(ENZ)(*.hyl)"));
    // The next dialog opens where the file was saved.
    answer(false);
    form1()->action(QStringLiteral("Save"))->trigger();
    EXPECT_EQ(folderShown, files.path());
    EXPECT_TRUE(messages.messages.filter(QStringLiteral("错误提示")).isEmpty());
}

// The real dialog asks before replacing the file a save will really write, the extension the save
// adds included: "JOB1" must not replace yesterday's JOB1.raw without a question. 否 leaves the file
// and the dialog open; 是 writes it.
TEST_F(FileCommands, ASaveAsksBeforeReplacingTheFileItWrites)
{
    struct Save {
        bool rqx5;
        const char *command; // a button or a menu entry of the series' measurement window
        const char *typed;
        const char *written;
    };
    const Save saves[] = {
        {true, "Command9", "JOB1", "JOB1.raw"}, // 数据文件 selected
        {true, "ds", "M1", "M1.txt"},
        {false, "Command2", "job", "job.txt"},
        {false, "Command2", "job.raw", "job.raw.txt"},
    };
    addDevice(cableName());
    writeBytes(path("job.raw"), "job.raw");
    for (const Save &save : saves) {
        SCOPED_TRACE(save.typed);
        app.reset();
        app = std::make_unique<Application>(
            devices.path(), messages, [this] { ++ends; }, &link);
        app->start();
        choose(save.rqx5, true);
        messages.messages.clear();
        form1()->action(QStringLiteral("CLSend"))->trigger();
        QWidget *window = save.rqx5 ? static_cast<QWidget *>(app->measureWindow())
                                    : static_cast<QWidget *>(app->rqx2MeasurementWindow());
        const QString written = path(save.written);
        writeBytes(written, "yesterday");
        for (const bool yes : {false, true}) {
            QString asked;
            answerDialog([&, yes](QFileDialog *dialog) {
                dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path(save.typed));
                QTimer::singleShot(0, [&asked, yes] {
                    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                        asked = box->text();
                        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
                    }
                });
                QDialog *asDialog = dialog;
                asDialog->accept();
                if (dialog->isVisible())
                    asDialog->reject();
            });
            if (QAction *entry = window->findChild<QAction *>(QLatin1String(save.command)))
                entry->trigger();
            else
                window->findChild<QPushButton *>(QLatin1String(save.command))->click();
            EXPECT_TRUE(asked.contains(QLatin1String(save.written))) << asked.toStdString();
            EXPECT_EQ(fileBytes(written).startsWith("yesterday"), !yes);
            EXPECT_TRUE(fileBytes(written).endsWith("\r\n\r\n") || !yes);
        }
        EXPECT_EQ(fileBytes(path("job.raw")), "job.raw");
    }
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u' ').toStdString();
}

// 从CAD图形导入点: its own dialog; a damaged drawing leaves the table as it was and says so; a drawing
// fills the table in the order chosen at start, with 点数 and the file name, as 打开 does.
TEST_F(FileCommands, ImportDrawingPointsFillsTheTableOrLeavesItWithABox)
{
    start(false);
    fillTwoPoints(false);
    const QString damaged = path("damaged.dxf");
    writeBytes(damaged, "0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n1\n20\n2\n");
    const QString drawing = path("design.dxf");
    writeBytes(drawing,
               "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOINT\r\n 10\r\n512345.6789\r\n"
               " 20\r\n3456789.1234\r\n 30\r\n45.678\r\n  0\r\nTEXT\r\n 10\r\n512345.6789\r\n"
               " 20\r\n3456789.1234\r\n 40\r\n1\r\n  1\r\nK1\r\n  0\r\nPOINT\r\n 10\r\n7\r\n 20\r\n8\r\n"
               "  0\r\nENDSEC\r\n  0\r\nEOF\r\n");

    dialogs.choose(damaged, 1);
    form1()->action(QStringLiteral("ImportDrawingPoints"))->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].request.mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(dialogs.shown[0].request.filter, QStringLiteral("CAD图形(*.dxf)|*.dxf|"));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith(QStringLiteral("错误提示|") + damaged + u'\n'));
    EXPECT_TRUE(messages.messages[0].contains(QStringLiteral("已损坏")));
    EXPECT_EQ(app->table().count(), 2);
    EXPECT_EQ(app->table().cell(2, 1), QStringLiteral("A7"));

    messages.messages.clear();
    dialogs.choose(drawing, 1);
    form1()->action(QStringLiteral("ImportDrawingPoints"))->trigger();
    EXPECT_TRUE(messages.messages.isEmpty());
    ASSERT_EQ(app->table().count(), 2);
    EXPECT_EQ(app->table().point(1),
              (CoordinatePoint{"1", "K1", "", "512345.6789", "3456789.1234", "45.678"}));
    EXPECT_EQ(app->table().point(2), (CoordinatePoint{"2", "2", "", "7", "8", "0"}));
    EXPECT_EQ(app->table().headers()[3], QStringLiteral("坐标--E"));
    EXPECT_EQ(text("Text1"), QStringLiteral("2"));
    EXPECT_EQ(text("Text3"), drawing);
}
