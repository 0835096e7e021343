#pragma once

#include "Rqx5Frames.h"
#include "core/Transfer.h"

// What every RQX5 transfer shares: the bytes not yet taken, the frame scan, and the instrument's
// bare end frame, which ends every exchange the same way.
class Rqx5Transfer : public Transfer {
public:
    TransferActions take(QByteArrayView bytes) override;
    TransferActions stop() override
    {
        endAttempt();
        return Transfer::stop();
    }

    // The records taken or sent so far in the exchange.
    long recordCount() const { return m_recordCount; }

protected:
    TransferEvents::Series series() const override { return TransferEvents::Series::Rqx5; }
    long countRecord() { return ++m_recordCount; }
    void setRecordCount(long count) { m_recordCount = count; }
    // The count the header announced.
    long announced() const { return m_announced; }
    void announce(long count) { m_announced = count; }

    // Where a frame of this transfer ends in the bytes waiting, from position 1 on (position 0 is
    // only ever the predecessor of position 1): the first position whose byte, with the one before
    // it, ends a frame this transfer expects; -1 when none does yet.
    virtual int frameEnd(const FrameBuffer &bytes) const = 0;
    // Handles the frame of bytes 0..end (end is the terminator's position in it).
    virtual void handle(const QByteArray &frame, int end, TransferActions &actions) = 0;

    // The port's buffers emptied before an answer; bytes after the frame are dropped with them.
    void resetPort(TransferActions &actions);
    // The instrument's bare end frame: the transfer is over and the frame is echoed.
    void EchoRqx5EndFrame(TransferActions &actions);
    static bool isEndPair(const FrameBuffer &bytes, int i);
    static bool isBareEndFrame(int end) { return end <= 2; }
    // Where the header whose 0xAA 0x82 ends at `pair` (beyond position 2) ends, for a header of
    // `length` bytes: the pair itself, or, when the pair stands where a header's count bytes do, the
    // header's own terminator further on (-1 while it has not arrived: wait).
    static int headerEnd(const FrameBuffer &bytes, int pair, int length);
    // A frame whose start is not marked is counted back from its terminator by its length. The bytes
    // before it are the remains of an earlier frame (a record the instrument broke off, or whose
    // terminator was lost) when there are at least as many as in the shortest frame; fewer were added
    // to this one on the line, and its fields would be read shifted by them.
    static constexpr int kLeastRemains = Rqx5Frames::kCoordinateHeaderLength;
    // Where the frame of `length` bytes that ends at `end` begins; -1 when the bytes from the first
    // one not yet taken to `end` are not that frame, or that frame after remains.
    static int countedBack(int end, int length);
    // The header a frame ends with: its last `length` bytes, the remains before them going; empty when
    // the frame is no whole header (a byte lost or added on the line).
    static QByteArray ownHeader(const QByteArray &frame, int length)
    {
        const int first = countedBack(static_cast<int>(frame.size()) - 1, length);
        return first < 0 ? QByteArray() : frame.mid(first);
    }

    // A header begins an attempt. Taken while an attempt has not seen its last record (the
    // instrument started over), it withdraws that attempt's rows, so the list holds the file once.
    // The record count starts again from 0.
    void beginAttempt(TransferActions &actions);
    // Every announced record is in (or the instrument has ended): a header now begins a new file.
    void endAttempt() { m_attemptOpen = false; }

private:
    bool m_attemptOpen = false;
    long m_recordCount = 0;
    long m_announced = 0;
};
