// Writing coordinate files: fields by meaning whatever order the table shows, cell texts as they
// stand, CR LF after every line, and the older save in the order shown.
#include "formats/CoordinateFileWriter.h"
#include "core/CoordinateTableModel.h"
#include "formats/DxfDrawing.h"
#include "formats/FileText.h"
#include "support/QStringPrinter.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// One row: N 100.5, E 200.25, Z 3; under ENZ the third column holds E.
void fillOneRow(CoordinateTableModel &table, bool nez)
{
    table.buildColumns(nez);
    table.append({"1", "P1", "名", nez ? "100.5" : "200.25", nez ? "200.25" : "100.5", "3"});
}

} // namespace

TEST(CoordinateFileWriter, EmptyTableGivesAFileOfOneLineEnd)
{
    CoordinateTableModel withColumns;
    withColumns.buildColumns(true);
    const CoordinateTableModel withoutColumns;
    for (const int format : {1, 2, 4, 5, 6, 7, 8, 9}) {
        EXPECT_EQ(BuildCoordinateText(withColumns, format, true), QString()) << format;
        EXPECT_EQ(BuildCoordinateText(withoutColumns, format, false), QString()) << format;
        EXPECT_EQ(EncodeFileText(BuildCoordinateText(withColumns, format, true) + "\r\n"),
                  QByteArray("\r\n"));
    }
    EXPECT_EQ(BuildTableOrderText(withColumns), QString());
}

TEST(CoordinateFileWriter, PlanCoordinatesAreWrittenByMeaning)
{
    for (const bool nez : {true, false}) {
        CoordinateTableModel table;
        fillOneRow(table, nez);
        EXPECT_EQ(BuildCoordinateText(table, 1, nez), QStringLiteral("P1,名,100.5,200.25,3\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 2, nez), QStringLiteral("P1,名,200.25,100.5,3\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 4, nez), QStringLiteral("P1,名,200.25,100.5,3\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 5, nez), QStringLiteral("1,P1,100.5,200.25,3,名\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 6, nez), QStringLiteral("1,P1,名,100.5,200.25,3\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 7, nez), QStringLiteral("P1,200.25,100.5,3,名\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 8, nez), QStringLiteral("P1,名,100.5,200.25,3\r\n"));
        EXPECT_EQ(BuildCoordinateText(table, 9, nez), QStringLiteral("P1,名,100.5,200.25,3\r\n"));
    }
}

TEST(CoordinateFileWriter, CellsAreWrittenExactlyAsTheyStand)
{
    CoordinateTableModel table;
    table.buildColumns(true);
    table.append({"0012", " 7 ", "", " 12.500", "-0.0", "1e3 m"});
    table.append({"x", "A,B", "名 称", "abc", "", "007"});
    EXPECT_EQ(BuildCoordinateText(table, 1, true),
              QStringLiteral(" 7 ,, 12.500,-0.0,1e3 m\r\nA,B,名 称,abc,,007\r\n"));
    // The sequence as it stands, whatever it holds.
    EXPECT_EQ(BuildCoordinateText(table, 6, true),
              QStringLiteral("0012, 7 ,, 12.500,-0.0,1e3 m\r\nx,A,B,名 称,abc,,007\r\n"));
}

TEST(CoordinateFileWriter, FileWhoseBytesLookLikeUtf8BeginsWithTheGb18030Mark)
{
    // 茅 is C3 A9 in GBK and é in UTF-8: alone it needs the mark; beside 控 (BF D8), no UTF-8, it does not.
    CoordinateTableModel table;
    table.buildColumns(true);
    table.append({"1", "P1", "茅", "1", "2", "3"});
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteCoordinateFile(table, 1, true, file));
    EXPECT_EQ(file.data(), QByteArray("\x84\x31\x95\x33P1,\xC3\xA9,1,2,3\r\n\r\n"));
    table.append({"2", "P2", "控", "1", "2", "3"});
    QBuffer mixed;
    mixed.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteCoordinateFile(table, 1, true, mixed));
    EXPECT_EQ(mixed.data(), QByteArray("P1,\xC3\xA9,1,2,3\r\nP2,\xBF\xD8,1,2,3\r\n\r\n"));
}

TEST(CoordinateFileWriter, OlderSaveWritesTheColumnsInTheOrderShown)
{
    CoordinateTableModel nez;
    fillOneRow(nez, true);
    nez.append({"3", "P2", "", "-1", "-2", "-3"});
    EXPECT_EQ(BuildTableOrderText(nez), QStringLiteral("P1,名,100.5,200.25,3\r\nP2,,-1,-2,-3\r\n"));
    CoordinateTableModel enz;
    fillOneRow(enz, false);
    EXPECT_EQ(BuildTableOrderText(enz), QStringLiteral("P1,名,200.25,100.5,3\r\n"));
}

TEST(CoordinateFileWriter, FormatOutsideTheNineGivesNoText)
{
    CoordinateTableModel table;
    fillOneRow(table, true);
    for (const int format : {0, -3, 10})
        EXPECT_EQ(BuildCoordinateText(table, format, true), QString()) << format;
}

TEST(CoordinateFileWriter, FormatThreeIsTheDrawing)
{
    CoordinateTableModel table;
    fillOneRow(table, true);
    const QString drawing = BuildCoordinateText(table, 3, true);
    EXPECT_TRUE(drawing.contains(QStringLiteral("\r\nENTITIES\r\n"))) << drawing.toStdString();
    EXPECT_TRUE(drawing.endsWith(QStringLiteral("\r\nEOF\r\n"))) << drawing.toStdString();
}

// A large table is written in pieces on several cores: the pieces follow each other in the order of
// the rows, and a drawing's extents take in every piece.
TEST(CoordinateFileWriter, ALargeTableIsWrittenInItsOrder)
{
    constexpr int kRows = 10000;
    CoordinateTableModel table;
    table.buildColumns(false);
    std::vector<CoordinatePoint> points;
    QByteArray expected;
    for (int i = 1; i <= kRows; ++i) {
        const QString n = QString::number(i);
        const bool chinese = i % 3 == 0;
        // The highest N and the lowest Z stand in the last rows.
        const QString north = i == kRows - 1 ? QStringLiteral("9000000.5") : n + ".25";
        const QString height = i == kRows ? QStringLiteral("-77.7") : n;
        points.push_back({n, "P" + n, chinese ? QStringLiteral("控") : "N" + n, "-" + n, north, height});
        // 广州开思: sequence, point number, N, E, Z, point name; 控 is BF D8.
        expected += n.toLatin1() + ",P" + n.toLatin1() + "," + north.toLatin1() + ",-" + n.toLatin1() + "," +
                    height.toLatin1() + "," + (chinese ? QByteArray("\xBF\xD8") : "N" + n.toLatin1()) +
                    "\r\n";
    }
    table.append(points);
    expected += "\r\n";

    QBuffer file;
    file.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteCoordinateFile(table, 5, false, file));
    EXPECT_EQ(file.data(), expected);

    QBuffer drawing;
    drawing.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteCoordinateFile(table, 3, false, drawing));
    EXPECT_EQ(drawing.data(), EncodeFileText(BuildDxfDrawing(table, false) + "\r\n"));
    EXPECT_TRUE(drawing.data().contains("$EXTMIN\r\n 10\r\n-10000\r\n 20\r\n1\r\n 30\r\n-78\r\n"));
    EXPECT_TRUE(drawing.data().contains("$EXTMAX\r\n 10\r\n0\r\n 20\r\n9000000\r\n 30\r\n9999\r\n"));
}
