// 点位图 with 100,000 points: the time to take up a whole table (read every row's E and N, index
// them, fit), and the time of one frame fitted (every point in sight, drawn without numbers), zoomed
// in on a few dozen points (drawn with their numbers), and after a wheel step. A frame is the view
// painted into an image of its size, as the window system would have it painted.
#include "core/CoordinateTableModel.h"
#include "support/BenchMain.h"
#include "ui/PlanSources.h"
#include "ui/PlanView.h"

#include <QApplication>
#include <QImage>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <vector>

namespace {
constexpr int kPoints = 100000;

// Points on a grid of 316 by 316 with 5 m between them, a little scattered, numbered 1...
CoordinateTableModel &table()
{
    static CoordinateTableModel model;
    if (model.count() == 0) {
        model.buildColumns(true);
        std::vector<CoordinatePoint> rows;
        rows.reserve(kPoints);
        for (int i = 0; i < kPoints; ++i) {
            const double north = 3400000 + (i / 316) * 5 + (i % 7) * 0.3;
            const double east = 500000 + (i % 316) * 5 + (i % 5) * 0.2;
            rows.push_back({QString::number(i + 1), QString::number(i + 1), QString(),
                            QString::number(north, 'f', 3), QString::number(east, 'f', 3),
                            QStringLiteral("12.5")});
        }
        model.append(rows);
    }
    return model;
}

PlanView &plan()
{
    static PlanView *view = [] {
        auto *v = new PlanView;
        v->resize(800, 600);
        v->show();
        v->follow(&table(), nullptr, CoordinateTablePlan(table()));
        v->refreshNow();
        return v;
    }();
    return *view;
}

void frame(benchmark::State &state, PlanView &view)
{
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state)
        view.render(&image);
}

void BM_TakeUpTable(benchmark::State &state)
{
    PlanView &view = plan();
    for (auto _ : state) {
        view.follow(&table(), nullptr, CoordinateTablePlan(table()));
        view.refreshNow();
    }
    state.counters["points"] = view.pointCount();
}
BENCHMARK(BM_TakeUpTable)->Unit(benchmark::kMillisecond);

void BM_FrameFitted(benchmark::State &state)
{
    PlanView &view = plan();
    view.fit();
    frame(state, view);
}
BENCHMARK(BM_FrameFitted)->Unit(benchmark::kMillisecond);

void BM_FrameZoomedIn(benchmark::State &state)
{
    PlanView &view = plan();
    view.fit();
    const QPointF centre(400, 300);
    // 20 steps of the wheel about the centre: a few dozen points in sight.
    for (int step = 0; step < 20; ++step) {
        QWheelEvent wheel(centre, view.mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
    }
    frame(state, view);
    view.fit();
}
BENCHMARK(BM_FrameZoomedIn)->Unit(benchmark::kMillisecond);

// A wheel step and its frame, from the fitted view.
void BM_WheelStepFrame(benchmark::State &state)
{
    PlanView &view = plan();
    QImage image(view.size(), QImage::Format_RGB32);
    const QPointF at(300, 200);
    for (auto _ : state) {
        view.fit();
        QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
        view.render(&image);
    }
}
BENCHMARK(BM_WheelStepFrame)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
