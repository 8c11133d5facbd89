#include "core/base/FileLines.h"

std::string_view LineContent(std::string_view content)
{
    return content.substr(0, content.find('\x1A'));
}

std::size_t MaxLineCount(std::string_view lineContent)
{
    std::size_t lineEnds = 0;
    for (std::size_t at = lineContent.find('\n'); at != std::string_view::npos;
         at = lineContent.find('\n', at + 1))
        ++lineEnds;
    return lineEnds + 1;
}

std::vector<std::string> SplitFileLines(std::string_view content)
{
    content = LineContent(content);
    std::vector<std::string> lines;
    lines.reserve(MaxLineCount(content));
    ForEachFileLine(content, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}
