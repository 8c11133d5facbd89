#pragma once

#include "core/base/CTextLines.h"
#include "core/toc/TocItem.h"

#include <string>
#include <vector>

// The text of a document as a reader looks for headings in it: which lines are running text, where
// paragraphs begin, and which block a line stands in. Lines a heading is never sought in are not
// text here: the document's own title block, the other title blocks (their headings are collected
// from the blocks themselves), tables and format blocks, and the centred and caption blocks that the
// block passes already turned into items.
class CPlainTextView
{
public:
    CPlainTextView(const CTextLines& lines, const std::vector<TocItem>& collected);

    const CTextLines& Lines() const { return m_lines; }
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    std::string_view Line(int index) const { return m_lines[static_cast<std::size_t>(index)]; }
    // A line of running text: not blank, not a marker line, not in a block left out.
    bool IsText(int index) const;
    // A text line of a title block other than the document's own: an appendix's title may stand in
    // one after a caption that is no block.
    bool IsTitleBlockText(int index) const;
    // A text line whose line above is no text line (blank, a marker line, or none), or ends its
    // sentence while this line is indented further.
    bool StartsParagraph(int index) const;
    // The line above is a text line that ends although the first word of this line would have fit on
    // it: the line was broken on purpose, as a paragraph or a heading ends, not wrapped.
    bool BreaksBefore(int index) const;
    // The line stands in the middle of the page, as far from the left as from the right margin.
    bool IsCentred(int index) const;
    // Where a heading on this line puts its block: the centred or caption block's opening marker
    // when the line is the first of that block, else the line itself.
    int HeadingPosition(int index) const;
    // The first and one past the last line of the document's own title block; 0, 0 when there is none.
    int TitleBegin() const { return m_titleBegin; }
    int TitleEnd() const { return m_titleEnd; }

private:
    const CTextLines& m_lines;
    std::vector<char> m_text;
    std::vector<char> m_titleBlockText;
    std::size_t m_width = 0; // the width the text is set in: most lines of running text end within it
    int m_titleBegin = 0;
    int m_titleEnd = 0;
};
