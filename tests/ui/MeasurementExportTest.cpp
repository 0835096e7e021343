// "导出坐标" and "导出表格" of both measurement windows: the measured points as the main window would
// save them, and the list as a spreadsheet file, against the golden files in tests/data.
#include "AppFixture.h"

#include "formats/FileText.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "support/PythonReader.h"
#include "support/QStringPrinter.h"
#include "support/Rqx2MeasurementExamples.h"
#include "support/ScriptedFileDialogs.h"
#include "support/XlsxReadBack.h"
#include "ui/Form4.h"
#include "ui/Form7.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

QByteArray golden(const char *name)
{
    return fileBytes(QStringLiteral(RQX_TEST_DATA_DIR "/") + QLatin1String(name));
}

class MeasurementExport : public AppFixture {
protected:
    void start(bool rqx5, bool nez)
    {
        fileDialogs = &dialogs;
        startWithCable(rqx5, nez);
        app->rqx2MeasurementWindow()->setMeasureColumnUnit(40);
        form1()->action(QStringLiteral("CLSend"))->trigger();
    }
    Form4 *form4() { return app->measureWindow(); }
    Form7 *form7() { return app->rqx2MeasurementWindow(); }
    QString path(const QString &name) const { return files.filePath(name); }

    // The RQX2 worked example received: header, station, backsight and the measurement record 3.
    void receiveRqx2Examples()
    {
        using namespace Rqx2MeasurementExamples;
        form7()->button(QStringLiteral("Command1"))->click();
        for (const QByteArray &bytes : {fromHex("4A 0D"), fromHex(kHeader), fromHex(kStation),
                                        fromHex(kBacksight), measurement("0003", "0010")}) {
            instrumentSends(bytes);
        }
    }

    // The data file two-rows.raw opened; under ENZ its rows shown as a receive under ENZ shows them.
    void openRqx5DataFile(bool nez)
    {
        QFile::copy(QStringLiteral(RQX_TEST_DATA_DIR "/two-rows.raw"), path("two-rows.raw"));
        dialogs.choose(path("two-rows.raw"), 1);
        form4()->button(QStringLiteral("Command2"))->click();
        ASSERT_EQ(form4()->list().count(), 2);
        if (nez)
            return;
        // The N and E pairs of station and point change places.
        std::vector<QStringList> rows;
        for (int r = 1; r <= 2; ++r) {
            rows.push_back(form4()->list().row(r));
            rows.back().swapItemsAt(4, 5);
            rows.back().swapItemsAt(18, 19);
        }
        SetRqx5DataFileColumns(form4()->list(), false);
        form4()->list().append(std::move(rows));
    }

    // The window's command by name: Form7's buttons, Form4's menu entries.
    void run(QWidget *window, const char *name)
    {
        if (auto *entry = window->findChild<QAction *>(QLatin1String(name)))
            entry->trigger();
        else
            child<QPushButton>(window, name)->click();
    }

    // What the main window's 文件 → 保存 writes in this format for a table of these points.
    QByteArray mainWindowSaves(const std::vector<CoordinatePoint> &nezPoints, bool nez, int format)
    {
        app->table().buildColumns(nez);
        for (CoordinatePoint p : nezPoints) {
            if (!nez)
                std::swap(p.first, p.second);
            app->table().append(p);
        }
        const QString saved = path(QStringLiteral("main-%1").arg(format));
        dialogs.choose(saved, format);
        form1()->action(QStringLiteral("Save"))->trigger();
        return fileBytes(saved);
    }

    ScriptedFileDialogs dialogs;
    QTemporaryDir files;
};

// Both orders: the files follow their formats, whichever order the window shows.
class MeasurementExportInOrder : public MeasurementExport, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(Orders, MeasurementExportInOrder, ::testing::Values(true, false),
                         [](const auto &info) { return std::string(info.param ? "NEZ" : "ENZ"); });

} // namespace

