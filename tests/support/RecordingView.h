#pragma once

#include "Recorder.h"
#include "core/TransferView.h"

#include <functional>

// A window that records what is written on it ("status 传送完毕！", "progress 1/25",
// "message 成功|坐标数据传输完毕！", ...). onMessage runs while a message box would be open, the
// way a nested event loop would let other things happen.
class RecordingView : public TransferView {
public:
    explicit RecordingView(Recorder &log) : m_log(log) {}

    QString status, progress, fileName, countLabel = QStringLiteral("点数:"), measurementStatus;
    QString portCaption = QStringLiteral("打开串口");
    bool connectionTestShown = false;
    bool coordinateDataSelected = false;
    bool ended = false;
    QStringList messages; // "title|text"
    std::function<void()> onMessage;

    void setStatus(const QString &text) override
    {
        status = text;
        m_log.add(QStringLiteral("status ") + text);
    }
    void setProgress(const QString &text) override
    {
        progress = text;
        m_log.add(QStringLiteral("progress ") + text);
    }
    void setFileName(const QString &text) override
    {
        fileName = text;
        m_log.add(QStringLiteral("file ") + text);
    }
    void setCountLabel(const QString &text) override
    {
        countLabel = text;
        m_log.add(QStringLiteral("label2 ") + text);
    }
    void selectCoordinateData() override
    {
        coordinateDataSelected = true;
        m_log.add(QStringLiteral("option1"));
    }
    void setConnectionTestShown(bool shown) override
    {
        connectionTestShown = shown;
        m_log.add(shown ? QStringLiteral("label3 shown") : QStringLiteral("label3 hidden"));
    }
    QString portButtonCaption() const override { return portCaption; }
    void setPortButtonCaption(const QString &text) override
    {
        portCaption = text;
        m_log.add(QStringLiteral("command12 ") + text);
    }
    void setMeasurementStatus(const QString &text) override
    {
        measurementStatus = text;
        m_log.add(QStringLiteral("measurement status ") + text);
    }
    void showMessage(const QString &title, const QString &text) override
    {
        messages.append(title + u'|' + text);
        m_log.add(QStringLiteral("message ") + title + u'|' + text);
        if (onMessage)
            onMessage();
    }
    void bringWindowForward() override { m_log.add(QStringLiteral("forward")); }
    void endProgram() override
    {
        ended = true;
        m_log.add(QStringLiteral("end"));
    }

private:
    Recorder &m_log;
};
