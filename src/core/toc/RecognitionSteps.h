#pragma once
// The steps of one recognition, by name, in the order they run: collecting the items from the text,
// cleaning each item, merging the list, the levels, the layout and writing the blocks. A name is what
// a fixture or a bug report points at ("the items after merge-repeated-items").

#include "core/dictionaries/CDocKindsList.h"
#include "core/toc/CPlainTextView.h"
#include "core/toc/CTocItemList.h"
#include "core/toc/RecognitionOptions.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the steps of one run share: the text, the items found in it and what the steps learn on the way.
struct RecognitionRun
{
    CTextLines& lines;
    CTocItemList& list;
    const CDocKindsList& kinds;
    RecognitionOptions options;
    // An appendix stands as a second root of the table of contents.
    bool hasSecondRoot = false;
    // The text as the extended passes read it, and the lines of the appendix captions and titles they
    // found in it (no heading is sought there).
    std::optional<CPlainTextView> plainText{};
    std::vector<char> captionLines{};
    // Fewer than two items are left: nothing is written, and the later steps do not run.
    bool finished = false;
    std::size_t writtenBlocks = 0; // blocks written into lines
};

struct RecognitionStep
{
    std::string_view name;
    // A step works on the whole run, or on each item on its own (one of the two is set).
    void (*onRun)(RecognitionRun& run) = nullptr;
    void (*onItem)(TocItem& item) = nullptr;
    bool extendedOnly = false; // runs with the extended recognition only
};

// Every step, in the order a run takes them.
std::span<const RecognitionStep> RecognitionSteps();

// The step of that name; nullptr when there is none.
const RecognitionStep* FindRecognitionStep(std::string_view name);

// Runs step on run: on the whole run, or on every item in list order.
void RunRecognitionStep(const RecognitionStep& step, RecognitionRun& run);

// The steps that work on each item on its own, in the order a run takes them, applied to item: the
// cleaning of a heading laid out on its own. (In a run the first two meet only the items of the
// blocks already in the text, as they come before the passes that collect the others.)
void CleanItem(TocItem& item);

// The items in a stable form for a fixture or a bug report, in UTF-8, one item per paragraph:
// "line L, kind K (name), level V", then each entry line on its own line after four blanks. Control
// bytes and the backslash are written as \xNN.
std::string DescribeItems(const std::vector<TocItem>& items);
