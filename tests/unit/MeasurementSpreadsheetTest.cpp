// A measurement list for spreadsheets: the comma-separated fields a spreadsheet would run as a formula,
// and the workbook read back cell by cell as a spreadsheet program reads it.
#include "core/MeasurementTableModel.h"
#include "formats/MeasurementCsv.h"
#include "formats/MeasurementXlsx.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "support/QStringPrinter.h"
#include "support/XlsxReadBack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <numeric>

namespace {

std::vector<int> columnsOneTo(int last)
{
    std::vector<int> columns(static_cast<size_t>(last));
    std::iota(columns.begin(), columns.end(), 1);
    return columns;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

} // namespace

TEST(MeasurementCsv, AFieldASpreadsheetWouldRunAsAFormulaIsGuarded)
{
    const struct {
        const char *cell;
        const char *field;
    } cases[] = {
        // A spreadsheet still reads these its own way: the workbook is the file for it.
        {"0012", "0012"},
        {"1-2", "1-2"},
        {"1E3", "1E3"},
        {"=SUM(A1)", "'=SUM(A1)"},
        {"@x", "'@x"},
        {"-P1", "'-P1"},
        {"-", "'-"},
        {"+", "'+"},
        // Numbers, signed ones and the list's padded ones among them, are no formulas.
        {"-5", "-5"},
        {"+1", "+1"},
        {"-1.200        ", "-1.200        "},
        {"-.5", "-.5"},
        // Only the first character counts; a guarded field is quoted like any other.
        {" =1", " =1"},
        {"=A1,B1", "\"'=A1,B1\""},
        {"=\"x\"", "\"'=\"\"x\"\"\""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MeasurementCsv::field(QString::fromUtf8(c.cell)), QString::fromUtf8(c.field)) << c.cell;
}

TEST(MeasurementXlsx, ACellIsANumberOnlyWhenTheSpreadsheetShowsItAsTheListDoes)
{
    const struct {
        const char *text;
        bool number;
        double value;
        int decimals;
    } cases[] = {
        {"12.345", true, 12.345, 3},
        {"-1.200", true, -1.2, 3},
        {"1.550         ", true, 1.55, 3},
        {"  -5", true, -5, 0},
        {"0", true, 0, 0},
        {"0.0001", true, 0.0001, 4},
        {"3456789.1234", true, 3456789.1234, 4},
        {"123456789012345", true, 123456789012345.0, 0},
        // More digits than a number cell holds, and texts a spreadsheet would show otherwise.
        {"1234567890123.456", false, 0, 0},
        {"0012", false, 0, 0},
        {"0012.5", false, 0, 0},
        {"+0.125", false, 0, 0},
        {".5", false, 0, 0},
        {"12.", false, 0, 0},
        {"-0.000", false, 0, 0},
        {"1E3", false, 0, 0},
        {"1-2", false, 0, 0},
        {"12 34", false, 0, 0},
        {"", false, 0, 0},
        {"   ", false, 0, 0},
    };
    for (const auto &c : cases) {
        const std::optional<MeasurementXlsx::ShownNumber> shown =
            MeasurementXlsx::shownNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(shown.has_value(), c.number) << '"' << c.text << '"';
        if (shown) {
            EXPECT_DOUBLE_EQ(shown->value, c.value) << c.text;
            EXPECT_EQ(shown->decimals, c.decimals) << c.text;
        }
    }
    for (const auto &[text, width] :
         std::vector<std::pair<QString, int>>{{"坐标--N", 7},
                                              {"P1      ", 8},
                                              {"123°45′06″", 10},
                                              {"控制,点A", 8},
                                              {QString::fromUcs4(U"\U00020000号"), 4}})
        EXPECT_EQ(MeasurementXlsx::textWidth(text), width) << text.toStdString();
}

TEST(MeasurementXlsx, WorkbookReadBackCellByCell)
{
    RQX_REQUIRE_XLSX_READER();
    MeasurementTableModel list;
    SetRqx5DataFileColumns(list, true);
    const QStringList measured = {"1",
                                  "     101",
                                  "ST1     ",
                                  "1.550         ",
                                  "3456.789      ",
                                  "1234.567      ",
                                  "12.345        ",
                                  "     102",
                                  "BS1     ",
                                  "45°30′15″     ",
                                  "     103",
                                  "控制,点A  ",
                                  "120°00′05″    ",
                                  "89°59′50″     ",
                                  "25.432        ",
                                  "0.012         ",
                                  "25.431        ",
                                  "1.800         ",
                                  "3480.001      ",
                                  "1250.002      ",
                                  "10.557        "};
    list.append(measured);
    // What a spreadsheet misreads in the comma-separated file, in columns of text and of numbers.
    const QStringList misread = {"2",
                                 "0012",
                                 "1-2",
                                 "",
                                 "1E3",
                                 "-0.000",
                                 "0012.5",
                                 "=SUM(A1)",
                                 "@x",
                                 "",
                                 "+1",
                                 "-5",
                                 "",
                                 "",
                                 "-5",
                                 "+0.125",
                                 "12.",
                                 "1234567890123.456",
                                 "-1234567.1234",
                                 ".5",
                                 "0.0001"};
    list.append(misread);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("表格.xlsx"));
    QString error;
    ASSERT_TRUE(MeasurementXlsx::write(path, list, columnsOneTo(20), &error)) << error.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"表格.xlsx"})
        << "nothing left beside it";

    const XlsxReadBack::Sheet sheet = XlsxReadBack::read(path);
    ASSERT_TRUE(sheet.failure.isEmpty()) << sheet.failure.toStdString();
    const QList<QStringList> expected = {
        {"s:测站序号", "s:测站点名", "s:仪高",     "s:测站--N",  "s:测站--E", "s:测站--Z", "s:后视序号",
         "s:后视点名", "s:方位角",   "s:测量序号", "s:测量点名", "s:水平角",  "s:竖直角",  "s:斜距",
         "s:高差",     "s:平距",     "s:目标高",   "s:坐标--N",  "s:坐标--E", "s:坐标--Z"},
        {"s:     101",     "s:ST1     ",       "n:1.55:0.000",     "n:3456.789:0.000", "n:1234.567:0.000",
         "n:12.345:0.000", "s:     102",       "s:BS1     ",       "s:45°30′15″     ", "s:     103",
         "s:控制,点A  ",   "s:120°00′05″    ", "s:89°59′50″     ", "n:25.432:0.000",   "n:0.012:0.000",
         "n:25.431:0.000", "n:1.8:0.000",      "n:3480.001:0.000", "n:1250.002:0.000", "n:10.557:0.000"},
        QStringList{"s:0012",
                    "s:1-2",
                    "",
                    "s:1E3",
                    "s:-0.000",
                    "s:0012.5",
                    "s:=SUM(A1)",
                    "s:@x",
                    "",
                    "s:+1",
                    "s:-5",
                    "",
                    "",
                    "n:-5:0",
                    "s:+0.125",
                    "s:12.",
                    "s:1234567890123.456",
                    "n:-1234567.1234:0.0000",
                    "s:.5",
                    "n:0.0001:0.0000"},
    };
    ASSERT_EQ(sheet.rows.size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r)
        EXPECT_EQ(sheet.rows[r], expected[r]) << "row " << r + 1;
    EXPECT_EQ(sheet.frozen, "A2");
    EXPECT_EQ(sheet.boldHeader, QList<bool>(20, true));

    // Each column as wide as its widest text and a little more: 测站点名 by its caption, 测量点名 by
    // 控制,点A and its padding, 目标高 by the long number text, 坐标--N by the number as shown.
    const QList<std::pair<int, int>> widest = {{1, 8}, {10, 10}, {16, 17}, {17, 13}};
    ASSERT_EQ(sheet.widths.size(), 20);
    for (const auto &[column, text] : widest) {
        EXPECT_GE(sheet.widths[column], text + 1) << "column " << column + 1;
        EXPECT_LT(sheet.widths[column], text + 3) << "column " << column + 1;
    }
}

TEST(MeasurementXlsx, AFailedSaveKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir folder;
    MeasurementTableModel list;
    SetRqx5MeasurementColumns(list, true);
    list.append(QStringList{"1", "1", "90°00′00″", "", "", "", "", "1.000", "2.000", "3.000"});

    // A cell longer than a sheet's cell holds: libxlsxwriter refuses it, and nothing is put in place.
    const QString old = folder.filePath(QStringLiteral("old.xlsx"));
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("yesterday");
    }
    list.append({"2", QString(40000, u'x')});
    QString error;
    EXPECT_FALSE(MeasurementXlsx::write(old, list, columnsOneTo(9), &error));
    EXPECT_TRUE(error.startsWith("文件无法写入：")) << error.toStdString();
    EXPECT_EQ(fileBytes(old), "yesterday");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.xlsx"});

    // A folder that is not there: nothing to create the file in.
    error.clear();
    EXPECT_FALSE(MeasurementXlsx::write(folder.filePath(QStringLiteral("gone/x.xlsx")), list, columnsOneTo(9),
                                        &error));
    EXPECT_TRUE(error.startsWith("文件无法创建")) << error.toStdString();
}
