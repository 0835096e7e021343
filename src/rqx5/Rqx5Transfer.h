#pragma once

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

    // The counts of the exchange: records taken or sent, and the count the header announced.
    long RecordCount = 0;
    long Rqx5Count = 0;

protected:
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
    // A header is taken from its own first byte: of a longer frame only its last `length` bytes; the
    // bytes before them (the rest of a record the instrument broke off) go.
    static QByteArray ownBytes(const QByteArray &frame, int length)
    {
        return frame.size() > length ? frame.right(length) : frame;
    }

    // The restart of a transfer: a header taken while an attempt has not seen its last record
    // removes that attempt's rows, so the table holds the file once. Answers the rows the table
    // holds once the actions are done; RecordCount starts again from 0.
    int beginAttempt(int rows, TransferActions &actions);
    // Every announced record is in (or the instrument has ended): a header now begins a new file.
    void endAttempt() { m_attemptRows = -1; }

    int m_attemptRows = -1; // rows of the table before the attempt under way; -1: none is
};
