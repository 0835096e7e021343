// rqxsim: plays an RQX2 or RQX5 total station on a pseudo-terminal, so the program can be tried and
// tested without a cable. It builds every frame with its own code.
#include "Play.h"
#include "Wire.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <unistd.h>

namespace {

// Bytes the instrument sent last are given this long to be read by the program before the line goes
// away with the simulator.
constexpr int kHandOverMs = 500;
// The instrument's line speed, unless --line-speed names another.
constexpr int kInstrumentBaud = 1200;

// The simulator is installed under a longer name than its build name; usage says the one it was run by.
void usage(std::FILE *to, const QString &name)
{
    std::fprintf(to,
                 "usage: %s --device-dir DIR [--series rqx2|rqx5] [--action ACTION] [options]\n"
                 "       %s --replay LOG [--series rqx2|rqx5] --device-dir DIR\n",
                 name.toLocal8Bit().constData(), name.toLocal8Bit().constData());
    std::fputs(
        "  --replay LOG        play the instrument's side of a session log the program wrote: each\n"
        "                      piece the instrument sent goes once the program has written the bytes\n"
        "                      before it in the log, compared byte for byte (a difference ends the\n"
        "                      simulator with 1); a log that begins with the instrument's bytes is\n"
        "                      played once a line is read on standard input; the series is the log's\n"
        "  --record FILE       write every byte both ways: '<ms since start> <in|out> <hex>' per line\n"
        "  --action ACTION     answer-test (default), script, send, receive; RQX5 also datafile,\n"
        "                      measure, measure-padded (--points records)\n"
        "  --script FILE       for the action script: lines 'send HEX', 'expect HEX [MS]', 'wait MS',\n"
        "                      'quiet MS', 'go'\n"
        "  --points N          points to generate for send\n"
        "  --points-file FILE  points to send, lines 'number,name,N,E,Z'\n"
        "  --action measurements  (rqx2) the instrument sends a measurement file: N generated records,\n"
        "                      or those of the --points-file, lines 'station,...', 'backsight,...',\n"
        "                      'measurement,...' and 'name,F0001' (see Rqx2MeasurementFrames.h)\n"
        "  --output FILE       where received points are written\n"
        "  --timeout MS        how long to wait for the program at each step (default 10000)\n"
        "  --line-speed [BAUD] send as a real line does: BAUD (default 1200) with 10 bit times a\n"
        "                      byte, in pieces of uneven length; the pieces' seed is printed\n"
        "  --split-seed N      the pieces of an earlier run again (implies --line-speed)\n"
        "  --shifted-records   RQX2 send: every second record comes with one byte 00 before it\n"
        "  --pause MS          RQX5 measure: time between measurement records (default 500)\n"
        "  --demo              keep answering connection tests until killed and play the transfers\n"
        "                      typed on standard input ('help' lists them; a fault's options may\n"
        "                      follow a transfer: 'send 25 --lose-byte 3')\n",
        to);
    std::fputs(faultUsage().toLocal8Bit().constData(), to);
    std::fputs("Prints 'ready <device entry>' once the device entry exists. Transfers the instrument opens\n"
               "itself start when a line 'go' is read on standard input.\n",
               to);
}

bool s_goGiven = false;

// The device entry is removed however the simulator is stopped, so the program does not find a
// cable that is not there.
char s_linkPath[4096];

void removeLinkAndEnd(int signalNumber)
{
    if (s_linkPath[0])
        ::unlink(s_linkPath);
    ::_exit(128 + signalNumber);
}

void removeLinkOnSignals(const QString &linkPath)
{
    const QByteArray path = linkPath.toLocal8Bit();
    if (path.size() >= static_cast<qsizetype>(sizeof s_linkPath))
        return;
    std::memcpy(s_linkPath, path.constData(), static_cast<size_t>(path.size()) + 1);
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signalNumber, removeLinkAndEnd);
}

} // namespace

void giveGo()
{
    s_goGiven = true;
}

