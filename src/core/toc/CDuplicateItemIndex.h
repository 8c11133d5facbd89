#pragma once

#include "core/toc/TocItem.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// Tells whether a new item repeats one already collected: the compare forms of the two texts (see
// NormaliseForCompare) contain one another and their lines are less than 20 apart. Items with an
// empty text never make another item a duplicate. The compare forms of the items are built once, as
// they are appended, so a pass stays linear however many items it checks.
class CDuplicateItemIndex
{
public:
    explicit CDuplicateItemIndex(const std::vector<TocItem>& items) : m_items(items) {}

    bool IsDuplicateItem(const TocItem& item);

private:
    const std::vector<TocItem>& m_items;
    std::vector<std::string> m_compareTexts;
    std::multimap<int, std::size_t> m_itemsByLine;
};
