#include "core/document/Markers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const std::string& Ogl()
{
    return MarkerLine(Marker::Ogl);
}

const std::string& Kon()
{
    return MarkerLine(Marker::Kon);
}

} // namespace

TEST(Markers, ExactBytes)
{
    const std::string ogl = std::string("\x04\x04\xCE\xC3\xCB") + std::string(61, '-');
    EXPECT_EQ(Ogl(), ogl);
    EXPECT_EQ(MarkerLine(Marker::End), "\x04\x04!!!" + std::string(61, '-'));
    EXPECT_EQ(MarkerLine(Marker::Zag).substr(0, 5), "\x04\x04\xC7\xC0\xC3");
    EXPECT_EQ(MarkerLine(Marker::Ttt).substr(0, 5), "\x04\x04\xD2\xD2\xD2");
    for (int m = 0; m <= static_cast<int>(Marker::End); ++m)
        EXPECT_EQ(MarkerLine(static_cast<Marker>(m)).size(), kMarkerLineLength);
}

TEST(Markers, TheThreeTests)
{
    struct Case
    {
        std::string line;
        bool beginsWithOgl;
        bool isOgl;
        bool isMarkerLine;
    };
    const std::string other = "\x04\x04XYZ" + std::string(61, '-');
    const Case cases[] = {
        {Ogl(), true, true, true},
        {Ogl() + " ", true, false, false}, // trailing blank
        {Ogl() + "text", true, false, false},
        {Ogl().substr(0, 65), false, false, false},
        {Kon(), false, false, true},
        {other, false, false, true}, // unknown code is still a marker line
        {"", false, false, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(BeginsWithMarker(c.line, Marker::Ogl), c.beginsWithOgl) << c.line;
        EXPECT_EQ(IsMarker(c.line, Marker::Ogl), c.isOgl) << c.line;
        EXPECT_EQ(IsMarkerLine(c.line), c.isMarkerLine) << c.line;
    }
}

TEST(Markers, BlockStartsAreTheEightFormatMarkers)
{
    for (int m = 0; m <= static_cast<int>(Marker::End); ++m)
    {
        const auto marker = static_cast<Marker>(m);
        const bool format = marker != Marker::Ogl && marker != Marker::Kon && marker != Marker::End;
        EXPECT_EQ(IsBlockStart(MarkerLine(marker)), format) << m;
        EXPECT_FALSE(IsBlockStart(MarkerLine(marker) + " ")) << m;
    }
}

TEST(Markers, RemoveTocBlocks)
{
    struct Case
    {
        std::vector<std::string> lines;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {{"a", Ogl(), "*", "x", Kon(), "b", Ogl(), Kon(), "c"}, {"a", "b", "c"}},
        {{"a", Ogl(), "x", "y"}, {"a"}},                                    // unclosed block runs to the end
        {{"a", Kon(), "b"}, {"a", Kon(), "b"}},                             // КОН without ОГЛ stays
        {{Ogl() + " ", "x", Kon() + " "}, {Ogl() + " ", "x", Kon() + " "}}, // not markers
        {{Ogl(), Ogl(), Kon(), Kon(), "z"}, {Kon(), "z"}}, // the first КОН closes the block
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RemoveTocBlocks(c.lines), c.kept);
}
