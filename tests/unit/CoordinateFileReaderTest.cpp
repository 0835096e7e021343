// Reading coordinate files: how a line is cut into fields, which lines are data, how line ends and
// the table's column order are taken, and what replaces the table.
#include "formats/CoordinateFileReader.h"
#include "CoordinatePointPrinter.h"
#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileWriter.h"
#include "support/QStringPrinter.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

CoordinateFileContent read(const char *utf8, int format, bool nez = true)
{
    return ReadCoordinateText(QString::fromUtf8(utf8), format, nez);
}

} // namespace

TEST(CoordinateFileReader, FormatsFiveAndSixDropTheirSequence)
{
    // The leading 7 is dropped: the row takes its own number.
    EXPECT_EQ(read("7,A12,10.5,20.25,1.5,K1\r\n", 5).rows(),
              std::vector<CoordinatePoint>({{"1", "A12", "K1", "10.5", "20.25", "1.5"}}));
    EXPECT_EQ(read("7,A12,10.5,20.25,1.5,K1\r\n", 5, false).rows(),
              std::vector<CoordinatePoint>({{"1", "A12", "K1", "20.25", "10.5", "1.5"}}));
    EXPECT_EQ(read("9,A12,K1,10.5,20.25,1.5\r\n3,B,N,1,2,3\r\n", 6).rows(),
              std::vector<CoordinatePoint>(
                  {{"1", "A12", "K1", "10.5", "20.25", "1.5"}, {"2", "B", "N", "1", "2", "3"}}));
}

TEST(CoordinateFileReader, EachFormatStoresItsFieldsByMeaning)
{
    // Fields a..e in file order; the table shows number, name, N, E, Z under NEZ.
    const char *line = "a,b,c,d,e\r\n";
    EXPECT_EQ(read(line, 1).row(1), CoordinatePoint({"1", "a", "b", "c", "d", "e"}));
    EXPECT_EQ(read(line, 9).row(1), CoordinatePoint({"1", "a", "b", "c", "d", "e"}));
    EXPECT_EQ(read(line, 2).row(1), CoordinatePoint({"1", "a", "b", "d", "c", "e"}));
    EXPECT_EQ(read(line, 4).row(1), CoordinatePoint({"1", "a", "b", "d", "c", "e"}));
    EXPECT_EQ(read(line, 7).row(1), CoordinatePoint({"1", "a", "e", "c", "b", "d"}));
    EXPECT_EQ(read(line, 7, false).row(1), CoordinatePoint({"1", "a", "e", "b", "c", "d"}));
}

TEST(CoordinateFileReader, TheLastFieldKeepsFurtherCommas)
{
    EXPECT_EQ(read("1,P,10,20,30,X\r\n", 1).rows(),
              std::vector<CoordinatePoint>({{"1", "1", "P", "10", "20", "30,X"}}));
    // More than eight commas are read like any other line.
    EXPECT_EQ(read("1,P,10,20,30,4,5,6,7,8,9\r\n", 1).row(1),
              CoordinatePoint({"1", "1", "P", "10", "20", "30,4,5,6,7,8,9"}));
    EXPECT_EQ(read("P7,1,2,3,名,称,,\r\n", 7).row(1), CoordinatePoint({"1", "P7", "名,称,,", "2", "1", "3"}));
    EXPECT_EQ(read("1,2,3,4,5,名,称\r\n", 5).row(1), CoordinatePoint({"1", "2", "名,称", "3", "4", "5"}));
}

TEST(CoordinateFileReader, FieldsAreTakenAsTheyStand)
{
    const CoordinatePoint p = read(" 1 ,  控制点 , -0012.500,007 ,\t1.0\r\n", 1).row(1);
    EXPECT_EQ(p.number, QStringLiteral(" 1 "));
    EXPECT_EQ(p.name, QStringLiteral("  控制点 "));
    EXPECT_EQ(p.first, QStringLiteral(" -0012.500"));
    EXPECT_EQ(p.second, QStringLiteral("007 "));
    EXPECT_EQ(p.height, QStringLiteral("\t1.0"));
    // Empty fields stay empty.
    EXPECT_EQ(read(",,,,\r\n", 1).row(1), CoordinatePoint({"1", "", "", "", "", ""}));
}

