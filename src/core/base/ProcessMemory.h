#pragma once
// How a process takes memory from the system: the editor and the batch tool allocate differently and
// each chooses its policy once, first thing in main().

// For the editor. Large blocks are mapped on their own, at a fixed size, for the life of the process:
// the text document of a long text grows arrays of tens of megabytes by reallocation, and with the C
// library's sliding threshold (on Linux) these move into the heap after the first large block is
// freed, where every growth copies them and leaves the old copy resident. Mapped, a growth is a
// remapping and a freed block goes back to the system.
void KeepLargeBlocksMapped();

// Hands the heap's free pages back to the system. Small blocks freed in the middle of the heap
// (the last document's entries, the recognition's working lists) stay resident until reused; before
// a whole text goes into the editor they are given back, so they do not count on top of it.
void ReleaseFreeHeap();

// For the batch tool, which processes one document after another on each thread. The blocks of a
// document of a few megabytes (its text, its line table, its items) stay with the process when the
// document is done and serve the next one, rather than going back to the system to be mapped and
// faulted in again; the blocks of a document of tens of megabytes are still mapped on their own and
// returned at once, so the memory held never grows past what the largest document took. Fewer maps
// also mean less contention between threads for the process's memory map.
void ReuseDocumentBlocks();
