// A designer's drawing of 100,000 points read into table rows as the import command does it: the
// program's own drawing of such a table (a point and two labels each), and a drawing of block
// references carrying their number, name and height as attributes with a line between every two
// points, as a CAD program writes one (R2000, CR LF). The time runs from the file's bytes in hand to
// the rows ready for the table.
#include "core/CoordinateTableModel.h"
#include "formats/DrawingImport.h"
#include "formats/DxfDrawing.h"
#include "support/BenchMain.h"

#include <QBuffer>
#include <benchmark/benchmark.h>
#include <vector>

namespace {
constexpr int kPoints = 100000;

const QByteArray &ownDrawing()
{
    static QByteArray bytes;
    if (bytes.isEmpty()) {
        CoordinateTableModel table;
        table.buildColumns(true);
        std::vector<CoordinatePoint> rows;
        rows.reserve(kPoints);
        for (int i = 1; i <= kPoints; ++i) {
            rows.push_back({QString::number(i), i % 10 ? QString::number(i) : QStringLiteral("K%1").arg(i),
                            QString(),
                            QStringLiteral("4538%1.%2").arg(i % 1000, 3, 10, QChar(u'0')).arg(i % 9973),
                            QStringLiteral("512%1.%2").arg(i / 100, 3, 10, QChar(u'0')).arg(i % 983),
                            QStringLiteral("%1.25").arg(i % 200 + 10)});
        }
        table.append(rows);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        WriteDxfDrawingFile(table, true, buffer);
    }
    return bytes;
}

const QByteArray &blockDrawing()
{
    static QByteArray bytes;
    if (bytes.isEmpty()) {
        QByteArray text;
        text +=
            "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1015\r\n  9\r\n$DWGCODEPAGE\r\n"
            "  3\r\nANSI_936\r\n  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
        for (int i = 1; i <= kPoints; ++i) {
            const QByteArray x = QByteArray::number(500000 + (i % 1000) * 1.25, 'f', 3);
            const QByteArray y = QByteArray::number(3400000 + (i / 1000) * 2.5, 'f', 3);
            text += "  0\r\nINSERT\r\n  5\r\n" + QByteArray::number(i + 100, 16) +
                    "\r\n  8\r\nPOINTS\r\n 66\r\n     1\r\n  2\r\nPT\r\n 10\r\n" + x + "\r\n 20\r\n" + y +
                    "\r\n 30\r\n0.0\r\n";
            const auto attribute = [&](const char *tag, const QByteArray &value) {
                text += "  0\r\nATTRIB\r\n  8\r\nPOINTS\r\n 10\r\n" + x + "\r\n 20\r\n" + y +
                        "\r\n 30\r\n0.0\r\n 40\r\n2.5\r\n  1\r\n" + value + "\r\n  2\r\n" + tag +
                        "\r\n 70\r\n0\r\n";
            };
            attribute("NUMBER", "D" + QByteArray::number(i));
            attribute("NAME", "\xBF\xD8\xD6\xC6"); // 控制 in the Chinese code page
            attribute("ELEV", QByteArray::number(12 + i % 50 * 0.125, 'f', 3));
            text += "  0\r\nSEQEND\r\n  8\r\nPOINTS\r\n";
            text += "  0\r\nLINE\r\n  8\r\nROAD\r\n 10\r\n" + x + "\r\n 20\r\n" + y +
                    "\r\n 30\r\n0.0\r\n 11\r\n" + x + "\r\n 21\r\n" + y + "\r\n 31\r\n0.0\r\n";
        }
        text += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
        bytes = text;
    }
    return bytes;
}

void importDrawing(benchmark::State &state, const QByteArray &bytes)
{
    for (auto _ : state) {
        DrawingImport drawing = DrawingImport::read(bytes, true);
        if (drawing.rows().count() != kPoints)
            state.SkipWithError("not every point was read");
        benchmark::DoNotOptimize(drawing.rows().count());
    }
    state.counters["file_MB"] = double(bytes.size()) / (1024.0 * 1024.0);
}

void BM_ImportOwnDrawing(benchmark::State &state)
{
    importDrawing(state, ownDrawing());
}
BENCHMARK(BM_ImportOwnDrawing)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ImportBlockDrawing(benchmark::State &state)
{
    importDrawing(state, blockDrawing());
}
BENCHMARK(BM_ImportBlockDrawing)->Iterations(3)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
