#pragma once

#include "PortOpenFailure.h"
#include "SerialLink.h"

#include <QObject>
#include <QSerialPort>
#include <functional>

// The production link: a QSerialPort on the device that COMn stands for in the device folder.
// It raises the receive event once at least the receive threshold of bytes is waiting (none while
// the threshold is 0) and never re-enters the handler: a modal message box inside the handler runs
// a nested event loop, so an event that comes due meanwhile is held until the handler returns, and
// the threshold is checked again then. Status and error events are ignored; a device that goes away
// (cable pulled, hang-up) leaves the port closed, so the next operation that opens it reports it.
class QSerialLink : public QObject, public SerialLink {
    Q_OBJECT
public:
    explicit QSerialLink(const QString &deviceDir, QObject *parent = nullptr);
    ~QSerialLink() override;

    // The receive event's handler (the dispatcher's OnReceiveEvent).
    void setReceiveHandler(std::function<void()> handler) { m_handler = std::move(handler); }

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
    QByteArray readAll() override;
    void setCommPort(int number) override;
    int commPort() const override { return m_commPort; }
    void setSettings(const QString &settings) override;
    QString settings() const override { return m_settings; }

    int sendThreshold() const { return m_sendThreshold; }
    QString deviceDir() const { return m_deviceDir; }
    // Why the last open failed, as the system told it; cleared by every open.
    const PortOpenFailure &lastOpenFailure() const { return m_openFailure; }

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
    void closeWithoutDrain();
    void resumeReading();
    bool deviceGone() const;

    QString m_deviceDir;
    QSerialPort m_port;
    std::function<void()> m_handler;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("1200,N,8,1");
    LineSettings m_line;
    int m_receiveThreshold = 0;
    int m_sendThreshold = 0;
    bool m_inHandler = false;
    bool m_heldInHandler = false;
    bool m_checkQueued = false;
    bool m_pulling = false;
    bool m_closeQueued = false;
    PortOpenFailure m_openFailure;
};
