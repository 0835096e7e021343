// An RQX5 data file of 9,999 records received into the measurement window against rqxsim over a
// pseudo-terminal at full speed, through the whole program: from the main window's "测量数据" and
// the window's "接 收". What is reported: see support/TransferBench.h.
#include "support/BenchMain.h"
#include "support/TransferBench.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form4.h"

#include <QAction>
#include <QPushButton>

namespace {

constexpr int kRecords = 9999;

void BM_Rqx5DataFile9999(benchmark::State &state)
{
    benchInstrumentSends(
        state, BenchSeries::Rqx5, {"--action", "datafile", "--points", QString::number(kRecords)}, kRecords,
        [](BenchProgram &program) {
            Application &app = *program.app;
            app.mainWindow()->action(QStringLiteral("CLSend"))->trigger();
            app.measureWindow()->button(QStringLiteral("Command1"))->click();
        },
        [](Application &app) { return app.measureWindow()->list().count() == kRecords; });
}

} // namespace

BENCHMARK(BM_Rqx5DataFile9999)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
