#pragma once

#include "MessagePresenter.h"
#include "serial/SerialLink.h"

// Holds the link's receive events while a message box is open, wherever the box was opened: the
// program has one thread, and the instrument must not be answered while a message waits for the
// user (a completion or refusal is read before the exchange goes on).
class LinkHoldingPresenter : public MessagePresenter {
public:
    LinkHoldingPresenter(MessagePresenter &messages, SerialLink &link) : m_messages(messages), m_link(link) {}

    void showMessage(QWidget *parent, const QString &title, const QString &text) override
    {
        m_link.holdReceiveEvents(true);
        m_messages.showMessage(parent, title, text);
        m_link.holdReceiveEvents(false);
    }
    void showDetailedMessage(QWidget *parent, const QString &title, const QString &text,
                             const QString &detail) override
    {
        m_link.holdReceiveEvents(true);
        m_messages.showDetailedMessage(parent, title, text, detail);
        m_link.holdReceiveEvents(false);
    }

private:
    MessagePresenter &m_messages;
    SerialLink &m_link;
};
