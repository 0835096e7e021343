// A million-point table saved as a drawing the way the save command does it (straight from the
// table into the file, piece by piece), beside the time to merely write the same bytes, and the
// drawing built as one text, as the writer of every format gives it. Memory is the peak of the
// resident set above what the process held before, the table already in hand.
#include "core/CoordinateTableModel.h"
#include "formats/DxfDrawing.h"
#include "support/BenchMain.h"
#include "support/ProcessMeasures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {
constexpr int kPoints = 1000000;

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Grid coordinates in the millions with four decimals, numbered points with every tenth lettered
// (its label written as text), filled in pieces so no large heap is left behind.
const CoordinateTableModel &millionPointTable()
{
    static CoordinateTableModel table;
    if (table.count() == 0) {
        table.buildColumns(true);
        constexpr int kPiece = 10000;
        std::vector<CoordinatePoint> piece;
        for (int first = 1; first <= kPoints; first += kPiece) {
            piece.clear();
            for (int i = first; i < first + kPiece && i <= kPoints; ++i) {
                const QString number = i % 10 ? QString::number(i) : QStringLiteral("K%1").arg(i);
                piece.push_back({QString::number(i), number, QStringLiteral("控制点"),
                                 QStringLiteral("4538%1.%2").arg(i % 1000, 3, 10, QChar(u'0')).arg(i % 9973),
                                 QStringLiteral("512%1.%2").arg(i % 991, 3, 10, QChar(u'0')).arg(i % 983),
                                 QStringLiteral("%1.25").arg(i % 200 - 100)});
            }
            table.append(piece);
        }
    }
    return table;
}

void BM_SaveMillionPointDrawing(benchmark::State &state)
{
    const CoordinateTableModel &table = millionPointTable();
    const QString path = workDir().filePath(QStringLiteral("million.dxf"));
    for (auto _ : state) {
        const double before = residentMegabytes();
        resetPeak();

        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !WriteDxfDrawingFile(table, true, file) || !file.commit())
            state.SkipWithError(qPrintable(file.errorString()));

        state.PauseTiming();
        state.counters["peak_MB"] = peakMegabytes() - before;
        state.counters["process_peak_MB"] = peakMegabytes();
        QFile written(path);
        written.open(QIODevice::ReadOnly);
        const QByteArray bytes = written.readAll();
        written.close();
        state.counters["file_MB"] = double(bytes.size()) / (1024.0 * 1024.0);
        QElapsedTimer timer;
        timer.start();
        QSaveFile again(path);
        again.open(QIODevice::WriteOnly);
        again.write(bytes);
        again.commit();
        state.counters["bytes_only_ms"] = double(timer.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveMillionPointDrawing)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_BuildMillionPointDrawingText(benchmark::State &state)
{
    const CoordinateTableModel &table = millionPointTable();
    for (auto _ : state) {
        const double before = residentMegabytes();
        resetPeak();
        QString drawing = BuildDxfDrawing(table, true);
        benchmark::DoNotOptimize(drawing.data());
        state.PauseTiming();
        state.counters["peak_MB"] = peakMegabytes() - before;
        drawing = QString();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildMillionPointDrawingText)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
