#pragma once
// How a file's bytes fall into lines: LF or CR LF ends a line (a lone CR stays in its line), 0x1A
// ends the content, and a final line end gives no extra empty line. Documents and the imported
// kinds lists both follow these rules.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The part of a file's content that holds its lines: everything before the first 0x1A.
std::string_view LineContent(std::string_view content);

// How many lines LineContent(content) falls into, at most (one per line end, plus the last).
std::size_t MaxLineCount(std::string_view lineContent);

// Calls onLine(std::string_view) with each line of lineContent (as LineContent gives it), in order,
// without its line end.
template <typename OnLine> void ForEachFileLine(std::string_view lineContent, OnLine&& onLine)
{
    std::size_t start = 0;
    while (start < lineContent.size())
    {
        std::size_t end = lineContent.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? lineContent.size() : end + 1;
        if (end == std::string_view::npos)
            end = lineContent.size();
        else if (end > start && lineContent[end - 1] == '\r')
            --end;
        onLine(lineContent.substr(start, end - start));
        start = next;
    }
}

// The lines of a file's content, split by the rules above.
std::vector<std::string> SplitFileLines(std::string_view content);
