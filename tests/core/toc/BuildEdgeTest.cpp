#include "core/toc/CTocRecognizer.h"

#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class CountingReporter : public IReporter
{
public:
    void Report(std::string_view, MessageIcon) override { ++m_reports; }
    int m_reports = 0;
};

// Texts with nothing to recognise pass through every step untouched and without a message.
TEST(BuildEdges, TextsWithoutHeadingsAreLeftAlone)
{
    const std::vector<std::vector<std::string>> texts = {{}, {""}, {"   "}, {"", ""}};
    for (const std::vector<std::string>& text : texts)
    {
        CountingReporter reporter;
        CTocRecognizer engine(nullptr, CDocKindsList(), reporter);
        std::vector<std::string> lines = text;
        engine.Build(lines);
        EXPECT_EQ(lines, text) << text.size() << " lines";
        EXPECT_TRUE(engine.m_items.empty()) << text.size() << " lines";
        EXPECT_EQ(reporter.m_reports, 0) << text.size() << " lines";
        EXPECT_FALSE(engine.WasRefused());
        EXPECT_EQ(engine.WrittenBlocks(), 0u);
    }
}

} // namespace
