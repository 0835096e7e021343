#include "TransferBench.h"

#include "BenchSimulator.h"
#include "ProcessMeasures.h"
#include "core/CoordinateTableModel.h"
#include "ui/Application.h"
#include "ui/Form1.h"

#include <QAction>
#include <QElapsedTimer>
#include <algorithm>

namespace {

struct Totals {
    double handler = 0, cpu = 0, wall = 0, growth = 0, longestHandler = 0, longestGap = 0;
    int transfers = 0;
};

void report(benchmark::State &state, const Totals &t, int points)
{
    const double records = double(points) * t.transfers;
    state.counters["handler_us_per_record"] = t.handler * 1e6 / records;
    state.counters["cpu_us_per_record"] = t.cpu * 1e6 / records;
    state.counters["wall_us_per_record"] = t.wall * 1e6 / records;
    state.counters["rss_growth_MB"] = t.growth / t.transfers;
    state.counters["longest_handler_ms"] = t.longestHandler * 1e3;
    state.counters["longest_loop_gap_ms"] = t.longestGap;
}

QString seriesName(BenchSeries series)
{
    return series == BenchSeries::Rqx2 ? QStringLiteral("rqx2") : QStringLiteral("rqx5");
}

// Both started with timing paused; false with the benchmark marked failed.
bool startBoth(benchmark::State &state, BenchSimulator &sim, const QStringList &simArgs,
               BenchProgram &program, BenchSeries series)
{
    if (!sim.start(seriesName(series), simArgs)) {
        state.SkipWithError("rqxsim did not start");
        return false;
    }
    if (!program.start(sim.deviceDir(), series)) {
        state.SkipWithError("the program did not find the simulated cable");
        return false;
    }
    return true;
}

// One transfer, timed: command starts it; an instrument that opens the transfer itself is told to go
// once the command is given.
bool runTransfer(benchmark::State &state, BenchSimulator &sim, BenchProgram &program,
                 const std::function<void(BenchProgram &)> &command, bool instrumentOpens, Totals *t)
{
    const double before = residentMegabytes();
    state.ResumeTiming();
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    program.startProbe();
    command(program);
    if (instrumentOpens)
        sim.go();
    const bool ok = sim.finish();
    program.stopProbe();
    t->wall += timer.nsecsElapsed() / 1e9;
    t->cpu += processCpuSeconds() - cpuBefore;
    state.PauseTiming();
    t->growth += residentMegabytes() - before;
    t->handler += std::chrono::duration<double>(program.handlerTime).count();
    t->longestHandler =
        std::max(t->longestHandler, std::chrono::duration<double>(program.longestHandler).count());
    t->longestGap = std::max(t->longestGap, program.longestLoopGapMs);
    ++t->transfers;
    return ok;
}

std::function<void(BenchProgram &)> menuEntry(const QString &name)
{
    return [name](BenchProgram &program) { program.app->mainWindow()->action(name)->trigger(); };
}

} // namespace

void benchCoordinateReceive(benchmark::State &state, BenchSeries series, int points)
{
    benchInstrumentSends(state, series, {"--action", "send", "--points", QString::number(points)}, points,
                         menuEntry(QStringLiteral("RecZB")),
                         [points](Application &app) { return app.table().count() == points; });
}

void benchInstrumentSends(benchmark::State &state, BenchSeries series, const QStringList &simArgs,
                          int records, const std::function<void(BenchProgram &)> &prepare,
                          const std::function<bool(Application &)> &received)
{
    Totals totals;
    for (auto _ : state) {
        state.PauseTiming();
        BenchSimulator sim;
        BenchProgram program;
        if (!startBoth(state, sim, simArgs, program, series))
            return;
        const bool ok = runTransfer(state, sim, program, prepare, true, &totals);
        if (!ok || !received(*program.app)) {
            state.SkipWithError(("receive failed: " + sim.errors()).toStdString().c_str());
            return;
        }
        state.ResumeTiming();
    }
    report(state, totals, records);
}

void benchCoordinateSend(benchmark::State &state, BenchSeries series,
                         const std::vector<CoordinatePoint> &rows, bool sendPause)
{
    Totals totals;
    for (auto _ : state) {
        state.PauseTiming();
        BenchSimulator sim;
        BenchProgram program;
        if (!startBoth(state, sim, {"--action", "receive"}, program, series))
            return;
        CoordinateTableModel &table = program.app->table();
        table.buildColumns(true);
        table.append(rows);
        // The RQX2 instrument opens a send with its request; the RQX5 one waits for the program's header.
        const auto command =
            sendPause ? menuEntry(QStringLiteral("SendZB")) : [](BenchProgram &p) { p.sendWithoutPause(); };
        const bool ok = runTransfer(state, sim, program, command, series == BenchSeries::Rqx2, &totals);
        if (!ok) {
            state.SkipWithError(("send failed: " + sim.errors()).toStdString().c_str());
            return;
        }
        state.ResumeTiming();
    }
    report(state, totals, static_cast<int>(rows.size()));
}
