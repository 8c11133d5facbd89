#include "core/toc/CPlainTextView.h"

#include "core/document/Markers.h"
#include "core/toc/HeadingTests.h"

#include <algorithm>

CPlainTextView::CPlainTextView(const CTextLines& lines, const std::vector<TocItem>& collected)
    : m_lines(lines), m_text(lines.size(), 0), m_titleBlockText(lines.size(), 0)
{
    const int n = LineCount();
    std::vector<int> itemLines;
    for (const TocItem& item : collected)
        itemLines.push_back(item.line);
    std::sort(itemLines.begin(), itemLines.end());
    auto anyItemIn = [&itemLines](int from, int to)
    {
        const auto it = std::lower_bound(itemLines.begin(), itemLines.end(), from);
        return it != itemLines.end() && *it <= to;
    };

    bool titleSeen = false;
    int paragraphStart = 0; // first line after the last blank line
    for (int i = 0; i < n;)
    {
        std::string_view line = Line(i);
        const bool blank = IsBlankLine(line);
        const bool marker = IsMarkerLine(line);
        if (blank)
            paragraphStart = i + 1;
        if (!marker || !IsBlockStart(line))
        {
            m_text[static_cast<std::size_t>(i)] = !blank && !marker;
            ++i;
            continue;
        }
        int end = i + 1;
        while (end < n && !BeginsWithMarker(Line(end), Marker::End))
            ++end;
        // Centred and caption blocks are read as text unless the block passes took them (a caption's
        // item stands at the first line of its paragraph, which may begin above the block).
        const bool readable = (IsMarker(line, Marker::Cnt) && !anyItemIn(i, i)) ||
                              (IsMarker(line, Marker::Prv) && !anyItemIn(paragraphStart, end)) ||
                              IsMarker(line, Marker::Lev);
        const bool otherTitle = IsMarker(line, Marker::Zag) && titleSeen;
        if (IsMarker(line, Marker::Zag) && !titleSeen)
        {
            titleSeen = true;
            m_titleBegin = i + 1;
            m_titleEnd = end;
        }
        if (readable || otherTitle)
            for (int k = i + 1; k < end; ++k)
            {
                std::string_view inner = Line(k);
                const bool text = !IsBlankLine(inner) && !IsMarkerLine(inner);
                m_text[static_cast<std::size_t>(k)] = readable && text;
                m_titleBlockText[static_cast<std::size_t>(k)] = otherTitle && text;
            }
        i = end;
    }

    // The width is the length that nine text lines in ten stay within: paragraph ends and headings
    // are shorter, and a few lines run over it.
    std::vector<std::size_t> lengths;
    for (int i = 0; i < n; ++i)
        if (IsText(i))
            lengths.push_back(Line(i).find_last_not_of(' ') + 1);
    if (!lengths.empty())
    {
        const auto at = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() * 9 / 10);
        std::nth_element(lengths.begin(), at, lengths.end());
        m_width = *at;
    }
}

bool CPlainTextView::IsText(int index) const
{
    return index >= 0 && index < LineCount() && m_text[static_cast<std::size_t>(index)];
}

bool CPlainTextView::IsTitleBlockText(int index) const
{
    return index >= 0 && index < LineCount() && m_titleBlockText[static_cast<std::size_t>(index)];
}

namespace
{
std::size_t Indent(std::string_view line)
{
    return std::min(line.find_first_not_of(' '), line.size());
}

bool EndsSentence(std::string_view line)
{
    const std::size_t last = line.find_last_not_of(' ');
    return last != std::string::npos && (line[last] == '.' || line[last] == ';' || line[last] == ':');
}
} // namespace

bool CPlainTextView::StartsParagraph(int index) const
{
    if (!IsText(index))
        return false;
    if (!IsText(index - 1))
        return true;
    // A text set without blank lines begins a paragraph, or a heading, with a line indented further
    // than the line above, which ends its sentence.
    std::string_view above = Line(index - 1);
    return EndsSentence(above) && Indent(Line(index)) > Indent(above);
}

bool CPlainTextView::BreaksBefore(int index) const
{
    if (!IsText(index) || !IsText(index - 1))
        return false;
    std::string_view line = Line(index);
    const std::size_t from = Indent(line);
    const std::size_t word = std::min(line.find(' ', from), line.size()) - from;
    return Line(index - 1).find_last_not_of(' ') + 2 + word <= m_width;
}

bool CPlainTextView::IsCentred(int index) const
{
    std::string_view line = Line(index);
    const std::size_t indent = Indent(line);
    const std::size_t end = line.find_last_not_of(' ') + 1;
    if (indent < 2 || end >= m_width)
        return false;
    const std::size_t room = m_width - end;
    const std::size_t slack = std::max<std::size_t>(4, m_width / 8);
    return indent + slack >= room && room + slack >= indent;
}

int CPlainTextView::HeadingPosition(int index) const
{
    if (index > 0 && (IsMarker(Line(index - 1), Marker::Cnt) || IsMarker(Line(index - 1), Marker::Prv)))
        return index - 1;
    return index;
}
