#pragma once
// How the editor's process takes memory from the system.

// Large blocks are mapped on their own, at a fixed size, for the life of the process: the text
// document of a long text grows arrays of tens of megabytes by reallocation, and with the C
// library's sliding threshold (on Linux) these move into the heap after the first large block is
// freed, where every growth copies them and leaves the old copy resident. Mapped, a growth is a
// remapping and a freed block goes back to the system. Call once, first thing in main().
void KeepLargeBlocksMapped();
