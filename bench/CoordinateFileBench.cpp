// A million-point coordinate file read into the table and the table written in every text format, each
// beside the time to merely read or write the same bytes. Memory is the peak of the resident set
// above what the process held before, while the file, its text and the table are all in hand.
#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/FileText.h"
#include "support/BenchMain.h"
#include "support/MillionPointFile.h"
#include "support/ProcessMeasures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QSaveFile>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {
constexpr int kPoints = 1000000;

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &pointsPath()
{
    static const QString path = [] {
        const QString file = workDir().filePath(QStringLiteral("million.hyl"));
        WriteMillionPointFile(file, kPoints);
        return file;
    }();
    return path;
}

double millisecondsToReadBytes(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray bytes;
    ReadFileBytes(path, &bytes, nullptr);
    benchmark::DoNotOptimize(bytes.data());
    return double(timer.nsecsElapsed()) / 1e6;
}

CoordinateTableModel &millionPointTable()
{
    static CoordinateTableModel table;
    if (table.count() == 0) {
        QByteArray bytes;
        ReadFileBytes(pointsPath(), &bytes, nullptr);
        ReadCoordinateFile(bytes, 1, true).replaceTable(table);
    }
    return table;
}

// The million points written in the given format, once.
QString pointsPath(int format)
{
    if (format == 1)
        return pointsPath();
    const QString path = workDir().filePath(QStringLiteral("million-%1").arg(format));
    if (!QFile::exists(path)) {
        QString text = BuildCoordinateText(millionPointTable(), format, true);
        text += QStringLiteral("\r\n");
        QString error;
        if (!WriteFileAtomically(path, EncodeFileText(text), &error))
            qFatal("cannot write %s: %s", qPrintable(path), qPrintable(error));
    }
    return path;
}

void readIntoTable(benchmark::State &state, int format, bool shown)
{
    const QString path = pointsPath(format);
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<CoordinateTableModel>();
        std::unique_ptr<QTableView> view;
        if (shown) {
            view = std::make_unique<QTableView>();
            view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            view->setModel(table.get());
            view->resize(800, 500);
            view->show();
            QApplication::processEvents();
        }
        const double before = residentMegabytes();
        resetPeak();
        state.ResumeTiming();

        QByteArray bytes;
        ReadFileBytes(path, &bytes, nullptr);
        ReadCoordinateFile(std::move(bytes), format, true).replaceTable(*table);
        if (shown)
            QApplication::processEvents();

        state.PauseTiming();
        state.counters["rows"] = table->count();
        state.counters["peak_MB"] = peakMegabytes() - before;
        state.counters["process_peak_MB"] = peakMegabytes();
        state.counters["bytes_only_ms"] = millisecondsToReadBytes(path);
        view.reset();
        table.reset();
        state.ResumeTiming();
    }
}

void BM_ReadMillionPointsIntoTable(benchmark::State &state)
{
    readIntoTable(state, 1, false);
}
BENCHMARK(BM_ReadMillionPointsIntoTable)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ReadMillionPointsIntoShownTable(benchmark::State &state)
{
    readIntoTable(state, 1, true);
}
BENCHMARK(BM_ReadMillionPointsIntoShownTable)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Format 5 has the most fields; format 8 takes whole lines.
void BM_ReadMillionPointsGuangzhouCass(benchmark::State &state)
{
    readIntoTable(state, 5, false);
}
BENCHMARK(BM_ReadMillionPointsGuangzhouCass)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ReadMillionLinesPlainText(benchmark::State &state)
{
    readIntoTable(state, 8, false);
}
BENCHMARK(BM_ReadMillionLinesPlainText)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Saved as the save command does it: straight from the table into the file, piece by piece.
bool saveFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && write(file) && file.commit();
}

void BM_WriteMillionPoints(benchmark::State &state)
{
    const int format = static_cast<int>(state.range(0));
    const CoordinateTableModel &table = millionPointTable();
    const QString path = workDir().filePath(QStringLiteral("written-%1").arg(format));
    for (auto _ : state) {
        const double before = residentMegabytes();
        resetPeak();

        if (!saveFile(path, [&](QIODevice &file) { return WriteCoordinateFile(table, format, true, file); }))
            state.SkipWithError("cannot write");

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
        QString error;
        WriteFileAtomically(path, bytes, &error);
        state.counters["bytes_only_ms"] = double(timer.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
}
// The drawing (format 3) is measured in DxfDrawingBench.
BENCHMARK(BM_WriteMillionPoints)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(5)
    ->Arg(6)
    ->Arg(7)
    ->Arg(8)
    ->Arg(9)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_WriteMillionPointsOlderSave(benchmark::State &state)
{
    const CoordinateTableModel &table = millionPointTable();
    const QString path = workDir().filePath(QStringLiteral("written-older"));
    for (auto _ : state) {
        if (!saveFile(path, [&](QIODevice &file) { return WriteTableOrderFile(table, file); }))
            state.SkipWithError("cannot write");
    }
}
BENCHMARK(BM_WriteMillionPointsOlderSave)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
