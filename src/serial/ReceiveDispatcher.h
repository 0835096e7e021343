#pragma once

#include <QByteArray>
#include <functional>

struct AppState;
class SerialLink;
class TransferView;

// The protocol routines a received chunk can be routed to. The protocols install theirs; a routine
// left unset does nothing.
struct ReceiveRoutines {
    std::function<void()> AnswerRqx2Handshake;
    std::function<void()> ReceiveRqx2CoordinateRecord;
    std::function<void()> ReceiveRqx2LongRecord;
    std::function<void()> ReceiveRqx2ShortRecord;
    std::function<void()> ShowRqx5TransferComplete;
    std::function<void()> ReceiveRqx5DataBlock;
    std::function<void()> SendRqx5NextCoordinate;
    std::function<void()> ReceiveRqx5CoordinateRecord;
    std::function<void()> ReceiveRqx5DataFileRecord;
    std::function<void()> ReceiveRqx5MeasurementRecord;
};

// Every received byte passes through here. Each protocol routine sets the receive threshold to the
// length of the frame it expects next, so one receive event normally holds one frame, and the
// dispatcher recognises the frame by its terminator and the position at which the terminator stands
// in the chunk. The first rule that matches ends the scan of the chunk.
//
// A real line delivers a frame in pieces of any size. Bytes that hold no frame yet go back to the
// link and are read again together with the bytes that follow, so a frame split over several reads
// is routed once it is whole, at the positions it would have had in one piece. Bytes that follow a
// routed frame go back to the link too, before its routine runs: a routine that discards the input
// (every acknowledgement does) drops them, one that does not gets them next, in the same event.
class ReceiveDispatcher {
public:
    ReceiveDispatcher(AppState &state, SerialLink &link, TransferView &view);

    ReceiveRoutines &routines() { return m_routines; }

    // The handler of the link's receive event: reads every waiting byte and dispatches them, frame
    // after frame while at least the receive threshold of bytes is waiting.
    void OnReceiveEvent();
    // Stores chunk positions 1..n-1 in the ReceiveBuffer and routes at the first matching rule;
    // hands the bytes it did not route back to the link. True when a rule matched.
    bool dispatch(const QByteArray &chunk);

private:
    bool applyRqx5Rules(int i, unsigned char p, unsigned char c);
    bool applyRqx2Rules(int i, unsigned char p, unsigned char c);
    void call(const std::function<void()> &routine);
    void handBackAfter(int position);

    AppState &m_state;
    SerialLink &m_link;
    TransferView &m_view;
    ReceiveRoutines m_routines;
    const QByteArray *m_chunk = nullptr; // the chunk being dispatched
    bool m_handedBack = false;           // its bytes after the routed frame are back in the link
};
