#pragma once

#include "TransferEvent.h"

#include <QByteArray>
#include <QString>
#include <vector>

// One thing a transfer asks of the world. A transfer answers the bytes it is fed with a list of
// these, in the order the instrument and the user must see them: a completion message stands before
// the last acknowledgement when the instrument may only go on once the user has read it.
struct TransferAction {
    enum Kind {
        Write,             // bytes to the instrument
        ClearOutput,       // bytes written and not yet sent are dropped
        ClearInput,        // bytes received and not yet taken are dropped
        OpenPort,          // the port opened if it is closed
        ClosePort,         // the port closed once the bytes written have left
        SetCommPort,       // the port closed becomes COM`number`
        Pause,             // the actions after it wait `number` milliseconds; the window does not
        Show,              // `event` shown by the window of the transfer
        ShowMessage,       // a box titled `title` saying `text`; the actions after it wait until it is closed
        ReportPortFailure, // the port could not be used: told over the window, the rest dropped
        EndProgram,        // the program ends at once
    };

    Kind kind = Write;
    QByteArray bytes;
    QString title;
    QString text;
    int number = 0;
    TransferEvent event;

    static TransferAction write(const QByteArray &bytes) { return {Write, bytes, {}, {}, 0, {}}; }
    static TransferAction of(Kind kind) { return {kind, {}, {}, {}, 0, {}}; }
    static TransferAction pause(int milliseconds) { return {Pause, {}, {}, {}, milliseconds, {}}; }
    static TransferAction show(TransferEvent event) { return {Show, {}, {}, {}, 0, std::move(event)}; }
    static TransferAction message(const QString &title, const QString &text)
    {
        return {ShowMessage, {}, title, text, 0, {}};
    }

    // One line for tests and logs: "write 01 4A 0D", "status rqx2 receiving", "message 成功|...".
    QString describe() const;
};

using TransferActions = std::vector<TransferAction>;

// The lines of describe(), one per action.
QStringList describe(const TransferActions &actions);
