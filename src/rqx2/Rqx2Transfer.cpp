#include "Rqx2Transfer.h"

TransferActions Rqx2Transfer::take(QByteArrayView bytes)
{
    using namespace Rqx2Frames;
    TransferActions actions;
    m_pending.append(bytes);
    // Position 0 is only ever the predecessor of position 1: a frame ends at the first CR from
    // position 1 on. Each frame taken removes at least two bytes, so the loop ends.
    for (qsizetype i = 1; i < m_pending.size();) {
        if (m_pending.at(i) != kEnd) {
            ++i;
            continue;
        }
        Frame kind = Frame::Short;
        // "J" CR is a request only as the request's own bytes: the "J" first, or right after the
        // start byte. A header whose file name ends in "J" has a digit or letter before it.
        if (m_pending.at(i - 1) == kHandshake && (i == 1 || m_pending.at(i - 2) == kStart))
            kind = Frame::Handshake;
        else if (i > kCoordinateEndAfter && i < kCoordinateEndBefore)
            kind = Frame::Coordinate;
        else if (i > kLongEndAfter)
            kind = Frame::Long;
        const int end = static_cast<int>(i);
        const QByteArray frame = m_pending.takeFrame(end);
        handle(frame, end, kind, actions);
        i = 1;
    }
    return actions;
}

TransferActions Rqx2Transfer::PrepareRqx2Transfer()
{
    TransferActions actions;
    m_pending.clear();
    actions.push_back(TransferAction::of(TransferAction::ClearOutput));
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    // Nothing is sent: the instrument opens the transfer with its handshake request.
    m_underway = true;
    return actions;
}

void Rqx2Transfer::AnswerRqx2Handshake(TransferActions &actions)
{
    if (HandshakeAnswered != 0)
        return;
    m_pending.clear();
    actions.push_back(TransferAction::of(TransferAction::ClearOutput));
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    answering(actions);
    QByteArray answer;
    answer.append(transferKindByte());
    answer.append(static_cast<char>(Rqx2Frames::kHandshake));
    answer.append(static_cast<char>(Rqx2Frames::kEnd));
    actions.push_back(TransferAction::write(answer));
    HandshakeAnswered = 1;
    // An instrument may open the exchange before any command did: from its answered request on,
    // a port that goes away or a line that falls silent is told.
    m_underway = true;
}

void Rqx2Transfer::clearInput(TransferActions &actions)
{
    m_pending.clear();
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
}
