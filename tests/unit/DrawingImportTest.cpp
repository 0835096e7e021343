#include "formats/DrawingImport.h"
#include "core/CoordinateTableModel.h"
#include "formats/DxfDrawing.h"
#include "support/ImportedRows.h"
#include "support/QStringPrinter.h"

#include <QBuffer>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A drawing typed out: the header's lines, then the entities, each written "TYPE code=value ...".
// In a value "~" stands for a blank; a line end is LF unless crlf.
struct Written {
    Written(QByteArray header, std::vector<QByteArray> entities, bool crlf = false,
            QByteArray codeIndent = {})
        : header(std::move(header)), entities(std::move(entities)), crlf(crlf),
          codeIndent(std::move(codeIndent))
    {
    }
    QByteArray header;
    std::vector<QByteArray> entities;
    bool crlf;
    QByteArray codeIndent; // before every group code, as some writers right-align them
};

QByteArray drawingOf(const Written &w)
{
    const QByteArray end = w.crlf ? "\r\n" : "\n";
    QByteArray out;
    const auto pair = [&](const QByteArray &code, const QByteArray &value) {
        out += w.codeIndent + code + end + value + end;
    };
    pair("0", "SECTION");
    pair("2", "HEADER");
    for (const QByteArray &variable : w.header.split(' ')) {
        if (variable.isEmpty())
            continue;
        const QList<QByteArray> nameValue = variable.split('=');
        pair("9", nameValue[0]);
        pair(nameValue[0] == "$DWGCODEPAGE" ? "3" : "1", nameValue[1]);
    }
    pair("0", "ENDSEC");
    bool inBlocks = false;
    pair("0", "SECTION");
    pair("2", "ENTITIES");
    for (const QByteArray &entity : w.entities) {
        if (entity == "BLOCKS" || entity == "ENTITIES") {
            inBlocks = entity == "BLOCKS";
            pair("0", "ENDSEC");
            pair("0", "SECTION");
            pair("2", entity);
            continue;
        }
        const QList<QByteArray> parts = entity.split(' ');
        pair("0", parts[0]);
        for (qsizetype k = 1; k < parts.size(); ++k) {
            const qsizetype equals = parts[k].indexOf('=');
            pair(parts[k].left(equals), parts[k].mid(equals + 1).replace('~', ' '));
        }
    }
    Q_UNUSED(inBlocks);
    pair("0", "ENDSEC");
    pair("0", "EOF");
    return out;
}

struct RuleCase {
    const char *what;
    Written drawing;
    QStringList rows; // "点号|点名|N|E|Z"
};

const QByteArray kR2000 = "$ACADVER=AC1015 $DWGCODEPAGE=ANSI_936";
const QByteArray kR2013 = "$ACADVER=AC1027 $DWGCODEPAGE=ANSI_1252";

