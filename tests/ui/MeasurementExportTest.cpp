// "导出坐标" and "导出表格" of both measurement windows: the measured points as the main window would
// save them, and the list as a spreadsheet file, against the golden files in tests/data.
#include "AppFixture.h"

#include "formats/FileText.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "support/QStringPrinter.h"
#include "support/Rqx2MeasurementExamples.h"
#include "support/ScriptedFileDialogs.h"
#include "ui/Form4.h"
#include "ui/Form7.h"

#include <QAction>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

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
    EXPECT_EQ(dialogs.shown.last().request.filter, "CSV(逗号分隔)(*.csv)|*.csv");
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
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith("错误提示|" + path("three.txt/x.csv") + "\n"));
}

TEST_F(MeasurementExport, SpreadsheetReaderFindsEveryShownCell)
{
    QProcess probe;
    probe.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"), QStringLiteral("import csv, json")});
    if (!probe.waitForFinished(20000) || probe.exitCode() != 0)
        GTEST_SKIP() << "/usr/bin/python3 is not there to read the file";

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
    reader.start(QStringLiteral("/usr/bin/python3"),
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
