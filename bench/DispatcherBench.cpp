// How fast the receive dispatcher scans a chunk in which no rule matches until its last byte: the
// worst case, every position stored and every rule tested.
#include "core/AppState.h"
#include "core/TransferView.h"
#include "serial/ReceiveDispatcher.h"
#include "serial/SerialLink.h"

#include <benchmark/benchmark.h>

namespace {

class IdleLink : public SerialLink {
public:
    void clearOutput() override {}
    void clearInput() override {}
    void setSendThreshold(int) override {}
    void setReceiveThreshold(int) override {}
    int receiveThreshold() const override { return 0; }
    bool isOpen() const override { return true; }
    bool open() override { return true; }
    void close() override {}
    bool write(const QByteArray &) override { return true; }
    int waitingCount() const override { return 0; }
    QByteArray readAll() override { return {}; }
    void holdUnrouted(const QByteArray &) override {}
    void setCommPort(int) override {}
    int commPort() const override { return 1; }
    void setSettings(const QString &) override {}
    QString settings() const override { return {}; }
};

class IdleView : public TransferView {
public:
    void setStatus(const QString &) override {}
    void setProgress(const QString &) override {}
    void setFileName(const QString &) override {}
    void setCountLabel(const QString &) override {}
    void selectCoordinateData() override {}
    void setConnectionTestShown(bool) override {}
    QString portButtonCaption() const override { return {}; }
    void setPortButtonCaption(const QString &) override {}
    void setMeasurementStatus(const QString &) override {}
    void showMessage(const QString &, const QString &) override {}
    void bringWindowForward() override {}
    void endProgram() override {}
};

enum Series { Rqx2, Rqx5, Rqx5Measuring };

// A chunk of instrument text (codes below 0x80, no CR) whose last byte is the terminator.
QByteArray chunkEndingIn(qsizetype size, unsigned char terminator)
{
    QByteArray chunk(size, '\0');
    for (qsizetype k = 0; k < size; ++k)
        chunk[k] = static_cast<char>('0' + k % 10);
    chunk[size - 1] = static_cast<char>(terminator);
    return chunk;
}

void BM_DispatchLargeChunk(benchmark::State &bench)
{
    const auto series = static_cast<Series>(bench.range(0));
    const qsizetype size = bench.range(1);
    FixedSelection selection;
    selection.rqx2 = series == Rqx2;
    selection.rqx5 = series != Rqx2;
    AppState state;
    state.Selection = &selection;
    state.load();
    state.ReceiveBuffer.reallocate(50000);
    state.Rqx5MeasureReceiveStarted = series == Rqx5Measuring;
    IdleLink link;
    IdleView view;
    ReceiveDispatcher dispatcher(state, link, view);
    int routed = 0;
    dispatcher.routines().ReceiveRqx2LongRecord = [&] { ++routed; };
    dispatcher.routines().ReceiveRqx5DataFileRecord = [&] { ++routed; };
    const QByteArray chunk = chunkEndingIn(size, series == Rqx2 ? 0x0D : 0xB1);
    for (auto _ : bench) {
        dispatcher.dispatch(chunk);
        benchmark::DoNotOptimize(state.LoopIndex);
    }
    if (routed != bench.iterations())
        bench.SkipWithError("the chunk was not routed at its last byte");
    bench.SetBytesProcessed(bench.iterations() * size);
}

} // namespace

BENCHMARK(BM_DispatchLargeChunk)
    ->ArgNames({"series", "bytes"})
    ->ArgsProduct({{Rqx2, Rqx5, Rqx5Measuring}, {64 << 10, 16 << 20}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
