#include "Rqx2Transfer.h"

TransferActions Rqx2Transfer::take(QByteArrayView bytes)
{
    using namespace Rqx2Frames;
    TransferActions actions;
    pending().append(bytes);
    // Position 0 is only ever the predecessor of position 1: a frame ends at the first CR from
    // position 1 on. Each frame taken removes at least two bytes, so the loop ends.
    for (qsizetype i = 1; i < pending().size();) {
        if (pending().at(i) != kEnd) {
            ++i;
            continue;
        }
        const int end = static_cast<int>(i);
        i = 1;
        // "J" CR is a request only as the request's own bytes: the "J" first, or right after the
        // start byte. A header whose file name ends in "J" has a digit or letter before it.
        if (pending().at(end - 1) == kHandshake && (end == 1 || pending().at(end - 2) == kStart)) {
            m_afterDamage = false;
            handle(pending().takeFrame(end), end, Frame::Handshake, actions);
            continue;
        }
        QByteArray frame = pending().takeFrame(end);
        // The bytes that follow a damaged record up to the next start byte are the rest of it.
        if (m_afterDamage) {
            const qsizetype next = frame.indexOf(static_cast<char>(kStart));
            if (next < 0)
                continue;
            frame.remove(0, next);
        }
        // A start byte further in begins a record of its own, which is taken when it is whole: the
        // bytes before it (a record whose CR was lost, or noise) never reached their CR.
        const qsizetype start = frame.lastIndexOf(static_cast<char>(kStart));
        if (start > leadBytes()) {
            const QByteArray broken = frame.left(start);
            frame.remove(0, start);
            // Without its start byte it is no record; with it, a record cut short.
            if (static_cast<unsigned char>(broken.at(0)) == kStart)
                handle(broken, static_cast<int>(broken.size()) - 1, Frame::Broken, actions);
        }
        const int last = static_cast<int>(frame.size()) - 1;
        Frame kind = Frame::Short;
        if (last > kCoordinateEndAfter && last < kCoordinateEndBefore)
            kind = Frame::Coordinate;
        else if (last > kLongEndAfter)
            kind = Frame::Long;
        handle(frame, last, kind, actions);
    }
    return actions;
}

bool Rqx2Transfer::midFrame() const
{
    if (m_afterDamage && !pending().bytes().contains(static_cast<char>(Rqx2Frames::kStart)))
        return false;
    return Transfer::midFrame();
}

TransferActions Rqx2Transfer::PrepareRqx2Transfer()
{
    TransferActions actions;
    pending().clear();
    actions.push_back(TransferAction::of(TransferAction::ClearOutput));
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    // Nothing is sent: the instrument opens the transfer with its handshake request.
    setUnderway(true);
    return actions;
}

void Rqx2Transfer::AnswerRqx2Handshake(TransferActions &actions)
{
    if (m_handshakeAnswered)
        return;
    prepareAnswer(actions);
    answering(actions);
    QByteArray answer;
    answer.append(transferKindByte());
    answer.append(static_cast<char>(Rqx2Frames::kHandshake));
    answer.append(static_cast<char>(Rqx2Frames::kEnd));
    actions.push_back(TransferAction::write(answer));
    m_handshakeAnswered = true;
    // An instrument may open the exchange before any command did: from its answered request on,
    // a port that goes away or a line that falls silent is told.
    setUnderway(true);
}

void Rqx2Transfer::prepareAnswer(TransferActions &actions)
{
    pending().clear();
    m_afterDamage = false;
    actions.push_back(TransferAction::of(TransferAction::ClearOutput));
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
}

void Rqx2Transfer::clearInput(TransferActions &actions)
{
    pending().clear();
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
}
