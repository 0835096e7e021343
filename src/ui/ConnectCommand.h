#pragma once

#include <functional>

class QString;
class QWidget;

// Connects the QAction or button named name among window's children to handler: the one way every
// window's commands are wired.
void ConnectCommand(QWidget *window, const char *name, std::function<void()> handler);
void ConnectCommand(QWidget *window, const QString &name, std::function<void()> handler);
