#include "core/toc/LineShapes.h"

#include "core/base/TextRules.h"
#include "core/document/Markers.h"

#include <algorithm>

namespace
{
// Indents and first words are short: a loop over the bytes ends sooner than a call that searches.
std::size_t Indent(std::string_view line)
{
    std::size_t indent = 0;
    while (indent < line.size() && line[indent] == ' ')
        ++indent;
    return indent;
}

// 0 on a blank line.
std::size_t End(std::string_view line)
{
    return line.find_last_not_of(' ') + 1;
}

std::size_t FirstWordLength(std::string_view line, std::size_t indent)
{
    std::size_t end = indent;
    while (end < line.size() && line[end] != ' ')
        ++end;
    return end - indent;
}

std::uint16_t Fit(std::size_t position)
{
    return static_cast<std::uint16_t>(std::min<std::size_t>(position, LineShape::kFar));
}

char LastVisible(std::string_view line)
{
    std::size_t end = line.size();
    while (end > 0 && IsWhiteSpace(static_cast<unsigned char>(line[end - 1])))
        --end;
    return end == 0 ? '\0' : line[end - 1];
}
} // namespace

LineShape ClassifyLine(std::string_view line)
{
    LineShape shape;
    const std::size_t indent = Indent(line);
    shape.indent = Fit(indent);
    shape.blank = indent == line.size();
    if (shape.blank)
        return shape;
    const std::size_t end = End(line);
    shape.end = Fit(end);
    shape.firstWordLength = Fit(FirstWordLength(line, indent));
    shape.first = line[indent];
    shape.last = line[end - 1];
    shape.lastVisible = LastVisible(line);
    shape.marker = IsMarkerLine(line);
    return shape;
}

std::size_t IndentOf(const LineShape& shape, std::string_view line)
{
    return shape.indent == LineShape::kFar ? Indent(line) : shape.indent;
}

std::size_t EndOf(const LineShape& shape, std::string_view line)
{
    return shape.end == LineShape::kFar ? End(line) : shape.end;
}

std::size_t FirstWordLengthOf(const LineShape& shape, std::string_view line)
{
    return shape.firstWordLength == LineShape::kFar ? FirstWordLength(line, IndentOf(shape, line))
                                                    : shape.firstWordLength;
}

std::vector<LineShape> ClassifyLines(const CTextLines& lines)
{
    std::vector<LineShape> shapes;
    shapes.reserve(lines.size());
    for (const std::string_view line : lines)
        shapes.push_back(ClassifyLine(line));
    return shapes;
}
