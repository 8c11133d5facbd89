#pragma once
// The passes that collect items from the text, in the order the engine runs them. Each scans the
// text from its first line and appends what it finds to items; only CollectExistingBlocks changes
// the text. Headings are found through the block markup: title (ЗАГ), centred (ЦНТ) and
// right-aligned (ПРВ) blocks run up to a line that begins with the "!!!" marker.

#include "core/base/CTextLines.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/toc/TocItem.h"

#include <string>
#include <vector>

// Takes the ОГЛ...КОН blocks out of the text and turns each into an item at the line where it stood
// (empty blocks, and a block left open at the end, stay in the text).
void CollectExistingBlocks(CTextLines& lines, std::vector<TocItem>& items);
// The document's kind: the first line of the first title block that is a dictionary kind.
void AddDocumentKindItem(const CTextLines& lines, const CDocKindsList& kinds,
                         std::vector<TocItem>& items);
// Where the document body starts: the first line after the first blank line, or a title block met
// before any blank line; 0 when there is neither.
int FindDocumentStart(const CTextLines& lines);
// Appendices: a right-aligned caption block followed, after blank lines only, by a title block.
// Returns true when it collected one (the appendix then stands as a second root).
bool CollectAppendices(const CTextLines& lines, std::vector<TocItem>& items);
// Title blocks after the first one, which is the title of the document itself.
void CollectTitleBlocks(const CTextLines& lines, std::vector<TocItem>& items);
// Centred blocks whose first line is numbered.
void CollectCentredBlocks(const CTextLines& lines, std::vector<TocItem>& items);
// Article headings «Статья ...» that start a paragraph, in a text that names a kind of act.
void CollectArticles(const CTextLines& lines, std::vector<TocItem>& items);
// Splits every item that holds several section headings into one item per heading.
void SplitMultiHeadingItems(const CTextLines& lines, std::vector<TocItem>& items);
// 1 plus the number of section headings after the first content line (marker lines not counted).
int CountHeadings(const std::vector<std::string>& lines);
