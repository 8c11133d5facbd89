#include "cli/RunInOrder.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace
{
// Which index starts next: the first of the preferred order not yet started, when it may start, and
// otherwise the lowest index not yet started, which may always start once the results before it are
// delivered, so a preferred order never holds up the run.
class CStartQueue
{
public:
    CStartQueue(std::size_t count, std::span<const std::size_t> preferred)
        : m_preferred(preferred), m_started(count, 0)
    {
    }

    // The index to start while results below limit may be held, or none for now.
    std::optional<std::size_t> Next(std::size_t limit)
    {
        while (m_cursor < m_preferred.size() && m_started[m_preferred[m_cursor]])
            ++m_cursor;
        while (m_lowest < m_started.size() && m_started[m_lowest])
            ++m_lowest;
        if (m_cursor < m_preferred.size() && m_preferred[m_cursor] < limit)
            return m_preferred[m_cursor];
        if (m_lowest < m_started.size() && m_lowest < limit)
            return m_lowest;
        return std::nullopt;
    }
    void Start(std::size_t index)
    {
        m_started[index] = 1;
        ++m_startedCount;
    }
    bool AllStarted() const { return m_startedCount == m_started.size(); }

private:
    std::span<const std::size_t> m_preferred;
    std::vector<char> m_started;
    std::size_t m_cursor = 0;
    std::size_t m_lowest = 0;
    std::size_t m_startedCount = 0;
};
} // namespace

std::size_t RunInOrder(std::size_t count, unsigned threads, std::size_t ahead,
                       const std::function<DocumentResult(std::size_t)>& work,
                       const std::function<void(std::size_t, DocumentResult&&)>& deliver,
                       const std::function<void()>& tick, const std::atomic<bool>& stop,
                       std::span<const std::size_t> preferred)
{
    ahead = std::max<std::size_t>(ahead, 1);
    std::mutex mutex;
    std::condition_variable changed;
    CStartQueue queue(count, preferred);
    std::size_t running = 0;
    std::size_t delivered = 0; // the results below this index are handed on (or, after a stop, passed)
    std::size_t handedOn = 0;
    std::map<std::size_t, DocumentResult> finished;

    auto worker = [&]
    {
        std::unique_lock lock(mutex);
        for (;;)
        {
            std::optional<std::size_t> index;
            changed.wait(lock,
                         [&]
                         {
                             if (stop || queue.AllStarted())
                                 return true;
                             index = queue.Next(delivered + ahead);
                             return index.has_value();
                         });
            if (stop || !index)
                return;
            queue.Start(*index);
            ++running;
            lock.unlock();
            DocumentResult result = work(*index);
            lock.lock();
            --running;
            finished.emplace(*index, std::move(result));
            changed.notify_all();
        }
    };
    std::vector<std::jthread> pool;
    const std::size_t poolSize =
        std::min<std::size_t>(std::max(threads, 1u), std::max<std::size_t>(count, 1));
    for (std::size_t t = 0; t < poolSize; ++t)
        pool.emplace_back(worker);

    // Hands on the finished results in order; after a stop, those that will never be followed by the
    // ones before them (never started) are handed on as well, still in order.
    auto handOn = [&](std::unique_lock<std::mutex>& lock, bool stopped)
    {
        while (!finished.empty() && (finished.begin()->first == delivered || stopped))
        {
            const std::size_t index = finished.begin()->first;
            DocumentResult result = std::move(finished.begin()->second);
            finished.erase(finished.begin());
            delivered = index + 1;
            ++handedOn;
            changed.notify_all();
            lock.unlock();
            deliver(index, std::move(result));
            lock.lock();
        }
    };
    std::unique_lock lock(mutex);
    for (;;)
    {
        changed.wait_for(lock, std::chrono::milliseconds(100),
                         [&] { return finished.contains(delivered) || delivered == count || (stop && running == 0); });
        handOn(lock, false);
        lock.unlock();
        tick();
        lock.lock();
        // Done when everything is delivered, or when stopped and nothing started is outstanding.
        if (delivered == count)
            break;
        if (stop && running == 0)
        {
            handOn(lock, true);
            break;
        }
        if (stop)
            changed.notify_all();
    }
    lock.unlock();
    changed.notify_all();
    pool.clear();
    return handedOn;
}
