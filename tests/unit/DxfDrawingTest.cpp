#include "formats/DxfDrawing.h"
#include "core/CoordinateTableModel.h"
#include "support/QStringPrinter.h"
#include "support/TestPoint.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The points as a table shown in the given order.
std::unique_ptr<CoordinateTableModel> tableOf(bool nez, const std::vector<TestPoint> &points)
{
    auto table = std::make_unique<CoordinateTableModel>();
    table->buildColumns(nez);
    for (const TestPoint &p : points)
        appendPoint(*table, nez, p);
    return table;
}

QStringList linesOf(const QString &drawing)
{
    EXPECT_TRUE(drawing.endsWith(QLatin1String("\r\n")));
    QStringList lines = drawing.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

// The lines after the first line reading marker, count of them.
QStringList linesAfter(const QStringList &lines, const QString &marker, int count)
{
    const qsizetype at = lines.indexOf(marker);
    EXPECT_GE(at, 0) << marker.toStdString();
    return at < 0 ? QStringList() : lines.mid(at + 1, count);
}

QStringList entityLines(const QString &drawing)
{
    QStringList lines = linesOf(drawing);
    const qsizetype start = lines.indexOf(QStringLiteral("ENTITIES"));
    EXPECT_GE(start, 0);
    return lines.mid(start + 1);
}

} // namespace

// The saved file of a two-point table, typed out line by line: the drawing and the final CR LF.
TEST(DxfDrawing, TwoPointsMatchTheGoldenDrawing)
{
    QFile golden(QStringLiteral(RQX_TEST_DATA_DIR "/two-points.dxf"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QString expected = QString::fromLatin1(golden.readAll());

    const std::vector<TestPoint> points = {
        {QStringLiteral("12.50"), QStringLiteral("控制点"), QStringLiteral("3456789.1234"),
         QStringLiteral("512345.6789"), QStringLiteral("45.678")},
        {QStringLiteral("A7"), QStringLiteral("K"), QStringLiteral("3456700.5"), QStringLiteral("512300"),
         QStringLiteral("-1.25")},
    };
    EXPECT_EQ(BuildDxfDrawing(*tableOf(true, points), true) + QStringLiteral("\r\n"), expected);
    // X is E and Y is N whichever order the table shows.
    EXPECT_EQ(BuildDxfDrawing(*tableOf(false, points), false) + QStringLiteral("\r\n"), expected);
}

// The file as saved, written piece by piece: the same bytes, the Chinese name of a lettered point in
// the file's code page.
TEST(DxfDrawing, TheSavedFileIsTheDrawingAndItsFinalLineEnd)
{
    QFile golden(QStringLiteral(RQX_TEST_DATA_DIR "/two-points.dxf"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    const auto table = tableOf(false, {{"12.50", "", "3456789.1234", "512345.6789", "45.678"},
                                       {"A7", "", "3456700.5", "512300", "-1.25"}});
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteDxfDrawingFile(*table, false, file));
    EXPECT_EQ(file.data(), expected);

    const auto chinese = tableOf(true, {{"控1", "", "1", "2", "3"}});
    QBuffer chineseFile;
    chineseFile.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteDxfDrawingFile(*chinese, true, chineseFile));
    EXPECT_TRUE(chineseFile.data().contains("  1\r\n\xBF\xD8"
                                            "1\r\n  0\r\nTEXT"));

    // An empty table: the final line end alone.
    QBuffer empty;
    empty.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteDxfDrawingFile(*tableOf(true, {}), true, empty));
    EXPECT_EQ(empty.data(), QByteArray("\r\n"));

    // A device that takes nothing is reported.
    QBuffer refusing;
    refusing.open(QIODevice::ReadOnly);
    EXPECT_FALSE(WriteDxfDrawingFile(*table, false, refusing));
}

TEST(DxfDrawing, OnePointGivesWholeNumberExtentsAndExactEntities)
{
    const QString drawing =
        BuildDxfDrawing(*tableOf(true, {{QStringLiteral("1"), QStringLiteral("P"), QStringLiteral("300.25"),
                                         QStringLiteral("500.5"), QStringLiteral("12")}}),
                        true);
    const QStringList lines = linesOf(drawing);
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMIN"), 6),
              QStringList({" 10", "500", " 20", "300", " 30", "12"}));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMAX"), 6),
              QStringList({" 10", "500", " 20", "300", " 30", "12"}));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$LIMMIN"), 4), QStringList({" 10", "500", " 20", "300"}));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$LIMMAX"), 4), QStringList({" 10", "500", " 20", "300"}));
    EXPECT_EQ(
        entityLines(drawing),
        QStringList({"  0",   "POINT", "  8",   "Point",  "  10",        "500.5", "  20",  "300.25", "  30",
                     "12",    "  0",   "TEXT",  "  8",    "PointNumber", "  10",  "500.5", "  20",   "300.25",
                     "  30",  "12",    " 40",   "  0",    "  1",         "1",     "  0",   "TEXT",   "  8",
                     "Level", "  10",  "500.5", "  20",   "300.25",      "  30",  "  0",   " 40",    " 0.1",
                     "  1",   "12",    "  0",   "ENDSEC", "  0",         "EOF"}));
}

