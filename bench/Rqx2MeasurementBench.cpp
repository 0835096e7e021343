// RQX2 measurement receive of a file of 9,999 records (stations, backsights and measurements)
// against rqxsim over a pseudo-terminal at full speed, through the whole program from the measurement
// window's "接收数据". Reported: the program's own time per record inside the receive handler (the
// transfer taking the bytes, the executor performing the actions), the longest single handler, the longest
// time the event loop went without turning (measured by a timer that asks to run every millisecond), and the
// wall time per record.
#include "support/BenchMain.h"
#include "support/BenchProgram.h"
#include "support/BenchSimulator.h"

#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form7.h"

#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kRecords = 9999;

void BM_Rqx2MeasurementReceive9999(benchmark::State &state)
{
    double handler = 0, longestHandler = 0, longestGap = 0, wall = 0;
    int transfers = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchSimulator sim;
        BenchProgram program;
        if (!sim.start(QStringLiteral("rqx2"),
                       {"--action", "measurements", "--points", QString::number(kRecords)})) {
            state.SkipWithError("rqxsim did not start");
            return;
        }
        if (!program.start(sim.deviceDir(), BenchSeries::Rqx2)) {
            state.SkipWithError("the program did not find the simulated cable");
            return;
        }
        Application &app = *program.app;
        app.mainWindow()->action(QStringLiteral("CLSend"))->trigger();
        Form7 *form7 = app.rqx2MeasurementWindow();

        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        program.startProbe();
        form7->button(QStringLiteral("Command1"))->click();
        sim.go();
        const bool ok = sim.finish();
        program.stopProbe();
        wall += timer.nsecsElapsed() / 1e9;
        handler += std::chrono::duration<double>(program.handlerTime).count();
        longestHandler =
            std::max(longestHandler, std::chrono::duration<double>(program.longestHandler).count());
        longestGap = std::max(longestGap, program.longestLoopGapMs / 1e3);
        state.PauseTiming();
        ++transfers;
        if (!ok || form7->list().count() != kRecords) {
            state.SkipWithError(("receive failed: " + sim.errors()).toStdString().c_str());
            return;
        }
        state.ResumeTiming();
    }
    const double records = double(kRecords) * transfers;
    state.counters["handler_us_per_record"] = handler * 1e6 / records;
    state.counters["longest_event_ms"] = longestHandler * 1e3;
    state.counters["longest_loop_gap_ms"] = longestGap * 1e3;
    state.counters["wall_us_per_record"] = wall * 1e6 / records;
}

} // namespace

BENCHMARK(BM_Rqx2MeasurementReceive9999)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
