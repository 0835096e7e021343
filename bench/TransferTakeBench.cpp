// The program's own time per record without a line: a transfer takes the frame and the executor
// performs its actions (decode, table row, acknowledgement written) on a port that writes nowhere;
// logged:1 writes the session log as the program does, logged:0 does not.
// And how fast a transfer scans a chunk in which no frame ends until its last byte: the worst case,
// every position tested (a transfer keeps at most FrameBuffer::kBound bytes of a chunk without a frame).
#include "rqx2/Rqx2CoordinateReceive.h"
#include "rqx2/Rqx2CoordinateSend.h"
#include "rqx2/Rqx2MeasurementReceive.h"
#include "rqx5/Rqx5CoordinateReceive.h"
#include "rqx5/Rqx5DataFileReceive.h"
#include "serial/SerialLink.h"
#include "support/BenchMain.h"
#include "support/BenchWindow.h"
#include "support/SilentPresenter.h"
#include "ui/SessionLogger.h"
#include "ui/TransferExecutor.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A port that is always open, writes nowhere and counts what it wrote; bytes arrive through arrive().
class NullLink : public SerialLink {
public:
    void clearOutput() override {}
    void clearInput() override {}
    bool isOpen() const override { return true; }
    bool open() override { return true; }
    void closeWhenWritten(std::function<void()> closed) override
    {
        if (closed)
            closed();
    }
    bool write(const QByteArray &bytes) override
    {
        written += bytes.size();
        return true;
    }
    QByteArray readAll() override { return std::exchange(waiting, {}); }
    void setCommPort(int) override {}
    int commPort() const override { return 1; }
    void setSettings(const QString &) override {}
    QString settings() const override { return {}; }

    void arrive(const QByteArray &bytes)
    {
        waiting += bytes;
        notifyReceived();
    }

    QByteArray waiting;
    qint64 written = 0;
};

// logged: every byte both ways goes to a session log, as in the program.
struct Executor {
    explicit Executor(bool logged = false)
    {
        link.setReceiveHandler([this] { executor.bytesArrived(); });
        if (logged)
            executor.setObserver(&sessions);
    }
    ~Executor() { executor.setObserver(nullptr); }
    // Bytes from the instrument, and whatever waits for the event loop (a pause of 0) done.
    void arrive(const QByteArray &bytes)
    {
        link.arrive(bytes);
        while (!executor.idle())
            QCoreApplication::processEvents();
    }
    QTemporaryDir logFolder;
    SessionLogger sessions{[] {
                               return SessionHeader{"RQX5", "NEZ", "COM1", "1200,N,8,1"};
                           },
                           logFolder.path()};
    NullLink link;
    SilentPresenter messages;
    BenchWindow window;
    TransferExecutor executor{link, messages};
};

QByteArray field(const QByteArray &text, int width, bool right)
{
    const QByteArray pad(width - text.size(), ' ');
    return right ? pad + text : text + pad;
}

// RQX2 coordinate record `current` of `total`, 63 bytes: 0x02, the counters, number and name (7 each),
// three coordinates (13 each), CR.
QByteArray rqx2Record(int current, int total)
{
    return QByteArray(1, '\x02') + QByteArray::number(current).rightJustified(4, '0') +
           QByteArray::number(total).rightJustified(4, '0') + field(QByteArray::number(current), 7, false) +
           field("A", 7, false) + "000001234.567" + "000000-45.500" + "000000012.300" + "\r";
}

// RQX5 coordinate record: 0x90, number (8), name (8), N, E and Z (14 each), 0xB0.
QByteArray rqx5Record(int number)
{
    return QByteArray(1, '\x90') + field(QByteArray::number(number), 8, true) + field("PT", 8, false) +
           field("4012345.678", 14, false) + field("512345.123", 14, false) + field("12.345", 14, false) +
           QByteArray(1, '\xB0');
}

constexpr int kRecords = 9000;

void BM_Rqx2ReceiveRecord(benchmark::State &state)
{
    Executor e(state.range(0) != 0);
    e.executor.begin(std::make_unique<Rqx2CoordinateReceive>(true), e.window);
    e.arrive("\x02J\r");
    int current = 0;
    for (auto _ : state)
        e.arrive(rqx2Record(++current, 9999));
    if (e.window.table.count() != current)
        state.SkipWithError("a record was not stored");
}
BENCHMARK(BM_Rqx2ReceiveRecord)
    ->ArgName("logged")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(kRecords)
    ->Unit(benchmark::kMicrosecond);

void BM_Rqx2SendRecord(benchmark::State &state)
{
    Executor e(state.range(0) != 0);
    for (int i = 1; i <= kRecords + 1; ++i)
        e.window.table.append(CoordinatePoint{QString::number(i), QString::number(i), QStringLiteral("P"),
                                              QStringLiteral("4012.5"), QStringLiteral("-512.25"),
                                              QStringLiteral("12.345")});
    auto send = std::make_unique<Rqx2CoordinateSend>(e.window.table, true);
    send->setSendPause(0);
    e.executor.begin(std::move(send), e.window);
    const qint64 before = e.link.written;
    for (auto _ : state)
        e.arrive("\x02J\r");
    if (e.link.written == before)
        state.SkipWithError("nothing was sent");
}
BENCHMARK(BM_Rqx2SendRecord)
    ->ArgName("logged")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(kRecords)
    ->Unit(benchmark::kMicrosecond);

void BM_Rqx5ReceiveRecord(benchmark::State &state)
{
    Executor e(state.range(0) != 0);
    e.executor.begin(std::make_unique<Rqx5CoordinateReceive>(true), e.window);
    // The header announces 255 * 100 + 99 points, more than are sent.
    e.arrive(QByteArray(2, '\0') + field("BENCH", 12, false) + QByteArray("\xFF\x63\xAA\x82", 4));
    int number = 0;
    for (auto _ : state)
        e.arrive(rqx5Record(++number));
    if (e.window.table.count() != number)
        state.SkipWithError("a record was not stored");
}
BENCHMARK(BM_Rqx5ReceiveRecord)
    ->ArgName("logged")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(kRecords)
    ->Unit(benchmark::kMicrosecond);

enum Scanner { Rqx2Measurement, Rqx5DataFile };

// A chunk of instrument text (codes below 0x80, no CR) whose last byte is the terminator.
QByteArray chunkEndingIn(qsizetype size, unsigned char terminator)
{
    QByteArray chunk(size, '\0');
    for (qsizetype k = 0; k < size; ++k)
        chunk[k] = static_cast<char>('0' + k % 10);
    chunk[size - 1] = static_cast<char>(terminator);
    return chunk;
}

void BM_TakeLargeChunk(benchmark::State &state)
{
    const auto scanner = static_cast<Scanner>(state.range(0));
    const qsizetype size = state.range(1);
    const QByteArray chunk = chunkEndingIn(size, scanner == Rqx2Measurement ? 0x0D : 0xB1);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Transfer> transfer;
        if (scanner == Rqx2Measurement)
            transfer = std::make_unique<Rqx2MeasurementReceive>(true);
        else
            transfer = std::make_unique<Rqx5DataFileReceive>(true);
        state.ResumeTiming();
        benchmark::DoNotOptimize(transfer->take(chunk));
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_TakeLargeChunk)
    ->ArgNames({"transfer", "bytes"})
    ->ArgsProduct({{Rqx2Measurement, Rqx5DataFile}, {64 << 10, 16 << 20}})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
