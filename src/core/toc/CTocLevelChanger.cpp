#include "core/toc/CTocLevelChanger.h"

#include "core/toc/HeadingTests.h"

#include <algorithm>
#include <limits>
#include <utility>

CTocLevelChanger::MissingLevelLine::MissingLevelLine()
    : std::runtime_error("Отсутствует номер уровня вложенности пункта оглавления.")
{
}

CTocLevelChanger::CTocLevelChanger(const CUpperCaseWordsDict* words, std::function<void()> pumpMessages)
    : CTocItemList(words), m_pumpMessages(std::move(pumpMessages))
{
}

namespace
{
void CheckMarked(const std::vector<std::size_t>& marked, std::size_t entryCount)
{
    if (marked.empty())
        throw std::invalid_argument("no entry marked");
    if (!std::is_sorted(marked.begin(), marked.end()))
        throw std::invalid_argument("marked positions out of order");
    if (marked.back() >= entryCount)
        throw std::invalid_argument("marked position outside the entry list");
}

std::int32_t LevelOfLevelLine(const std::string& levelLine)
{
    const std::size_t limit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(levelLine.size(), limit) - 1);
}
} // namespace

void CTocLevelChanger::ChangeEntryLevels(const std::vector<std::size_t>& marked, bool deeper,
                                         std::vector<TocEntryRef>& entries)
{
    CheckMarked(marked, entries.size());
    m_deeper = deeper;

    // The head (entries before the first marked one) is left out of the work and never rewritten;
    // everything is built aside and the target list is replaced only when all went well.
    const std::size_t first = marked.front();
    const auto headEnd = entries.begin() + static_cast<std::ptrdiff_t>(first);
    m_saved.assign(headEnd, entries.end());

    std::vector<TocItem>& items = MutableItems();
    items.clear();
    for (const TocEntryRef& entry : m_saved)
    {
        std::vector<std::string> lines = SplitLines(entry.text);
        if (lines.empty() || lines.front().empty())
            throw MissingLevelLine();
        TocItem item;
        item.level = LevelOfLevelLine(lines.front());
        item.kind = StandardKindOf(lines.size() > 1 ? std::string_view(lines[1]) : std::string_view());
        item.line = 0;
        item.lines = std::move(lines);
        Append(item);
    }
    if (m_pumpMessages)
        m_pumpMessages();

    m_changed.assign(items.size(), false);
    for (std::size_t k : marked)
        ChangeLevelAt(k - first);

    for (TocItem& item : items)
        item.lines.erase(item.lines.begin());
    LayoutEntries();

    std::vector<TocEntryRef> result(entries.begin(), headEnd);
    for (std::size_t i = 0; i < items.size(); ++i)
        result.push_back(TocEntryRef{m_saved[i].oglLine, m_saved[i].konLine, JoinLines(items[i].lines)});
    entries = std::move(result);
}

void CTocLevelChanger::ChangeLevelAt(std::size_t position)
{
    std::vector<TocItem>& items = MutableItems();
    if (position >= items.size() || m_changed[position])
        return;
    const std::int32_t level = items[position].level;
    for (std::size_t i = position; i < items.size(); ++i)
    {
        TocItem& item = items[i];
        if (i != position && item.level <= level)
            break;
        if (m_changed[i])
            continue;
        m_changed[i] = true;
        if (m_deeper)
            ++item.level;
        else if (item.level > 0)
            --item.level;
    }
}

std::vector<std::string> CTocLevelChanger::SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
