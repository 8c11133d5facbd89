#pragma once
// The entries of the editor text: the ОГЛ…КОН blocks in text order, as the panel lists them.

#include "core/base/CTextLines.h"
#include "core/entries/CContentFilter.h"
#include "core/toc/TocEntryRef.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The level of an entry: the number of "*" at the start of its text, 1 when there is none.
// Not capped at 8: CContentFilter decides how deeper levels are shown.
int EntryLevel(std::string_view text);

// Scans lines (the editor's lines, a trailing "\r" of a line ignored) for blocks: a line that is the
// ОГЛ marker opens one (dropping an unclosed one), the next line that is the КОН marker closes it.
// A КОН line outside a block and a block never closed give nothing. Only entries whose level the
// filter shows are returned, in text order.
std::vector<TocEntryRef> BuildEntryList(const CTextLines& lines, const CContentFilter& filter);

// The marked rows of a list the operator saw (shown), carried over to the list rebuilt from the
// current text. A row is kept when the rebuilt list still has an entry with the row's text: at the
// row's own index when that one matches, otherwise at the nearest index holding that text that no
// other kept row has taken. The result addresses rebuilt, ascending and without repeats; rows whose
// entry is gone (and indices outside shown) are dropped.
std::vector<std::size_t> RevalidateMarked(const std::vector<TocEntryRef>& shown,
                                          const std::vector<std::size_t>& marked,
                                          const std::vector<TocEntryRef>& rebuilt);
