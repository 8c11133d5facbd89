#pragma once
// The operator's mend of a missed heading: the block the recognition would have written for it, put in
// front of it as one edit.

#include "core/entries/TocEntryCommands.h"
#include "core/toc/RecognitionOptions.h"

#include <cstddef>
#include <string>
#include <vector>

class CDocKindsList;
class CUpperCaseWordsDict;

// The last line of the paragraph that starts at line first: the heading the operator means when the caret stands
// on its first line and nothing is selected. A blank line is a paragraph of its own: first itself.
std::size_t HeadingParagraphEnd(const CTextLines& lines, std::size_t first);

// The edit (one LineEdit inserting a whole ОГЛ…КОН block, as an EntryCommandResult of core/entries) that puts in
// front of the heading whose lines are [first, last] the block the recognition would write for that heading: its
// kind, its level among its neighbours, the 66-column layout and the case rules; blank lines at either end of
// [first, last] are no part of the heading. A failure (Russian text, UTF-8,
// as EntryCommandResult::failure) when the lines are blank, inside or part of a block, or already have one.
EntryCommandResult AddHeadingEdits(const CTextLines& lines, std::size_t first, std::size_t last,
                                   const CUpperCaseWordsDict& words, const CDocKindsList& kinds,
                                   RecognitionOptions options);
