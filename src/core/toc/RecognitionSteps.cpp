#include "core/toc/RecognitionSteps.h"

#include "core/base/CodePage.h"
#include "core/toc/CollectingPasses.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/ItemCleaning.h"
#include "core/toc/LevelsAndBlocks.h"
#include "core/toc/MergingPasses.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace
{
// The one place the steps reach into the item list.
std::vector<TocItem>& Items(RecognitionRun& run)
{
    return run.list.MutableItems();
}

void CollectExistingBlocksStep(RecognitionRun& run)
{
    CollectExistingBlocks(run.lines, Items(run));
}

void AddDocumentKindStep(RecognitionRun& run)
{
    AddDocumentKindItem(run.lines, run.kinds, Items(run));
}

void CollectAppendicesStep(RecognitionRun& run)
{
    run.hasSecondRoot = CollectAppendices(run.lines, Items(run));
}

void CollectTitleBlocksStep(RecognitionRun& run)
{
    CollectTitleBlocks(run.lines, Items(run));
}

void CollectCentredBlocksStep(RecognitionRun& run)
{
    CollectCentredBlocks(run.lines, Items(run));
}

void CollectArticlesStep(RecognitionRun& run)
{
    CollectArticles(run.lines, Items(run));
}

void SplitMultiHeadingItemsStep(RecognitionRun& run)
{
    SplitMultiHeadingItems(run.lines, Items(run));
}

// The extended passes run after the collecting passes, so that what those found is not collected
// again, and before the cleaning, so that every item goes through the same rules.
void RankDivisionBlocksStep(RecognitionRun& run)
{
    RankDivisionBlocks(Items(run));
}

void AnchorAppendicesAtCaptionsStep(RecognitionRun& run)
{
    AnchorAppendicesAtCaptions(run.lines, Items(run));
}

// The plain text is read once the block items stand where they belong and before the first item found
// in the plain text is added: it leaves out the blocks that the block items came from.
void AddExtendedKindStep(RecognitionRun& run)
{
    run.plainText.emplace(run.lines, Items(run));
    AddExtendedKindItem(*run.plainText, run.kinds, Items(run));
}

void CollectPlainAppendicesStep(RecognitionRun& run)
{
    run.hasSecondRoot =
        CollectPlainAppendices(*run.plainText, Items(run), run.captionLines) || run.hasSecondRoot;
}

void CollectPlainHeadingsStep(RecognitionRun& run)
{
    CollectPlainHeadings(*run.plainText, Items(run), run.captionLines);
    // No step after this one reads the plain text: its table of lines goes before the entries are
    // laid out, where the run needs the most memory.
    run.plainText.reset();
    run.captionLines = {};
}

void SortByLineStep(RecognitionRun& run)
{
    run.list.SortByLine();
}

void MergeRepeatedItemsStep(RecognitionRun& run)
{
    MergeRepeatedItems(Items(run));
}

void DropEmptyItemsStep(RecognitionRun& run)
{
    DropEmptyItems(Items(run));
}

void AdjustAppendixLinesStep(RecognitionRun& run)
{
    AdjustAppendixLines(Items(run), run.lines);
}

void DropKindTitleDuplicateStep(RecognitionRun& run)
{
    DropKindTitleDuplicate(Items(run), run.kinds);
}

// The extended recognition ranks a part above its sections and a § below its chapter; the standard
// passes rank the headings by their kinds alone.
void AssignLevelsStep(RecognitionRun& run)
{
    AssignLevels(Items(run), run.options.extended ? ExtendedRank : nullptr);
}

void ShiftAfterFrontMatterStep(RecognitionRun& run)
{
    ShiftAfterFrontMatter(Items(run), run.lines);
}

void DropLoneRootStep(RecognitionRun& run)
{
    DropLoneRoot(Items(run), run.hasSecondRoot);
    // A table of contents of one entry is no table of contents.
    run.finished = Items(run).size() < 2;
}

void LayOutEntriesStep(RecognitionRun& run)
{
    run.list.LayoutEntries();
}

void FixEntryCaseStep(RecognitionRun& run)
{
    FixEntryCase(Items(run), run.list.Words());
}

void InsertBlocksStep(RecognitionRun& run)
{
    InsertBlocks(run.lines, Items(run));
    run.writtenBlocks = Items(run).size();
}

constexpr RecognitionStep OnRun(std::string_view name, void (*step)(RecognitionRun&),
                                bool extendedOnly = false)
{
    return {name, step, nullptr, extendedOnly};
}

constexpr RecognitionStep OnItem(std::string_view name, void (*step)(TocItem&))
{
    return {name, nullptr, step, false};
}

// Constant: the table stands before any code runs.
constexpr auto kSteps = std::to_array<RecognitionStep>({
    OnRun("collect-existing-blocks", &CollectExistingBlocksStep),
    OnItem("strip-article-refs", &StripArticleRefs),
    OnItem("join-hyphenated-lines", &JoinHyphenatedLines),
    OnRun("add-document-kind", &AddDocumentKindStep),
    OnRun("collect-appendices", &CollectAppendicesStep),
    OnRun("collect-title-blocks", &CollectTitleBlocksStep),
    OnRun("collect-centred-blocks", &CollectCentredBlocksStep),
    OnRun("collect-articles", &CollectArticlesStep),
    OnRun("split-multi-heading-items", &SplitMultiHeadingItemsStep),
    OnRun("rank-division-blocks", &RankDivisionBlocksStep, true),
    OnRun("anchor-appendices-at-captions", &AnchorAppendicesAtCaptionsStep, true),
    OnRun("add-extended-kind", &AddExtendedKindStep, true),
    OnRun("collect-plain-appendices", &CollectPlainAppendicesStep, true),
    OnRun("collect-plain-headings", &CollectPlainHeadingsStep, true),
    OnItem("remove-marker-lines", &RemoveMarkerLines),
    OnItem("blank-control-chars", &BlankControlChars),
    OnRun("sort-by-line", &SortByLineStep),
    OnItem("dot-section-headings", &DotSectionHeadings),
    OnItem("join-entry-lines", &JoinEntryLines),
    OnRun("merge-repeated-items", &MergeRepeatedItemsStep),
    OnItem("drop-blank-lines", &DropBlankLines),
    OnRun("drop-empty-items", &DropEmptyItemsStep),
    OnRun("adjust-appendix-lines", &AdjustAppendixLinesStep),
    OnItem("trim-appendix-period", &TrimAppendixPeriod),
    OnRun("drop-kind-title-duplicate", &DropKindTitleDuplicateStep),
    OnItem("space-numeric-ranges", &SpaceNumericRanges),
    // Moving the appendices up to their captions may have moved them past other items.
    OnRun("sort-again-by-line", &SortByLineStep),
    OnRun("assign-levels", &AssignLevelsStep),
    OnRun("shift-after-front-matter", &ShiftAfterFrontMatterStep),
    OnRun("drop-lone-root", &DropLoneRootStep),
    OnItem("move-form-numbers", &MoveFormNumbers),
    OnRun("lay-out-entries", &LayOutEntriesStep),
    OnRun("fix-entry-case", &FixEntryCaseStep),
    OnRun("insert-blocks", &InsertBlocksStep),
});

const char* KindName(std::int32_t kind)
{
    switch (kind)
    {
    case kKindDocument:
        return "document";
    case kKindAppendix:
        return "appendix";
    case kKindSection:
        return "section";
    case kKindRoman:
        return "roman";
    case kKindChapter:
        return "chapter";
    // Also the kind of a heading numbered with five dots or more.
    case kKindIndented:
        return "indented";
    case kKindArticle:
        return "article";
    default:
        return kind > kKindChapter && kind < kKindIndented ? "numbered" : "unknown";
    }
}

// Marker bytes, control bytes and the backslash written out, so that a dump reads the same in any
// terminal and compares as text.
std::string Printable(const std::string& text1251)
{
    std::string escaped;
    for (const char c : text1251)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '\\')
        {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            escaped += code;
        }
        else
            escaped += c;
    }
    return Cp1251ToUtf8(escaped);
}
} // namespace

std::span<const RecognitionStep> RecognitionSteps()
{
    return kSteps;
}

const RecognitionStep* FindRecognitionStep(std::string_view name)
{
    const auto found = std::find_if(kSteps.begin(), kSteps.end(),
                                    [name](const RecognitionStep& step) { return step.name == name; });
    return found == kSteps.end() ? nullptr : &*found;
}

void RunRecognitionStep(const RecognitionStep& step, RecognitionRun& run)
{
    if (step.onRun)
        step.onRun(run);
    else
        for (TocItem& item : Items(run))
            step.onItem(item);
}

void CleanItem(TocItem& item)
{
    for (const RecognitionStep& step : kSteps)
        if (step.onItem)
            step.onItem(item);
}

std::string DescribeItems(const std::vector<TocItem>& items)
{
    std::string text;
    for (const TocItem& item : items)
    {
        text += "line " + std::to_string(item.line) + ", kind " + std::to_string(item.kind) + " (" +
                KindName(item.kind) + "), level " + std::to_string(item.level) + "\n";
        for (const std::string& line : item.lines)
            text += "    " + Printable(line) + "\n";
    }
    return text;
}
