#include "core/toc/CTocRecognizer.h"

#include "core/base/Reporter.h"
#include "core/document/Markers.h"
#include "core/toc/CollectingPasses.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/ItemCleaning.h"
#include "core/toc/LevelsAndBlocks.h"
#include "core/toc/MergingPasses.h"

#include <utility>

bool HasTargetFormatToc(const std::vector<std::string>& lines)
{
    bool inBlock = false;
    for (const std::string& line : lines)
    {
        if (!inBlock)
            inBlock = BeginsWithMarker(line, Marker::Ogl);
        // The insert-block command leaves an empty ОГЛ/КОН pair in front of a line, and a written
        // block may follow it: an ОГЛ line keeps the test armed, or such a document would be
        // processed a second time and its entries garbled.
        else if (BeginsWithMarker(line, Marker::Kon) || BeginsWithMarker(line, Marker::Ogl))
            continue;
        else if (!line.empty() && line.front() == '*')
            return true;
        else
            inBlock = false;
    }
    return false;
}

CTocRecognizer::CTocRecognizer(const CUpperCaseWordsDict* words, const CDocKindsList& kinds,
                               IReporter& reporter, std::function<void()> pumpMessages,
                               RecognitionOptions options)
    : CTocItemList(words), m_kinds(kinds), m_options(options), m_reporter(reporter),
      m_pumpMessages(std::move(pumpMessages))
{
}

void CTocRecognizer::PumpMessages()
{
    if (m_pumpMessages)
        m_pumpMessages();
}

void CTocRecognizer::Build(std::vector<std::string>& lines)
{
    m_refused = false;
    m_writtenBlocks = 0;
    PumpMessages();
    if (lines.empty())
        return;
    std::vector<TocItem>& items = MutableItems();
    items.clear();

    if (HasTargetFormatToc(lines))
    {
        m_refused = true;
        m_reporter.Report(
            "Документ содержит оглавление формата Лантрис 9.0!\nКонвертация документа невозможна.",
            MessageIcon::Error);
        return;
    }

    bool hasSecondRoot = false;
    auto onEveryItem = [&items](void (*operation)(TocItem&))
    {
        for (TocItem& item : items)
            operation(item);
    };
    std::vector<std::function<void()>> steps = {
        [&] { CollectExistingBlocks(lines, items); },
        [&] { onEveryItem(&StripArticleRefs); },
        [&] { onEveryItem(&JoinHyphenatedLines); },
        [&] { AddDocumentKindItem(lines, m_kinds, items); },
        [&] { hasSecondRoot = CollectAppendices(lines, items); },
        [&] { CollectTitleBlocks(lines, items); },
        [&] { CollectCentredBlocks(lines, items); },
        [&] { CollectArticles(lines, items); },
        [&] { SplitMultiHeadingItems(lines, items); },
    };
    if (m_options.extended)
    {
        // After the collecting passes, so that what they found is not collected again, and before
        // the cleaning, so that every item goes through the same rules.
        steps.emplace_back([&]
                           { hasSecondRoot = CollectExtendedItems(lines, m_kinds, items) || hasSecondRoot; });
    }
    const std::function<void()> cleaningAndWriting[] = {
        [&] { onEveryItem(&RemoveMarkerLines); },
        [&] { onEveryItem(&BlankControlChars); },
        [&] { SortByLine(); },
        [&] { onEveryItem(&DotSectionHeadings); },
        [&] { MergeItems(items); },
        [&] { DropEmptyItems(items); },
        [&] { AdjustAppendixLines(items, lines); },
        [&] { onEveryItem(&TrimAppendixPeriod); },
        [&] { DropKindTitleDuplicate(items, m_kinds); },
        [&] { onEveryItem(&SpaceNumericRanges); },
        [&]
        {
            // The extended recognition ranks a part above its sections and a § below its chapter;
            // the standard passes rank the headings by their kinds alone.
            m_writtenBlocks = WriteTocBlocks(*this, lines, hasSecondRoot, m_pumpMessages,
                                             m_options.extended ? ExtendedRank : nullptr);
        },
    };
    steps.insert(steps.end(), std::begin(cleaningAndWriting), std::end(cleaningAndWriting));
    for (const auto& step : steps)
    {
        step();
        PumpMessages();
    }
}
