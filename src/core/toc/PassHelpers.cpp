#include "core/toc/PassHelpers.h"

#include "core/document/Markers.h"

#include <algorithm>
#include <utility>

bool IsWideTextLine(std::string_view line)
{
    return line.size() == kMarkerLineLength && static_cast<unsigned char>(line[0]) != 0x04;
}

const std::string& FirstLine(const TocItem& item)
{
    static const std::string empty;
    return item.lines.empty() ? empty : item.lines.front();
}

std::vector<std::string_view> WordViews(std::string_view line)
{
    std::vector<std::string_view> words;
    // Exactly the room the words take: the merges hold the words of every entry at once.
    words.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), ' ')) + 1);
    // Words and the gaps between them are a few bytes long: loops over the bytes, not searches.
    const std::size_t size = line.size();
    std::size_t pos = 0;
    while (pos < size && line[pos] == ' ')
        ++pos;
    for (;;)
    {
        std::size_t end = pos;
        while (end < size && line[end] != ' ')
            ++end;
        words.push_back(line.substr(pos, end - pos));
        if (end == size)
            break;
        pos = end;
        while (pos < size && line[pos] == ' ')
            ++pos;
    }
    return words;
}

bool TailsEqual(const std::vector<std::string_view>& a, std::size_t aFrom,
                const std::vector<std::string_view>& b, std::size_t bFrom)
{
    if (aFrom > a.size() || bFrom > b.size() || a.size() - aFrom != b.size() - bFrom)
        return false;
    return std::equal(a.begin() + static_cast<std::ptrdiff_t>(aFrom), a.end(),
                      b.begin() + static_cast<std::ptrdiff_t>(bFrom));
}
