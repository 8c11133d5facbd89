#include "core/base/ProcessMemory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
// Above the parts in which a text goes into the editor (64 K characters, 128 KB), which come and go
// hundreds of times per document; below the arrays that grow with it.
[[maybe_unused]] constexpr int kMappedBlockBytes = 1 << 20;

// The tool's blocks below this size come from the heap and are reused: a document's text of up to
// some megabytes and its line table (measured: a quarter fewer page faults on a mixed corpus, and no
// higher peak on a 50 MB law or a 20 MB text of headings than with the library's own threshold).
[[maybe_unused]] constexpr int kReusedBlockBytes = 8 << 20;
// Free memory at the top of the heap is kept up to this much for the next document.
[[maybe_unused]] constexpr int kKeptFreeBytes = 64 << 20;
} // namespace

void KeepLargeBlocksMapped()
{
#if defined(__GLIBC__)
    // Setting the threshold also stops the library from moving it.
    mallopt(M_MMAP_THRESHOLD, kMappedBlockBytes);
#endif
}

void ReleaseFreeHeap()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void ReuseDocumentBlocks()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kReusedBlockBytes);
    mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes);
#endif
}
