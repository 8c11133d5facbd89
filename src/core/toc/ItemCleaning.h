#pragma once
// Operations on the entry of one item: each changes only the item it is given. The engine applies
// them to every item in list order.

#include "core/toc/TocItem.h"

#include <string>

// Drops a trailing « ст. 5» or « ст. 5-8» from the last entry line.
void StripArticleRefs(TocItem& item);
// Joins an entry line that ends in a word-breaking hyphen with the next line.
void JoinHyphenatedLines(TocItem& item);
void RemoveMarkerLines(TocItem& item);
// Turns the bytes 0x01, 0x02 and 0x03 into blanks.
void BlankControlChars(TocItem& item);
// Adds "." to a short РАЗДЕЛ/ЧАСТЬ/ГЛАВА first line that has none.
void DotSectionHeadings(TocItem& item);
// Removes the "." of a short «Приложение N 3.» entry.
void TrimAppendixPeriod(TocItem& item);
// Writes «5 - 8» for a word «5-8» made of digits and hyphens.
void SpaceNumericRanges(TocItem& item);
// «Приложение N 2 ...» becomes «Приложение 2 ...».
void FixAppendixNumber(std::string& line);
// The entry becomes one line: its lines joined with blanks, spaces normalised, " - " closed to "-".
void JoinEntryLines(TocItem& item);
// Removes the blank entry lines.
void DropBlankLines(TocItem& item);
// «Форма N 3. Заявление» becomes «Заявление (Форма N 3)».
void MoveFormNumbers(TocItem& item);
