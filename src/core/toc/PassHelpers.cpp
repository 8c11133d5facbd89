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
    words.reserve(static_cast<std::size_t>(std::count(line.begin(), line.end(), ' ')) + 1);
    std::size_t pos = line.find_first_not_of(' ');
    if (pos == std::string_view::npos)
        pos = line.size();
    for (;;)
    {
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        words.push_back(line.substr(pos, end - pos));
        if (end == line.size())
            break;
        pos = std::min(line.find_first_not_of(' ', end), line.size());
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
