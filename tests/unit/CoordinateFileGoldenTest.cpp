// Every text format against its golden file in tests/data: the bytes written for one table (Chinese
// names in GB18030, negative and zero-padded values, an empty name, a gap left by a deleted row, the
// final empty line), and the same file read back.
#include "CoordinatePointPrinter.h"
#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/FileText.h"
#include "support/QStringPrinter.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct Golden {
    int format;
    const char *file;
};

const Golden kGoldens[] = {
    {1, "points-nez.hyl"},
    {2, "points-enz.hyl"},
    {4, "points-south-cass.dat"},
    {5, "points-guangzhou-cass.dat"},
    {6, "points.svf"},
    {7, "points.pts"},
    {8, "points.txt"},
    {9, "points.csv"},
};

QByteArray goldenBytes(const char *file)
{
    QFile golden(QStringLiteral(RQX_TEST_DATA_DIR "/") + QLatin1String(file));
    EXPECT_TRUE(golden.open(QIODevice::ReadOnly)) << file;
    return golden.readAll();
}

// The table as the main window holds it; row 3 was deleted, so the sequence jumps from 2 to 4.
// Under ENZ the third column holds E and the fourth N.
void fillTable(CoordinateTableModel &table, bool nez)
{
    struct Row {
        const char16_t *sequence, *number, *name, *north, *east, *height;
    };
    const Row rows[] = {
        {u"1", u"1", u"控制点", u"4538123.456", u"512345.678", u"88.250"},
        {u"2", u"007", u"水准点A", u"-0012.500", u"0.000", u"-3.75"},
        {u"4", u"K3-1", u"图根 点", u"2500.0", u"-150.125", u"0"},
        {u"5", u"A12", u"", u"10.5", u"20.25", u"1.5"},
    };
    table.buildColumns(nez);
    for (const Row &r : rows) {
        const QString north = QString::fromUtf16(r.north);
        const QString east = QString::fromUtf16(r.east);
        table.append({QString::fromUtf16(r.sequence), QString::fromUtf16(r.number),
                      QString::fromUtf16(r.name), nez ? north : east, nez ? east : north,
                      QString::fromUtf16(r.height)});
    }
}

// The rows of any golden file read back, in NEZ column order: renumbered 1..4.
const std::vector<CoordinatePoint> kReadBackNez = {
    {"1", "1", "控制点", "4538123.456", "512345.678", "88.250"},
    {"2", "007", "水准点A", "-0012.500", "0.000", "-3.75"},
    {"3", "K3-1", "图根 点", "2500.0", "-150.125", "0"},
    {"4", "A12", "", "10.5", "20.25", "1.5"},
};

class GoldenFormat : public ::testing::TestWithParam<Golden> {};

} // namespace

TEST_P(GoldenFormat, WrittenBytesMatchTheGoldenFileInEitherColumnOrder)
{
    const Golden golden = GetParam();
    const QByteArray expected = goldenBytes(golden.file);
    ASSERT_FALSE(expected.isEmpty());
    for (const bool nez : {true, false}) {
        CoordinateTableModel table;
        fillTable(table, nez);
        const QByteArray written = EncodeFileText(BuildCoordinateText(table, golden.format, nez) + "\r\n");
        EXPECT_EQ(written, expected) << golden.file << (nez ? " NEZ" : " ENZ");
        // And through the writer the program saves with, piece by piece.
        QBuffer saved;
        ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
        ASSERT_TRUE(WriteCoordinateFile(table, golden.format, nez, saved));
        EXPECT_EQ(saved.data(), expected) << golden.file << (nez ? " NEZ" : " ENZ") << " saved";
    }
}

