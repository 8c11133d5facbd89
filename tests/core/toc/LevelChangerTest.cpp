#include "core/toc/CTocLevelChanger.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Entries "*" × (level + 1) followed by one text line, with made-up line indices.
std::vector<TocEntryRef> EntriesAtLevels(const std::vector<int>& levels)
{
    std::vector<TocEntryRef> entries;
    for (std::size_t i = 0; i < levels.size(); ++i)
    {
        const std::string text = std::string(static_cast<std::size_t>(levels[i]) + 1, '*') + "\n" +
                                 std::string(2 * static_cast<std::size_t>(levels[i]), ' ') + Cp("Пункт");
        entries.push_back(TocEntryRef{10 * i, 10 * i + 3, text});
    }
    return entries;
}

std::vector<int> LevelsOf(const std::vector<TocEntryRef>& entries)
{
    std::vector<int> levels;
    for (const TocEntryRef& entry : entries)
        levels.push_back(static_cast<int>(entry.text.find_first_not_of('*')) - 1);
    return levels;
}
} // namespace

TEST(CTocLevelChanger, MovesMarkedEntriesWithTheirSubEntries)
{
    const struct
    {
        std::vector<int> levels;
        std::vector<std::size_t> marked;
        bool deeper;
        std::vector<int> expected;
    } cases[] = {
        {{0, 1, 2, 1, 0}, {1}, true, {0, 2, 3, 1, 0}},    // position 3 ends the walk
        {{0, 1, 2, 1, 0}, {1, 2}, true, {0, 2, 3, 1, 0}}, // position 2 moves once, not twice
        {{0, 1, 1}, {0}, false, {0, 0, 0}},               // the top level stays, its sub-entries rise
        {{0, 1, 2, 1, 0}, {2}, false, {0, 1, 1, 1, 0}},
        {{1, 2, 0, 1}, {0, 2}, true, {2, 3, 1, 2}},
        {{0, 1, 2}, {0, 1}, false, {0, 0, 1}},
        {{2, 0}, {1}, true, {2, 1}},
    };
    for (const auto& c : cases)
    {
        std::vector<TocEntryRef> entries = EntriesAtLevels(c.levels);
        CTocLevelChanger changer;
        changer.ChangeEntryLevels(c.marked, c.deeper, entries);
        EXPECT_EQ(LevelsOf(entries), c.expected) << "first marked " << c.marked.front();
        const std::vector<TocEntryRef> before = EntriesAtLevels(c.levels);
        for (std::size_t i = 0; i < entries.size(); ++i)
        {
            EXPECT_EQ(entries[i].oglLine, before[i].oglLine);
            EXPECT_EQ(entries[i].konLine, before[i].konLine);
        }
    }
}

TEST(CTocLevelChanger, LaysOutTheEntriesFromTheFirstMarkedOneOn)
{
    const struct
    {
        const char* what;
        std::string text;
        bool deeper;
        std::string expected;
    } cases[] = {
        {"one level down", Cp("**\n  Права"), true, Cp("***\n    Права")},
        {"one level up", Cp("***\n    Права"), false, Cp("**\n  Права")},
        {"a first line that is no level line", Cp("Раздел 1\nТекст"), true,
         std::string(9, '*') + "\n" + std::string(16, ' ') + Cp("Текст")},
        {"only the level line", "**", true, "***"},
        {"text rewrapped", Cp("*\nОбщие\nположения   закона"), true, Cp("**\n  Общие положения закона")},
    };
    for (const auto& c : cases)
    {
        std::vector<TocEntryRef> entries = {{4, 7, c.text}};
        CTocLevelChanger changer;
        changer.ChangeEntryLevels({0}, c.deeper, entries);
        EXPECT_EQ(entries[0].text, c.expected) << c.what;
    }
}

TEST(CTocLevelChanger, LeavesTheHeadByteForByteAndRelaysTheRest)
{
    const std::string oddHead = Cp("*\nГЛАВА   1.    ОБЩИЕ\n\n  положения  ");
    const std::string oddTail = Cp("*\nЗаключительные    положения");
    std::vector<TocEntryRef> entries = {
        {1, 5, oddHead},
        {7, 10, "\n"}, // no level line, but in the head: never looked at
        {12, 15, Cp("*\n1. Права")},
        {17, 20, oddTail},
    };
    CTocLevelChanger changer;
    changer.ChangeEntryLevels({2}, true, entries);
    EXPECT_EQ(entries[0].text, oddHead);
    EXPECT_EQ(entries[1].text, "\n");
    EXPECT_EQ(entries[2].text, Cp("**\n  1. Права"));
    EXPECT_EQ(entries[3].text, Cp("*\nЗаключительные положения"));
}

TEST(CTocLevelChanger, RefusesAnEntryWithoutLevelLineBeforeChangingAnything)
{
    for (const char* missing : {"", "\n", "\nТекст"})
    {
        std::vector<TocEntryRef> entries = EntriesAtLevels({0, 1, 0});
        entries.push_back(TocEntryRef{40, 42, missing});
        const std::vector<TocEntryRef> before = entries;
        CTocLevelChanger changer;
        try
        {
            changer.ChangeEntryLevels({1}, true, entries);
            ADD_FAILURE() << "no error for «" << missing << "»";
        }
        catch (const CTocLevelChanger::MissingLevelLine& error)
        {
            EXPECT_STREQ(error.what(), "Отсутствует номер уровня вложенности пункта оглавления.");
        }
        EXPECT_EQ(entries, before);
    }
}

TEST(CTocLevelChanger, RejectsMarksThatAddressNoEntry)
{
    const std::vector<std::vector<std::size_t>> cases = {{}, {3}, {2, 1}};
    for (const auto& marked : cases)
    {
        std::vector<TocEntryRef> entries = EntriesAtLevels({0, 1, 2});
        const std::vector<TocEntryRef> before = entries;
        CTocLevelChanger changer;
        EXPECT_THROW(changer.ChangeEntryLevels(marked, true, entries), std::invalid_argument);
        EXPECT_EQ(entries, before);
    }
}

TEST(CTocLevelChanger, SplitLinesDropsOnlyAnEmptyLastPiece)
{
    const struct
    {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\nb\n\n", {"a", "b", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTocLevelChanger::SplitLines(c.text), c.lines) << c.text;
}
