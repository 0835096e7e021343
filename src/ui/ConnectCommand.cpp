#include "ConnectCommand.h"

#include <QAbstractButton>
#include <QAction>
#include <QString>
#include <QWidget>

void ConnectCommand(QWidget *window, const char *name, std::function<void()> handler)
{
    ConnectCommand(window, QLatin1String(name), std::move(handler));
}

void ConnectCommand(QWidget *window, const QString &name, std::function<void()> handler)
{
    if (QAction *action = window->findChild<QAction *>(name)) {
        QObject::connect(action, &QAction::triggered, window, [handler] { handler(); });
        return;
    }
    if (auto *button = window->findChild<QAbstractButton *>(name)) {
        QObject::connect(button, &QAbstractButton::clicked, window, [handler] { handler(); });
        return;
    }
    // A command wired to a name the window does not have would never run: a fault of the program
    // that every start of it shows.
    qFatal("%s has no command named %s", qPrintable(window->objectName()), qPrintable(name));
}
