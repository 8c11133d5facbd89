// The named steps of the recognition: every step is seen by its name, in order, with the items as it
// left them, and the items read the same in a dump whatever bytes they hold.

#include "core/toc/RecognitionSteps.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/toc/CTocRecognizer.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> LawText()
{
    const std::string zag = MarkerLine(Marker::Zag);
    const std::string end = MarkerLine(Marker::End);
    return {zag,
            Cp("ЗАКОН О ПОРЯДКЕ"),
            end,
            "",
            zag,
            Cp("ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ"),
            end,
            "",
            Cp("Статья 1. Предмет"),
            "",
            Cp("Текст статьи."),
            "",
            Cp("Статья 2. Права"),
            "",
            Cp("Текст статьи.")};
}

// Each step once, under its own name, in the order of the table; the steps of the extended
// recognition only with it; and what the observer is shown is what the step left.
TEST(RecognitionSteps, EveryStepIsSeenByNameInOrderWithTheItemsItLeft)
{
    std::set<std::string_view> names;
    for (const RecognitionStep& step : RecognitionSteps())
    {
        EXPECT_TRUE(names.insert(step.name).second) << "two steps named " << step.name;
        EXPECT_NE(step.onRun == nullptr, step.onItem == nullptr) << step.name;
        EXPECT_EQ(FindRecognitionStep(step.name), &step);
    }
    EXPECT_EQ(FindRecognitionStep("no-such-step"), nullptr);

    for (const bool extended : {false, true})
    {
        const CUpperCaseWordsDict words;
        RecordingReporter reporter;
        CTocRecognizer engine(&words, CDocKindsList(), reporter, {}, RecognitionOptions{extended});
        std::vector<std::string_view> seen;
        std::vector<TocItem> afterHyphens;
        std::vector<TocItem> afterLevels;
        engine.SetStepObserver(
            [&](std::string_view step, const std::vector<TocItem>& items)
            {
                seen.push_back(step);
                if (step == "join-hyphenated-lines")
                    afterHyphens = items;
                if (step == "assign-levels")
                    afterLevels = items;
            });
        CTextLines lines = LawText();
        engine.Build(lines);

        std::vector<std::string_view> expected;
        for (const RecognitionStep& step : RecognitionSteps())
            if (extended || !step.extendedOnly)
                expected.push_back(step.name);
        EXPECT_EQ(seen, expected) << "extended " << extended;
        EXPECT_EQ(engine.WrittenBlocks(), 3u) << "extended " << extended;
        // Nothing but the existing blocks is collected before the first pass over the text.
        EXPECT_TRUE(afterHyphens.empty());
        // The extended recognition also takes the title's first line for the document's kind.
        ASSERT_EQ(afterLevels.size(), extended ? 4u : 3u);
        const std::vector<std::vector<std::string>> entries = {
            {"ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ"}, {"Статья 1. Предмет"}, {"Статья 2. Права"}};
        for (std::size_t i = 0; i < entries.size(); ++i)
        {
            const TocItem& item = afterLevels[afterLevels.size() - entries.size() + i];
            EXPECT_EQ(Utf8Lines(item.lines), entries[i]);
            // Under the kind when there is one; the articles under their chapter.
            EXPECT_EQ(item.level, (extended ? 1 : 0) + (i == 0 ? 0 : 1)) << Cp1251ToUtf8(item.lines.front());
        }
    }
}

// A text with fewer than two items ends after the step that finds it out: nothing is written and no
// later step runs.
TEST(RecognitionSteps, ALoneItemEndsTheRunBeforeTheLayout)
{
    const CUpperCaseWordsDict words;
    RecordingReporter reporter;
    CTocRecognizer engine(&words, CDocKindsList(), reporter);
    std::vector<std::string_view> seen;
    engine.SetStepObserver([&](std::string_view step, const std::vector<TocItem>&) { seen.push_back(step); });
    std::vector<std::string> text = LawText();
    text.resize(7);
    text.push_back("");
    text.push_back(Cp("Текст."));
    CTextLines lines = text;
    engine.Build(lines);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "drop-lone-root");
    EXPECT_EQ(engine.WrittenBlocks(), 0u);
    EXPECT_EQ(lines, text);
}

TEST(RecognitionSteps, DescribedItemsShowLineKindLevelAndEveryByte)
{
    const std::vector<TocItem> items = {
        {kKindChapter, 4, 0, {Cp("ГЛАВА 1."), Cp("ОБЩИЕ ПОЛОЖЕНИЯ")}},
        {kKindNumbered + 1, 9, -1, {MarkerLine(Marker::End).substr(0, 5), "a\\b\x01"}},
        {kKindIndented, 12, 2, {}},
    };
    EXPECT_EQ(DescribeItems(items), "line 4, kind 4 (chapter), level 0\n"
                                    "    ГЛАВА 1.\n"
                                    "    ОБЩИЕ ПОЛОЖЕНИЯ\n"
                                    "line 9, kind 6 (numbered), level -1\n"
                                    "    \\x04\\x04!!!\n"
                                    "    a\\x5Cb\\x01\n"
                                    "line 12, kind 9 (indented), level 2\n");
}
} // namespace
