// RQX2 coordinate receive and send of 9,999 points against rqxsim over a pseudo-terminal at full
// speed, through the whole program (main window offscreen, its own serial link), the pause before
// each point of a send set to 0. Reported per record: the program's own time inside the receive
// event (where every frame is handled), the process's CPU time and the wall time of the exchange;
// and the growth of the resident memory over one transfer.
#include "core/CoordinateTableModel.h"
#include "rqx2/Rqx2Protocol.h"
#include "serial/QSerialLink.h"
#include "serial/ReceiveDispatcher.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"
#include "ui/MessagePresenter.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>

namespace {

constexpr int kPoints = 9999;

class SilentPresenter : public MessagePresenter {
public:
    int shown = 0;
    void showMessage(QWidget *, const QString &, const QString &) override { ++shown; }
};

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double processCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The simulated RQX2 instrument in a device folder of its own.
class Simulator {
public:
    bool start(const QStringList &args)
    {
        m_process.setProgram(QStringLiteral(RQX_SIM_PATH));
        m_process.setArguments(args + QStringList{"--series", "rqx2", "--device-dir", m_dir.path()});
        m_process.start();
        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        while (!out.contains("ready ") && timer.elapsed() < 10000) {
            if (m_process.waitForReadyRead(50))
                out += m_process.readAllStandardOutput();
            if (m_process.state() == QProcess::NotRunning)
                return false;
        }
        return out.contains("ready ");
    }
    void go()
    {
        m_process.write("go\n");
        m_process.waitForBytesWritten(1000);
    }
    // Runs the program's event loop (receive events, painting) until the instrument is done.
    bool finish()
    {
        if (m_process.state() != QProcess::NotRunning) {
            QEventLoop loop;
            QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(300000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return m_process.state() == QProcess::NotRunning && m_process.exitCode() == 0;
    }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }
    QString deviceDir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

// The program as main() builds it, RQX2 selected, with the receive event timed.
struct Program {
    SilentPresenter messages;
    std::unique_ptr<Application> app;
    std::chrono::nanoseconds handlerTime{0};

    bool start(const QString &deviceDir)
    {
        app = std::make_unique<Application>(deviceDir, messages, [] {});
        app->start();
        app->selectionDialog()->findChild<QRadioButton *>(QStringLiteral("Option3"))->setChecked(true);
        app->ConfirmSelection();
        auto *link = dynamic_cast<QSerialLink *>(&app->link());
        if (!link || !app->mainWindow()->isVisible())
            return false;
        app->rqx2().setSendPause(std::chrono::milliseconds(0));
        link->setReceiveHandler([this] {
            const auto begin = std::chrono::steady_clock::now();
            app->dispatcher().OnReceiveEvent();
            handlerTime += std::chrono::steady_clock::now() - begin;
        });
        return true;
    }
};

struct Totals {
    double handler = 0, cpu = 0, wall = 0, growth = 0;
    int transfers = 0;
};

void report(benchmark::State &state, const Totals &t)
{
    const double records = double(kPoints) * t.transfers;
    state.counters["handler_us_per_record"] = t.handler * 1e6 / records;
    state.counters["cpu_us_per_record"] = t.cpu * 1e6 / records;
    state.counters["wall_us_per_record"] = t.wall * 1e6 / records;
    state.counters["rss_growth_MB"] = t.growth / t.transfers;
}

// One transfer: command is the menu entry that starts it; the instrument starts once it is given.
bool runTransfer(benchmark::State &state, Simulator &sim, Program &program, const QString &command, Totals *t)
{
    const double before = residentMegabytes();
    state.ResumeTiming();
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    program.app->mainWindow()->action(command)->trigger();
    sim.go();
    const bool ok = sim.finish();
    t->wall += timer.nsecsElapsed() / 1e9;
    t->cpu += processCpuSeconds() - cpuBefore;
    state.PauseTiming();
    t->growth += residentMegabytes() - before;
    t->handler += std::chrono::duration<double>(program.handlerTime).count();
    ++t->transfers;
    return ok;
}

void BM_Rqx2Receive9999(benchmark::State &state)
{
    Totals totals;
    for (auto _ : state) {
        state.PauseTiming();
        Simulator sim;
        if (!sim.start({"--action", "send", "--points", QString::number(kPoints)})) {
            state.SkipWithError("rqxsim did not start");
            return;
        }
        Program program;
        if (!program.start(sim.deviceDir())) {
            state.SkipWithError("the program did not find the simulated cable");
            return;
        }
        const bool ok = runTransfer(state, sim, program, QStringLiteral("RecZB"), &totals);
        if (!ok || program.app->table().count() != kPoints) {
            state.SkipWithError(("receive failed: " + sim.errors()).toStdString().c_str());
            return;
        }
        state.ResumeTiming();
    }
    report(state, totals);
}

void BM_Rqx2Send9999(benchmark::State &state)
{
    Totals totals;
    for (auto _ : state) {
        state.PauseTiming();
        Simulator sim;
        if (!sim.start({"--action", "receive"})) {
            state.SkipWithError("rqxsim did not start");
            return;
        }
        Program program;
        if (!program.start(sim.deviceDir())) {
            state.SkipWithError("the program did not find the simulated cable");
            return;
        }
        CoordinateTableModel &table = program.app->table();
        table.buildColumns(true);
        std::vector<CoordinatePoint> rows;
        for (int i = 1; i <= kPoints; ++i) {
            const QString n = QString::number(i);
            rows.push_back({n, n, QStringLiteral("P") + n, QString::number(4000 + i * 1.5, 'f', 3),
                            QString::number(-2000 - i * 0.25, 'f', 4), QStringLiteral("12.345")});
        }
        table.append(rows);
        const bool ok = runTransfer(state, sim, program, QStringLiteral("SendZB"), &totals);
        if (!ok) {
            state.SkipWithError(("send failed: " + sim.errors()).toStdString().c_str());
            return;
        }
        state.ResumeTiming();
    }
    report(state, totals);
}

} // namespace

BENCHMARK(BM_Rqx2Receive9999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Rqx2Send9999)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
