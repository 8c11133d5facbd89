#include "core/toc/CPlainTextView.h"

#include "core/document/Markers.h"

#include <algorithm>

CPlainTextView::CPlainTextView(const CTextLines& lines, const std::vector<TocItem>& collected)
    : m_lines(lines), m_shapes(ClassifyLines(lines)), m_words(lines.size(), kWordUnread), m_text(lines.size(), 0),
      m_titleBlockText(lines.size(), 0)
{
    MarkBlocks(collected);
    MeasureWidth();
}

void CPlainTextView::MarkBlocks(const std::vector<TocItem>& collected)
{
    const int n = LineCount();
    std::vector<int> itemLines;
    itemLines.reserve(collected.size());
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
        const LineShape& shape = Shape(i);
        if (shape.blank)
            paragraphStart = i + 1;
        const std::string_view line = Line(i);
        if (!shape.marker || !IsBlockStart(line))
        {
            m_text[static_cast<std::size_t>(i)] = !shape.blank && !shape.marker;
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
                const bool text = !IsBlankOrMarker(k);
                m_text[static_cast<std::size_t>(k)] = readable && text;
                m_titleBlockText[static_cast<std::size_t>(k)] = otherTitle && text;
            }
        i = end;
    }
}

// The width is the length that nine text lines in ten stay within: paragraph ends and headings are
// shorter, and a few lines run over it. The lengths are counted, not sorted: lines are short, and a
// count per length finds the one nine in ten stay within in one pass; the few longer lines are
// sorted only when the width falls among them.
void CPlainTextView::MeasureWidth()
{
    constexpr std::size_t kCounted = 512;
    std::vector<std::size_t> counts(kCounted, 0);
    std::vector<std::size_t> longer;
    std::size_t total = 0;
    for (int i = 0; i < LineCount(); ++i)
    {
        if (!IsText(i))
            continue;
        const std::size_t end = End(i);
        if (end < kCounted)
            ++counts[end];
        else
            longer.push_back(end);
        ++total;
    }
    if (total == 0)
        return;
    // The length at this place among the lengths in ascending order.
    std::size_t place = total * 9 / 10;
    for (std::size_t length = 0; length < kCounted; ++length)
    {
        if (place < counts[length])
        {
            m_width = length;
            return;
        }
        place -= counts[length];
    }
    const auto at = longer.begin() + static_cast<std::ptrdiff_t>(place);
    std::nth_element(longer.begin(), at, longer.end());
    m_width = *at;
}

HeadingWord CPlainTextView::Word(int index) const
{
    signed char& word = m_words[static_cast<std::size_t>(index)];
    if (word == kWordUnread)
        word = static_cast<signed char>(Shape(index).marker ? HeadingWord::None : ReadHeadingWord(Line(index)));
    return static_cast<HeadingWord>(word);
}

bool CPlainTextView::IsTitleBlockText(int index) const
{
    return index >= 0 && index < LineCount() && m_titleBlockText[static_cast<std::size_t>(index)];
}

bool CPlainTextView::StartsParagraph(int index) const
{
    if (!IsText(index))
        return false;
    if (!IsText(index - 1))
        return true;
    // A text set without blank lines begins a paragraph, or a heading, with a line indented further
    // than the line above, which ends its sentence.
    const LineShape& above = Shape(index - 1);
    const bool aboveEndsSentence = above.last == '.' || above.last == ';' || above.last == ':';
    return aboveEndsSentence && Indent(index) > Indent(index - 1);
}

bool CPlainTextView::BreaksBefore(int index) const
{
    if (!IsText(index) || !IsText(index - 1))
        return false;
    // The line above, a blank, and the word.
    return End(index - 1) + 1 + FirstWordLength(index) <= m_width;
}

bool CPlainTextView::IsCentred(int index) const
{
    const std::size_t indent = Indent(index);
    const std::size_t end = End(index);
    if (indent < 2 || end >= m_width)
        return false;
    const std::size_t room = m_width - end;
    const std::size_t slack = std::max<std::size_t>(4, m_width / 8);
    return indent + slack >= room && room + slack >= indent;
}

int CPlainTextView::HeadingPosition(int index) const
{
    if (index > 0 && Shape(index - 1).marker &&
        (IsMarker(Line(index - 1), Marker::Cnt) || IsMarker(Line(index - 1), Marker::Prv)))
        return index - 1;
    return index;
}
