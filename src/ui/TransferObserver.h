#pragma once

#include <QByteArray>

class Transfer;

// Watches the transfers the executor performs: which one is under way, and every byte it writes
// and every byte that arrives for it, as the port saw them. An observer never changes a transfer.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;

    // transfer is now the one the bytes go to. started: a command began it (its start is performed
    // next); otherwise it waits for the instrument to begin the exchange on its own.
    virtual void transferBegun(const Transfer &transfer, bool started) = 0;
    // The transfer before the next one is done with.
    virtual void transferEnded() = 0;
    // Bytes the transfer wrote to the port, after the port took them.
    virtual void bytesWritten(const QByteArray &bytes) = 0;
    // Bytes read from the port, before the transfer is fed them.
    virtual void bytesArrived(const QByteArray &bytes) = 0;
};
