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
// How many remarks the table of contents has; empty when it has none.
QString RemarkCountStatus(std::size_t remarks);
// After the next-remark command: the remarks of the heading it went to (one remark a line in
// texts), and whether it went round from the end of the text to its start.
QString NextRemarkStatus(const QString& texts, bool wrapped);
