// The time from the last byte of an instrument's frame arriving on a pseudo-terminal to the program's
// answer being written, through the production link. The program runs its own event loop in a thread
// of its own, as it waits in the real window; this thread is the instrument.
//
// Reported per case: the median, 90th percentile and largest latency in microseconds.
#include "core/AppState.h"
#include "core/CoordinateTableModel.h"
#include "core/TransferView.h"
#include "rqx5/Rqx5Protocol.h"
#include "serial/QSerialLink.h"
#include "serial/ReceiveDispatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

class QuietView : public TransferView {
public:
    void setStatus(const QString &) override {}
    void setProgress(const QString &text) override { progress = text; }
    void setFileName(const QString &) override {}
    void setCountLabel(const QString &) override {}
    void selectCoordinateData() override {}
    void setConnectionTestShown(bool) override {}
    QString portButtonCaption() const override { return QStringLiteral("打开串口"); }
    void setPortButtonCaption(const QString &) override {}
    void setMeasurementStatus(const QString &) override {}
    void showMessage(const QString &, const QString &) override {}
    void bringWindowForward() override {}
    void endProgram() override {}
    QString progress;
};

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
    // Blocks until count bytes have come; false after a second without them.
    bool receive(int count, QByteArray *got)
    {
        got->clear();
        while (got->size() < count) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 1000) <= 0)
                return false;
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

// The program's serial side with the RQX5 coordinate receive, living in its own thread.
struct Program {
    explicit Program(const QString &deviceDir) : link(deviceDir)
    {
        selection.rqx5 = true;
        selection.rqx2 = false;
        state.Selection = &selection;
        state.load();
        protocol.install(dispatcher.routines());
        link.setReceiveHandler([this] { dispatcher.OnReceiveEvent(); });
    }
    FixedSelection selection;
    AppState state;
    CoordinateTableModel table;
    QuietView view;
    QSerialLink link;
    ReceiveDispatcher dispatcher{state, link, view};
    Rqx5Protocol protocol{state, link, table, view};
};

class ProgramThread {
public:
    explicit ProgramThread(const QString &deviceDir)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        run([this, deviceDir] { m_program = std::make_unique<Program>(deviceDir); });
    }
    ~ProgramThread()
    {
        run([this] { m_program.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    // Runs f in the program's thread and waits for it.
    void run(const std::function<void()> &f)
    {
        QMetaObject::invokeMethod(&m_context, f, Qt::BlockingQueuedConnection);
    }
    Program &program() { return *m_program; }

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<Program> m_program;
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

// The bare link: a two-byte frame in, a two-byte answer out from the receive event.
void BM_LinkEcho(benchmark::State &bench)
{
    InstrumentLine line;
    ProgramThread thread(line.deviceDir());
    thread.run([&] {
        QSerialLink &link = thread.program().link;
        link.setReceiveHandler([&link] {
            link.readAll();
            link.write(QByteArray("\xAA\x81", 2));
        });
        link.open();
        link.setReceiveThreshold(2);
    });
    timeAnswers(
        bench, line, [] { return QByteArray("\xAA\xBB", 2); }, "no answer");
}

// A whole RQX5 coordinate record in, through the dispatcher and the protocol (decode, table row,
// acknowledgement), 0xAA 0x81 out.
void BM_Rqx5RecordToAcknowledgement(benchmark::State &bench)
{
    InstrumentLine line;
    ProgramThread thread(line.deviceDir());
    thread.run([&] { thread.program().protocol.StartRqx5CoordinateReceive(); });
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

// The CPU time the process spends while a message box is open inside the receive handler and the
// instrument's next frame waits: the held event should cost nothing, the box's loop must not spin
// on it. Reported per box of kBoxMs: the median and largest CPU milliseconds, and how many held
// events did not follow once the box was closed.
void BM_HeldEventWhileABoxIsOpen(benchmark::State &bench)
{
    constexpr int kBoxMs = 300;
    InstrumentLine line;
    QSerialLink link(line.deviceDir());
    if (!link.open()) {
        bench.SkipWithError("the port could not be opened");
        return;
    }
    std::vector<double> cpuMs;
    int events = 0;
    link.setReceiveHandler([&] {
        link.readAll();
        if (++events > 1)
            return; // the held event, after the box
        QEventLoop box;
        line.send(QByteArray("\xAA\x81", 2));
        QTimer::singleShot(kBoxMs, &box, &QEventLoop::quit);
        const std::clock_t before = std::clock();
        box.exec();
        cpuMs.push_back(1000.0 * static_cast<double>(std::clock() - before) / CLOCKS_PER_SEC);
    });
    link.setReceiveThreshold(2);
    int lost = 0;
    auto runUntil = [](const std::function<bool()> &done, int timeoutMs) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    };
    for (auto _ : bench) {
        events = 0;
        const size_t boxes = cpuMs.size();
        line.send(QByteArray("\xAA\x82", 2));
        if (!runUntil([&] { return cpuMs.size() > boxes; }, 10 * kBoxMs)) {
            bench.SkipWithError("no receive event came");
            return;
        }
        if (!runUntil([&] { return events >= 2; }, 10 * kBoxMs)) {
            ++lost;
            link.clearInput();
        }
    }
    if (cpuMs.empty())
        return;
    std::sort(cpuMs.begin(), cpuMs.end());
    bench.counters["cpu_ms_median"] = cpuMs[cpuMs.size() / 2];
    bench.counters["cpu_ms_max"] = cpuMs.back();
    bench.counters["held_events_lost"] = lost;
}

} // namespace

BENCHMARK(BM_HeldEventWhileABoxIsOpen)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinkEcho)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rqx5RecordToAcknowledgement)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
