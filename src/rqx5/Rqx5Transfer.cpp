#include "Rqx5Transfer.h"

#include "Rqx5Frames.h"

TransferActions Rqx5Transfer::take(QByteArrayView bytes)
{
    TransferActions actions;
    m_pending.append(bytes);
    // Each frame taken removes at least its two last bytes, so the loop ends.
    for (int end = frameEnd(m_pending); end >= 1; end = frameEnd(m_pending)) {
        const QByteArray frame = m_pending.takeFrame(end);
        handle(frame, end, actions);
    }
    return actions;
}

void Rqx5Transfer::resetPort(TransferActions &actions)
{
    m_pending.clear();
    actions.push_back(TransferAction::of(TransferAction::ClearOutput));
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
}

void Rqx5Transfer::EchoRqx5EndFrame(TransferActions &actions)
{
    RecordCount = 0;
    m_underway = false;
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(Rqx5Frames::kEndPair));
}

bool Rqx5Transfer::isEndPair(const FrameBuffer &bytes, int i)
{
    return bytes.at(i - 1) == Rqx5Frames::kLead && bytes.at(i) == Rqx5Frames::kEnd;
}
