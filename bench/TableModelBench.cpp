// The coordinate table must hold a million rows: appending them one by one (as a receive does) and
// at once (as a file reader does), with and without the main window's list attached, and the
// per-commit duplicate check and the delete with renumbering at that size. Memory is the growth of
// the resident set while the rows are held.
#include "core/CoordinateTableModel.h"
#include "core/TableOperations.h"
#include "support/BenchMain.h"
#include "support/ProcessMeasures.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {
constexpr int kRows = 1000000;

CoordinatePoint samplePoint(int i)
{
    // Texts as long as a received record's: a seven-digit northing, a six-digit easting.
    return {QString::number(i),
            QString::number(i),
            QStringLiteral("K%1").arg(i),
            QStringLiteral("4538%1.1234").arg(i % 1000, 3, 10, QChar(u'0')),
            QStringLiteral("512%1.5678").arg(i % 1000, 3, 10, QChar(u'0')),
            QStringLiteral("88.2500")};
}

std::vector<CoordinatePoint> samplePoints()
{
    std::vector<CoordinatePoint> points;
    points.reserve(kRows);
    for (int i = 1; i <= kRows; ++i)
        points.push_back(samplePoint(i));
    return points;
}

void appendOneByOne(benchmark::State &state, bool shown)
{
    const std::vector<CoordinatePoint> points = samplePoints();
    for (auto _ : state) {
        const double before = residentMegabytes();
        auto model = std::make_unique<CoordinateTableModel>();
        std::unique_ptr<QTableView> view;
        if (shown) {
            view = std::make_unique<QTableView>();
            view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            view->setModel(model.get());
            view->resize(800, 500);
            view->show();
        }
        model->buildColumns(true);
        for (const CoordinatePoint &point : points)
            model->append(point);
        if (shown)
            QApplication::processEvents();
        state.counters["rows"] = model->count();
        state.counters["resident_MB"] = residentMegabytes() - before;
        state.PauseTiming();
        view.reset();
        model.reset();
        state.ResumeTiming();
    }
}

void BM_AppendMillionRowsOneByOne(benchmark::State &state)
{
    appendOneByOne(state, false);
}
BENCHMARK(BM_AppendMillionRowsOneByOne)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_AppendMillionRowsOneByOneShown(benchmark::State &state)
{
    appendOneByOne(state, true);
}
BENCHMARK(BM_AppendMillionRowsOneByOneShown)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_AppendMillionRowsAtOnce(benchmark::State &state)
{
    const std::vector<CoordinatePoint> points = samplePoints();
    for (auto _ : state) {
        CoordinateTableModel model;
        model.buildColumns(true);
        model.append(points);
        benchmark::DoNotOptimize(model.count());
    }
}
BENCHMARK(BM_AppendMillionRowsAtOnce)->Iterations(1)->Unit(benchmark::kMillisecond);

struct MillionRowTable {
    MillionRowTable()
    {
        table.buildColumns(true);
        table.append(samplePoints());
    }
    CoordinateTableModel table;
    TableOperations ops{table, [] { return true; }};
};

void BM_DuplicateCheckOverMillionRows(benchmark::State &state)
{
    MillionRowTable t;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.ops.findPointNumber(QStringLiteral("1000001")));
}
BENCHMARK(BM_DuplicateCheckOverMillionRows)->Unit(benchmark::kMillisecond);

void BM_DeleteAndRenumberMillionRows(benchmark::State &state)
{
    MillionRowTable t;
    for (auto _ : state)
        benchmark::DoNotOptimize(t.ops.DeleteSelectedPoint(1));
}
BENCHMARK(BM_DeleteAndRenumberMillionRows)->Iterations(3)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
