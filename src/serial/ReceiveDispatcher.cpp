#include "ReceiveDispatcher.h"

#include "Frames.h"
#include "SerialLink.h"
#include "core/AppState.h"
#include "core/TransferView.h"

ReceiveDispatcher::ReceiveDispatcher(AppState &state, SerialLink &link, TransferView &view)
    : m_state(state), m_link(link), m_view(view)
{
}

void ReceiveDispatcher::OnReceiveEvent()
{
    dispatch(m_link.readAll());
}

void ReceiveDispatcher::dispatch(const QByteArray &chunk)
{
    const int n = static_cast<int>(chunk.size());
    // The series options cannot change while a chunk is scanned (only a routine could, and the first
    // routine called ends the scan), so reading them once is the same as reading them per position.
    const bool rqx5 = m_state.rqx5();
    const bool rqx2 = !rqx5 && m_state.rqx2();
    const auto *bytes = reinterpret_cast<const unsigned char *>(chunk.constData());
    for (int i = 1; i < n; ++i) {
        m_state.LoopIndex = i;
        m_state.ReceiveBuffer.set(i, bytes[i]);
        const bool matched = rqx5 ? applyRqx5Rules(i, bytes[i - 1], bytes[i])
                                  : rqx2 ? applyRqx2Rules(i, bytes[i - 1], bytes[i]) : false;
        if (matched) {
            m_state.LoopIndex = n - 1;
            return;
        }
    }
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
        m_view.setConnectionTestShown(false);
        m_view.showMessage(QStringLiteral("测试成功"), QStringLiteral("通讯测试成功！您的电脑可以与仪器进行数据传输。"));
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