TEST_P(GoldenFormat, GoldenFileReadsBackIntoTheTable)
{
    const Golden golden = GetParam();
    const CoordinateFileContent content = ReadCoordinateFile(goldenBytes(golden.file), golden.format, true);
    EXPECT_EQ(content.skippedLines(), 0);
    CoordinateTableModel table;
    content.replaceTable(table);
    if (golden.format == 8) {
        // Plain text is read back as its lines, not as points.
        EXPECT_TRUE(content.rawLines());
        EXPECT_FALSE(table.hasColumns());
        EXPECT_EQ(content.lines(),
                  QStringList({"1,控制点,4538123.456,512345.678,88.250", "007,水准点A,-0012.500,0.000,-3.75",
                               "K3-1,图根 点,2500.0,-150.125,0", "A12,,10.5,20.25,1.5"}));
        ASSERT_EQ(table.count(), 4);
        EXPECT_EQ(table.cell(2, 0), QStringLiteral("007,水准点A,-0012.500,0.000,-3.75"));
        return;
    }
    EXPECT_FALSE(content.rawLines());
    EXPECT_EQ(content.rows(), kReadBackNez);
    ASSERT_TRUE(table.hasColumns());
    EXPECT_TRUE(table.columnsNez());
    ASSERT_EQ(table.count(), 4);
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(table.point(row), kReadBackNez[static_cast<size_t>(row - 1)]) << "row " << row;

    // Written again in its own format, the file comes back byte for byte but for the sequence,
    // which the reading numbered afresh.
    QByteArray expected = goldenBytes(golden.file);
    if (golden.format == 5 || golden.format == 6)
        expected.replace("\r\n4,K3-1,", "\r\n3,K3-1,").replace("\r\n5,A12,", "\r\n4,A12,");
    EXPECT_EQ(EncodeFileText(BuildCoordinateText(table, golden.format, true) + "\r\n"), expected);
}

INSTANTIATE_TEST_SUITE_P(TextFormats, GoldenFormat, ::testing::ValuesIn(kGoldens),
                         [](const auto &info) { return "Format" + std::to_string(info.param.format); });

TEST(CoordinateFileGolden, HylNezPlainTextAndCsvAreTheSameText)
{
    const QByteArray hyl = goldenBytes("points-nez.hyl");
    EXPECT_EQ(goldenBytes("points.txt"), hyl);
    EXPECT_EQ(goldenBytes("points.csv"), hyl);
    CoordinateTableModel table;
    fillTable(table, false);
    const QString format1 = BuildCoordinateText(table, 1, false);
    EXPECT_EQ(BuildCoordinateText(table, 8, false), format1);
    EXPECT_EQ(BuildCoordinateText(table, 9, false), format1);
}

TEST(CoordinateFileGolden, NezFileReadUnderEnzShowsEFirstAndWritesBackInNezOrder)
{
    const QByteArray file = goldenBytes("points-nez.hyl");
    const CoordinateFileContent content = ReadCoordinateFile(file, 1, false);
    CoordinateTableModel table;
    content.replaceTable(table);
    EXPECT_FALSE(table.columnsNez());
    ASSERT_EQ(table.count(), 4);
    EXPECT_EQ(table.point(2), CoordinatePoint({"2", "007", "水准点A", "0.000", "-0012.500", "-3.75"}));
    EXPECT_EQ(table.point(3), CoordinatePoint({"3", "K3-1", "图根 点", "-150.125", "2500.0", "0"}));
    EXPECT_EQ(EncodeFileText(BuildCoordinateText(table, 1, false) + "\r\n"), file);
}

TEST(CoordinateFileGolden, CharactersOutsideGbkSurviveASaveAndOpen)
{
    CoordinateTableModel table;
    table.buildColumns(true);
    table.append({"1", "𠀀1", "井\U0001F600", "1", "2", "3"});
    for (const int format : {1, 2, 4, 5, 6, 7, 9}) {
        QString text = BuildCoordinateText(table, format, true);
        text += QStringLiteral("\r\n");
        EXPECT_EQ(ReadCoordinateFile(EncodeFileText(text), format, true).rows(),
                  std::vector<CoordinatePoint>({{"1", "𠀀1", "井\U0001F600", "1", "2", "3"}}))
            << format;
    }
}
