#pragma once

#include "Recorder.h"
#include "ui/MessagePresenter.h"

#include <QWidget>
#include <functional>

// Answers the program's message boxes at once, recording each as "message title|text" in the shared
// log (the same form as a transfer's describe()); a question as "question title|text", answered with
// the next of answers (否 when none is left). onMessage runs while the box would be open, the way the
// user might act meanwhile; parentName is the objectName of the window the last box belonged to.
class RecordingPresenter : public MessagePresenter {
public:
    explicit RecordingPresenter(Recorder &log) : m_log(log) {}

    QStringList messages; // "title|text"
    QString detail;       // the detailed text of the last box, empty when it had none
    QString parentName;
    std::function<void(const QString &title, const QString &text)> onMessage;
    QList<bool> answers; // true: 是

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
    bool askYesNo(QWidget *parent, const QString &title, const QString &text) override
    {
        detail.clear();
        record(parent, title, text, "question ");
        return !answers.isEmpty() && answers.takeFirst();
    }

private:
    void record(QWidget *parent, const QString &title, const QString &text, const char *kind = "message ")
    {
        messages.append(title + u'|' + text);
        parentName = parent ? parent->objectName() : QString();
        m_log.add(QLatin1String(kind) + title + u'|' + text);
        if (onMessage)
            onMessage(title, text);
    }

    Recorder &m_log;
};
