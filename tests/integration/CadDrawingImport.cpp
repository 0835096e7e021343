// Drawings written by another program: Debian's python3-ezdxf writes the same design drawing in the
// versions R12 to R2018 (R12 in the Chinese code page, R2000 with \U+XXXX escapes, later ones in
// UTF-8), and each is imported cell by cell. And a designer's points on their way to the instrument:
// imported from the main window's menu and sent to the simulated RQX2.

#include "formats/DrawingImport.h"
#include "formats/FileText.h"
#include "support/ImportedRows.h"
#include "support/MainWindowSimFixture.h"
#include "support/PythonReader.h"
#include "support/QStringPrinter.h"
#include "support/ScriptedFileDialogs.h"
#include "ui/Form1.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Points, a block with its number, name and height as attributes (Chinese and English tags), labels
// beside points and one centred on its point, a point at Z 0 with a height label, a line; a point, a
// reference and a text in paper space, and a block with a point that is never inserted.
const char kWriter[] = R"(
import sys, ezdxf
from ezdxf.enums import TextEntityAlignment
version, path = sys.argv[1], sys.argv[2]
doc = ezdxf.new(version)
if version == "R12":
    doc.encoding = "gbk"
msp = doc.modelspace()
doc.blocks.new("UNUSED").add_point((9, 9, 9))
doc.blocks.new("SURVEY").add_circle((0, 0), 0.5)
msp.add_point((500.25, 3400.5, 12.75))
msp.add_text("K1", dxfattribs={"height": 1.0, "insert": (500.25, 3400.5)})
msp.add_text("12.75", dxfattribs={"height": 1.0, "insert": (500.75, 3400.0)})
ref = msp.add_blockref("SURVEY", (510, 3410, 0))
ref.add_attrib("点号", "D2", (511, 3410))
ref.add_attrib("点名", "水准点", (511, 3409))
ref.add_attrib("高程", "88.125", (511, 3408))
ref = msp.add_blockref("SURVEY", (520.5, 3420.25, 0))
ref.add_attrib("NUMBER", "D3", (521, 3420))
ref.add_attrib("NAME", "BM", (521, 3419))
ref.add_attrib("ELEV", "7.5", (521, 3418))
msp.add_point((560, 3460, 0))
msp.add_text("P4", dxfattribs={"height": 2.0, "insert": (561, 3461)})
msp.add_text("45.300", dxfattribs={"height": 2.0, "insert": (561, 3459)})
msp.add_point((530, 3430, 3.5))
msp.add_line((530, 3430), (540, 3440))
msp.add_point((540, 3440, 2))
msp.add_text("控制6", dxfattribs={"height": 0.5, "insert": (540.2, 3440)})
msp.add_point((550, 3450, 1.25))
msp.add_text("A7", dxfattribs={"height": 1.0}).set_placement((550, 3450), align=TextEntityAlignment.MIDDLE_CENTER)
paper = doc.layout()
paper.add_point((1, 1, 1))
paper.add_blockref("SURVEY", (2, 2))
paper.add_text("PAPER", dxfattribs={"height": 1.0, "insert": (1, 1)})
doc.saveas(path)
)";

const QStringList kRows = {
    "K1||3400.5|500.25|12.75", "D2|水准点|3410|510|88.125", "D3|BM|3420.25|520.5|7.5", "P4||3460|560|45.300",
    "5||3430|530|3.5",         "控制6||3440|540|2",         "A7||3450|550|1.25",
};

class DrawingToInstrument : public MainWindowSimFixture {
protected:
    ScriptedFileDialogs dialogs;
};

} // namespace

TEST(CadDrawingImport, EveryVersionGivesTheSameTable)
{
    RQX_REQUIRE_PYTHON_MODULE("ezdxf", "python3-ezdxf");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *version : {"R12", "R2000", "R2007", "R2013", "R2018"}) {
        SCOPED_TRACE(version);
        const QString path = dir.filePath(QString::fromLatin1(version) + QStringLiteral(".dxf"));
        QProcess writer;
        writer.start(PythonReader::kPython,
                     {QStringLiteral("-c"), QString::fromUtf8(kWriter), QString::fromLatin1(version), path});
        ASSERT_TRUE(writer.waitForFinished(20000));
        ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();

        QByteArray bytes;
        QString reason;
        ASSERT_TRUE(ReadFileBytes(path, &bytes, &reason)) << reason.toStdString();
        const DrawingImport drawing = DrawingImport::read(bytes, true);
        ASSERT_EQ(int(drawing.problem()), int(DrawingImport::Problem::None))
            << drawing.problemText().toStdString();
        EXPECT_EQ(importedRows(drawing), kRows);
    }
}

// A block reference with its number and name, a bare point, a labelled one: imported, then sent with
// 发送 as any table is.
TEST_F(DrawingToInstrument, TheImportedPointsReachTheInstrument)
{
    const QString drawing = dir.filePath(QStringLiteral("design.dxf"));
    QFile file(drawing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
        "0\nINSERT\n2\nPT\n66\n1\n10\n-7001.25\n20\n40001.5\n30\n1.125\n"
        "0\nATTRIB\n2\nNUMBER\n1\nD1\n0\nATTRIB\n2\nNAME\n1\nNAME1\n0\nSEQEND\n"
        "0\nPOINT\n10\n0\n20\n-0.5\n30\n12\n"
        "0\nPOINT\n10\n1.001\n20\n123456789\n30\n-3.5\n0\nTEXT\n10\n1.001\n20\n123456789\n40\n1\n1\nK3\n"
        "0\nENDSEC\n0\nEOF\n");
    file.close();
    const QString output = dir.filePath(QStringLiteral("instrument.txt"));
    fileDialogs = &dialogs;
    ASSERT_TRUE(startProgram(false, true, {"--timeout", "20000", "--action", "receive", "--output", output}));

    dialogs.choose(drawing, 1);
    app->mainWindow()->action(QStringLiteral("ImportDrawingPoints"))->trigger();
    ASSERT_EQ(app->table().count(), 3);
    app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
    sim.go();
    finish();

    QFile received(output);
    ASSERT_TRUE(received.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(received.readAll()),
              "D1     ,NAME1  ,000040001.500,0000-7001.250,000000001.125\n"
              "2      ,       ,0000000-0.500,000000000.000,000000012.000\n"
              "K3     ,       ,123456789.000,000000001.001,0000000-3.500\n")
        << sim.errorOutput().toStdString();
    EXPECT_EQ(messages.messages, QStringList{"成功|坐标数据发送完毕！"});
}
