// Writing coordinate files: fields by meaning whatever order the table shows, cell texts as they
// stand, CR LF after every line, and the older save in the order shown.
#include "formats/CoordinateFileWriter.h"
#include "core/CoordinateTableModel.h"
#include "formats/FileText.h"
#include "support/QStringPrinter.h"

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
