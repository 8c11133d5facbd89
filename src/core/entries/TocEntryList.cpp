#include "core/entries/TocEntryList.h"

#include "core/document/Markers.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

namespace
{
std::string_view WithoutTrailingCr(std::string_view line)
{
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::size_t Distance(std::size_t a, std::size_t b)
{
    return a > b ? a - b : b - a;
}
} // namespace

int EntryLevel(std::string_view text)
{
    const std::size_t stars = std::min(text.find_first_not_of('*'), text.size());
    return stars == 0 ? 1 : static_cast<int>(std::min<std::size_t>(stars, std::numeric_limits<int>::max()));
}

std::vector<TocEntryRef> BuildEntryList(const CTextLines& lines, const CContentFilter& filter)
{
    std::vector<TocEntryRef> entries;
    std::optional<std::size_t> openedAt;
    std::string collected;
    bool collectedAny = false;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        const std::string_view line = WithoutTrailingCr(lines[i]);
        if (openedAt && IsMarker(line, Marker::Kon))
        {
            if (filter.IsLevelShown(EntryLevel(collected)))
                entries.push_back(TocEntryRef{*openedAt, i, collected});
            openedAt.reset();
        }
        else if (IsMarker(line, Marker::Ogl))
        {
            openedAt = i;
            collected.clear();
            collectedAny = false;
        }
        else if (openedAt)
        {
            if (collectedAny)
                collected += '\n';
            collected += line;
            collectedAny = true;
        }
    }
    return entries;
}

std::vector<std::size_t> RevalidateMarked(const std::vector<TocEntryRef>& shown,
                                          const std::vector<std::size_t>& marked,
                                          const std::vector<TocEntryRef>& rebuilt)
{
    std::vector<bool> taken(rebuilt.size(), false);
    std::vector<std::size_t> rows(marked);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<std::size_t> pending;
    // Rows whose entry stands where it stood are settled first, so that a moved row cannot claim
    // the place of one that did not move.
    for (std::size_t row : rows)
    {
        if (row >= shown.size())
            continue;
        if (row < rebuilt.size() && rebuilt[row].text == shown[row].text)
            taken[row] = true;
        else
            pending.push_back(row);
    }
    // Indices by text, so that a long list with many moved rows is not searched once per row.
    std::unordered_map<std::string_view, std::vector<std::size_t>> indicesOfText;
    if (!pending.empty())
        for (std::size_t j = 0; j < rebuilt.size(); ++j)
            indicesOfText[rebuilt[j].text].push_back(j);
    for (std::size_t row : pending)
    {
        const auto found = indicesOfText.find(shown[row].text);
        if (found == indicesOfText.end())
            continue;
        std::optional<std::size_t> best;
        for (std::size_t j : found->second)
            if (!taken[j] && (!best || Distance(j, row) < Distance(*best, row)))
                best = j;
        if (best)
            taken[*best] = true;
    }
    std::vector<std::size_t> kept;
    for (std::size_t j = 0; j < rebuilt.size(); ++j)
        if (taken[j])
            kept.push_back(j);
    return kept;
}
