#include "serial/DeviceList.h"
#include "ui/Application.h"
#include "ui/MessageBoxPresenter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rqxcomm"));
    // The program ends only through its own exit paths (closing the main window among them), never
    // because the selection dialog is hidden while the main window takes its place.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own texts (the file dialog's buttons, columns and questions) in the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QCommandLineParser parser;
    const QCommandLineOption deviceDir(
        QStringLiteral("device-dir"),
        QStringLiteral("List the serial devices in DIR instead of %1.").arg(QLatin1String(kDefaultDeviceDir)),
        QStringLiteral("DIR"), QLatin1String(kDefaultDeviceDir));
    parser.addOption(deviceDir);
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
