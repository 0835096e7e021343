// The demo: an instrument that stays switched on. It answers every connection test and plays the
// transfers the person at the keyboard asks for, one line each on standard input:
//
//   send N | send FILE     the instrument sends N generated points, or those of FILE
//                          (lines "number,name,N,E,Z"); start the receive on the program first
//   receive [FILE]         the instrument takes the program's coordinate send and writes the points
//                          it gets to FILE; RQX2: start the send on the program first; RQX5: type
//                          this first, then start the send on the program
//   measurements N | FILE  RQX2: the instrument sends a measurement file of N records or FILE;
//                          choose 测量数据 and 接收数据 on the program first
//   ACTION [N | FILE]      any other transfer the series plays, with N points or input FILE
//   ... FAULT OPTIONS      a transfer line may end with a fault's options, as on the command line:
//                          "send 25 --fall-silent 3 --restart-after 2"
//   help, quit
//
// Bytes the program writes while no transfer runs and that are no connection test are reported and
// dropped, as an instrument that is not in a transfer ignores them.
#include "ConnectionTest.h"
#include "Play.h"
#include "Wire.h"

#include <QFileInfo>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

bool isRqx2(const SimOptions &options)
{
    return options.series == QLatin1String("rqx2");
}

void printHelp(const SimOptions &options)
{
    report(QStringLiteral("%1 instrument switched on. Type a command and Enter:")
               .arg(isRqx2(options) ? QStringLiteral("RQX2") : QStringLiteral("RQX5")));
    report(QStringLiteral("  send N | send FILE   the instrument sends N points (or those of FILE, lines"
                          " number,name,N,E,Z); choose 接收 on the program first"));
    if (isRqx2(options))
        report(QStringLiteral(
            "  receive [FILE]       the instrument receives the program's points (written to FILE);"
            " choose 发送 on the program first"));
    else
        report(QStringLiteral(
            "  receive [FILE]       the instrument receives the program's points (written to FILE);"
            " type this first, then choose 发送 on the program"));
    if (isRqx2(options))
        report(QStringLiteral(
            "  measurements N | measurements FILE   the instrument sends a measurement file of N"
            " records (or FILE); choose 测量数据 and 接收数据 on the program first"));
    else
        report(QStringLiteral(
            "  datafile N | measure N | measure-padded N   the instrument sends a data file of N"
            " records, or N measurements (padded to 58 bytes); choose 测量数据 and 接收 first"));
    report(QStringLiteral("  ACTION [N | FILE]    any other transfer of the series"));
    report(
        QStringLiteral("  ... --lose-byte R | --add-byte R | --fall-silent R [--restart-after S] |"
                       " --pull-cable R   a fault in the transfer (see --help), e.g. 'send 25 --lose-byte 3';"
                       " measure N --pad before|nul|space   measurements filled to 58 bytes"));
    report(QStringLiteral("  help, quit           connection tests (连接测试) are answered at any time"));
}

// The options of one transfer typed by the person: the action, its count or file, and a fault's
// options; false with a report when the line is not one.
bool transferOptions(const QString &line, const SimOptions &base, SimOptions *options)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return false;
    *options = base;
    options->action = words[0];
    options->points = 0;
    options->pointsFile.clear();
    options->outputFile.clear();
    options->fault = FaultOptions();
    options->demo = true;
    int next = 1;
    if (words.size() > 1 && !words[1].startsWith(QLatin1String("--"))) {
        next = 2;
        bool number = false;
        const int points = words[1].toInt(&number);
        if (number && points >= 0)
            options->points = points;
        else if (options->action == QLatin1String("receive"))
            options->outputFile = QFileInfo(words[1]).absoluteFilePath();
        else
            options->pointsFile = QFileInfo(words[1]).absoluteFilePath();
    }
    for (int i = next; i < words.size(); ++i) {
        QString error;
        const FaultOptionRead read = readFaultOption(words, &i, &options->fault, &error);
        if (read != FaultOptionRead::Read) {
            report(read == FaultOptionRead::Bad ? error
                                                : QStringLiteral("%1 is no fault option").arg(words[i]));
            return false;
        }
    }
    const QString problem = faultOptionsProblem(options->fault);
    if (!problem.isEmpty())
        report(problem);
    return problem.isEmpty();
}

// Between transfers: answers connection tests found in what the program wrote, reports the rest.
// A lone 0xAA at the end is kept, as the first half of a pair still on its way.
void answerBetweenTransfers(Wire &wire, QByteArray *pending)
{
    const QByteArray pair = connectionTestPair();
    for (;;) {
        const qsizetype at = pending->indexOf(pair);
        if (at < 0)
            break;
        if (at > 0)
            report(QStringLiteral("ignored %1: no transfer is running").arg(hexOrNothing(pending->left(at))));
        pending->remove(0, at + pair.size());
        if (wire.send(pair))
            report(QStringLiteral("answered the connection test"));
    }
    const bool halfPair = !pending->isEmpty() && pending->back() == pair.front();
    const QByteArray dropped = halfPair ? pending->left(pending->size() - 1) : *pending;
    if (!dropped.isEmpty())
        report(QStringLiteral("ignored %1: no transfer is running (type 'help' for the commands)")
                   .arg(hexOrNothing(dropped)));
    *pending = halfPair ? pending->right(1) : QByteArray();
}

int playTransfer(Wire &wire, const SimOptions &options)
{
    // The person typed the command once the program was ready: that is the go.
    giveGo();
    return isRqx2(options) ? playRqx2(wire, options) : playRqx5(wire, options);
}

} // namespace

int playDemo(Wire &wire, const SimOptions &options)
{
    printHelp(options);
    QByteArray pending;
    QByteArray typed;
    bool input = true;
    for (;;) {
        pollfd watch[2] = {{wire.descriptor(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (::poll(watch, input ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            report(QStringLiteral("cannot wait for input: %1").arg(strerror(errno)));
            return 1;
        }
        if (watch[0].revents & POLLIN) {
            pending += wire.readAvailable(0);
            answerBetweenTransfers(wire, &pending);
        }
        if (!input || !(watch[1].revents & (POLLIN | POLLHUP)))
            continue;
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            // No keyboard (started in the background): the instrument still answers connection tests.
            input = false;
            continue;
        }
        typed.append(buffer, static_cast<qsizetype>(n));
        qsizetype end;
        while ((end = typed.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(typed.left(end)).trimmed();
            typed.remove(0, end + 1);
            if (line.isEmpty())
                continue;
            if (line == QLatin1String("quit"))
                return 0;
            SimOptions transfer;
            if (line == QLatin1String("help") || !transferOptions(line, options, &transfer)) {
                printHelp(options);
                continue;
            }
            if (!pending.isEmpty()) {
                report(QStringLiteral("ignored %1: no transfer was running").arg(hexOrNothing(pending)));
                pending.clear();
            }
            report(QStringLiteral("%1 ...").arg(line));
            const int status = playTransfer(wire, transfer);
            report(status == 0
                       ? QStringLiteral("%1: done, the program behaved as the instrument expects").arg(line)
                       : QStringLiteral("%1: failed (see above)").arg(line));
            // A pulled cable is the end of the simulated instrument: its end of the line closes.
            if (Fault::cableWasPulled())
                return status;
        }
    }
}
