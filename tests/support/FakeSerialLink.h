#pragma once

#include "Recorder.h"
#include "serial/SerialLink.h"

#include <functional>
#include <utility>

// A serial link that records every operation in the shared log ("open", "write 01 4A 0D", ...) and
// lets a test deliver bytes as if the instrument had sent them.
class FakeSerialLink : public SerialLink {
public:
    explicit FakeSerialLink(Recorder &log) : m_log(log) {}

    bool failOpen = false;  // open() fails
    bool failWrite = false; // write() fails
    QByteArray written;     // every byte written, in order
    QByteArray waiting;     // bytes the next readAll() returns
    bool portOpen = false;
    int port = 1;
    QString lineSettings = QStringLiteral("1200,N,8,1");
    QString failureDetail;                           // what openFailureDetail() tells
    std::function<void(const QByteArray &)> onWrite; // sees every write, before it succeeds or fails

    // Bytes from the instrument: the receive handler is told, as the port tells it.
    void arrive(const QByteArray &bytes)
    {
        waiting += bytes;
        notifyReceived();
    }
    // The device goes away by itself.
    void pull()
    {
        portOpen = false;
        m_log.add(QStringLiteral("lost"));
        notifyLost();
    }

    void clearOutput() override { m_log.add(QStringLiteral("clearOutput")); }
    void clearInput() override
    {
        waiting.clear();
        m_log.add(QStringLiteral("clearInput"));
    }
    bool isOpen() const override { return portOpen; }
    bool open() override
    {
        m_log.add(failOpen ? QStringLiteral("open failed") : QStringLiteral("open"));
        portOpen = !failOpen;
        return portOpen;
    }
    void closeWhenWritten(std::function<void()> closed) override
    {
        portOpen = false;
        m_log.add(QStringLiteral("close"));
        if (closed)
            closed();
    }
    bool write(const QByteArray &bytes) override
    {
        if (onWrite)
            onWrite(bytes);
        if (failWrite || !portOpen) {
            m_log.add(QStringLiteral("write failed"));
            return false;
        }
        written += bytes;
        m_log.add(QStringLiteral("write ") + hex(bytes));
        return true;
    }
    QByteArray readAll() override { return std::exchange(waiting, {}); }
    void setCommPort(int number) override
    {
        port = number;
        m_log.add(QStringLiteral("commport %1").arg(number));
    }
    int commPort() const override { return port; }
    void setSettings(const QString &settings) override
    {
        lineSettings = settings;
        m_log.add(QStringLiteral("settings ") + settings);
    }
    QString settings() const override { return lineSettings; }
    QString openFailureDetail() const override { return portOpen ? QString() : failureDetail; }

    // The last frame written, as hex.
    QString lastWrite() const
    {
        const QStringList writes = m_log.matching(QStringLiteral("write "));
        return writes.isEmpty() ? QString() : writes.last().mid(6);
    }

private:
    Recorder &m_log;
};
