#include "serial/DeviceList.h"
#include "ui/Application.h"
#include "ui/MessageBoxPresenter.h"
#include "ui/QtTexts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("rqxcomm"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RQXCOMM_VERSION));
}

// The program's options; returns the one that takes a value.
QCommandLineOption describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Moves survey data between this computer and RQX2 and RQX5 series total stations "
                       "over a USB-to-serial cable: coordinate receive and send, measurement receive, "
                       "coordinate file conversion."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption deviceDir(
        QStringLiteral("device-dir"),
        QStringLiteral("List the serial devices in DIR instead of %1.").arg(QLatin1String(kDefaultDeviceDir)),
        QStringLiteral("DIR"), QLatin1String(kDefaultDeviceDir));
    parser.addOption(deviceDir);
    return deviceDir;
}

// The options the window system reads from the command line itself (Qt's, and those of its X11
// plugin): the program steps over them and their values when it reads its own. First those that
// take a value, then those that do not.
constexpr const char *kWindowSystemOptionsWithValue[] = {"platform",
                                                         "platformpluginpath",
                                                         "platformtheme",
                                                         "plugin",
                                                         "qwindowgeometry",
                                                         "qwindowicon",
                                                         "qwindowtitle",
                                                         "session",
                                                         "display",
                                                         "name",
                                                         "visual",
                                                         "ncols",
                                                         "cmap",
                                                         "geometry",
                                                         "title",
                                                         "style",
                                                         "stylesheet",
                                                         "qmljsdebugger"};
constexpr const char *kWindowSystemFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

void stepOverWindowSystemOptions(QCommandLineParser &parser)
{
    for (const char *name : kWindowSystemOptionsWithValue) {
        QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : kWindowSystemFlags) {
        QCommandLineOption option{QLatin1String(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Help, the version and a mistaken command line are answered on the terminal, before the window
// system is reached, so they work where there is no display. A mistake gives the reason and the usage
// on the error output and the status 2.
int answerOnTerminal(int argc, char **argv, QCommandLineParser &parser, bool understood)
{
    QCoreApplication app(argc, argv);
    nameTheProgram();
    if (understood) {
        parser.process(app); // prints the help or the version and ends the program
        return 0;
    }
    QString reason = parser.errorText();
    if (reason.isEmpty() && !parser.positionalArguments().isEmpty())
        reason = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
    std::fputs(
        qPrintable((reason.isEmpty() ? QString() : reason + QStringLiteral("\n\n")) + parser.helpText()),
        stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCommandLineParser parser;
    // Qt's own options are written with one dash ("-platform offscreen"); the program's read the same.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption deviceDir = describeOptions(parser);
    stepOverWindowSystemOptions(parser);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool understood = parser.parse(arguments) && parser.positionalArguments().isEmpty();
    if (!understood || parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
        parser.isSet(QStringLiteral("version")))
        return answerOnTerminal(argc, argv, parser, understood);

    QApplication app(argc, argv);
    nameTheProgram();
    // The desktop entry and the icon installed with the program belong to these windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("rqxcomm"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/rqxcomm.png")));
    // The program ends only through its own exit paths (closing the main window among them), never
    // because the selection dialog is hidden while the main window takes its place.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallChineseQtTexts(app);

    MessageBoxPresenter messages;
    bool ended = false;
    Application program(parser.value(deviceDir), messages, [&ended] {
        ended = true;
        QCoreApplication::exit(0);
    });
    program.start();
    // Quitting before the event loop runs would be lost, so an end that came that early returns here.
    return ended ? 0 : app.exec();
}