TEST(CoordinateFileReader, ShortLinesAreNotDataAndNotReported)
{
    const CoordinateFileContent content = read("1,A,1,2,3\r\n\r\nx\r\n2,B,4,5,6\r\n \r\n,\r\n3,C,7,8,9", 1);
    EXPECT_EQ(content.count(), 3);
    EXPECT_EQ(content.row(2), CoordinatePoint({"2", "2", "B", "4", "5", "6"}));
    EXPECT_EQ(content.row(3), CoordinatePoint({"3", "3", "C", "7", "8", "9"}));
    EXPECT_EQ(content.skippedLines(), 0);
    EXPECT_EQ(content.firstSkippedLine(), 0);

    // One character outside the basic plane is one character, though two UTF-16 units.
    const CoordinateFileContent raw = read("𠀀\r\n𠀀𠀀\r\n控\r\nab\r\n", 8);
    EXPECT_EQ(raw.lines(), QStringList({"𠀀𠀀", "ab"}));
}

TEST(CoordinateFileReader, LinesWithTooFewCommasAreSkippedAndReported)
{
    // Line 3 has four commas, enough for format 1 but one short of format 5; line 5 has two.
    const char *file = "1,A,1,2,3,X,Y,Z,W\r\n"
                       "\r\n"
                       "2,B,4,5,6\r\n"
                       "3,C,7,8,9,N\r\n"
                       "4,D,7\r\n"
                       "5,E,1,2,3\r\n";
    const CoordinateFileContent hyl = read(file, 1);
    EXPECT_EQ(hyl.count(), 4);
    EXPECT_EQ(hyl.skippedLines(), 1);
    EXPECT_EQ(hyl.firstSkippedLine(), 5);
    // The short line never borrows the comma places of the long first line.
    EXPECT_EQ(hyl.row(4), CoordinatePoint({"4", "5", "E", "1", "2", "3"}));

    const CoordinateFileContent cass = read(file, 5);
    EXPECT_EQ(cass.skippedLines(), 3);
    EXPECT_EQ(cass.firstSkippedLine(), 3);
    EXPECT_EQ(cass.rows(), std::vector<CoordinatePoint>(
                               {{"1", "A", "X,Y,Z,W", "1", "2", "3"}, {"2", "C", "N", "7", "8", "9"}}));

    // A line without any comma in a fields format is reported too.
    const CoordinateFileContent words = read("no commas here\r\n", 9);
    EXPECT_EQ(words.count(), 0);
    EXPECT_EQ(words.skippedLines(), 1);
    EXPECT_EQ(words.firstSkippedLine(), 1);
}

TEST(CoordinateFileReader, LinesEndInCrLfLfOrCr)
{
    const std::vector<CoordinatePoint> expected = {{"1", "1", "A", "1", "2", "3"},
                                                   {"2", "2", "B", "4", "5", "6"}};
    EXPECT_EQ(read("1,A,1,2,3\r\n2,B,4,5,6\r\n", 1).rows(), expected);
    EXPECT_EQ(read("1,A,1,2,3\n2,B,4,5,6\n", 1).rows(), expected);
    EXPECT_EQ(read("1,A,1,2,3\r2,B,4,5,6\r", 1).rows(), expected);
    EXPECT_EQ(read("1,A,1,2,3\r\n2,B,4,5,6", 1).rows(), expected);
    EXPECT_EQ(read("1,A,1,2,3\n\r2,B,4,5,6\r\n\r\n", 1).rows(), expected);

    // Line numbers count every kind of line end, blank lines included.
    const CoordinateFileContent mixed = read("1,A,1,2,3\r\r\n\n2,B\n\r3,C,7\r\n", 1);
    EXPECT_EQ(mixed.skippedLines(), 2);
    EXPECT_EQ(mixed.firstSkippedLine(), 4);
}

TEST(CoordinateFileReader, RawLinesFormatsTakeEveryLineOfTwoOrMoreCharacters)
{
    for (const int format : {3, 8}) {
        const CoordinateFileContent content =
            read("  0\r\nSECTION\r\n\r\n2\r\n 8\nno,commas,needed\r", format);
        EXPECT_TRUE(content.rawLines());
        EXPECT_EQ(content.lines(), QStringList({"  0", "SECTION", " 8", "no,commas,needed"}));
        EXPECT_EQ(content.line(2), QStringLiteral("SECTION"));
        EXPECT_EQ(content.skippedLines(), 0);
        EXPECT_TRUE(content.rows().empty());
    }
}