// clang-format off
const RuleCase kRuleCases[] = {
    {"a point alone is numbered by its place; x is E, y is N, z is Z",
     {kR2000, {"POINT 10=500.25 20=3400.5 30=12.75"}},
     {"1||3400.5|500.25|12.75"}},
    {"points keep the drawing's order and their places",
     {kR2000, {"POINT 10=3 20=4 30=0", "LINE 10=0 20=0 11=1 21=1", "POINT 10=1 20=2 30=5"}},
     {"1||4|3|0", "2||2|1|5"}},
    {"a text at the point is its number; one reading as its height is the height label",
     {kR2000, {"POINT 10=10 20=20 30=45.678", "TEXT 10=10 20=20 40=0 1=K3", "TEXT 10=10.5 20=20 40=1 1=45.68"}},
     {"K3||20|10|45.678"}},
    {"a whole number that is not the height is the number, even close to it",
     {kR2000, {"POINT 10=10 20=20 30=45.678", "TEXT 10=10.2 20=20 40=0.5 1=46"}},
     {"46||20|10|45.678"}},
    {"a point at Z 0 takes Z from its height label",
     {kR2000, {"POINT 10=10 20=20 30=0", "TEXT 10=11 20=20 40=2 1=12.340", "TEXT 10=10 20=21 40=2 1=P7"}},
     {"P7||20|10|12.340"}},
    {"both labels read as the height: the first is the number (the program's own drawings)",
     {kR2000, {"POINT 10=1 20=2 30=5", "TEXT 10=1 20=2 40=0 1=5", "TEXT 10=1 20=2 40=0.1 1=5"}},
     {"5||2|1|5"}},
    {"a text farther from the point than its height is no label",
     {kR2000, {"POINT 10=0 20=0 30=1", "TEXT 10=3 20=0 40=2 1=A1", "TEXT 10=0 20=-1.5 40=2 1=A2"}},
     {"A2||0|0|1"}},
    {"a label belongs to the nearest point; of two at one place, to the one drawn before it",
     {kR2000, {"POINT 10=0 20=0", "POINT 10=4 20=0", "TEXT 10=3 20=0 40=5 1=B",
               "TEXT 10=0.5 20=0 40=5 1=A", "POINT 10=4 20=0", "TEXT 10=4 20=0 40=0 1=C"}},
     {"A||0|0|0", "B||0|4|0", "C||0|4|0"}},
    {"a text higher than the whole drawing still belongs to the nearest point",
     {kR2000, {"POINT 10=0 20=0", "POINT 10=1e15 20=-1e15", "TEXT 10=1 20=1 40=1e300 1=Z1", "TEXT 10=5 20=5 40=1 1=A",
               "TEXT 10=7 20=7 40=1 1=B"}},
     {"Z1||0|0|0", "2||-1000000000000000|1000000000000000|0"}},
    {"an aligned text stands at its alignment point",
     {kR2000, {"POINT 10=100 20=100", "TEXT 10=90 20=99 11=100 21=100 72=1 40=2 1=Q9"}},
     {"Q9||100|100|0"}},
    {"an MTEXT label is read without its format codes",
     {kR2000, {"POINT 10=7 20=8 30=9.5", "MTEXT 10=7 20=8 40=2.5 1={\\fArial|b0|i0;\\H2.5;M\\P1}"}},
     {"M 1||8|7|9.5"}},
    {"a block reference's attributes give number, name and height (UTF-8 from R2007 on)",
     {"$ACADVER=AC1021", {"INSERT 2=PT 66=1 10=5 20=6 30=0",
                          "ATTRIB 10=5 20=6 40=1 2=点号 1=D12", "ATTRIB 10=5 20=6 40=1 2=点名 1=水准点",
                          "ATTRIB 10=5 20=6 40=1 2=高程 1=88.125", "SEQEND"}},
     {"D12|水准点|6|5|88.125"}},
    {"the English tags in any case; an attribute's height does not replace a Z of the point",
     {kR2013, {"INSERT 2=PT 66=1 10=5 20=6 30=3", "ATTRIB 2=no 1=7", "ATTRIB 2=PName 1=BM",
               "ATTRIB 2=Elev 1=99", "SEQEND",
               "INSERT 2=PT 66=1 10=1 20=1", "ATTRIB 2=ID 1=8", "ATTRIB 2=HEIGHT 1=4.5", "SEQEND",
               "INSERT 2=PT 66=1 10=2 20=2", "ATTRIB 2=PT 1=9", "ATTRIB 2=NAME 1=N", "ATTRIB 2=Z 1=2.5", "SEQEND",
               "INSERT 2=PT 66=1 10=3 20=3", "ATTRIB 2=NUMBER 1=10", "ATTRIB 2=ELEV 1=1.25", "SEQEND"}},
     {"7|BM|6|5|3", "8||1|1|4.5", "9|N|2|2|2.5", "10||3|3|1.25"}},
    {"an attribute of another tag says nothing; a label numbers the reference",
     {kR2000, {"INSERT 2=PT 66=1 10=5 20=6 30=2", "ATTRIB 2=LAYERNOTE 1=X", "SEQEND",
               "TEXT 10=5 20=6 40=1 1=T5"}},
     {"T5||6|5|2"}},
    {"paper space and block definitions hold no points",
     {kR2000, {"BLOCKS", "BLOCK 2=UNUSED 10=0 20=0", "POINT 10=9 20=9", "TEXT 10=9 20=9 40=1 1=X", "ENDBLK",
               "BLOCK 2=*Paper_Space0 10=0 20=0", "POINT 10=8 20=8", "ENDBLK", "ENTITIES",
               "POINT 67=1 10=7 20=7", "INSERT 67=1 2=PT 10=6 20=6", "TEXT 67=1 10=1 20=1 40=1 1=PAPER",
               "POINT 10=1 20=1 30=1"}},
     {"1||1|1|1"}},
    {"Chinese labels in the code page ANSI_936",
     {kR2000, {"POINT 10=1 20=2 30=3", "TEXT 10=1 20=2 40=0 1=\xBF\xD8\xD6\xC6\x31"}},
     {"控制1||2|1|3"}},
    {"UTF-8 labels from R2007 on; \\U+XXXX escapes in any version",
     {kR2013, {"POINT 10=1 20=2 30=3", "TEXT 10=1 20=2 40=0 1=\xE6\x8E\xA7\xE5\x88\xB6\x32",
               "POINT 10=5 20=5 30=3", "TEXT 10=5 20=5 40=0 1=\\U+63A7\\U+5236\x33"}},
     {"控制2||2|1|3", "控制3||5|5|3"}},
    {"no header at all, group codes right-aligned, CR LF",
     {"", {"POINT 10=1 20=2 30=3", "TEXT 10=1 20=2 40=1 1=A"}, true, "  "},
     {"A||2|1|3"}},
};
// clang-format on

} // namespace

TEST(DrawingImport, RulesGiveTheRowsOfEachDrawing)
{
    for (const RuleCase &c : kRuleCases) {
        SCOPED_TRACE(c.what);
        const DrawingImport drawing = DrawingImport::read(drawingOf(c.drawing), true);
        ASSERT_EQ(int(drawing.problem()), int(DrawingImport::Problem::None))
            << drawing.problemText().toStdString();
        EXPECT_EQ(importedRows(drawing), c.rows);
    }
}

