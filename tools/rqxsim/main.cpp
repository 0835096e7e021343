// rqxsim: plays an RQX2 or RQX5 total station on a pseudo-terminal, so the program can be tried and
// tested without a cable. It builds every frame with its own code.
#include "Play.h"
#include "Wire.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
void usage()
{
    std::fputs("usage: rqxsim --device-dir DIR [--series rqx2|rqx5] [--action ACTION] [options]\n"
               "  --record FILE       write every byte both ways, with timestamps\n"
               "  --action ACTION     answer-test (default), script, send, receive\n"
               "  --script FILE       for the action script: lines 'send HEX', 'expect HEX [timeout-ms]'\n"
               "  --points N          points to generate for send\n"
               "  --points-file FILE  points to send, lines 'number,name,N,E,Z'\n"
               "  --output FILE       where received points are written\n"
               "  --timeout MS        how long to wait for the program at each step (default 10000)\n"
               "  --demo              keep answering until killed\n"
               "Prints 'ready <device entry>' once the device entry exists. Transfers the instrument opens\n"
               "itself start when a line 'go' is read on standard input.\n",
               stderr);
}
} // namespace

bool waitForGo()
{
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        if (QByteArray(line).trimmed() == "go")
            return true;
    }
    return false;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimOptions options;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (arg == QLatin1String("--device-dir"))
            options.deviceDir = value();
        else if (arg == QLatin1String("--series"))
            options.series = value();
        else if (arg == QLatin1String("--record"))
            options.recordPath = value();
        else if (arg == QLatin1String("--action"))
            options.action = value();
        else if (arg == QLatin1String("--script"))
            options.scriptPath = value();
        else if (arg == QLatin1String("--points"))
            options.points = value().toInt();
        else if (arg == QLatin1String("--points-file"))
            options.pointsFile = value();
        else if (arg == QLatin1String("--output"))
            options.outputFile = value();
        else if (arg == QLatin1String("--timeout"))
            options.timeoutMs = value().toInt();
        else if (arg == QLatin1String("--demo"))
            options.demo = true;
        else {
            usage();
            return 2;
        }
    }
    if (options.deviceDir.isEmpty() || (options.series != QLatin1String("rqx2") && options.series != QLatin1String("rqx5"))) {
        usage();
        return 2;
    }

    Wire wire;
    QString error;
    if (!wire.open(options.deviceDir, &error)) {
        report(error);
        return 1;
    }
    if (!options.recordPath.isEmpty() && !wire.recordTo(options.recordPath)) {
        report(QStringLiteral("cannot write %1").arg(options.recordPath));
        return 1;
    }
    std::printf("ready %s\n", wire.linkPath().toLocal8Bit().constData());
    std::fflush(stdout);

    if (options.action == QLatin1String("script"))
        return playScript(wire, options);
    return options.series == QLatin1String("rqx2") ? playRqx2(wire, options) : playRqx5(wire, options);
}
