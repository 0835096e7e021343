#pragma once

#include "SerialLink.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

#include <qt_windows.h>

class QWinEventNotifier;

// The production link on Windows: the communications port \\.\COMn opened for overlapped I/O. One
// read is always under way and one write while bytes wait; their completions are told on the
// window's thread by the events' notifiers, so no operation waits. Every arrival of bytes is told at
// once; a device that goes away (cable pulled) leaves the port closed and is told once through the
// lost handler, unless an operation of the program has already failed on it (that operation reports
// it); the next operation that opens it reports it.
class Win32SerialLink : public QObject, public SerialLink {
    Q_OBJECT
public:
    // deviceDir is not used on Windows: the ports are the system's own COMn.
    explicit Win32SerialLink(const QString &deviceDir = {}, QObject *parent = nullptr);
    ~Win32SerialLink() override;

    void clearOutput() override;
    void clearInput() override;
    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }
    bool open() override;
    void closeWhenWritten(std::function<void()> closed) override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void setCommPort(int number) override { m_commPort = number; }
    int commPort() const override { return m_commPort; }
    void setSettings(const QString &settings) override;
    QString settings() const override { return m_settings; }
    QString openFailureDetail() const override;

    // The port opened whatever the port number: COMn or \\.\COMn (a port given on the command line);
    // empty: the port number's own.
    void setDevicePath(const QString &path) { m_devicePath = path; }
    // The device name opened for the current port, e.g. \\.\COM5.
    QString deviceName() const;
    // Bytes written and not yet handed over by the system.
    qint64 bytesNotSent() const;

    // The line settings of a settings text ("1200,N,8,1") applied to dcb; false when the text is not
    // one (dcb is left as it was).
    static bool applySettingsText(const QString &text, DCB *dcb);
    // Windows' own text for a system error code, without the trailing line break.
    static QString systemErrorText(DWORD error);

private:
    void startRead();
    void startWrite();
    void onReadDone();
    void onWriteDone();
    bool applyLineSettings();
    void deviceFailed();
    void closeWithoutDrain();
    void closeHandle();
    void finishClose();
    void closeIfDrained();

    QString m_devicePath;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("1200,N,8,1");
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_failureSeen = false; // an operation has failed on the open port and reported it
    bool m_lostQueued = false;
    quint64 m_opening = 0; // counts the openings of the port
    QString m_openFailure;

    OVERLAPPED m_readOverlapped{};
    OVERLAPPED m_writeOverlapped{};
    QWinEventNotifier *m_readNotifier = nullptr;
    QWinEventNotifier *m_writeNotifier = nullptr;
    bool m_reading = false;
    bool m_writing = false;
    char m_readBuffer[512];
    QByteArray m_received; // arrived and not yet read
    QByteArray m_pending;  // written and not yet handed to the system
    QByteArray m_inFlight; // handed to the system by the write under way

    // A close that waits for the written bytes to leave: it happens when the last write completes,
    // or when the time they need at the line's speed has passed.
    bool m_closeWaiting = false;
    QTimer m_drainDeadline;
    // While the driver still holds written bytes, the close looks again after a moment.
    QTimer m_drainPoll;
    std::vector<std::function<void()>> m_whenClosed;
};
