#include "cli/RunInOrder.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

std::size_t RunInOrder(std::size_t count, unsigned threads, std::size_t ahead,
                       const std::function<DocumentResult(std::size_t)>& work,
                       const std::function<void(std::size_t, DocumentResult&&)>& deliver,
                       const std::function<void()>& tick, const std::atomic<bool>& stop)
{
    ahead = std::max<std::size_t>(ahead, 1);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;      // the next index to start
    std::size_t delivered = 0; // results handed on so far
    std::map<std::size_t, DocumentResult> finished;

    auto worker = [&]
    {
        std::unique_lock lock(mutex);
        for (;;)
        {
            changed.wait(lock, [&] { return stop || next >= count || next < delivered + ahead; });
            if (stop || next >= count)
                return;
            const std::size_t index = next++;
            lock.unlock();
            DocumentResult result = work(index);
            lock.lock();
            finished.emplace(index, std::move(result));
            changed.notify_all();
        }
    };
    std::vector<std::jthread> pool;
    const std::size_t poolSize =
        std::min<std::size_t>(std::max(threads, 1u), std::max<std::size_t>(count, 1));
    for (std::size_t t = 0; t < poolSize; ++t)
        pool.emplace_back(worker);

    std::unique_lock lock(mutex);
    for (;;)
    {
        changed.wait_for(lock, std::chrono::milliseconds(100),
                         [&] { return finished.contains(delivered) || delivered == count; });
        while (!finished.empty() && finished.begin()->first == delivered)
        {
            DocumentResult result = std::move(finished.begin()->second);
            finished.erase(finished.begin());
            const std::size_t index = delivered++;
            changed.notify_all();
            lock.unlock();
            deliver(index, std::move(result));
            lock.lock();
        }
        lock.unlock();
        tick();
        lock.lock();
        // Done when everything is delivered, or when stopped and nothing started is outstanding.
        if (delivered == count || (stop && delivered == next))
            break;
        if (stop)
            changed.notify_all();
    }
    lock.unlock();
    changed.notify_all();
    pool.clear();
    return delivered;
}
