#include "core/toc/CDuplicateItemIndex.h"

#include "core/base/TextRules.h"
#include "core/toc/PassHelpers.h"

namespace
{
// A heading found by two passes stands at nearly the same line in both: the block's marker line, or
// the paragraph's first line. Two equal texts farther apart are two headings.
constexpr int kDuplicateReach = 19;

// The text of an item as the duplicate test compares it.
std::string CompareText(const TocItem& item)
{
    std::size_t size = 0;
    for (const std::string& line : item.lines)
        size += line.size() + 1;
    std::string joined;
    joined.reserve(size);
    for (const std::string& line : item.lines)
    {
        joined += ' ';
        joined += line;
    }
    return NormaliseForCompare(joined);
}
} // namespace

bool CDuplicateItemIndex::IsDuplicateItem(const TocItem& item)
{
    if (m_compareTexts.size() > m_items.size())
    {
        m_compareTexts.clear();
        m_itemsByLine.clear();
    }
    for (std::size_t i = m_compareTexts.size(); i < m_items.size(); ++i)
    {
        m_compareTexts.push_back(CompareText(m_items[i]));
        m_itemsByLine.emplace(m_items[i].line, i);
    }
    const std::string text = CompareText(item);
    const auto first = m_itemsByLine.lower_bound(item.line - kDuplicateReach);
    const auto last = m_itemsByLine.upper_bound(item.line + kDuplicateReach);
    for (auto it = first; it != last; ++it)
    {
        const std::string& other = m_compareTexts[it->second];
        // An empty text is part of every text; it must not make every heading nearby a duplicate.
        if (other.empty())
            continue;
        if (Contains(other, text) || Contains(text, other))
            return true;
    }
    return false;
}
