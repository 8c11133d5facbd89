#pragma once
// How the editor's process takes memory from the system.

// Large blocks are mapped on their own, at a fixed size, for the life of the process: the text
// document of a long text grows arrays of tens of megabytes by reallocation, and with the C
// library's sliding threshold (on Linux) these move into the heap after the first large block is
// freed, where every growth copies them and leaves the old copy resident. Mapped, a growth is a
// remapping and a freed block goes back to the system. Call once, first thing in main().
void KeepLargeBlocksMapped();

// Hands the heap's free pages back to the system. Small blocks freed in the middle of the heap
// (the last document's entries, the recognition's working lists) stay resident until reused; before
// a whole text goes into the editor they are given back, so they do not count on top of it.
void ReleaseFreeHeap();
