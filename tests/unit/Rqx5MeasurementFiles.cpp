// The RQX5 measurement window's files against their golden files in tests/data: a data file (.raw)
// and a measurement file (.txt), written from a list and read back, and files from elsewhere.
#include "core/MeasurementTableModel.h"
#include "formats/FileText.h"
#include "formats/Rqx5MeasurementFile.h"
#include "support/QStringPrinter.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray goldenBytes(const char *file)
{
    QFile golden(QStringLiteral(RQX_TEST_DATA_DIR "/") + QLatin1String(file));
    EXPECT_TRUE(golden.open(QIODevice::ReadOnly)) << file;
    return golden.readAll();
}

// The rows of two-rows.raw: a station, its backsight and two observations, angles with their marks,
// an ASCII comma inside a name.
const QStringList kStation = {"     101",       "ST1     ",       "1.550         ",
                              "3456.789      ", "1234.567      ", "12.345        ",
                              "     102",       "BS1     ",       "45°30′15″     "};
const QStringList kDataRows[2] = {
    QStringList{"1"} + kStation +
        QStringList{"     103", "P1      ", "120°00′05″    ", "89°59′50″     ", "25.432        ",
                    "0.012         ", "25.431        ", "1.800         ", "3480.001      ", "1250.002      ",
                    "10.557        "},
    QStringList{"2"} + kStation +
        QStringList{"     104", "控制,点A  ", "240°10′00″    ", "90°00′00″     ", "8.000         ",
                    "-0.125        ", "8.000         ", "1.500         ", "3452.000      ", "1240.110      ",
                    "12.220        "},
};
const QStringList kMeasurementRows[3] = {
    {"1", "1", "90°00′00″     ", "88°10′30″     ", "", "-0.375        ", "15.250        ", "", "", ""},
    {"2", "2", "", "", "", "", "", "3456.789      ", "1234.5        ", "12.34         "},
    {"3", "3", "10.0000       ", "20.0000       ", "33.333        ", "", "", "", "", ""},
};

struct Golden {
    const char *file;
    int fields;
    int trailerSeparators;
    std::vector<QStringList> rows;
    const char *date;
    const char *number;
};

class Rqx5MeasurementGolden : public ::testing::TestWithParam<Golden> {};

} // namespace

TEST_P(Rqx5MeasurementGolden, WrittenAsTheGoldenFileAndReadBack)
{
    const Golden &g = GetParam();
    MeasurementTableModel list;
    list.setColumns(std::vector<MeasurementColumn>(size_t(g.fields) + 1));
    list.append(g.rows);
    const QByteArray golden = goldenBytes(g.file);
    EXPECT_EQ(EncodeFileText(BuildRqx5MeasurementText(list, g.fields, g.date, g.number) + "\r\n"), golden);

    const Rqx5MeasurementFileContent read = ReadRqx5MeasurementFile(golden, g.fields, g.trailerSeparators);
    EXPECT_EQ(read.rows, g.rows);
    EXPECT_EQ(read.date, g.date);
    EXPECT_EQ(read.instrumentNumber, g.number);
    EXPECT_EQ(read.skippedLines, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Rqx5MeasurementGolden,
    ::testing::Values(
        Golden{"two-rows.raw", 20, 1, {kDataRows[0], kDataRows[1]}, "141225", "123456789"},
        Golden{
            "three-rows.txt", 9, 0, {kMeasurementRows[0], kMeasurementRows[1], kMeasurementRows[2]}, "", ""}),
    [](const ::testing::TestParamInfo<Golden> &info) { return info.param.fields == 20 ? "Raw" : "Txt"; });

TEST(Rqx5MeasurementFile, LinesFromElsewhereAreRenumberedSortedIntoTrailersOrSkipped)
{
    struct Case {
        const char *text; // UTF-8
        int fields, trailerSeparators;
        QStringList firstRow;
        int rows;
        const char *date, *number;
        int skipped, firstSkipped;
    };
    const Case cases[] = {
        // Old row numbers are not kept; any line end; a trailer of 6 characters is the date, a longer
        // one the number, a shorter one nothing; a data-file trailer may hold one separator.
        {"7，a，b，c，d，e，f，g，h，i\n9，1，2，3，4，5，6，7，8，9，十\r12345\r141225\n12，3456789\n",
         9,
         1,
         {"1", "a", "b", "c", "d", "e", "f", "g", "h", "i"},
         2,
         "141225",
         "12，3456789",
         0,
         0},
        // In a measurement file a line with one separator is a short data line, not a trailer.
        {"1，a\r\n\r\n2，1，2，3，4，5，6，7，8，9\r\nOLD\r\nABCDEFGHIJ\r\n",
         9,
         0,
         {"1", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
         1,
         "",
         "ABCDEFGHIJ",
         1,
         1},
        // The last field keeps any further separators.
        {"5，1，2，3，4，5，6，7，8，9，10\n",
         9,
         0,
         {"1", "1", "2", "3", "4", "5", "6", "7", "8", "9，10"},
         1,
         "",
         "",
         0,
         0},
    };
    for (const Case &c : cases) {
        const Rqx5MeasurementFileContent read =
            ReadRqx5MeasurementFile(QByteArray(c.text), c.fields, c.trailerSeparators);
        ASSERT_EQ(int(read.rows.size()), c.rows) << c.text;
        EXPECT_EQ(read.rows.front(), c.firstRow);
        EXPECT_EQ(read.rows.back().front(), QString::number(c.rows));
        EXPECT_EQ(read.date, c.date);
        EXPECT_EQ(read.instrumentNumber, c.number);
        EXPECT_EQ(read.skippedLines, c.skipped);
        EXPECT_EQ(read.firstSkippedLine, c.firstSkipped);
    }
}
