#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// One thing a transfer asks of the world. A transfer answers the bytes it is fed with a list of
// these, in the order the instrument and the user must see them: a completion message stands before
// the last acknowledgement when the instrument may only go on once the user has read it.
struct TransferAction {
    enum Kind {
        Write,        // bytes to the instrument
        ClearOutput,  // bytes written and not yet sent are dropped
        ClearInput,   // bytes received and not yet taken are dropped
        OpenPort,     // the port opened if it is closed
        ClosePort,    // the port closed once the bytes written have left
        SetCommPort,  // the port closed becomes COM`number`
        Pause,        // the actions after it wait `number` milliseconds; the window does not
        SetText,      // the control named `target` shows `text`
        ShowControl,  // the control named `target` shown (number 1) or hidden (0)
        SelectOption, // the option button named `target` selected
        SetColumns,   // the list given the columns of layout `target`, in order NEZ (number 1) or ENZ
        AddRow,       // a row of `cells` added to the window's list
        ClearRows,    // the window's list emptied, its columns kept
        TruncateRows, // the window's list keeps its first `number` rows
        ShowMessage,  // a box titled `target` saying `text`; the actions after it wait until it is closed
        ReportPortFailure, // the port could not be used: told over the window, the rest dropped
        EndProgram,        // the program ends at once
    };

    Kind kind = Write;
    QByteArray bytes;
    QString target;
    QString text;
    QStringList cells;
    int number = 0;

    static TransferAction write(const QByteArray &bytes) { return {Write, bytes, {}, {}, {}, 0}; }
    static TransferAction of(Kind kind) { return {kind, {}, {}, {}, {}, 0}; }
    static TransferAction pause(int milliseconds) { return {Pause, {}, {}, {}, {}, milliseconds}; }
    static TransferAction setText(const QString &control, const QString &text)
    {
        return {SetText, {}, control, text, {}, 0};
    }
    static TransferAction showControl(const QString &control, bool shown)
    {
        return {ShowControl, {}, control, {}, {}, shown ? 1 : 0};
    }
    static TransferAction select(const QString &option) { return {SelectOption, {}, option, {}, {}, 0}; }
    static TransferAction columns(const QString &layout, bool nez)
    {
        return {SetColumns, {}, layout, {}, {}, nez};
    }
    static TransferAction row(const QStringList &cells) { return {AddRow, {}, {}, {}, cells, 0}; }
    static TransferAction truncate(int rows) { return {TruncateRows, {}, {}, {}, {}, rows}; }
    static TransferAction message(const QString &title, const QString &text)
    {
        return {ShowMessage, {}, title, text, {}, 0};
    }

    // One line for tests and logs: "write 01 4A 0D", "set Label4 数据传输中。。。", "message 成功|...".
    QString describe() const;
};

using TransferActions = std::vector<TransferAction>;

// The lines of describe(), one per action.
QStringList describe(const TransferActions &actions);