TEST(CoordinateFileReader, NoLimitOnTheNumberOfRows)
{
    QString text;
    for (int i = 1; i <= 25000; ++i)
        text += QStringLiteral("%1,P,1,2,3\r\n").arg(i);
    const CoordinateFileContent content = ReadCoordinateText(text, 1, true);
    ASSERT_EQ(content.count(), 25000);
    EXPECT_EQ(content.row(25000), CoordinatePoint({"25000", "25000", "P", "1", "2", "3"}));
}

TEST(CoordinateFileReader, NothingIsReadOutsideTheNineFormatsOrFromAnEmptyFile)
{
    for (const int format : {0, -1, 10}) {
        const CoordinateFileContent content = read("1,A,1,2,3\r\n", format);
        EXPECT_EQ(content.count(), 0);
        EXPECT_EQ(content.skippedLines(), 0);
    }
    EXPECT_EQ(read("", 1).count(), 0);
    EXPECT_EQ(read("", 8).count(), 0);
    EXPECT_EQ(ReadCoordinateFile(QByteArray(), 1, true).count(), 0);
    // Rows and lines outside the content are empty.
    const CoordinateFileContent content = read("1,A,1,2,3\r\n", 1);
    EXPECT_EQ(content.row(0), CoordinatePoint());
    EXPECT_EQ(content.row(2), CoordinatePoint());
    EXPECT_EQ(content.line(1), QString());
}

TEST(CoordinateFileReader, ContentReplacesTheWholeTable)
{
    CoordinateTableModel table;
    table.buildColumns(true);
    for (int i = 0; i < 3; ++i)
        table.append({"9", "old", "", "", "", ""});

    read("A,1,2,3,4\r\nB,5,6,7,8\r\n", 2, false).replaceTable(table);
    EXPECT_TRUE(table.hasColumns());
    EXPECT_FALSE(table.columnsNez());
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.point(1), CoordinatePoint({"1", "A", "1", "2", "3", "4"}));
    EXPECT_EQ(table.point(2), CoordinatePoint({"2", "B", "5", "6", "7", "8"}));

    // Raw lines: no columns, each line the row's own text.
    read("first line\r\nsecond, line\r\n", 8).replaceTable(table);
    EXPECT_FALSE(table.hasColumns());
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.cell(1, 0), QStringLiteral("first line"));
    EXPECT_EQ(table.cell(2, 0), QStringLiteral("second, line"));

    // A file without data leaves an empty table with its columns.
    read("\r\n", 1).replaceTable(table);
    EXPECT_TRUE(table.hasColumns());
    EXPECT_EQ(table.count(), 0);
}

TEST(CoordinateFileReader, ManyRowsReachTheTableInBatchesWithTheirOwnNumbers)
{
    // More rows than one batch: the sequence texts of one batch must not overwrite another's.
    QString text;
    for (int i = 1; i <= 40000; ++i)
        text += QStringLiteral("P%1,N%1,%1.5,-%1,0%1\n").arg(i);
    CoordinateTableModel table;
    ReadCoordinateText(text, 1, true).replaceTable(table);
    ASSERT_EQ(table.count(), 40000);
    for (const int row : {1, 9, 10, 16384, 16385, 32768, 32769, 40000}) {
        const QString n = QString::number(row);
        EXPECT_EQ(table.point(row), CoordinatePoint({n, "P" + n, "N" + n, n + ".5", "-" + n, "0" + n}))
            << "row " << row;
    }
}

TEST(CoordinateFileReader, FilesFromOtherToolsInUtf8AreReadAsWellAsGb18030)
{
    // 控 is E6 8E A7 in UTF-8 and BF D8 in GB18030.
    const std::vector<CoordinatePoint> expected = {{"1", "1", "控", "1.5", "2", "-3"}};
    EXPECT_EQ(ReadCoordinateFile(QByteArray("\xEF\xBB\xBF"
                                            "1,\xE6\x8E\xA7,1.5,2,-3\r\n"),
                                 1, true)
                  .rows(),
              expected);
    EXPECT_EQ(ReadCoordinateFile(QByteArray("1,\xE6\x8E\xA7,1.5,2,-3\n"), 1, true).rows(), expected);
    EXPECT_EQ(ReadCoordinateFile(QByteArray("1,\xBF\xD8,1.5,2,-3\r"), 1, true).rows(), expected);
}

