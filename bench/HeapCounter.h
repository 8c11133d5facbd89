#pragma once
// Counts the heap a benchmark holds: linking HeapCounter.cpp replaces the global operator new and
// delete with ones that keep the bytes held now and the most held since the last ResetHeapPeak.

#include <cstddef>

std::size_t HeapHeld();
std::size_t HeapMostHeld();
void ResetHeapPeak();