TEST(DrawingImport, PlanCoordinatesFollowTheTableOrder)
{
    const DrawingImport drawing =
        DrawingImport::read(drawingOf({kR2000, {"POINT 10=500.25 20=3400.5 30=12.75"}}), false);
    EXPECT_EQ(importedRows(drawing), QStringList{"1||500.25|3400.5|12.75"});
}

struct ProblemCase {
    const char *what;
    QByteArray bytes;
    DrawingImport::Problem problem;
    int line;         // where a damaged drawing breaks
    const char *text; // a part of the box's text that says what to do
};

const QByteArray kGood = drawingOf({kR2000, {"POINT 10=1 20=2 30=3"}});

// clang-format off
const ProblemCase kProblemCases[] = {
    {"a binary DXF", QByteArray("AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION", 29),
     DrawingImport::Problem::BinaryDrawing, 0, "另存为文本格式的DXF"},
    {"a DWG", QByteArray("AC1032\0\0\0\0\0\0\x1f\x01", 14), DrawingImport::Problem::Dwg, 0, "另存为DXF格式"},
    {"a coordinate file", "1,P1,,3400.5,500.25,12.75\r\n", DrawingImport::Problem::NotADrawing, 0, "不是DXF图形"},
    {"an empty file", "", DrawingImport::Problem::NotADrawing, 0, "不是DXF图形"},
    {"a drawing without points", drawingOf({kR2000, {"LINE 10=0 20=0 11=5 21=5", "TEXT 10=1 20=1 40=1 1=A"}}),
     DrawingImport::Problem::NoPoints, 0, "没有点"},
    {"a drawing cut short", kGood.left(kGood.indexOf("0\nENDSEC\n0\nEOF")), DrawingImport::Problem::Damaged, 27,
     "已损坏"},
    {"a group code that is no number", QByteArray(kGood).replace("20\n2\n", "2O\n2\n"),
     DrawingImport::Problem::Damaged, 23, "已损坏"},
    {"a coordinate that is no number", QByteArray(kGood).replace("20\n2\n", "20\n2,5.1\n"),
     DrawingImport::Problem::Damaged, 24, "已损坏"},
    {"a pair without its value", kGood.left(kGood.indexOf("ENDSEC\n0\nEOF")),
     DrawingImport::Problem::Damaged, 28, "已损坏"},
};
// clang-format on

TEST(DrawingImport, EachProblemIsToldAndGivesNoRows)
{
    for (const ProblemCase &c : kProblemCases) {
        SCOPED_TRACE(c.what);
        const DrawingImport drawing = DrawingImport::read(c.bytes, true);
        EXPECT_EQ(int(drawing.problem()), int(c.problem));
        EXPECT_EQ(drawing.rows().count(), 0);
        EXPECT_TRUE(drawing.problemText().contains(QString::fromUtf8(c.text)))
            << drawing.problemText().toStdString();
        EXPECT_EQ(drawing.problemIsError(), c.problem != DrawingImport::Problem::NoPoints);
        if (c.problem == DrawingImport::Problem::Damaged) {
            EXPECT_EQ(drawing.damagedLine(), c.line);
            EXPECT_TRUE(drawing.problemText().contains(QStringLiteral("第%1行").arg(c.line)));
        }
    }
}

// A table saved as this program's drawing comes back with the cells the drawing carries (no 点名),
// N, E and Z as written: lettered and Chinese numbers, a point at Z 0, a number equal to its height,
// two points at one place, in either column order.
TEST(DrawingImport, OwnDrawingComesBackRowForRow)
{
    const std::vector<CoordinatePoint> saved = {
        {"1", "K1", "控制点", "3456789.1234", "512345.6789", "45.678"},
        {"2", "A7", "", "3456700.5", "512300", "-1.25"},
        {"3", "控3", "", "3456701", "512301", "0"},
        {"4", "5", "", "10", "20", "5"},
        {"5", "P1", "", "100.5", "200.5", "1.5"},
        {"6", "P2", "", "100.5", "200.5", "2.5"},
    };
    const QStringList expected = {"K1||3456789.1234|512345.6789|45.678",
                                  "A7||3456700.5|512300|-1.25",
                                  "控3||3456701|512301|0",
                                  "5||10|20|5",
                                  "P1||100.5|200.5|1.5",
                                  "P2||100.5|200.5|2.5"};
    for (bool nez : {true, false}) {
        SCOPED_TRACE(nez ? "NEZ" : "ENZ");
        CoordinateTableModel table;
        table.buildColumns(nez);
        for (CoordinatePoint p : saved) {
            if (!nez)
                std::swap(p.first, p.second);
            table.append(p);
        }
        QByteArray bytes;
        QBuffer file(&bytes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(WriteDxfDrawingFile(table, nez, file));

        const DrawingImport drawing = DrawingImport::read(bytes, true);
        ASSERT_EQ(int(drawing.problem()), int(DrawingImport::Problem::None));
        EXPECT_EQ(importedRows(drawing), expected);
    }
}
