#pragma once

#include "Recorder.h"
#include "serial/SerialLink.h"

#include <functional>

// A serial link that records every operation in the shared log ("open", "rthreshold 63",
// "write 01 4A 0D", ...) and lets a test deliver chunks as if the instrument had sent them.
class FakeSerialLink : public SerialLink {
public:
    explicit FakeSerialLink(Recorder &log) : m_log(log) {}

    bool failOpen = false;  // open() fails
    bool failWrite = false; // write() fails
    QByteArray written;     // every byte written, in order
    QByteArray waiting;     // bytes the next readAll() returns
    bool portOpen = false;
    int rThreshold = 0;
    int sThreshold = 0;
    int port = 1;
    QString lineSettings = QStringLiteral("1200,N,8,1");
    std::function<void(const QByteArray &)> onWrite; // sees every write, before it succeeds or fails

    void clearOutput() override { m_log.add(QStringLiteral("clearOutput")); }
    void clearInput() override
    {
        waiting.clear();
        m_log.add(QStringLiteral("clearInput"));
    }
    void setSendThreshold(int bytes) override
    {
        sThreshold = bytes;
        m_log.add(QStringLiteral("sthreshold %1").arg(bytes));
    }
    void setReceiveThreshold(int bytes) override
    {
        rThreshold = bytes;
        m_log.add(QStringLiteral("rthreshold %1").arg(bytes));
    }
    int receiveThreshold() const override { return rThreshold; }
    bool isOpen() const override { return portOpen; }
    bool open() override
    {
        m_log.add(failOpen ? QStringLiteral("open failed") : QStringLiteral("open"));
        portOpen = !failOpen;
        return portOpen;
    }
    void close() override
    {
        portOpen = false;
        m_log.add(QStringLiteral("close"));
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
    int waitingCount() const override { return static_cast<int>(waiting.size()); }
    QByteArray readAll() override
    {
        QByteArray all = waiting;
        waiting.clear();
        return all;
    }
    void holdUnrouted(const QByteArray &bytes) override { waiting.prepend(bytes); }
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

    // The last frame written, as hex.
    QString lastWrite() const
    {
        const QStringList writes = m_log.matching(QStringLiteral("write "));
        return writes.isEmpty() ? QString() : writes.last().mid(6);
    }

private:
    Recorder &m_log;
};
