#pragma once

#include "SessionLog.h"
#include "TransferObserver.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

// Keeps a session log of every transfer and connection test the executor performs. A transfer a
// command begins has its log from its start; a transfer that waits for the instrument to begin the
// exchange (the quiet coordinate receive after the start, the RQX2 measurement window's) has one
// from its first byte, so a program left waiting all day leaves no empty logs. What is gathered is
// written at the latest a moment after it came, so a log is complete on disk soon after its
// transfer's last byte, even should the program then be ended abruptly.
class SessionLogger : public QObject, public TransferObserver {
    Q_OBJECT
public:
    // header: the series, order, port and line at the time a log begins.
    explicit SessionLogger(std::function<SessionHeader()> header,
                           const QString &folder = SessionLog::defaultFolder(), QObject *parent = nullptr);
    ~SessionLogger() override;

    QString folder() const { return m_folder; }
    // Opens the folder in the desktop's file manager, creating it when missing; false when no file
    // manager took it.
    bool openFolder() const;
    // The log being written, or null.
    const SessionLog *current() const { return m_log.get(); }

    // TransferObserver
    void transferBegun(const Transfer &transfer, bool started) override;
    void transferEnded() override;
    void bytesWritten(const QByteArray &bytes) override;
    void bytesArrived(const QByteArray &bytes) override;

private:
    void begin();
    void gathered();

    std::function<SessionHeader()> m_header;
    QString m_folder;
    QString m_waitingKind; // a transfer that waits for the instrument; its log begins with its first byte
    std::unique_ptr<SessionLog> m_log;
    QTimer m_flush;
};
