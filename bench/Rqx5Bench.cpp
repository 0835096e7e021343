// RQX5 coordinate receive and send of 9,999 points against rqxsim over a pseudo-terminal at full
// speed, through the whole program; the same of 1,000 points for the window's longest stall. What is
// reported: see support/TransferBench.h.
#include "support/BenchMain.h"
#include "support/TransferBench.h"

#include <QString>

namespace {

constexpr int kPoints = 9999;
// The transfer during which the window must never block longer than 50 ms.
constexpr int kWindowPoints = 1000;

std::vector<CoordinatePoint> sendRows(int count)
{
    std::vector<CoordinatePoint> rows;
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        rows.push_back({n, n, QStringLiteral("P") + n, QString::number(4000 + i * 1.5, 'f', 3),
                        QString::number(2000 + i * 0.25, 'f', 3), QStringLiteral("12.345")});
    }
    return rows;
}

void BM_Rqx5Receive9999(benchmark::State &state)
{
    benchCoordinateReceive(state, BenchSeries::Rqx5, kPoints);
}

void BM_Rqx5Send9999(benchmark::State &state)
{
    benchCoordinateSend(state, BenchSeries::Rqx5, sendRows(kPoints));
}

void BM_Rqx5Receive1000(benchmark::State &state)
{
    benchCoordinateReceive(state, BenchSeries::Rqx5, kWindowPoints);
}

void BM_Rqx5Send1000(benchmark::State &state)
{
    benchCoordinateSend(state, BenchSeries::Rqx5, sendRows(kWindowPoints));
}

} // namespace

BENCHMARK(BM_Rqx5Receive9999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Rqx5Send9999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Rqx5Receive1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Rqx5Send1000)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
