// A million-point coordinate file read into the table and the table written in every text format, each
// beside the time to merely read or write the same bytes. Memory is the peak of the resident set
// above what the process held before, while the file, its text and the table are all in hand.
#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/FileText.h"
#include "support/BenchMain.h"
#include "support/ProcessMeasures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
constexpr int kPoints = 1000000;

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Lines as a receive or a surveyor's own file would hold them: a Chinese name on every line, so
// that every piece of the text goes through the GB18030 encoder and decoder. Written in pieces, so
// that making the file leaves no large heap behind to blur the memory measures.
const QString &pointsPath()
{
    static const QString path = [] {
        const QString file = workDir().filePath(QStringLiteral("million.hyl"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file));
        constexpr int kPiece = 10000;
        QString text;
        for (int first = 1; first <= kPoints; first += kPiece) {
            text.clear();
            for (int i = first; i < first + kPiece && i <= kPoints; ++i) {
                text += QStringLiteral("%1,控制点%1,4538%2.%3,512%4.%5,%6.250\r\n")
                            .arg(i)
                            .arg(i % 1000, 3, 10, QChar(u'0'))
                            .arg(i % 997, 3, 10, QChar(u'0'))
                            .arg(i % 991, 3, 10, QChar(u'0'))
                            .arg(i % 983, 3, 10, QChar(u'0'))
                            .arg(i % 200 - 100);
            }
            out.write(EncodeFileText(text));
        }
        out.write("\r\n");
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
        const CoordinateFileContent content = ReadCoordinateFile(bytes, format, true);
        bytes = QByteArray();
        content.replaceTable(*table);
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
BENCHMARK(BM_ReadMillionPointsIntoTable)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadMillionPointsIntoShownTable(benchmark::State &state)
{
    readIntoTable(state, 1, true);
}
BENCHMARK(BM_ReadMillionPointsIntoShownTable)->Iterations(1)->Unit(benchmark::kMillisecond);

// Format 5 has the most fields; format 8 takes whole lines.
void BM_ReadMillionPointsGuangzhouCass(benchmark::State &state)
{
    readIntoTable(state, 5, false);
}
BENCHMARK(BM_ReadMillionPointsGuangzhouCass)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadMillionLinesPlainText(benchmark::State &state)
{
    readIntoTable(state, 8, false);
}
BENCHMARK(BM_ReadMillionLinesPlainText)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WriteMillionPoints(benchmark::State &state)
{
    const int format = static_cast<int>(state.range(0));
    const CoordinateTableModel &table = millionPointTable();
    const QString path = workDir().filePath(QStringLiteral("written-%1").arg(format));
    qint64 size = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        resetPeak();

        // The final CR LF goes in place: the writer leaves room for it, where text + "\r\n" would
        // copy the whole text once more.
        QString text = BuildCoordinateText(table, format, true);
        text += QStringLiteral("\r\n");
        const QByteArray bytes = EncodeFileText(text);
        text = QString();
        QString error;
        if (!WriteFileAtomically(path, bytes, &error))
            state.SkipWithError(qPrintable(error));

        state.PauseTiming();
        state.counters["peak_MB"] = peakMegabytes() - before;
        state.counters["process_peak_MB"] = peakMegabytes();
        size = bytes.size();
        QElapsedTimer timer;
        timer.start();
        WriteFileAtomically(path, bytes, &error);
        state.counters["bytes_only_ms"] = double(timer.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
    state.counters["file_MB"] = double(size) / (1024.0 * 1024.0);
}
// The drawing (format 3) is saved straight into the file and measured in DxfDrawingBench.
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
    ->Unit(benchmark::kMillisecond);

void BM_WriteMillionPointsOlderSave(benchmark::State &state)
{
    const CoordinateTableModel &table = millionPointTable();
    const QString path = workDir().filePath(QStringLiteral("written-older"));
    for (auto _ : state) {
        QString text = BuildTableOrderText(table);
        text += QStringLiteral("\r\n");
        const QByteArray bytes = EncodeFileText(text);
        text = QString();
        QString error;
        if (!WriteFileAtomically(path, bytes, &error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_WriteMillionPointsOlderSave)->Iterations(2)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