TEST_P(MeasurementExportInOrder, Rqx2WorkedFileGivesItsMeasuredPoint)
{
    const bool nez = GetParam();
    start(false, nez);
    receiveRqx2Examples();
    ASSERT_EQ(form7()->list().count(), 3);
    EXPECT_EQ(child<QPushButton>(form7(), "ExportCoordinates")->text(), "导出坐标");
    EXPECT_EQ(child<QPushButton>(form7(), "ExportTable")->text(), "导出表格");

    // The station and the backsight are no points; the drawing and the text file hold P7 alone.
    dialogs.choose(path("points.dxf"), 3);
    run(form7(), "ExportCoordinates");
    dialogs.choose(path("points"), 1);
    run(form7(), "ExportCoordinates");
    EXPECT_EQ(fileBytes(path("points.dxf")), golden("rqx2-measurement-points.dxf"));
    EXPECT_EQ(fileBytes(path("points")), golden("rqx2-measurement-points.hyl")) << "no extension added";
    const FileDialogRequest asked = dialogs.shown.last().request;
    EXPECT_EQ(dialogs.shown.last().parentName, "Form7");
    EXPECT_EQ(asked.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(asked.filterIndex, 1);
    EXPECT_TRUE(asked.fileName.isEmpty());
    form1()->action(QStringLiteral("Save"))->trigger(); // cancelled: the main window's own list
    EXPECT_EQ(asked.filter, dialogs.shown.last().request.filter);

    dialogs.choose(path("day1"), 1);
    run(form7(), "ExportTable");
    EXPECT_EQ(dialogs.shown.last().request.filter, "CSV(逗号分隔)(*.csv)|*.csv|Excel 工作簿(*.xlsx)|*.xlsx");
    EXPECT_EQ(dialogs.shown.last().request.extension, FileDialogRequest::Extension::WhenMissing);
    const QByteArray csv = fileBytes(path("day1.csv"));
    if (nez) {
        EXPECT_EQ(csv, golden("rqx2-measurements.csv"));
    } else {
        // The columns as this window shows them: E before N.
        const QStringList lines = DecodeFileText(csv).split(QStringLiteral("\r\n"));
        EXPECT_TRUE(
            lines.value(0).contains("坐标--E,坐标--N,坐标--Z,测站序号,测站点名,仪高,测站--E,测站--N"));
        EXPECT_TRUE(lines.value(3).startsWith("M1,P7,123°45′06″,90°00′00″,12.345,-1.200,12.300,1.500,"
                                              "1.800,-45.500,1234.567,12.300,"));
    }
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'\n').toStdString();
}

TEST_P(MeasurementExportInOrder, Rqx5DataFileWritesWhatTheMainWindowSavesInEveryFormat)
{
    const bool nez = GetParam();
    // The two records of two-rows.raw as points, texts as the list shows them.
    const std::vector<CoordinatePoint> points = {
        {"1", "     103", "P1      ", "3480.001      ", "1250.002      ", "10.557        "},
        {"2", "     104", "控制,点A  ", "3452.000      ", "1240.110      ", "12.220        "},
    };
    start(true, nez);
    EXPECT_EQ(child<QAction>(form4(), "ExportCoordinates")->text(), "导出坐标");
    EXPECT_EQ(child<QAction>(form4(), "ExportTable")->text(), "导出表格");
    openRqx5DataFile(nez);

    for (int format = 1; format <= 9; ++format) {
        const QString exported = path(QStringLiteral("export-%1").arg(format));
        dialogs.choose(exported, format);
        run(form4(), "ExportCoordinates");
        EXPECT_EQ(dialogs.shown.last().parentName, "Form4");
        const QByteArray bytes = fileBytes(exported);
        EXPECT_EQ(bytes, mainWindowSaves(points, nez, format)) << "format " << format;
        if (format == 3) {
            EXPECT_EQ(bytes, golden("two-rows-points.dxf"));
        }
    }
    dialogs.choose(path("job.CSV"), 1);
    run(form4(), "ExportTable");
    if (nez) {
        EXPECT_EQ(fileBytes(path("job.CSV")), golden("two-rows.csv")) << "the name keeps its extension";
    } else {
        // The columns as this window shows them: each E before its N, in the caption and the rows.
        QString expected = DecodeFileText(golden("two-rows.csv"));
        for (const auto &[nFirst, eFirst] :
             {std::pair{"测站--N,测站--E", "测站--E,测站--N"},
              std::pair{"坐标--N,坐标--E", "坐标--E,坐标--N"},
              std::pair{"3456.789      ,1234.567      ", "1234.567      ,3456.789      "},
              std::pair{"3480.001      ,1250.002      ", "1250.002      ,3480.001      "},
              std::pair{"3452.000      ,1240.110      ", "1240.110      ,3452.000      "}}) {
            ASSERT_TRUE(expected.contains(QString::fromUtf8(nFirst))) << nFirst;
            expected.replace(QString::fromUtf8(nFirst), QString::fromUtf8(eFirst));
        }
        EXPECT_EQ(DecodeFileText(fileBytes(path("job.CSV"))), expected) << "the name keeps its extension";
    }
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'\n').toStdString();
}

