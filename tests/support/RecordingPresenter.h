#pragma once

#include "Recorder.h"
#include "ui/MessagePresenter.h"

#include <QWidget>
#include <functional>

// Answers the program's message boxes at once, recording each as "message title|text" in the shared
// log (the same form as a transfer's describe()). onMessage runs while the box would be open, the way the
// user might act meanwhile; parentName is the objectName of the window the last box belonged to.
class RecordingPresenter : public MessagePresenter {
public:
    explicit RecordingPresenter(Recorder &log) : m_log(log) {}

    QStringList messages; // "title|text"
    QString detail;       // the detailed text of the last box, empty when it had none
    QString parentName;
    std::function<void(const QString &title, const QString &text)> onMessage;

    void showDetailedMessage(QWidget *parent, const QString &title, const QString &text,
                             const QString &detailText) override
    {
        detail = detailText;
        record(parent, title, text);
    }
    void showMessage(QWidget *parent, const QString &title, const QString &text) override
    {
        detail.clear();
        record(parent, title, text);
    }

private:
    void record(QWidget *parent, const QString &title, const QString &text)
    {
        messages.append(title + u'|' + text);
        parentName = parent ? parent->objectName() : QString();
        m_log.add(QStringLiteral("message ") + title + u'|' + text);
        if (onMessage)
            onMessage(title, text);
    }

    Recorder &m_log;
};
