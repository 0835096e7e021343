#include "Rqx5Transfer.h"

#include "Rqx5Frames.h"

TransferActions Rqx5Transfer::take(QByteArrayView bytes)
{
    TransferActions actions;
    pending().append(bytes);
    // Each frame taken removes at least its two last bytes, so the loop ends.
    for (int end = frameEnd(pending()); end >= 1; end = frameEnd(pending())) {
        const QByteArray frame = pending().takeFrame(end);
        handle(frame, end, actions);
    }
    return actions;
}

void Rqx5Transfer::resetPort(TransferActions &actions)
{
    pending().clear();
    actions.push_back(TransferAction::of(TransferAction::ClearOutput));
    actions.push_back(TransferAction::of(TransferAction::ClearInput));
}

void Rqx5Transfer::EchoRqx5EndFrame(TransferActions &actions)
{
    m_recordCount = 0;
    setUnderway(false);
    endAttempt();
    resetPort(actions);
    actions.push_back(TransferAction::of(TransferAction::OpenPort));
    actions.push_back(TransferAction::write(Rqx5Frames::kEndPair));
}

bool Rqx5Transfer::isEndPair(const FrameBuffer &bytes, int i)
{
    return bytes.at(i - 1) == Rqx5Frames::kLead && bytes.at(i) == Rqx5Frames::kEnd;
}

int Rqx5Transfer::headerEnd(const FrameBuffer &bytes, int pair, int length)
{
    // A header whose count bytes are 0xAA 0x82 carries the pair at bytes 14-15 as well; only its own
    // terminator at length - 1 ends it. A pair there with no pair at the end was a short header.
    constexpr int kCountPair = Rqx5Frames::kHeaderCountLow + 1;
    if (pair != kCountPair)
        return pair;
    if (bytes.size() < length)
        return -1;
    return isEndPair(bytes, length - 1) ? length - 1 : pair;
}

int Rqx5Transfer::countedBack(int end, int length)
{
    const int first = end + 1 - length;
    return first == 0 || first >= kLeastRemains ? first : -1;
}

void Rqx5Transfer::beginAttempt(TransferActions &actions)
{
    // Rows in the list before the attempt began stay; only the broken-off attempt's own go.
    if (m_attemptOpen && m_recordCount > 0)
        actions.push_back(
            TransferAction::show(TransferEvents::RowsWithdrawn{static_cast<int>(m_recordCount)}));
    m_attemptOpen = true;
    m_recordCount = 0;
}