bool waitForGo()
{
    if (s_goGiven) {
        s_goGiven = false;
        return true;
    }
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
    QString error;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (arg == QLatin1String("--device-dir"))
            options.deviceDir = value();
        else if (arg == QLatin1String("--series")) {
            options.series = value();
            options.seriesGiven = true;
        } else if (arg == QLatin1String("--replay"))
            options.replayPath = value();
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
        else if (arg == QLatin1String("--pause"))
            options.pauseMs = value().toInt();
        else if (arg == QLatin1String("--demo"))
            options.demo = true;
        else if (arg == QLatin1String("--line-speed")) {
            // The speed is optional: the next word is taken only when it is a number.
            bool number = false;
            const int baud = i + 1 < args.size() ? args[i + 1].toInt(&number) : 0;
            if (number && baud <= 0) {
                usage(stderr, app.applicationName());
                return 2;
            }
            if (number)
                ++i;
            options.lineBaud = number ? baud : kInstrumentBaud;
        } else if (arg == QLatin1String("--split-seed")) {
            bool number = false;
            options.splitSeed = value().toUInt(&number);
            if (!number) {
                usage(stderr, app.applicationName());
                return 2;
            }
            options.splitSeedGiven = true;
        } else if (const FaultOptionRead read = readFaultOption(args, &i, &options.fault, &error);
                   read != FaultOptionRead::NotFault) {
            if (read == FaultOptionRead::Bad) {
                report(error);
                return 2;
            }
        } else if (arg == QLatin1String("--shifted-records"))
            options.shiftedRecords = true;
        else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            usage(stdout, app.applicationName());
            return 0;
        } else {
            usage(stderr, app.applicationName());
            return 2;
        }
    }
    if (options.deviceDir.isEmpty() ||
        (options.series != QLatin1String("rqx2") && options.series != QLatin1String("rqx5")) ||
        (!options.replayPath.isEmpty() && options.demo)) {
        usage(stderr, app.applicationName());
        return 2;
    }

    if (const QString problem = faultOptionsProblem(options.fault); !problem.isEmpty()) {
        report(problem);
        return 2;
    }
    if (options.fault.header != FaultOptions::HeaderIntact && options.series != QLatin1String("rqx5")) {
        report(QStringLiteral("--damage-header is for the RQX5 headers"));
        return 2;
    }
    // An RQX5 record carries no number by which the program could know it again.
    if (options.fault.kind == FaultOptions::RepeatRecord &&
        (options.series != QLatin1String("rqx2") || options.action == QLatin1String("receive"))) {
        report(QStringLiteral("--repeat-record is played in the RQX2 transfers the instrument sends"));
        return 2;
    }
    const bool faulty = options.fault.kind != FaultOptions::None ||
                        options.fault.padding != FaultOptions::Unpadded ||
                        options.fault.header != FaultOptions::HeaderIntact;
    if (faulty && !options.demo &&
        (options.action == QLatin1String("answer-test") || options.action == QLatin1String("script"))) {
        report(
            QStringLiteral("faults are played in transfers; a script writes its own bytes ('pull' ends it)"));
        return 2;
    }

    Wire wire;
    if (!wire.open(options.deviceDir, &error)) {
        report(error);
        return 1;
    }
    removeLinkOnSignals(wire.linkPath());
    if (!options.recordPath.isEmpty() && !wire.recordTo(options.recordPath)) {
        report(QStringLiteral("cannot write %1").arg(options.recordPath));
        return 1;
    }
    if (options.splitSeedGiven && options.lineBaud == 0)
        options.lineBaud = kInstrumentBaud;
    if (options.lineBaud > 0) {
        const quint32 seed = options.splitSeedGiven ? options.splitSeed : std::random_device()();
        wire.setLineSpeed(options.lineBaud, seed);
        // A run that fails on one way of splitting is repeated with this seed.
        report(QStringLiteral("line speed %1 baud, pieces from --split-seed %2")
                   .arg(options.lineBaud)
                   .arg(seed));
    }
    std::printf("ready %s\n", wire.linkPath().toLocal8Bit().constData());
    std::fflush(stdout);

    int status;
    if (!options.replayPath.isEmpty())
        status = playReplay(wire, options);
    else if (options.demo)
        status = playDemo(wire, options);
    else if (options.action == QLatin1String("answer-test"))
        status = playConnectionTest(wire, options);
    else if (options.action == QLatin1String("script"))
        status = playScript(wire, options);
    else
        status = options.series == QLatin1String("rqx2") ? playRqx2(wire, options) : playRqx5(wire, options);
    wire.waitUntilTaken(kHandOverMs);
    return status;
}
