#pragma once

#include <functional>

class Transfer;

// What one transfer of a series hands the next: the running record number. The series names the
// transfer that counts its records as it builds it, and is told of every transfer begun; a transfer
// that numbers on from the one before starts from running(), the count of the counting transfer while
// it is still the one under way. Once any other transfer has begun, nothing is handed on (0).
//
// Usage:
//     auto receive = std::make_unique<Rqx2CoordinateReceive>(nez);
//     receive->numberOnFrom(numbering.running());              // numbers on
//     numbering.countedBy(*receive, [r = receive.get()] { return r->recordCount(); });
//     numbering.begun(*receive);                             // as the executor takes it over
class RecordNumbering {
public:
    // transfer counts the series' records; count reads its count. The count is read only while
    // transfer is the last one begun, so while the executor holds it.
    void countedBy(const Transfer &transfer, std::function<long()> count);
    // transfer has become the one under way (a command began it, or it waits for the instrument).
    void begun(const Transfer &transfer);
    // The number the next transfer of the series numbers on from.
    long running() const { return m_count ? m_count() : 0; }

private:
    const Transfer *m_counter = nullptr;
    std::function<long()> m_count;
};
