#pragma once
// The last steps of the recognition: levels from the sequence of heading kinds, the entry layout,
// the case of entries typed in capitals, and one ОГЛ...КОН block per item written into the text.

#include "core/base/CTextLines.h"
#include "core/toc/TocItem.h"

#include <functional>
#include <string>
#include <vector>

class CUpperCaseWordsDict;

// The highest rank rankOf may give; a kind's rank is the kind itself when no rankOf is given.
constexpr int kMaxHeadingRank = 2 * kKindArticle;
// A deeper kind opens a level below the previous heading, a higher kind returns to the level at
// which it was last seen, appendices stand at level 0; items that arrive with a level keep it.
// rankOf, when given, orders the headings in place of their kinds (0 to kMaxHeadingRank, lower is
// higher).
void AssignLevels(std::vector<TocItem>& items, const std::function<int(const TocItem&)>& rankOf = {});
// Pushes the headings that follow an introduction or a contents section one or two levels down.
void ShiftAfterFrontMatter(std::vector<TocItem>& items, const CTextLines& lines);
// A document-kind or appendix item that stands alone at the top of items with their levels adds
// nothing: it is dropped and the items up to the next top-level one move up a level. It stays when
// hasSecondRoot, or when another item stands at level 0.
void DropLoneRoot(std::vector<TocItem>& items, bool hasSecondRoot);
// Turns laid-out entries typed in capitals into sentence case, and the titles of high headings
// after their number into capitals.
void FixEntryCase(std::vector<TocItem>& items, const CUpperCaseWordsDict* words);
// Inserts every item's block in front of the line it names; items must be in line order.
void InsertBlocks(CTextLines& lines, const std::vector<TocItem>& items);
