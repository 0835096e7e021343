#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <memory>

// What a session log's comment lines say about the exchange.
struct SessionHeader {
    QString series; // RQX2, RQX5
    QString order;  // NEZ, ENZ
    QString port;   // COM1 /dev/serial/by-id/usb-...
    QString line;   // 1200,N,8,1
};

// One session log: every byte of one transfer, both ways, with the time it was written or read,
// in a text file a person can read and the simulator can replay:
//
//     # rqxcomm session log
//     # version 1.31
//     # series RQX5
//     # order NEZ
//     # port COM1 /dev/serial/by-id/usb-...
//     # line 1200,N,8,1
//     # kind connection-test
//     # began 2024-05-06T09:14:03
//     0.000 tx AA BB | <170><187>
//     0.052 rx AA BB | <170><187>
//
// A data line is the seconds since the transfer began, tx (program to instrument) or rx (instrument
// to program), the bytes in hex, and after " | " the same bytes through the instrument character
// code; a code without a character stands as its number in angle brackets.
//
// The transfer's thread only copies the bytes into memory. Making the folder, the lines and every
// write to disk is left to one writer thread shared by all logs, in order, so a slow or full disk
// never holds up a transfer; a log that cannot be written (folder read-only, disk full) is silently
// given up and the transfer never fails because of it.
class SessionLog {
public:
    static constexpr int kKept = 100;

    // $XDG_STATE_HOME/rqxcomm/sessions, or ~/.local/state/rqxcomm/sessions when the variable is unset
    // or not an absolute path. On Windows %LOCALAPPDATA%\rqxcomm\sessions (the user's local
    // application data folder when the variable is unset).
    static QString defaultFolder();
    // The file name of a log begun at began: 20240506-091403-connection-test.log.
    static QString fileName(const QDateTime &began, const QString &kind);
    // Removes the oldest logs of folder (by the time in their names) beyond keep; other files stay.
    static void prune(const QString &folder, int keep = kKept);
    // "COM1 /dev/serial/by-id/usb-...": the port's number and the device it opens.
    static QString portText(int commPort, const QString &deviceDir);

    // Creates folder when missing, opens a new log in it for kind and writes the comment lines; then
    // keeps only the newest kKept logs (on the writer thread).
    SessionLog(const QString &folder, const QString &kind, const SessionHeader &header,
               const QDateTime &began = QDateTime::currentDateTime());
    ~SessionLog();
    SessionLog(const SessionLog &) = delete;
    SessionLog &operator=(const SessionLog &) = delete;

    void written(QByteArrayView bytes) { record('t', bytes); }
    void arrived(QByteArrayView bytes) { record('r', bytes); }
    // Hands what is gathered to the writer thread.
    void flush();

    // Waits until the writer thread has written everything handed to it (tests, the program's end).
    static void waitForWrites();

private:
    struct Sink;
    void record(char direction, QByteArrayView bytes);

    std::shared_ptr<Sink> m_sink;
    QElapsedTimer m_clock;
    // Pieces as they came: direction ('t' or 'r'), milliseconds (qint64), length (qint32), the bytes.
    QByteArray m_gathered;
};