TEST_F(MeasurementExport, SingleMeasurementsGiveTheirCoordinateRecordsOnly)
{
    start(true, true);
    child<QRadioButton>(form4(), "Option2")->setChecked(true);
    QFile::copy(QStringLiteral(RQX_TEST_DATA_DIR "/three-rows.txt"), path("three.txt"));
    dialogs.choose(path("three.txt"), 1);
    form4()->button(QStringLiteral("Command2"))->click();
    ASSERT_EQ(form4()->list().count(), 3);

    // Row 2 is the coordinate record: numbered by its receive number, no name.
    dialogs.choose(path("points.hyl"), 1);
    run(form4(), "ExportCoordinates");
    EXPECT_EQ(fileBytes(path("points.hyl")),
              QByteArray("2,,3456.789      ,1234.5        ,12.34         \r\n\r\n"));

    // Angles and distances only: one notice, no dialog, no file; an empty list has no table either.
    const std::vector<QStringList> kept = {form4()->list().row(1), form4()->list().row(3)};
    SetRqx5MeasurementColumns(form4()->list(), true);
    form4()->list().append(kept);
    const qsizetype dialogsShown = dialogs.shown.size();
    dialogs.choose(path("none.hyl"), 1);
    run(form4(), "ExportCoordinates");
    SetRqx5MeasurementColumns(form4()->list(), true);
    run(form4(), "ExportTable");
    EXPECT_EQ(messages.messages, QStringList({"提示|列表中没有带坐标的测量点，未导出文件。",
                                              "提示|列表中没有数据，未导出文件。"}));
    EXPECT_EQ(messages.parentName, "Form4");
    EXPECT_EQ(dialogs.shown.size(), dialogsShown);
    EXPECT_FALSE(QFile::exists(path("none.hyl")));
    dialogs.choices.clear();

    // A file that cannot be written is an error with its path, not a silent drop.
    messages.messages.clear();
    form4()->list().append(kept);
    dialogs.choose(path("three.txt/x"), 1);
    run(form4(), "ExportTable");
    dialogs.choose(path("three.txt/x"), 2);
    run(form4(), "ExportTable");
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_TRUE(messages.messages[0].startsWith("错误提示|" + path("three.txt/x.csv") + "\n"));
    EXPECT_TRUE(messages.messages[1].startsWith("错误提示|" + path("three.txt/x.xlsx") + "\n文件无法创建"))
        << messages.messages[1].toStdString();
}

TEST_F(MeasurementExport, SpreadsheetReaderFindsEveryShownCell)
{
    RQX_REQUIRE_PYTHON_MODULE("csv, json", "python3");

    start(true, true);
    openRqx5DataFile(true);
    // Cells a spreadsheet must get back whole: quotes, a line break, commas and padding.
    QStringList awkward{QStringLiteral("3")};
    for (int c = 1; c <= Rqx5MeasurementColumns::kDataFileSubitems; ++c)
        awkward << QStringLiteral(" 站\"%1\",\r\n\"").arg(c);
    form4()->list().append(awkward);
    dialogs.choose(path("table"), 1);
    run(form4(), "ExportTable");

    // The reader is told the Chinese code page, as a spreadsheet on a Chinese system assumes it.
    QProcess reader;
    reader.start(PythonReader::kPython,
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='gbk') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f))))\n"),
                  path("table.csv")});
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();

    const MeasurementTableModel &list = form4()->list();
    ASSERT_EQ(rows.size(), list.count() + 1);
    for (int r = 0; r <= list.count(); ++r) {
        QStringList expected = r == 0 ? list.headers() : list.row(r);
        expected.removeFirst(); // the row's own number is not shown
        EXPECT_EQ(rows[r].toVariant().toStringList(), expected) << "line " << r + 1;
    }
}

