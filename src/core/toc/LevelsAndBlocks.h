#pragma once
// The last step of the recognition: levels from the sequence of heading kinds, the entry layout,
// the case of entries typed in capitals, and one ОГЛ...КОН block per item written into the text.

#include "core/toc/CTocItemList.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CUpperCaseWordsDict;

// Gives the items their levels, lays the entries out and inserts their blocks into lines, each in
// front of its heading. A lone document-kind or appendix item at the top is dropped unless
// hasSecondRoot; fewer than two items left write nothing. pumpMessages runs between the parts.
// Returns the number of blocks written.
// rankOf, when given, ranks the headings in place of their kinds (AssignLevels).
std::size_t WriteTocBlocks(CTocItemList& list, std::vector<std::string>& lines, bool hasSecondRoot,
                           const std::function<void()>& pumpMessages,
                           const std::function<int(const TocItem&)>& rankOf = {});

// The highest rank rankOf may give; a kind's rank is the kind itself when no rankOf is given.
constexpr int kMaxHeadingRank = 2 * kKindArticle;
// A deeper kind opens a level below the previous heading, a higher kind returns to the level at
// which it was last seen, appendices stand at level 0; items that arrive with a level keep it.
// rankOf, when given, orders the headings in place of their kinds (0 to kMaxHeadingRank, lower is
// higher).
void AssignLevels(std::vector<TocItem>& items, const std::function<int(const TocItem&)>& rankOf = {});
// Pushes the headings that follow an introduction or a contents section one or two levels down.
void ShiftAfterFrontMatter(std::vector<TocItem>& items, const std::vector<std::string>& lines);
// Turns laid-out entries typed in capitals into sentence case, and the titles of high headings
// after their number into capitals.
void FixEntryCase(std::vector<TocItem>& items, const CUpperCaseWordsDict* words);
// Inserts every item's block in front of the line it names; items must be in line order.
void InsertBlocks(std::vector<std::string>& lines, const std::vector<TocItem>& items);
