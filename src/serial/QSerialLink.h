#pragma once

#include "SerialLink.h"

#include <QObject>
#include <QSerialPort>
#include <functional>

// The production link: a QSerialPort on the device that COMn stands for in the device folder.
// It raises the receive event once at least the receive threshold of bytes is waiting (none while
// the threshold is 0) and never re-enters the handler: a modal message box inside the handler runs
// a nested event loop, so an event that comes due meanwhile is held until the handler returns, and
// the threshold is checked again then. Status and error events are ignored.
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

private:
    void checkThreshold();

    QString m_deviceDir;
    QSerialPort m_port;
    std::function<void()> m_handler;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("1200,N,8,1");
    int m_receiveThreshold = 0;
    int m_sendThreshold = 0;
    bool m_inHandler = false;
    bool m_pending = false;
};
