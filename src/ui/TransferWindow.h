#pragma once

#include "core/TransferEvent.h"

#include <QString>
#include <QWidget>

class QHBoxLayout;

// A window a transfer reports to: the main window, or either measurement window. Each has one
// adapter that shows a transfer's events in the window's controls.
class TransferWindow {
public:
    virtual ~TransferWindow() = default;

    // The window itself: the parent of its transfer's message boxes.
    virtual QWidget *transferWidget() = 0;
    // Shows the event in the window's controls. False: the window has no place for it, which no
    // transfer begun over the window may send (the executor stops the program on it).
    virtual bool showTransferEvent(const TransferEvent &event) = 0;
    // Shows the window again and brings it forward (after a failed port operation).
    virtual void bringWindowForward();

    // The progress of a transfer under way: the bar TransferProgress (maximum total, value done; the
    // count alone when the total is unknown), the time left in TransferTimeLeft, and StopTransfer.
    void showTransferProgress(long done, long total, const QString &timeLeft);
    void hideTransferProgress();
    // The bar, the label and the button, hidden, in a row for the window's layout.
    static QHBoxLayout *createTransferProgress(QWidget *parent);

    // The window's control named name. Every name an adapter uses is the window's own: a missing one
    // is a fault of the program, found by the adapter's test, and ends it.
    template <class Control> static Control *control(QWidget *window, const char *name)
    {
        auto *found = window->findChild<Control *>(QLatin1String(name));
        if (!found)
            qFatal("%s has no control named %s", qPrintable(window->objectName()), name);
        return found;
    }
};
