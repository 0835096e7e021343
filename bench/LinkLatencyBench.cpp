// The time from the last byte of an instrument's frame arriving on a pseudo-terminal to the program's
// answer being written, through the production link. The instrument writes its frame, then turns the
// program's event loop (which waits in the real window) until the answer can be read.
//
// Reported per case: the median, 90th percentile and largest latency in microseconds.
#include "rqx5/Rqx5CoordinateReceive.h"
#include "serial/QSerialLink.h"
#include "support/BenchMain.h"
#include "support/BenchWindow.h"
#include "support/SilentPresenter.h"
#include "ui/TransferExecutor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// The instrument's end of a pseudo-terminal, linked into a device folder as the cable.
class InstrumentLine {
public:
    InstrumentLine()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_master);
        ::unlockpt(m_master);
        const QByteArray slave = ::ptsname(m_master);
        m_keeper = ::open(slave.constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(m_keeper, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_keeper, TCSANOW, &tio);
        QFile::link(QString::fromLocal8Bit(slave), m_dir.filePath(QStringLiteral("usb-Prolific-cable")));
    }
    ~InstrumentLine()
    {
        ::close(m_keeper);
        ::close(m_master);
    }
    QString deviceDir() const { return m_dir.path(); }

    void send(const QByteArray &bytes)
    {
        (void)!::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    // Turns the program's event loop until count bytes have come; false after a second without them.
    bool receive(int count, QByteArray *got)
    {
        got->clear();
        QElapsedTimer waited;
        waited.start();
        while (got->size() < count) {
            QCoreApplication::processEvents();
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 0) <= 0) {
                if (waited.elapsed() > 1000)
                    return false;
                continue;
            }
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, static_cast<size_t>(count - got->size()));
            if (n <= 0)
                return false;
            got->append(buffer, static_cast<qsizetype>(n));
        }
        return true;
    }

private:
    QTemporaryDir m_dir;
    int m_master = -1;
    int m_keeper = -1;
};

// The program's serial side: the production link, the executor and a window without paint.
struct Program {
    explicit Program(const QString &deviceDir) : link(deviceDir)
    {
        link.setReceiveHandler([this] { executor.bytesArrived(); });
    }
    QSerialLink link;
    SilentPresenter messages;
    BenchWindow window;
    TransferExecutor executor{link, messages};
};

QByteArray ascii(const char *text, int width, bool right)
{
    QByteArray field(text);
    const QByteArray pad(width - field.size(), ' ');
    return right ? pad + field : field + pad;
}

// A 60-byte coordinate record: 0x90, number (8), name (8), N, E and Z (14 each), 0xB0.
QByteArray coordinateRecord(int number)
{
    const QByteArray n = QByteArray::number(number);
    return QByteArray(1, '\x90') + ascii(n.constData(), 8, true) + ascii("PT", 8, false) +
           ascii("4012345.678", 14, false) + ascii("512345.123", 14, false) + ascii("12.345", 14, false) +
           QByteArray(1, '\xB0');
}

void report(benchmark::State &bench, std::vector<double> &micros)
{
    if (micros.empty())
        return;
    std::sort(micros.begin(), micros.end());
    bench.counters["median_us"] = micros[micros.size() / 2];
    bench.counters["p90_us"] = micros[micros.size() * 9 / 10];
    bench.counters["max_us"] = micros.back();
}

// Each iteration sends the next frame and times it until the program's two-byte answer has come.
void timeAnswers(benchmark::State &bench, InstrumentLine &line, const std::function<QByteArray()> &nextFrame,
                 const char *noAnswer)
{
    std::vector<double> micros;
    QByteArray answer;
    QElapsedTimer clock;
    for (auto _ : bench) {
        line.send(nextFrame());
        clock.start();
        if (!line.receive(2, &answer)) {
            bench.SkipWithError(noAnswer);
            break;
        }
        const double us = static_cast<double>(clock.nsecsElapsed()) / 1000.0;
        bench.SetIterationTime(us / 1e6);
        micros.push_back(us);
    }
    report(bench, micros);
}

// The bare link: a two-byte frame in, a two-byte answer out from the receive handler.
void BM_LinkEcho(benchmark::State &bench)
{
    InstrumentLine line;
    QSerialLink link(line.deviceDir());
    link.setReceiveHandler([&link] {
        if (link.readAll().size() > 0)
            link.write(QByteArray("\xAA\x81", 2));
    });
    if (!link.open()) {
        bench.SkipWithError("the port could not be opened");
        return;
    }
    timeAnswers(
        bench, line, [] { return QByteArray("\xAA\xBB", 2); }, "no answer");
}

// A whole RQX5 coordinate record in, taken by the transfer and its actions performed by the executor
// (decode, table row, acknowledgement), 0xAA 0x81 out.
void BM_Rqx5RecordToAcknowledgement(benchmark::State &bench)
{
    InstrumentLine line;
    Program program(line.deviceDir());
    program.executor.begin(std::make_unique<Rqx5CoordinateReceive>(true), program.window);
    // The header announces 255 * 100 + 99 points, more than any run of this benchmark sends.
    QByteArray header = QByteArray(2, '\0') + ascii("BENCH", 12, false) + QByteArray("\xFF\x63\xAA\x82", 4);
    line.send(header);
    QByteArray answer;
    if (!line.receive(2, &answer) || answer != QByteArray("\xAA\x81", 2)) {
        bench.SkipWithError("the header was not acknowledged");
        return;
    }
    int number = 0;
    timeAnswers(
        bench, line, [&number] { return coordinateRecord(++number); }, "no acknowledgement");
}

} // namespace

BENCHMARK(BM_LinkEcho)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rqx5RecordToAcknowledgement)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    return runWindowBenchmarks(argc, argv);
}
