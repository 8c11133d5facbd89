#include "core/toc/LineShapes.h"

#include "core/base/TextRules.h"
#include "core/document/Markers.h"

#include <algorithm>

namespace
{
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
    shape.length = static_cast<std::uint32_t>(line.size());
    const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
    shape.indent = static_cast<std::uint32_t>(indent);
    shape.firstWordEnd = shape.indent;
    shape.blank = indent == line.size();
    if (shape.blank)
        return shape;
    shape.end = static_cast<std::uint32_t>(line.find_last_not_of(' ') + 1);
    shape.firstWordEnd = static_cast<std::uint32_t>(std::min(line.find(' ', indent), line.size()));
    shape.first = line[indent];
    shape.last = line[shape.end - 1];
    shape.lastVisible = LastVisible(line);
    shape.marker = IsMarkerLine(line);
    return shape;
}

std::vector<LineShape> ClassifyLines(const std::vector<std::string>& lines)
{
    std::vector<LineShape> shapes;
    shapes.reserve(lines.size());
    for (const std::string& line : lines)
        shapes.push_back(ClassifyLine(line));
    return shapes;
}