TEST(CoordinateFileReader, AnyTextReadAndWrittenAgainGivesBackItsDataLines)
{
    // Texts of commas, line ends, spaces and characters of one and two UTF-16 units, in every
    // arrangement a small generator makes. The data lines, cut by hand here, must come back
    // unchanged from a format that writes no sequence.
    const QString alphabet[] = {",", ",", ",", "\r", "\n", "\r\n", " ", "a", "7", "控", "𠀀"};
    quint32 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    int allDataLines = 0;
    int allSkipped = 0;
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int length = static_cast<int>(next() % 80);
        for (int i = 0; i < length; ++i)
            text += alphabet[next() % std::size(alphabet)];

        QString expected;
        int dataLines = 0;
        int skipped = 0;
        const QStringList lines = QString(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            const QString &line = lines[i];
            if (i == lines.size() - 1 && line.isEmpty())
                break; // after the last line end
            if (line.size() < 2 || line == QStringLiteral("𠀀"))
                continue;
            if (line.count(',') < 4) {
                ++skipped;
                continue;
            }
            expected += line + "\r\n";
            ++dataLines;
        }
        allDataLines += dataLines;
        allSkipped += skipped;
        for (const int format : {1, 2, 4, 7, 9}) {
            for (const bool nez : {true, false}) {
                const CoordinateFileContent content = ReadCoordinateText(text, format, nez);
                ASSERT_EQ(content.count(), dataLines) << text.toStdString();
                EXPECT_EQ(content.skippedLines(), skipped) << text.toStdString();
                CoordinateTableModel table;
                content.replaceTable(table);
                EXPECT_EQ(BuildCoordinateText(table, format, nez), expected) << text.toStdString();
            }
        }
    }
    // The generator makes both kinds of lines often enough to matter.
    EXPECT_GT(allDataLines, 100);
    EXPECT_GT(allSkipped, 100);
}

// A file of some megabytes is decoded and cut in pieces on several cores: whatever falls at the
// edge of a piece (a CR LF pair, a blank line, a Chinese or four-byte character, a line too short
// of commas), the rows, their numbers and the skipped lines are those of the file read whole.
TEST(CoordinateFileReader, AFileReadInPiecesIsReadLikeOneText)
{
    // Names in GB18030: 控制点 BF D8 D6 C6 B5 E3, 𠀀 95 32 82 36.
    const std::pair<QByteArray, QString> names[] = {
        {"\xBF\xD8\xD6\xC6\xB5\xE3", "控制点"}, {"\x95\x32\x82\x36", "𠀀"}, {"", ""}, {"K", "K"}};
    const QByteArray lineEnds[] = {"\r\n", "\n", "\r", "\r\n\r\n", "\n\r"};
    QByteArray bytes;
    std::vector<CoordinatePoint> expected;
    QStringList expectedLines;
    int line = 0;
    int skipped = 0;
    int firstSkipped = 0;
    for (int i = 1; bytes.size() < 5 << 20; ++i) {
        const QByteArray end = lineEnds[static_cast<size_t>(i % 5)];
        ++line;
        // Skipped lines only near the end, so that their line number counts the lines of every piece.
        if (i % 97 == 0 && bytes.size() > 4 << 20) {
            bytes += "short," + QByteArray::number(i) + end;
            expectedLines += "short," + QString::number(i);
            if (skipped++ == 0)
                firstSkipped = line;
        } else {
            const auto &[nameBytes, name] = names[static_cast<size_t>(i % 4)];
            const QByteArray n = QByteArray::number(i);
            bytes += "P" + n + "," + nameBytes + "," + n + ".5,-" + n + "," + QByteArray(i % 7, '0') + end;
            const QString number = QString::number(i);
            const QString z = QString(i % 7, u'0');
            expected.push_back(
                {QString::number(expected.size() + 1), "P" + number, name, number + ".5", "-" + number, z});
            expectedLines += "P" + number + "," + name + "," + number + ".5,-" + number + "," + z;
        }
        // A blank line, or a CR after an LF, is one more line.
        if (end.size() == 4 || end == "\n\r")
            ++line;
    }
    const CoordinateFileContent content = ReadCoordinateFile(bytes, 9, true);
    ASSERT_EQ(content.count(), static_cast<int>(expected.size()));
    EXPECT_EQ(content.rows(), expected);
    EXPECT_EQ(content.skippedLines(), skipped);
    EXPECT_EQ(content.firstSkippedLine(), firstSkipped);
    EXPECT_EQ(ReadCoordinateFile(bytes, 8, true).lines(), expectedLines);
}
