// The drawing as a real DXF reader sees it: Debian's python3-ezdxf reads the saved file.

#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "formats/DxfDrawing.h"
#include "formats/MeasuredPoints.h"
#include "formats/Rqx5MeasurementFile.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "support/PythonReader.h"
#include "support/QStringPrinter.h"
#include "support/TestPoint.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Prints what the reader found, one line per layer and per entity. The reader is told nothing of
// the encoding: it takes the code page the drawing declares, as readers outside a Chinese system do.
const char kReader[] = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
print("$DWGCODEPAGE", doc.header.get("$DWGCODEPAGE"))
for name in ("$EXTMIN", "$EXTMAX", "$LIMMIN", "$LIMMAX"):
    print(name, *[repr(v) for v in doc.header.get(name)])
for layer in doc.layers:
    print("LAYER", layer.dxf.name, layer.dxf.color, layer.dxf.linetype)
for e in doc.modelspace():
    if e.dxftype() == "POINT":
        print("POINT", e.dxf.layer, *[repr(v) for v in e.dxf.location])
    elif e.dxftype() == "TEXT":
        print("TEXT", e.dxf.layer, *[repr(v) for v in e.dxf.insert], repr(e.dxf.height), "[" + e.dxf.text + "]")
    else:
        print("OTHER", e.dxftype())
)";

// Saves the table's drawing as the save command does and returns what the reader printed.
QStringList readBack(const CoordinateTableModel &table, bool nez)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("points.dxf"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(WriteDxfDrawingFile(table, nez, file));
    file.close();
    QProcess reader;
    reader.start(PythonReader::kPython, {QStringLiteral("-c"), QString::fromLatin1(kReader), path});
    EXPECT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(DxfReadBack, OnePointAndTwoLabelsPerRowOnTheirLayersAtThePoint)
{
    RQX_REQUIRE_PYTHON_MODULE("ezdxf", "python3-ezdxf");

    const std::vector<TestPoint> points = {
        {QStringLiteral("12.50"), QStringLiteral("甲"), QStringLiteral("3456789.1234"),
         QStringLiteral("512345.6789"), QStringLiteral("45.678")},
        {QStringLiteral("A7"), QString(), QStringLiteral("3456700.5"), QStringLiteral("512300"),
         QStringLiteral("-1.25")},
        {QStringLiteral("控1"), QString(), QStringLiteral("-20"), QStringLiteral("-30.5"),
         QStringLiteral("0")},
    };
    const QStringList expected = {
        "$DWGCODEPAGE ANSI_936",
        "$EXTMIN -31.0 -20.0 -2.0",
        "$EXTMAX 512345.0 3456789.0 45.0",
        "$LIMMIN -31.0 -20.0",
        "$LIMMAX 512345.0 3456789.0",
        "LAYER Point 7 CONTINUOUS",
        "LAYER PointNumber 3 CONTINUOUS",
        "LAYER Level 3 CONTINUOUS",
        "LAYER Code 4 CONTINUOUS",
        // The reader's own default layers.
        "LAYER 0 7 Continuous",
        "LAYER Defpoints 7 Continuous",
        "POINT Point 512345.6789 3456789.1234 45.678",
        "TEXT PointNumber 512345.6789 3456789.1234 45.678 0.0 [12.5]",
        "TEXT Level 512345.6789 3456789.1234 0.0 0.1 [45.678]",
        "POINT Point 512300.0 3456700.5 -1.25",
        "TEXT PointNumber 512300.0 3456700.5 -1.25 0.0 [A7]",
        "TEXT Level 512300.0 3456700.5 0.0 0.1 [-1.25]",
        "POINT Point -30.5 -20.0 0.0",
        "TEXT PointNumber -30.5 -20.0 0.0 0.0 [控1]",
        "TEXT Level -30.5 -20.0 0.0 0.1 [0]",
    };
    for (bool nez : {true, false}) {
        CoordinateTableModel table;
        table.buildColumns(nez);
        for (const TestPoint &p : points)
            appendPoint(table, nez, p);
        EXPECT_EQ(readBack(table, nez), expected) << (nez ? "NEZ" : "ENZ");
    }
}

TEST(DxfReadBack, MeasuredPointsOfADataFileStandWhereTheInstrumentMeasuredThem)
{
    RQX_REQUIRE_PYTHON_MODULE("ezdxf", "python3-ezdxf");

    QFile raw(QStringLiteral(RQX_TEST_DATA_DIR "/two-rows.raw"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const Rqx5MeasurementFileContent content =
        ReadRqx5MeasurementFile(raw.readAll(), Rqx5MeasurementColumns::kDataFileSubitems, 1);
    MeasurementTableModel list;
    SetRqx5DataFileColumns(list, true);
    list.append(content.rows);
    CoordinateTableModel table;
    table.buildColumns(true);
    table.append(MeasuredPoints::of(list));

    // Padded texts are read as their numbers; the point numbers label the points.
    const QStringList expected = {
        "$DWGCODEPAGE ANSI_936",
        "$EXTMIN 1240.0 3452.0 10.0",
        "$EXTMAX 1250.0 3480.0 12.0",
        "$LIMMIN 1240.0 3452.0",
        "$LIMMAX 1250.0 3480.0",
        "LAYER Point 7 CONTINUOUS",
        "LAYER PointNumber 3 CONTINUOUS",
        "LAYER Level 3 CONTINUOUS",
        "LAYER Code 4 CONTINUOUS",
        "LAYER 0 7 Continuous",
        "LAYER Defpoints 7 Continuous",
        "POINT Point 1250.002 3480.001 10.557",
        "TEXT PointNumber 1250.002 3480.001 10.557 0.0 [103]",
        "TEXT Level 1250.002 3480.001 0.0 0.1 [10.557]",
        "POINT Point 1240.11 3452.0 12.22",
        "TEXT PointNumber 1240.11 3452.0 12.22 0.0 [104]",
        "TEXT Level 1240.11 3452.0 0.0 0.1 [12.22]",
    };
    EXPECT_EQ(readBack(table, true), expected);
}
