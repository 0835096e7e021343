#include "serial/DeviceList.h"
#include "ui/Application.h"
#include "ui/MessageBoxPresenter.h"
#include "ui/QtTexts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstring>

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

// --help and --version are answered on the terminal without reaching the window system, so they work
// where there is no display.
bool asksForText(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "--help-all", "-?", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

int answerOnTerminal(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    nameTheProgram();
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app); // prints the help or the version and ends the program
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (asksForText(argc, argv))
        return answerOnTerminal(argc, argv);

    QApplication app(argc, argv);
    nameTheProgram();
    // The desktop entry and the icon installed with the program belong to these windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("rqxcomm"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/rqxcomm.png")));
    // The program ends only through its own exit paths (closing the main window among them), never
    // because the selection dialog is hidden while the main window takes its place.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallChineseQtTexts(app);

    QCommandLineParser parser;
    const QCommandLineOption deviceDir = describeOptions(parser);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(2);

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
