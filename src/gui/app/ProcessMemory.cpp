#include "gui/app/ProcessMemory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
// Above the parts in which a text goes into the editor (64 K characters, 128 KB), which come and go
// hundreds of times per document; below the arrays that grow with it.
[[maybe_unused]] constexpr int kMappedBlockBytes = 1 << 20;
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
