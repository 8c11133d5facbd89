// The plain text view: the width the text is set in, read from its lines, decides which lines stand
// centred and where a line was broken on purpose.

#include "core/toc/CPlainTextView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Ten lines of running text set in the width, then a short line centred in it, a short line at the
// margin, and a line whose first word would have fitted on the short line above.
std::vector<std::string> TextSetIn(std::size_t width)
{
    std::vector<std::string> lines(10, std::string(width - 1, 'a') + ".");
    const std::string title = "Title of it";
    lines.push_back(std::string((width - title.size()) / 2, ' ') + title);
    lines.push_back("Short line");
    lines.push_back("Next " + std::string(width - 10, 'b'));
    return lines;
}

TEST(PlainTextView, TheWidthOfTheTextTellsCentredLinesAndBreaks)
{
    // Text set in a page of the usual width and, far wider, in lines of thousands of bytes.
    for (const std::size_t width : {66u, 70u, 3000u})
    {
        const CTextLines lines(TextSetIn(width));
        const CPlainTextView view(lines, {});
        EXPECT_TRUE(view.IsCentred(10)) << width;
        EXPECT_FALSE(view.IsCentred(11)) << width;
        EXPECT_FALSE(view.IsCentred(0)) << width;
        EXPECT_TRUE(view.BreaksBefore(12)) << width;
        EXPECT_FALSE(view.BreaksBefore(1)) << width;
    }
}

TEST(PlainTextView, ParagraphsBeginAfterBlankLinesOrAFurtherIndent)
{
    const CTextLines lines = {"First line of text", "goes on here.", "   Indented further.", "",
                              "After a blank"};
    const CPlainTextView view(lines, {});
    EXPECT_TRUE(view.StartsParagraph(0));
    EXPECT_FALSE(view.StartsParagraph(1));
    EXPECT_TRUE(view.StartsParagraph(2));
    EXPECT_FALSE(view.StartsParagraph(3));
    EXPECT_TRUE(view.StartsParagraph(4));
    EXPECT_TRUE(view.IsBlankOrMarker(3));
}

} // namespace
