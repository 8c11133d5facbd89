// The shape of a line as the plain text view reads it: where its text begins and ends, its first
// word, and how it ends, with blank and marker lines told apart.

#include "core/document/Markers.h"
#include "core/toc/LineShapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(LineShapes, ClassifyLineReadsTheEdgesOfTheText)
{
    struct Case
    {
        std::string line;
        std::size_t indent;
        std::size_t end;
        std::size_t firstWord;
        char last;
        char lastVisible;
        bool blank;
    };
    const std::vector<Case> cases = {
        {"", 0, 0, 0, ' ', '\0', true},
        {"   ", 3, 0, 0, ' ', '\0', true},
        {"  Text ends.  ", 2, 12, 4, '.', '.', false},
        {"word", 0, 4, 4, 'd', 'd', false},
        // A tab is no blank: it stands in the text for the width, and is white space at its end.
        {"\tA b\t", 0, 5, 2, '\t', 'b', false},
        {"   x;\r", 3, 6, 3, '\r', ';', false},
    };
    for (const Case& c : cases)
    {
        const LineShape shape = ClassifyLine(c.line);
        EXPECT_EQ(IndentOf(shape, c.line), c.indent) << c.line;
        EXPECT_EQ(EndOf(shape, c.line), c.end) << c.line;
        EXPECT_EQ(FirstWordLengthOf(shape, c.line), c.firstWord) << c.line;
        EXPECT_EQ(shape.last, c.last) << c.line;
        EXPECT_EQ(shape.lastVisible, c.lastVisible) << c.line;
        EXPECT_EQ(shape.blank, c.blank) << c.line;
        EXPECT_FALSE(shape.marker) << c.line;
    }
    EXPECT_TRUE(ClassifyLine(MarkerLine(Marker::Cnt)).marker);
    EXPECT_FALSE(ClassifyLine(MarkerLine(Marker::Cnt) + "x").marker);
}

TEST(LineShapes, ClassifyLinesKeepsTheOrder)
{
    const std::vector<LineShape> shapes = ClassifyLines({"a", "", "  b c"});
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[0].end, 1u);
    EXPECT_TRUE(shapes[1].blank);
    EXPECT_EQ(shapes[2].indent, 2u);
    EXPECT_EQ(shapes[2].firstWordLength, 1u);
}

TEST(LineShapes, PositionsBeyondSixteenBitsAreReadFromTheLine)
{
    // An indent, a first word and an end past 65535 bytes, and a line that ends just at the limit.
    const std::string line = std::string(70000, ' ') + std::string(70000, 'w') + " x  ";
    const LineShape shape = ClassifyLine(line);
    EXPECT_EQ(IndentOf(shape, line), 70000u);
    EXPECT_EQ(FirstWordLengthOf(shape, line), 70000u);
    EXPECT_EQ(EndOf(shape, line), 140002u);
    EXPECT_EQ(shape.last, 'x');
    const std::string atLimit = std::string(0xFFFE, 'a') + "b";
    EXPECT_EQ(EndOf(ClassifyLine(atLimit), atLimit), 0xFFFFu);
    EXPECT_EQ(FirstWordLengthOf(ClassifyLine(atLimit), atLimit), 0xFFFFu);
}

} // namespace
