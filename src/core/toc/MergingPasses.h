#pragma once
// Cleaning and merging the item list: after these passes every item holds one entry line, and a
// heading found twice, or repeated in a shorter form, stands once.

#include "core/base/CTextLines.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/toc/TocItem.h"

#include <string>
#include <vector>

// Items whose entries are joined into one line each: the shorter repeats of appendices and tables
// (for each item at most one later item within 30 lines that repeats it without its word, e.g.
// «Приложение N 2 Форма» repeated as «Форма»), and equal neighbours (compared word by word in
// capitals), are erased.
void MergeRepeatedItems(std::vector<TocItem>& items);
// Removes the items left without entry lines.
void DropEmptyItems(std::vector<TocItem>& items);
// Moves an appendix entry up to the right-aligned caption block that introduces it.
void AdjustAppendixLines(std::vector<TocItem>& items, const CTextLines& lines);
// A document-kind or appendix item closely followed by a title that begins with it, when the shorter
// of the two is a dictionary kind: the longer one is erased.
void DropKindTitleDuplicate(std::vector<TocItem>& items, const CDocKindsList& kinds);
