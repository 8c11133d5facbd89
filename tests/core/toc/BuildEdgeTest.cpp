// The pipeline as a whole: what it leaves alone and what it refuses.

#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/toc/CTocRecognizer.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Texts with nothing to recognise pass through every step untouched and without a message; the
// window still gets its chance between the steps.
TEST(Pipeline, TextsWithoutHeadingsAreLeftAlone)
{
    const std::vector<std::vector<std::string>> texts = {{}, {""}, {"   "}, {"", ""}, {"a", "b"}};
    const CUpperCaseWordsDict words;
    for (const std::vector<std::string>& text : texts)
    {
        RecordingReporter reporter;
        int pumps = 0;
        CTocRecognizer engine(&words, CDocKindsList(), reporter, [&pumps] { ++pumps; });
        CTextLines lines = text;
        engine.Build(lines);
        EXPECT_EQ(lines, text) << text.size() << " lines";
        EXPECT_TRUE(engine.Items().empty()) << text.size() << " lines";
        EXPECT_TRUE(reporter.messages.empty()) << text.size() << " lines";
        EXPECT_FALSE(engine.WasRefused());
        EXPECT_EQ(engine.WrittenBlocks(), 0u);
        // An empty text returns after the first chance; any other runs every step.
        if (text.empty())
        {
            EXPECT_EQ(pumps, 1);
        }
        else
        {
            EXPECT_GT(pumps, 1);
        }
    }
}

TEST(Pipeline, TargetFormatIsRecognisedBehindClosingLines)
{
    const std::string ogl = MarkerLine(Marker::Ogl);
    const std::string kon = MarkerLine(Marker::Kon);
    struct Case
    {
        const char* name;
        CTextLines lines;
        bool target;
    };
    const std::vector<Case> cases = {
        {"level line first", {"x", ogl, "*", "1. Общие", kon}, true},
        {"level line after closing lines", {ogl, kon, kon, "**", kon}, true},
        {"a longer opening line counts", {ogl + " ", "*"}, true},
        {"text before the asterisk", {ogl, "1. Общие", "*", kon}, false},
        {"a second opening line keeps it armed", {ogl, ogl, "*x"}, true},
        {"empty pairs before the written blocks",
         {Cp("ЗАКОН"), "", ogl, kon, ogl, "*", Cp("Статья 1. Предмет"), kon, Cp("Статья 1. Предмет"), "", ogl,
          kon, ogl, "*", Cp("Статья 2. Права"), kon, Cp("Статья 2. Права")},
         true},
        {"an empty pair before plain text", {ogl, kon, Cp("Статья 1."), ogl, kon, "", "*"}, false},
        {"asterisk outside a block", {"*", ogl, "", "*"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasTargetFormatToc(c.lines), c.target) << c.name;
}

} // namespace