TEST(DxfDrawing, ExtentsFollowEveryRowAndStartFromTheirBounds)
{
    // N falls from row to row: the highest N is the first one, rounded down.
    QStringList lines = linesOf(BuildDxfDrawing(*tableOf(true, {{"1", "", "900.9", "10.5", "5"},
                                                                {"2", "", "800.1", "20", "6"},
                                                                {"3", "", "700", "15", "4.5"}}),
                                                true));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMIN"), 6),
              QStringList({" 10", "10", " 20", "700", " 30", "4"}));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMAX"), 6),
              QStringList({" 10", "20", " 20", "900", " 30", "6"}));

    // All heights negative: the highest Z stays at its starting 0; rounding down goes towards minus
    // infinity (-0.5 gives -1).
    lines = linesOf(
        BuildDxfDrawing(*tableOf(true, {{"1", "", "5", "5", "-0.5"}, {"2", "", "6", "6", "-12.78"}}), true));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMIN"), 6),
              QStringList({" 10", "5", " 20", "5", " 30", "-13"}));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMAX"), 6),
              QStringList({" 10", "6", " 20", "6", " 30", "0"}));

    // Coordinates above the starting lowest bound leave it standing.
    lines = linesOf(BuildDxfDrawing(*tableOf(true, {{"1", "", "1234567890.5", "5", "1"}}), true));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMIN"), 4), QStringList({" 10", "5", " 20", "999999999"}));
    EXPECT_EQ(linesAfter(lines, QStringLiteral("$EXTMAX"), 4),
              QStringList({" 10", "5", " 20", "1234567890"}));
}

TEST(DxfDrawing, CellValuesAndPointNumberLabels)
{
    const QStringList entities =
        entityLines(BuildDxfDrawing(*tableOf(true, {{"A7", "", "12.50", "007", " 3.10 m"},
                                                    {"12.50", "", "abc", "-0.0", ""},
                                                    {"007", "", "1", "2", "3"},
                                                    {"K3-1", "", "1", "2", "3"},
                                                    {" 5 ", "", "1", "2", "3"},
                                                    {"", "", "1", "2", "3"}}),
                                    true));
    auto textAfter = [&](int entity, const char *code) {
        // Each row is 38 lines (after the opening "  0"): POINT 10, TEXT 14, TEXT 14.
        const QStringList row = entities.mid(1 + 38 * entity, 38);
        const qsizetype at = row.indexOf(QLatin1String(code));
        return at < 0 ? QString() : row.at(at + 1);
    };
    // Cell values: shortest form, leading blanks skipped, reading stops at what cannot continue.
    EXPECT_EQ(textAfter(0, "  10"), QStringLiteral("7"));
    EXPECT_EQ(textAfter(0, "  20"), QStringLiteral("12.5"));
    EXPECT_EQ(textAfter(0, "  30"), QStringLiteral("3.1"));
    EXPECT_EQ(textAfter(1, "  10"), QStringLiteral("0"));
    EXPECT_EQ(textAfter(1, "  20"), QStringLiteral("0"));
    EXPECT_EQ(textAfter(1, "  30"), QStringLiteral("0"));

    auto label = [&](int row) {
        const QStringList lines = entities.mid(1 + 38 * row, 38);
        return lines.at(lines.indexOf(QStringLiteral("  1"), lines.indexOf(QStringLiteral("PointNumber"))) +
                        1);
    };
    EXPECT_EQ(label(0), QStringLiteral("A7"));
    EXPECT_EQ(label(1), QStringLiteral("12.5"));
    EXPECT_EQ(label(2), QStringLiteral("7"));
    EXPECT_EQ(label(3), QStringLiteral("K3-1"));
    EXPECT_EQ(label(4), QStringLiteral("5"));
    EXPECT_EQ(label(5), QString());
}

TEST(DxfDrawing, TheCodeLayerIsDeclaredAndUnused)
{
    const QString drawing = BuildDxfDrawing(*tableOf(true, {{"1", "", "1", "2", "3"}}), true);
    const QStringList lines = linesOf(drawing);
    EXPECT_EQ(linesAfter(lines, QStringLiteral("Code"), 6),
              QStringList({" 70", " 64", " 62", "  4", "  6", "CONTINUOUS"}));
    EXPECT_EQ(entityLines(drawing).count(QStringLiteral("Code")), 0);
}

TEST(DxfDrawing, ALabelNeverBreaksTheLineStructure)
{
    const QStringList entities =
        entityLines(BuildDxfDrawing(*tableOf(true, {{"K1\r\nEOF", "", "1", "2", "3"}}), true));
    EXPECT_EQ(entities.size(), 1 + 38 + 3);
    EXPECT_TRUE(entities.contains(QStringLiteral("K1  EOF")));
}

TEST(DxfDrawing, AnEmptyTableGivesNoDrawing)
{
    EXPECT_EQ(BuildDxfDrawing(*tableOf(true, {}), true), QString());
    EXPECT_EQ(BuildDxfDrawing(*tableOf(false, {}), false), QString());
    CoordinateTableModel noColumns;
    EXPECT_EQ(BuildDxfDrawing(noColumns, true), QString());
}
