#pragma once
// Extended recognition: the headings a reader sees in a document whose block markup, or whose
// wording, the standard passes do not catch. They run after the collecting passes, on the same
// text, and append items that then go through the same cleaning, merging, levels, layout and case
// rules. A heading the collecting passes already found is not collected again.

#include "core/dictionaries/CDocKindsList.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/TocItem.h"

#include <string>
#include <vector>

// The kind the extended passes give a heading that begins with the word: parts and sections rank as sections,
// a subsection between a section and a chapter; a numbered line takes the kind its number gives.
int ExtendedKindOf(HeadingWord word, std::string_view line);

// How high a heading ranks when the levels are given (lower is higher): twice its kind, so that a
// part ranks above the sections it holds and a § between the chapter and the numbered headings.
int ExtendedRank(const TocItem& item);

// Block headings whose kind the block passes do not read from their words («ЧАСТЬ ПЕРВАЯ», a
// subsection) take the kind of the division they name, so that they nest as the same headings do
// in plain text.
void RankDivisionBlocks(std::vector<TocItem>& items);

// The document's kind from its title block when the dictionary pass found none: the title line
// that holds a dictionary kind as a word (in any case, or letter-spaced as «З А К О Н»), else the
// first line of the title.
void AddExtendedKindItem(const CPlainTextView& view, const CDocKindsList& kinds, std::vector<TocItem>& items);

// Articles, parts, sections, chapters and numbered headings that stand as headings in the text: at
// the start of a paragraph, short, not reading as a sentence that goes on, with the title that
// belongs to them.
// Lines flagged in captionLines belong to an appendix's caption or title and hold no heading.
void CollectPlainHeadings(const CPlainTextView& view, std::vector<TocItem>& items,
                          const std::vector<char>& captionLines);

// An appendix of the block passes whose caption block holds the caption «Приложение N 2» above an
// approval stamp stands at the stamp; it is moved up to the caption block, where the appendix begins.
void AnchorAppendicesAtCaptions(const CTextLines& lines, std::vector<TocItem>& items);

// The entry of the appendix whose caption («Приложение N 2 ...» or an approval stamp) begins at line: the
// caption's heading and the title that follows it; no lines when the line opens no caption with a title.
struct AppendixEntry
{
    std::vector<std::string> lines;
    int captionEnd = 0;               // one past the caption's last line
    int titleBlock = -1;              // the opening marker of a title block the title stands in
    int titleEnd = 0;                 // one past the title's last line
    std::string titleBlockFirstLine;  // the title's first line in capitals and single-spaced, then
};
AppendixEntry ReadAppendixEntry(const CPlainTextView& view, int line);

// Appendices without blocks: a caption «Приложение N 2 ...» or an approval stamp «УТВЕРЖДЕНЫ ...»
// at the right margin or standing alone, with the title that follows it. Returns true when it
// collected one. captionLines flags, per line of the text, the lines of the captions and titles it
// read.
bool CollectPlainAppendices(const CPlainTextView& view, std::vector<TocItem>& items,
                            std::vector<char>& captionLines);
