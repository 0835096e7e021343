#pragma once

#include <QByteArray>
#include <functional>

// A large file is read or written in pieces on every core of the machine. The calling thread waits
// for the pieces, so a command still runs to its end before the window takes the next event.

// Runs work(piece) for every piece 0..count-1, spread over all cores; returns when all are done.
void ForEachPiece(int count, const std::function<void(int)> &work);

// Makes the bytes of every piece 0..count-1 on all cores and hands them to put on the calling thread
// in the order of the pieces, each as soon as it and all before it are made; only a few pieces are
// held at once, however many there are. Once put returns false no more pieces are made, and the
// result is false.
bool MakePiecesInOrder(int count, const std::function<QByteArray(int)> &make,
                       const std::function<bool(const QByteArray &)> &put);
