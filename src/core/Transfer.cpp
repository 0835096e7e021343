#include "Transfer.h"

TransferActions Transfer::feed(QByteArrayView bytes)
{
    TransferActions actions = take(bytes);
    for (const TransferAction &action : actions) {
        if (action.kind == TransferAction::Write)
            m_instrumentsTurn = true;
        else if (action.kind == TransferAction::ShowMessage && action.title == kErrorTitle)
            m_instrumentsTurn = false;
    }
    return actions;
}

TransferActions Transfer::stop()
{
    m_stopped = true;
    m_underway = false;
    m_pending.clear();
    const QString text = sends() ? QStringLiteral("传输已停止，已发送 %1 条记录。")
                                 : QStringLiteral("传输已停止，已接收 %1 条记录。");
    TransferActions actions;
    // What the instrument still sends is read and dropped as it comes, not cleared from the port:
    // the session log keeps every byte that came, and the next transfer clears the port itself.
    actions.push_back(status(TransferEvents::State::Idle));
    stopping(actions);
    actions.push_back(TransferAction::message(kStoppedTitle, text.arg(m_done)));
    return actions;
}
