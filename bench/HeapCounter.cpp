#include "HeapCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<std::size_t> g_heapLive{0};
std::atomic<std::size_t> g_heapPeak{0};
} // namespace

std::size_t HeapHeld()
{
    return g_heapLive.load();
}

std::size_t HeapMostHeld()
{
    return g_heapPeak.load();
}

void ResetHeapPeak()
{
    g_heapPeak.store(g_heapLive.load());
}

// What malloc_usable_size tells is what a block really takes, so a list's spare room counts too.
void* operator new(std::size_t size)
{
    void* const block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    const std::size_t bytes = malloc_usable_size(block);
    const std::size_t live = g_heapLive.fetch_add(bytes) + bytes;
    std::size_t peak = g_heapPeak.load();
    while (live > peak && !g_heapPeak.compare_exchange_weak(peak, live))
    {
    }
    return block;
}

void operator delete(void* block) noexcept
{
    if (block == nullptr)
        return;
    g_heapLive.fetch_sub(malloc_usable_size(block));
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}
