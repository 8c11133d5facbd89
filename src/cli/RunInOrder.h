#pragma once
// Processing many documents on several threads with the results handed on in the documents' order,
// so that what the tool prints does not depend on the number of threads.

#include "cli/TocTool.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>

// Runs work(0) ... work(count - 1) on `threads` threads; a thread that is free takes the next index of
// preferred (largest documents first keeps every thread busy to the end), or the lowest one left when
// preferred is empty or its next may not start yet.
// deliver(i, result) runs on the calling thread, in the order of i, as soon as all earlier results
// are delivered; at most `ahead` results (at least one) wait for delivery at any time, which bounds
// the memory held by results that carry a whole document. tick() runs on the calling thread after
// deliveries and at least every tenth of a second. Once stop is true no further index is started;
// those already running finish and are delivered, in order, past the ones never started. work must not
// throw. Returns the number delivered.
std::size_t RunInOrder(std::size_t count, unsigned threads, std::size_t ahead,
                       const std::function<DocumentResult(std::size_t)>& work,
                       const std::function<void(std::size_t, DocumentResult&&)>& deliver,
                       const std::function<void()>& tick, const std::atomic<bool>& stop,
                       std::span<const std::size_t> preferred = {});
