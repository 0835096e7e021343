#pragma once

#include <QString>

// How far a transfer has come: the records taken or sent, and how many there are in all when the
// header, the records' counters or the table being sent tell it (-1 when nothing does, as for single
// measurements sent as they are measured).
struct TransferProgress {
    long done = 0;
    long total = -1;
    // The bytes one record and its answer put on the line, for the time left before a rate has been
    // measured.
    int bytesPerRecord = 0;
};

// The seconds the rest of a transfer will take: from the rate measured over the last measured
// records (the records that came or went in measuredSeconds) once there is one, before that from the
// line speed (bits per second, ten bits a byte). -1 when no total is known or the line speed is not.
double SecondsLeft(const TransferProgress &progress, double measuredSeconds, long measuredRecords,
                   int bitsPerSecond);

// "剩余时间 m:ss", "剩余时间 h:mm:ss" from an hour on; empty for a negative time (unknown).
QString TimeLeftText(double seconds);
