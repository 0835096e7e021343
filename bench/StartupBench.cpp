// From process start to the notice box. Each run starts this program again in a child mode that
// does what rqxcomm's main() does (QApplication, the Application with the device folder, start())
// with a presenter that shows the real message box, reports, and ends the child at once. The time is
// taken by the parent from starting the process to reading the report, so loading the libraries and
// building every window count. The child also reports its own time from main() to the box.
#include "ui/Application.h"
#include "ui/MessagePresenter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr char kChildFlag[] = "--startup-child";

QElapsedTimer sinceMain;

class ReportingPresenter : public MessagePresenter {
public:
    void showMessage(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.show();
        QCoreApplication::processEvents();
        std::printf("notice %lld\n", static_cast<long long>(sinceMain.nsecsElapsed() / 1000));
        std::fflush(stdout);
        std::_Exit(0);
    }
};

int runChild(int argc, char **argv, const char *deviceDir)
{
    QApplication app(argc, argv);
    ReportingPresenter messages;
    Application program(QString::fromLocal8Bit(deviceDir), messages, [] {});
    program.start();
    return 1; // the presenter ends the child
}

void BM_ProcessStartToNotice(benchmark::State &state)
{
    QTemporaryDir devices;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    double childMicros = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kChildFlag), devices.path()});
        QByteArray out;
        while (!out.contains('\n') && child.waitForReadyRead(5000))
            out += child.readAllStandardOutput();
        state.PauseTiming();
        if (!out.startsWith("notice ")) {
            state.SkipWithError("the child did not report the notice box");
            break;
        }
        childMicros += out.mid(7).trimmed().toDouble();
        child.waitForFinished(5000);
        state.ResumeTiming();
    }
    state.counters["main_to_notice_ms"] =
        benchmark::Counter(childMicros / 1000.0, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ProcessStartToNotice)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    sinceMain.start();
    if (argc >= 3 && qstrcmp(argv[1], kChildFlag) == 0)
        return runChild(argc, argv, argv[2]);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
