#include "serial/DeviceList.h"
#include "ui/Application.h"
#include "ui/MessageBoxPresenter.h"
#include "ui/ProgramEnd.h"
#include "ui/QtTexts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QIcon>
#include <cstdio>

#ifdef _WIN32
#include <qt_windows.h>
#endif

namespace {

void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("rqxcomm"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RQXCOMM_VERSION));
}

// The program's options that take a value.
struct ProgramOptions {
    QCommandLineOption deviceDir;
    QCommandLineOption port;
};

ProgramOptions describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Moves survey data between this computer and RQX2 and RQX5 series total stations "
                       "over a USB-to-serial cable: coordinate receive and send, measurement receive, "
                       "coordinate file conversion."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption deviceDir(
        QStringLiteral("device-dir"),
        QStringLiteral("List the serial devices in DIR instead of %1.").arg(QLatin1String(kDefaultDeviceDir)),
        QStringLiteral("DIR"), QLatin1String(kDefaultDeviceDir));
#ifdef _WIN32
    // Windows lists its own ports; the folder is Linux's.
    deviceDir.setFlags(QCommandLineOption::HiddenFromHelp);
#endif
    parser.addOption(deviceDir);
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral(
            "Use the serial port PORT without searching for the cable: COM1, COM2, ... on Windows, "
            "a device such as /dev/ttyUSB0 on Linux (COMn there is the n-th device of the "
            "device folder). For a cable of another maker."),
        QStringLiteral("PORT"));
    parser.addOption(port);
    return {deviceDir, port};
}

// Writes text on the standard output or the error output. A Windows program with windows has no
// console of its own: its text goes to the handles it was given (a file or a pipe), else to the
// console of the program that started it.
void writeOnTerminal(const QString &text, bool error)
{
#ifdef _WIN32
    HANDLE handle = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        handle = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        ::WriteConsoleW(handle, text.utf16(), DWORD(text.size()), &written, nullptr);
    } else {
        const QByteArray bytes = text.toUtf8();
        ::WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    }
#else
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), error ? stderr : stdout);
    std::fflush(error ? stderr : stdout);
#endif
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
#ifdef _WIN32
        // As QCommandLineParser's own answers elsewhere; on Windows it would show them in a message box.
        if (parser.isSet(QStringLiteral("version")))
            writeOnTerminal(app.applicationName() + u' ' + app.applicationVersion() + u'\n', false);
        else
            writeOnTerminal(parser.helpText(), false);
#else
        parser.process(app); // prints the help or the version and ends the program
#endif
        return 0;
    }
    QString reason = parser.errorText();
    if (reason.isEmpty() && !parser.positionalArguments().isEmpty())
        reason = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
    writeOnTerminal((reason.isEmpty() ? QString() : reason + QStringLiteral("\n\n")) + parser.helpText(),
                    true);
    return 2;
}

int runProgram(int argc, char **argv)
{
    QCommandLineParser parser;
    // Qt's own options are written with one dash ("-platform offscreen"); the program's read the same.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const ProgramOptions options = describeOptions(parser);
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
#ifdef _WIN32
    // Windows' own Chinese interface fonts, whatever language the system itself is in.
    QFont font = QApplication::font();
    font.setFamilies(
        {QStringLiteral("Microsoft YaHei UI"), QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    QApplication::setFont(font);
#endif

    MessageBoxPresenter messages;
    bool ended = false;
    Application program(parser.value(options.deviceDir), messages, [&ended] {
        ended = true;
        QCoreApplication::exit(0);
    });
    program.usePort(parser.value(options.port));
    program.start();
    // Quitting before the event loop runs would be lost, so an end that came that early returns here.
    return ended ? 0 : app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    return EndProgram(runProgram(argc, argv));
}
