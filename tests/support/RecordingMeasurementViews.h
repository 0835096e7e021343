#pragma once

#include "Recorder.h"
#include "core/Rqx2MeasurementView.h"
#include "core/Rqx5MeasurementView.h"

// The measurement windows as the receives write on them, in the shared log of the other fakes.

// The RQX2 measurement window (Form7): "text1 1/10", "label1 文件名： F0001", "label4 ...",
// "message 成功|传输完毕！", "form7 forward".
class RecordingRqx2MeasurementView : public Rqx2MeasurementView {
public:
    explicit RecordingRqx2MeasurementView(Recorder &log) : m_log(log) {}
    QString progress, fileName, status;
    void setProgress(const QString &text) override
    {
        m_log.add(QStringLiteral("text1 ") + (progress = text));
    }
    void setFileName(const QString &text) override
    {
        m_log.add(QStringLiteral("label1 ") + (fileName = text));
    }
    void setStatus(const QString &text) override { m_log.add(QStringLiteral("label4 ") + (status = text)); }
    void showMessage(const QString &title, const QString &text) override
    {
        m_log.add(QStringLiteral("message ") + title + u'|' + text);
    }
    void bringWindowForward() override { m_log.add(QStringLiteral("form7 forward")); }

private:
    Recorder &m_log;
};

// The RQX5 measurement window (Form4): "label5 ...", "text3 JOB1", "text1 256", "text2 141225",
// "text4 123456789", "option3", "form4 message 错误提示|...", "form4 forward".
class RecordingRqx5MeasurementView : public Rqx5MeasurementView {
public:
    explicit RecordingRqx5MeasurementView(Recorder &log) : m_log(log) {}
    void setStatus(const QString &text) override { m_log.add("label5 " + text); }
    void setFileName(const QString &text) override { m_log.add("text3 " + text); }
    void setCount(const QString &text) override { m_log.add("text1 " + text); }
    void setDate(const QString &text) override { m_log.add("text2 " + text); }
    void setInstrumentNumber(const QString &text) override { m_log.add("text4 " + text); }
    void selectMeasurementData() override { m_log.add("option3"); }
    void showMessage(const QString &title, const QString &text) override
    {
        m_log.add("form4 message " + title + u'|' + text);
    }
    void bringWindowForward() override { m_log.add("form4 forward"); }

private:
    Recorder &m_log;
};
