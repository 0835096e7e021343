#pragma once

#include "FrameBuffer.h"
#include "MessageTitles.h"
#include "TransferAction.h"
#include "TransferProgress.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <utility>

// One exchange with the instrument (a coordinate receive, a send, a measurement receive, the
// connection test): it owns its state and knows its frames. The command that begins it calls
// start(); every byte that arrives afterwards is fed to take(), in pieces of any size; both answer
// with the actions the bytes cause, in order. It holds no port and no window, so a test feeds it
// bytes and compares the actions.
class Transfer {
public:
    virtual ~Transfer() = default;

    // What the command does before the instrument sends anything.
    virtual TransferActions start() = 0;
    // Bytes from the instrument. Whatever is not yet a whole frame is kept and joined with the
    // bytes that follow.
    virtual TransferActions take(QByteArrayView bytes) = 0;
    // The port failed under one of this transfer's actions; the user has been told.
    virtual void portFailed() { m_underway = false; }
    // The port went away by itself. True when the user must be told: the transfer was underway.
    virtual bool portLost() { return std::exchange(m_underway, false); }

    // Part of a frame waits for the bytes that complete it while the exchange is underway: an
    // instrument silent for long now has stopped in the middle of a frame.
    virtual bool midFrame() const { return m_underway && !m_pending.isEmpty(); }
    // The instrument owes bytes: part of a frame waits for the rest, or a whole file is on its way in
    // (its first frame has come, its last record not yet) and the program has answered the last
    // frame. Silent for kSilenceMs now, the instrument has stopped. After a refusal the instrument
    // owes nothing: the user has been told, and it waits for the send started again.
    bool awaitsInstrument() const
    {
        return midFrame() || (m_underway && m_instrumentsTurn && receivingFile());
    }
    // take(), and whose turn it leaves: after an answer written the instrument's, after a refusal
    // told nobody's.
    TransferActions feed(QByteArrayView bytes);
    // The instrument has been silent in the middle of a frame, or between the records of a file, for
    // kSilenceMs: the bytes of the broken frame go, the user is told once, and the transfer waits for
    // the send started again.
    virtual TransferActions silence()
    {
        m_pending.clear();
        m_instrumentsTurn = false;
        return {TransferAction::message(kErrorTitle, kInterrupted)};
    }

    // From the start of the exchange to its last frame: a port that goes away meanwhile is told.
    bool underway() const { return m_underway; }
    // The records taken or sent so far, and the total when it is known.
    virtual TransferProgress progress() const { return {m_done, m_total, bytesPerRecord()}; }
    // The user stops the transfer: nothing more is sent or taken (bytes that arrive afterwards are
    // dropped), the rows stored so far stay, and the user is told how many records came or went.
    // The port is left as at the end of a transfer of this kind.
    virtual TransferActions stop();
    bool stopped() const { return m_stopped; }

    // A short name for logs: "rqx5-coordinate-receive".
    virtual QString kind() const = 0;

    static constexpr int kSilenceMs = 10000;
    static inline const QString kErrorTitle = MessageTitles::kError;
    static inline const QString kInterrupted =
        QStringLiteral("数据传输中断：仪器已停止发送。请在全站仪上重新发送！");

    static inline const QString kStoppedTitle = MessageTitles::kNotice;

protected:
    // True for a send: the records counted went to the instrument.
    virtual bool sends() const { return false; }
    virtual int bytesPerRecord() const { return 0; }
    // The series whose wording the window gives the transfer's states.
    virtual TransferEvents::Series series() const = 0;
    // The transfer's state as the surveyor reads it; Idle once there is nothing to wait for.
    TransferAction status(TransferEvents::State state) const
    {
        return TransferAction::show(TransferEvents::Status{series(), state});
    }
    // What a stop does on the port beyond the common part, before the user is told.
    virtual void stopping(TransferActions &actions) { (void)actions; }
    // A whole file on its way in: its total is known from its first frame, its last record has not
    // come. Single measurements, which come when the surveyor measures, announce no total.
    bool receivingFile() const { return !sends() && m_total >= 0 && m_done < m_total; }

    // The bytes of the instrument not yet taken as a frame.
    FrameBuffer &pending() { return m_pending; }
    const FrameBuffer &pending() const { return m_pending; }
    // From the start of the exchange (or the instrument's first frame) to its last frame.
    void setUnderway(bool underway) { m_underway = underway; }
    // The records taken or sent so far, and the total when it is known (-1 when not).
    void setProgress(long done, long total)
    {
        m_done = done;
        m_total = total;
    }
    void setDone(long done) { m_done = done; }
    long done() const { return m_done; }

private:
    FrameBuffer m_pending;
    bool m_underway = false;
    bool m_stopped = false;
    long m_done = 0;
    long m_total = -1;
    bool m_instrumentsTurn = false;
};
