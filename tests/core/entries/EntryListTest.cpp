#include "core/entries/CContentFilter.h"
#include "core/entries/TocEntryList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
CContentFilter OnlyLevels(std::initializer_list<int> levels)
{
    CContentFilter filter;
    for (int level = 1; level <= CContentFilter::kLevelCount; ++level)
        filter.SetLevelShown(level, false);
    for (int level : levels)
        filter.SetLevelShown(level, true);
    return filter;
}

std::vector<TocEntryRef> Entries(std::initializer_list<const char*> texts)
{
    std::vector<TocEntryRef> entries;
    for (const char* text : texts)
        entries.push_back(TocEntryRef{0, 0, text});
    return entries;
}
} // namespace

TEST(EntryLevel, CountsLeadingStarsAndTakesOneWhenThereIsNone)
{
    const struct
    {
        const char* text;
        int level;
    } cases[] = {
        {"*\nText", 1}, {"***\nText", 3}, {"**", 2},  {"Text", 1},
        {"", 1},        {"\n*", 1},       {"*x*", 1}, {"**********", 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntryLevel(c.text), c.level) << c.text;
}

TEST(BuildEntryList, FindsClosedBlocksInTextOrder)
{
    const auto lines = Doc({
        "Текст",      // 0
        "<ОГЛ>",      // 1
        "*",          // 2
        "ГЛАВА 1.",   // 3
        "<КОН>",      // 4
        "<КОН>",      // 5 closes nothing
        "<ОГЛ>",      // 6
        "<КОН>",      // 7 empty block
        "<ОГЛ>",      // 8 dropped: another ОГЛ opens before a КОН
        "**",         // 9
        "<ОГЛ>",      // 10
        "**",         // 11
        "",           // 12
        "  1. Права", // 13
        "<КОН>",      // 14
        "<ОГЛ>",      // 15 never closed
        "*",          // 16
    });
    const std::vector<TocEntryRef> expected = {
        {1, 4, Cp("*\nГЛАВА 1.")},
        {6, 7, ""},
        {10, 14, Cp("**\n\n  1. Права")},
    };
    EXPECT_EQ(BuildEntryList(lines, CContentFilter()), expected);
}

TEST(BuildEntryList, IgnoresCarriageReturnsAtLineEndsButNotLongerMarkers)
{
    std::vector<std::string> lines = Doc({"<ОГЛ>", "*", "Текст", "<КОН>", "<ОГЛ>", "*", "<КОН>"});
    lines[0] += "\r";
    lines[2] += "\r\r";
    lines[4] += "-"; // a longer line is not the ОГЛ marker
    const std::vector<TocEntryRef> expected = {{0, 3, Cp("*\nТекст")}};
    EXPECT_EQ(BuildEntryList(lines, CContentFilter()), expected);
    EXPECT_TRUE(BuildEntryList(Doc({"Текст", "", "Ещё текст"}), CContentFilter()).empty());
}

TEST(BuildEntryList, ListsOnlyTheLevelsTheFilterShows)
{
    const auto lines = Doc({
        "<ОГЛ>", "*",          "Раздел",     "<КОН>", // 0..3   level 1
        "<ОГЛ>", "**",         "  Глава",    "<КОН>", // 4..7   level 2
        "<ОГЛ>", "Без уровня", "<КОН>",               // 8..10  no star: level 1
        "<ОГЛ>", "***",        "    Статья", "<КОН>", // 11..14 level 3
        "<ОГЛ>", "*********",  "Глубоко",    "<КОН>", // 15..18 level 9, shown with level 8
    });
    const struct
    {
        CContentFilter filter;
        std::vector<std::size_t> oglLines;
    } cases[] = {
        {CContentFilter(), {0, 4, 8, 11, 15}},
        {OnlyLevels({2}), {4}},
        {OnlyLevels({1, 3}), {0, 8, 11}},
        {OnlyLevels({8}), {15}},
        {OnlyLevels({1, 2, 3, 4, 5, 6, 7}), {0, 4, 8, 11}},
        {OnlyLevels({}), {}},
    };
    for (const auto& c : cases)
    {
        std::vector<std::size_t> found;
        for (const TocEntryRef& entry : BuildEntryList(lines, c.filter))
            found.push_back(entry.oglLine);
        EXPECT_EQ(found, c.oglLines);
    }
}

TEST(RevalidateMarked, KeepsRowsWhoseEntryStillExistsAndAddressesTheRebuiltList)
{
    const struct
    {
        const char* what;
        std::vector<TocEntryRef> shown;
        std::vector<std::size_t> marked;
        std::vector<TocEntryRef> rebuilt;
        std::vector<std::size_t> kept;
    } cases[] = {
        {"unchanged text", Entries({"A", "B", "C"}), {0, 2}, Entries({"A", "B", "C"}), {0, 2}},
        {"a block deleted by hand", Entries({"A", "B", "C"}), {1, 2}, Entries({"A", "C"}), {1}},
        {"a block inserted before", Entries({"A", "B"}), {0}, Entries({"X", "A", "B"}), {1}},
        {"entries swapped", Entries({"A", "B"}), {0}, Entries({"B", "A"}), {1}},
        {"entry edited", Entries({"A", "B", "C"}), {1}, Entries({"A", "B2", "C"}), {}},
        {"one of two equal entries gone", Entries({"A", "A"}), {0, 1}, Entries({"A"}), {0}},
        {"equal entries keep their own places",
         Entries({"A", "B", "A"}),
         {0, 2},
         Entries({"A", "A"}),
         {0, 1}},
        {"unsorted, repeated and stale rows", Entries({"A", "B"}), {7, 1, 1, 0}, Entries({"A", "B"}), {0, 1}},
        {"everything gone", Entries({"A"}), {0}, {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RevalidateMarked(c.shown, c.marked, c.rebuilt), c.kept) << c.what;
}
