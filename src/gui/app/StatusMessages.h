#pragma once
// The texts the status line's message area shows after an open and after an input.

#include <QString>

#include <cstddef>

// After a document has been processed: how many entries it got, or why it got none.
QString ProcessedStatus(std::size_t entries, bool refused, bool extendedRecognition);
// The same message in full, for the status line's tooltip.
QString ProcessedStatusWhole(std::size_t entries, bool refused, bool extendedRecognition);
// After typed or pasted text lost characters that the document's code page cannot keep.
QString UnkeptInputStatus(int unkept);
