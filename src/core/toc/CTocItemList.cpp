#include "core/toc/CTocItemList.h"

#include "core/toc/EntryLayout.h"

#include <algorithm>

void CTocItemList::SortByLine()
{
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const TocItem& a, const TocItem& b) { return a.line < b.line; });
}

void CTocItemList::LayoutEntries()
{
    for (auto item = m_items.rbegin(); item != m_items.rend(); ++item)
        FormatEntry(*item);

    // An item's alignability can only change through AlignEntry, and aligned items are never
    // looked at again, so it is decided once for all.
    const std::size_t count = m_items.size();
    std::vector<bool> alignable(count);
    for (std::size_t i = 0; i < count; ++i)
        alignable[i] = IsAlignableEntry(m_items[i]);

    // A group is the run of entries of one level and kind up to the next appendix or table; its
    // titles are aligned after the longest number of the group.
    std::vector<bool> grouped(count, false);
    for (std::size_t b = 0; b < count; ++b)
    {
        if (grouped[b] || !alignable[b])
            continue;
        const std::int32_t level = m_items[b].level;
        const std::int32_t kind = m_items[b].kind;
        std::vector<std::size_t> group;
        for (std::size_t j = b; j < count && m_items[j].kind != kKindAppendix; ++j)
        {
            const TocItem& item = m_items[j];
            if (item.level == level && item.kind == kind && !grouped[j] && alignable[j])
            {
                group.push_back(j);
                grouped[j] = true;
            }
        }
        std::size_t numberEnd = 0;
        for (std::size_t j : group)
            numberEnd = std::max(numberEnd, NumberEnd(m_items[j].lines[1]));
        // Without a full stop in any entry there is no number to align after; aligning at column 1
        // would pull every entry of the group out of its level's indentation.
        if (numberEnd == 0)
            continue;
        for (std::size_t j : group)
            AlignEntry(m_items[j], static_cast<int>(numberEnd) + 1);
    }

    for (TocItem& item : m_items)
        LowerHeadingWord(item);
}
