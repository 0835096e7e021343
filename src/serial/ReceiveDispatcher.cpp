#include "ReceiveDispatcher.h"

#include "Frames.h"
#include "SerialLink.h"
#include "core/AppState.h"
#include "core/TransferView.h"

#include <utility>

ReceiveDispatcher::ReceiveDispatcher(AppState &state, SerialLink &link, TransferView &view)
    : m_state(state), m_link(link), m_view(view)
{
}

void ReceiveDispatcher::OnReceiveEvent()
{
    // Each pass routes at least the two bytes up to a terminator or holds everything, so the loop
    // ends once the waiting bytes hold no further whole frame.
    while (dispatch(m_link.readAll())) {
        const int threshold = m_link.receiveThreshold();
        if (threshold <= 0 || m_link.waitingCount() < threshold)
            return;
    }
}

bool ReceiveDispatcher::dispatch(const QByteArray &chunk)
{
    const int n = static_cast<int>(chunk.size());
    const auto *bytes = reinterpret_cast<const unsigned char *>(chunk.constData());
    // Position 0 is only ever the predecessor of position 1, so a one-byte chunk routes nothing.
    // A chunk longer than the ReceiveBuffer, or one that comes before anything allocated it, is
    // still routed; the buffer keeps what fits within its bound.
    // Restored on return: a routine's modal box runs a nested event loop, and nothing may assume
    // that no other chunk is dispatched meanwhile.
    const QByteArray *outerChunk = std::exchange(m_chunk, &chunk);
    const bool outerHandedBack = std::exchange(m_handedBack, false);
    for (int i = 1; i < n; ++i) {
        m_state.LoopIndex = i;
        m_state.ReceiveBuffer.set(i, bytes[i]);
        // The series options are read at every position, RQX5 first.
        bool matched = false;
        if (m_state.rqx5())
            matched = applyRqx5Rules(i, bytes[i - 1], bytes[i]);
        else if (m_state.rqx2())
            matched = applyRqx2Rules(i, bytes[i - 1], bytes[i]);
        if (matched) {
            handBackAfter(i);
            m_chunk = outerChunk;
            m_handedBack = outerHandedBack;
            m_state.LoopIndex = n - 1;
            return true;
        }
    }
    m_chunk = outerChunk;
    m_handedBack = outerHandedBack;
    m_link.holdUnrouted(chunk);
    return false;
}

void ReceiveDispatcher::call(const std::function<void()> &routine)
{
    handBackAfter(static_cast<int>(m_state.LoopIndex));
    if (routine)
        routine();
}

void ReceiveDispatcher::handBackAfter(int position)
{
    // The bytes after the frame go back before its routine runs, so that the routine's discarding
    // of the input reaches them just as it did when they were dropped with the chunk.
    if (m_handedBack || !m_chunk)
        return;
    m_handedBack = true;
    if (position + 1 < m_chunk->size())
        m_link.holdUnrouted(m_chunk->mid(position + 1));
}

bool ReceiveDispatcher::applyRqx5Rules(int i, unsigned char p, unsigned char c)
{
    using namespace Frames;
    if (p == kRqx5Lead && c == kRqx5End) {
        // The pair closes a header when it stands beyond position 2; at the start it is a bare end frame.
        if (i > 2) {
            m_state.Rqx5AckNotFirst = true;
        } else {
            m_state.Rqx5AckNotFirst = false;
            call(m_routines.ShowRqx5TransferComplete);
        }
        call(m_routines.ReceiveRqx5DataBlock);
        return true;
    }
    if (p == kRqx5Lead && c == kRqx5Next) {
        ++m_state.RecordCount;
        call(m_routines.SendRqx5NextCoordinate);
        return true;
    }
    if (c == kRqx5CoordinateEnd && i > kRqx5CoordinateEndAfter) {
        call(m_routines.ReceiveRqx5CoordinateRecord);
        return true;
    }
    if (c == kRqx5DataFileEnd && i > kRqx5DataFileEndAfter) {
        call(m_routines.ReceiveRqx5DataFileRecord);
        return true;
    }
    if (p == kRqx5Lead && c == kRqx5Test) {
        m_state.TransferUnderway = false;
        m_view.setConnectionTestShown(false);
        m_view.showMessage(QStringLiteral("测试成功"),
                           QStringLiteral("通讯测试成功！您的电脑可以与仪器进行数据传输。"));
        return true;
    }
    if (m_state.Rqx5MeasureReceiveStarted && c >= kRqx5MeasurementFirstEnd && c <= kRqx5MeasurementLastEnd) {
        m_state.Rqx5DataKind = c - kRqx5MeasurementFirstEnd + 1;
        call(m_routines.ReceiveRqx5MeasurementRecord);
        return true;
    }
    return false;
}

bool ReceiveDispatcher::applyRqx2Rules(int i, unsigned char p, unsigned char c)
{
    using namespace Frames;
    if (c != kRqx2End)
        return false;
    if (p == kRqx2Handshake)
        call(m_routines.AnswerRqx2Handshake);
    else if (i > kRqx2CoordinateEndAfter && i < kRqx2CoordinateEndBefore)
        call(m_routines.ReceiveRqx2CoordinateRecord);
    else if (i > kRqx2LongEndAfter)
        call(m_routines.ReceiveRqx2LongRecord);
    else
        call(m_routines.ReceiveRqx2ShortRecord);
    return true;
}
