#include "core/toc/HeadingEntry.h"

#include "core/base/TextRules.h"
#include "core/toc/CTocItemList.h"
#include "core/toc/ExtendedPasses.h"
#include "core/toc/HeadingShapes.h"
#include "core/toc/HeadingTests.h"
#include "core/toc/LevelsAndBlocks.h"
#include "core/toc/RecognitionSteps.h"

#include <algorithm>

int RecognisedKindOf(std::string_view line, bool extended)
{
    const std::string trimmed = Trim(line);
    return extended ? ExtendedKindOf(ReadHeadingStart(trimmed).word, trimmed) : StandardKindOf(trimmed);
}

TocItem LayOutHeadingAmong(TocItem heading, std::vector<TocItem> entries, std::size_t position,
                           const CUpperCaseWordsDict* words)
{
    position = std::min(position, entries.size());
    CleanItem(heading);

    heading.level = -1;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position), heading);
    std::vector<TocItem> fresh = entries;
    for (TocItem& item : fresh)
        item.level = -1;
    AssignLevels(fresh);
    int level = fresh[position].level;
    if (heading.kind != kKindAppendix && entries.size() > 1)
    {
        const std::size_t neighbour = position > 0 ? position - 1 : position + 1;
        level += entries[neighbour].level - fresh[neighbour].level;
    }
    entries[position].level = std::max(level, 0);

    CTocItemList list(words);
    list.SetItems(std::move(entries));
    list.LayoutEntries();
    std::vector<TocItem> laidOut = {std::move(list.MutableItems()[position])};
    FixEntryCase(laidOut, words);
    return std::move(laidOut.front());
}
