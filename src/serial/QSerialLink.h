#pragma once

#include "PortOpenFailure.h"
#include "PortSettings.h"
#include "SerialLink.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <functional>

// The production link: a QSerialPort on the device that COMn stands for in the device folder.
// Every arrival of bytes is told at once; status and error events are ignored; a device that goes
// away (cable pulled, hang-up) leaves the port closed and is told once through the lost handler,
// unless an operation of the program has already failed on it (that operation reports it); the next
// operation that opens it reports it.
class QSerialLink : public QObject, public SerialLink {
    Q_OBJECT
public:
    explicit QSerialLink(const QString &deviceDir, QObject *parent = nullptr);
    ~QSerialLink() override;

    void clearOutput() override;
    void clearInput() override;
    bool isOpen() const override;
    bool open() override;
    void closeWhenWritten(std::function<void()> closed) override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void setCommPort(int number) override;
    int commPort() const override { return m_commPort; }
    void setSettings(const QString &settings) override;
    QString settings() const override { return m_settings; }
    QString openFailureDetail() const override;

    QString deviceDir() const { return m_deviceDir; }
    // The device opened whatever the port number (a port given on the command line, such as
    // /dev/ttyUSB0); empty: the port number's entry in the device folder.
    void setDevicePath(const QString &path) { m_devicePath = path; }
    // Why the last open failed, as the system told it; cleared by every open.
    const PortOpenFailure &lastOpenFailure() const { return m_openFailure; }
    // Bytes written and not yet on the line: the port's own and the system's.
    qint64 bytesNotSent() const;

private:
    void applySettings();
    void onError(QSerialPort::SerialPortError error);
    void closeWithoutDrain();
    void resumeReading();
    bool deviceGone() const;
    void checkDrained();
    void finishClose();

    QString m_deviceDir;
    QString m_devicePath;
    QSerialPort m_port;
    bool m_failureSeen = false; // an operation has failed on the open port and reported it
    int m_commPort = 1;
    QString m_settings = QStringLiteral("1200,N,8,1");
    PortSettings::LineSettings m_line;
    bool m_closeQueued = false;
    PortOpenFailure m_openFailure;
    // A close that waits for the written bytes to leave: the port's bytesWritten and this timer look
    // again until they have, or until the time they need at the line's speed has passed.
    QTimer m_drainTimer;
    qint64 m_drainDeadline = 0;
    std::vector<std::function<void()>> m_whenClosed;
};
