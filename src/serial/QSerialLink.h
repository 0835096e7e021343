#pragma once

#include "SerialLink.h"

#include <QObject>
#include <QSerialPort>
#include <functional>

// The production link: a QSerialPort on the device that COMn stands for in the device folder.
// It raises the receive event once at least the receive threshold of bytes is waiting (none while
// the threshold is 0) and never re-enters the handler: a modal message box inside the handler runs
// a nested event loop, so an event that comes due meanwhile is held until the handler returns, and
// the threshold is checked again then. Bytes the dispatcher hands back (a frame not yet whole) wait
// here in front of the port's and count toward the threshold, but only newly arrived bytes raise the
// event. Status and error events are ignored; a device that goes away (cable pulled, hang-up) leaves
// the port closed and is told once through the lost handler, unless an operation of the program has
// already failed on it (that operation reports it); the next operation that opens it reports it.
class QSerialLink : public QObject, public SerialLink {
    Q_OBJECT
public:
    explicit QSerialLink(const QString &deviceDir, QObject *parent = nullptr);
    ~QSerialLink() override;

    // The receive event's handler (the dispatcher's OnReceiveEvent).
    void setReceiveHandler(std::function<void()> handler) { m_handler = std::move(handler); }
    // Called once when the open port's device goes away by itself.
    void setLostHandler(std::function<void()> handler) { m_lostHandler = std::move(handler); }

    void clearOutput() override;
    void clearInput() override;
    void setSendThreshold(int bytes) override;
    void setReceiveThreshold(int bytes) override;
    int receiveThreshold() const override { return m_receiveThreshold; }
    bool isOpen() const override;
    bool open() override;
    void close() override;
    bool write(const QByteArray &bytes) override;
    int waitingCount() const override;
    int heldCount() const { return static_cast<int>(m_held.size()); }
    QByteArray readAll() override;
    void holdUnrouted(const QByteArray &bytes) override;
    void holdReceiveEvents(bool hold) override;
    void setCommPort(int number) override;
    int commPort() const override { return m_commPort; }
    void setSettings(const QString &settings) override;
    QString settings() const override { return m_settings; }

    int sendThreshold() const { return m_sendThreshold; }
    QString deviceDir() const { return m_deviceDir; }

private:
    struct LineSettings {
        qint32 baudRate = 1200;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };
    static bool parseSettings(const QString &text, LineSettings *settings);
    void applySettings();
    void checkThreshold();
    void scheduleCheck();
    void onError(QSerialPort::SerialPortError error);
    void pullWaitingBytes();
    int portWaitingCount() const;
    void closeWithoutDrain();
    void resumeReading();
    bool deviceGone() const;

    QString m_deviceDir;
    QSerialPort m_port;
    std::function<void()> m_handler;
    std::function<void()> m_lostHandler;
    QByteArray m_held; // handed back by the dispatcher, read before the port's bytes
    int m_eventHolds = 0;
    bool m_failureSeen = false; // an operation has failed on the open port and reported it
    int m_commPort = 1;
    QString m_settings = QStringLiteral("1200,N,8,1");
    LineSettings m_line;
    int m_receiveThreshold = 0;
    int m_sendThreshold = 0;
    bool m_inHandler = false;
    bool m_checkQueued = false;
    bool m_pulling = false;
    bool m_closeQueued = false;
};