TEST_P(MeasurementExportInOrder, Rqx2WorkedFileAsAWorkbook)
{
    RQX_REQUIRE_XLSX_READER();
    const bool nez = GetParam();
    start(false, nez);
    receiveRqx2Examples();
    ASSERT_EQ(form7()->list().count(), 3);
    dialogs.choose(path("day1"), 2);
    run(form7(), "ExportTable");
    // The extension typed names the type, whichever is chosen.
    dialogs.choose(path("day2.XLSX"), 1);
    run(form7(), "ExportTable");
    dialogs.choose(path("day3.csv"), 2);
    run(form7(), "ExportTable");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'\n').toStdString();
    EXPECT_EQ(fileBytes(path("day2.XLSX")).left(4), QByteArray("PK\x03\x04"));
    EXPECT_TRUE(fileBytes(path("day3.csv")).startsWith(EncodeFileText(u"测量序号,测量点名,")));

    const XlsxReadBack::Sheet sheet = XlsxReadBack::read(path("day1.xlsx"));
    ASSERT_TRUE(sheet.failure.isEmpty()) << sheet.failure.toStdString();
    const QStringList empty3 = {"", "", ""};
    QList<QStringList> expected = {
        {"s:测量序号", "s:测量点名", "s:水平角",  "s:竖直角",  "s:斜距",     "s:高差",     "s:平距",
         "s:仪器高",   "s:棱镜高",   "s:坐标--N", "s:坐标--E", "s:坐标--Z",  "s:测站序号", "s:测站点名",
         "s:仪高",     "s:测站--N",  "s:测站--E", "s:测站--Z", "s:后视序号", "s:后视点名", "s:方位角"},
        QStringList(12, QString()) +
            QStringList{"s:S1", "s:A", "n:1.55:0.000", "n:1000:0.000", "n:2000:0.000", "n:100:0.000"} +
            empty3,
        QStringList(18, QString()) + QStringList{"s:B1", "s:B", "s:45°30′00″"},
        QStringList{"s:M1", "s:P7", "s:123°45′06″", "s:90°00′00″", "n:12.345:0.000", "n:-1.2:0.000",
                    "n:12.3:0.000", "n:1.5:0.000", "n:1.8:0.000", "n:1234.567:0.000", "n:-45.5:0.000",
                    "n:12.3:0.000"} +
            QStringList(9, QString()),
    };
    if (!nez) {
        // E before N, captions and cells alike, as the window shows them.
        for (QStringList &row : expected) {
            row.swapItemsAt(9, 10);
            row.swapItemsAt(15, 16);
        }
    }
    ASSERT_EQ(sheet.rows.size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r)
        EXPECT_EQ(sheet.rows[r], expected[r]) << "row " << r + 1;
    EXPECT_EQ(sheet.frozen, "A2");
}

namespace {

// Runs act on the program's own file dialog once it is open; should act leave it open, the failsafe
// closes it so that the test fails instead of hanging.
void answerDialog(const std::function<void(QFileDialog *)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *failsafe = new QTimer(dialog);
        failsafe->setSingleShot(true);
        QObject::connect(failsafe, &QTimer::timeout, dialog, [dialog] {
            ADD_FAILURE() << "the dialog was left open";
            dialog->reject();
        });
        failsafe->start(30000);
        act(dialog);
    });
}

} // namespace

// The program's own dialog: the name typed without an extension is completed with the chosen type's
// before the dialog asks about replacing, so the file asked about is the one written.
TEST_F(MeasurementExport, TheDialogAsksBeforeReplacingTheFileOfTheChosenType)
{
    startWithCable(true, true);
    SetRqx5MeasurementColumns(form4()->list(), true);
    form4()->list().append(QStringList{"1", "1", "", "", "", "", "", "1.000", "2.000", "3.000"});
    for (const char *name : {"JOB1.xlsx", "JOB1.csv"}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("yesterday");
    }

    QStringList asked;
    auto answerQuestion = [&asked](QMessageBox::StandardButton answer) {
        QTimer::singleShot(0, [&asked, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr) << "no question";
            asked << box->text();
            box->button(answer)->click();
        });
    };
    QStringList suffixes;
    answerDialog([&](QFileDialog *dialog) {
        dialog->setDirectory(files.path());
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        // As the user choosing a type, typing JOB1 and pressing 保存: No keeps the dialog open.
        for (int type : {1, 0, 1}) {
            dialog->selectNameFilter(dialog->nameFilters().value(type));
            suffixes << dialog->defaultSuffix();
            name->setText(QStringLiteral("JOB1"));
            answerQuestion(asked.size() < 2 ? QMessageBox::No : QMessageBox::Yes);
            static_cast<QDialog *>(dialog)->accept();
        }
    });
    run(form4(), "ExportTable");

    EXPECT_EQ(suffixes, QStringList({"xlsx", "csv", "xlsx"}));
    ASSERT_EQ(asked.size(), 3);
    EXPECT_TRUE(asked[0].contains("JOB1.xlsx")) << asked[0].toStdString();
    EXPECT_TRUE(asked[1].contains("JOB1.csv")) << asked[1].toStdString();
    EXPECT_EQ(fileBytes(path("JOB1.csv")), "yesterday");
    EXPECT_EQ(fileBytes(path("JOB1.xlsx")).left(4), QByteArray("PK\x03\x04")) << "replaced once confirmed";
    EXPECT_FALSE(QFile::exists(path("JOB1")));
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join(u'\n').toStdString();
}
