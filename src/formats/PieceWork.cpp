#include "PieceWork.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {
int coreCount()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
}
} // namespace

void ForEachPiece(int count, const std::function<void(int)> &work)
{
    std::atomic<int> next{0};
    const auto worker = [&] {
        for (int piece = next++; piece < count; piece = next++)
            work(piece);
    };
    std::vector<std::thread> helpers;
    for (int k = 1; k < std::min(coreCount(), count); ++k)
        helpers.emplace_back(worker);
    worker();
    for (std::thread &helper : helpers)
        helper.join();
}

bool MakePiecesInOrder(int count, const std::function<QByteArray(int)> &make,
                       const std::function<bool(const QByteArray &)> &put)
{
    const int makers = std::min(coreCount(), count);
    // Pieces being made or waiting for their turn; piece k waits in slot k % held.
    const int held = 2 * makers;
    std::vector<QByteArray> waiting(static_cast<size_t>(held));
    std::vector<char> ready(static_cast<size_t>(held), false);
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;  // the next piece to make
    int taken = 0; // pieces handed to put
    bool stop = false;

    const auto maker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || next >= count || next < taken + held; });
            if (stop || next >= count)
                return;
            const int piece = next++;
            lock.unlock();
            QByteArray bytes = make(piece);
            lock.lock();
            waiting[static_cast<size_t>(piece % held)] = std::move(bytes);
            ready[static_cast<size_t>(piece % held)] = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> makerThreads;
    for (int k = 0; k < makers; ++k)
        makerThreads.emplace_back(maker);

    bool ok = true;
    for (int piece = 0; piece < count && ok; ++piece) {
        QByteArray bytes;
        {
            std::unique_lock lock(mutex);
            const size_t slot = static_cast<size_t>(piece % held);
            changed.wait(lock, [&] { return bool(ready[slot]); });
            bytes = std::move(waiting[slot]);
            waiting[slot] = QByteArray();
            ready[slot] = false;
            taken = piece + 1;
        }
        changed.notify_all();
        ok = put(bytes);
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    changed.notify_all();
    for (std::thread &thread : makerThreads)
        thread.join();
    return ok;
}
