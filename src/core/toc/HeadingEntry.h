#pragma once
// One heading laid out as the recognition lays out the headings it finds, for a heading the operator
// points at among the entries already written.

#include "core/toc/TocItem.h"

#include <cstddef>
#include <string_view>
#include <vector>

class CUpperCaseWordsDict;

// The kind the recognition gives a heading whose first line (trimmed) is line: ExtendedKindOf of its
// heading word with the extended passes, StandardKindOf with the standard ones.
int RecognisedKindOf(std::string_view line, bool extended);

// The entry the recognition writes for heading (its kind and its lines as they stand in the text) when it
// stands in front of entries[position]; entries are the items of the blocks around it in text order, each
// with its kind, its level and its entry lines without the level line. The heading goes through the
// cleaning every collected item goes through, takes the level its neighbours give it (the level the
// sequence of kinds gives, moved as far as its neighbours were moved from theirs; appendices at the top),
// and is laid out and aligned among them with the case rules. Returns the heading with its level and its
// entry lines, the level line first.
TocItem LayOutHeadingAmong(TocItem heading, std::vector<TocItem> entries, std::size_t position,
                           const CUpperCaseWordsDict* words);
