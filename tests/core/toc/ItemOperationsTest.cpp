// The item and list operations of the engine, each on the smallest input that shows its rule.

#include "core/base/CodePage.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/Markers.h"
#include "core/toc/CDuplicateItemIndex.h"
#include "core/toc/CollectingPasses.h"
#include "core/toc/ItemCleaning.h"
#include "core/toc/LevelsAndBlocks.h"
#include "core/toc/MergingPasses.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

CDocKindsList MakeKinds(const std::vector<std::string>& utf8)
{
    CDocKindsList list(CpLines(utf8));
    return list;
}

// An item list for running single passes.
struct Items
{
    void Add(int kind, int line, const std::vector<std::string>& utf8, int level = -1)
    {
        list.push_back(TocItem{kind, line, level, CpLines(utf8)});
    }
    std::vector<std::string> FirstLines() const
    {
        std::vector<std::string> result;
        for (const TocItem& item : list)
            result.push_back(item.lines.empty() ? "<none>" : Cp1251ToUtf8(item.lines.front()));
        return result;
    }

    std::vector<TocItem> list;
};

struct EntryCase
{
    std::vector<std::string> in;
    std::vector<std::string> out;
};

void ExpectEntryOperation(void (*operation)(TocItem&), const std::vector<EntryCase>& cases)
{
    for (const EntryCase& c : cases)
    {
        TocItem item{5, 0, -1, CpLines(c.in)};
        operation(item);
        EXPECT_EQ(Utf8Lines(item.lines), c.out) << "input starts with " << (c.in.empty() ? "" : c.in.front());
    }
}

TEST(EntryOperations, StripArticleRefsDropsOnlyPlainNumbersAndRanges)
{
    ExpectEntryOperation(&StripArticleRefs, {
                                                {{"Общие положения ст. 12"}, {"Общие положения"}},
                                                {{"Общие положения ст. 12а"}, {"Общие положения ст. 12а"}},
                                                {{"Права граждан ст. 5-9"}, {"Права граждан"}},
                                                {{"Права граждан ст. 5, 6"}, {"Права граждан ст. 5, 6"}},
                                                {{"Ссылка ст. "}, {"Ссылка"}},
                                                {{"ст. 5 Общие", "Права ст. 7"}, {"ст. 5 Общие", "Права"}},
                                                {{}, {}},
                                            });
}

TEST(EntryOperations, JoinHyphenatedLinesJoinsWordBreaksOnly)
{
    ExpectEntryOperation(&JoinHyphenatedLines,
                         {
                             {{"Об утвер-", "ждении Правил"}, {"Об утверждении Правил"}},
                             {{"Пункт -", "далее"}, {"Пункт -", "далее"}},
                             {{"Рос-", "  сий-", "ской Федерации"}, {"Российской Федерации"}},
                             {{"a-", "b"}, {"a-", "b"}},
                             {{"Конец-"}, {"Конец-"}},
                         });
}

TEST(EntryOperations, MarkerLinesAndControlBytesAreCleanedOut)
{
    TocItem item{
        5,
        0,
        -1,
        {MarkerLine(Marker::Cnt), "1.\x01" + Cp("Общие") + "\x02\x03", MarkerLine(Marker::End) + "x"}};
    RemoveMarkerLines(item);
    BlankControlChars(item);
    EXPECT_EQ(item.lines, (std::vector<std::string>{Cp("1. Общие  "), MarkerLine(Marker::End) + "x"}));
}

TEST(EntryOperations, DotSectionHeadingsClosesShortSectionWords)
{
    ExpectEntryOperation(&DotSectionHeadings, {
                                                  {{"Глава 1", "Общие"}, {"Глава 1.", "Общие"}},
                                                  {{"   раздел II"}, {"раздел II."}},
                                                  {{"ЧАСТЬ ПЕРВАЯ"}, {"ЧАСТЬ ПЕРВАЯ."}},
                                                  {{"Глава 1. Общие"}, {"Глава 1. Общие"}},
                                                  {{"Частью второй"}, {"Частью второй."}},
                                                  {{"Глава 1 очень длинного названия без точки"},
                                                   {"Глава 1 очень длинного названия без точки"}},
                                                  {{"Статья 1"}, {"Статья 1"}},
                                              });
}

TEST(EntryOperations, TrimAppendixPeriodOnlyForABareAppendixNumber)
{
    ExpectEntryOperation(&TrimAppendixPeriod,
                         {
                             {{"Приложение 3."}, {"Приложение 3"}},
                             {{"Приложение N 3."}, {"Приложение N 3"}},
                             {{"Приложение 3. Форма заявления"}, {"Приложение 3. Форма заявления"}},
                             {{"Приложение к Правилам."}, {"Приложение к Правилам."}},
                             {{"Приложение."}, {"Приложение"}},
                             {{"Приложения."}, {"Приложения."}},
                             {{"Таблица 3."}, {"Таблица 3."}},
                         });
}

TEST(EntryOperations, SpaceNumericRangesSpacesHyphensOfNumberWords)
{
    ExpectEntryOperation(&SpaceNumericRanges,
                         {
                             {{"Статьи 1-5"}, {"Статьи 1 - 5"}},
                             {{"Статьи 1-5 и 7-9-11"}, {"Статьи 1 - 5 и 7 - 9 - 11"}},
                             {{"Раздел 1-Общие положения"}, {"Раздел 1-Общие положения"}},
                             {{"Пункты 1.1-1.5"}, {"Пункты 1.1-1.5"}},
                             {{"Текст  "}, {"Текст  "}},
                         });
}

TEST(EntryOperations, MoveFormNumbersPutsTheNumberAfterTheTitle)
{
    ExpectEntryOperation(&MoveFormNumbers,
                         {
                             {{"Форма N 3. Заявление о выдаче"}, {"Заявление о выдаче (Форма N 3)"}},
                             {{"ФОРМА N 12а. Заявление"}, {"Заявление (Форма N 12А)"}},
                             {{"Форма N 3 без точки"}, {"Форма N 3 без точки"}},
                             {{"Форма заявления. Образец"}, {"Форма заявления. Образец"}},
                         });
}

TEST(EntryOperations, FixAppendixNumberDropsTheNumberSign)
{
    std::string line = Cp("  Приложение N 2 к Правилам.");
    FixAppendixNumber(line);
    EXPECT_EQ(Cp1251ToUtf8(line), "Приложение 2 к Правилам.");
    line = Cp("Приложение N2");
    FixAppendixNumber(line);
    EXPECT_EQ(Cp1251ToUtf8(line), "Приложение N2");
}

TEST(ItemList, JoinedEntriesAreMergedWithTheirRepeats)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<int, std::vector<std::string>>> items; // line, entry lines
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"joined and hyphen spacing removed",
         {{1, {"Раздел 1 -", "  Общие   положения"}}},
         {"Раздел 1-Общие положения"}},
        {"neighbours equal after upper-casing",
         {{100, {"ГЛАВА 1. ОБЩИЕ"}}, {101, {"Глава 1. Общие"}}},
         {"ГЛАВА 1. ОБЩИЕ"}},
        {"an empty entry between equal headings keeps both",
         {{100, {"Глава 1"}}, {100, {}}, {101, {"ГЛАВА 1"}}},
         {"Глава 1", "", "ГЛАВА 1"}},
        {"shorter repeat of an appendix",
         {{50, {"Приложение 1. Форма заявления"}}, {60, {"Форма заявления"}}},
         {"Приложение 1. Форма заявления"}},
        {"31 lines apart both stay",
         {{50, {"Приложение 1. Форма заявления"}}, {81, {"Форма заявления"}}},
         {"Приложение 1. Форма заявления", "Форма заявления"}},
        {"numbered appendix repeats without its number",
         {{10, {"Приложение N 2 Перечень"}}, {12, {"Список 2 Перечень"}}, {14, {"Перечень"}}},
         {"Приложение N 2 Перечень", "Перечень"}},
        {"table repeated under its number",
         {{10, {"Таблица 4 Ставки"}}, {20, {"4 Ставки"}}},
         {"Таблица 4 Ставки"}},
        {"only one repeat per item and pass",
         {{10, {"Приложение Форма"}}, {11, {"Форма"}}, {12, {"Форма"}}},
         {"Приложение Форма", "Форма"}},
    };
    for (const Case& c : cases)
    {
        Items items;
        for (const auto& [line, lines] : c.items)
            items.Add(5, line, lines);
        for (TocItem& item : items.list)
            JoinEntryLines(item);
        MergeRepeatedItems(items.list);
        EXPECT_EQ(items.FirstLines(), c.expected) << c.name;
    }
}

TEST(ItemList, BlankLinesAndThenEmptyItemsAreDropped)
{
    Items items;
    items.Add(5, 1, {"  ", "1. Общие"});
    items.Add(5, 2, {"", "   "});
    items.Add(5, 3, {});
    items.Add(5, 4, {"\t"});
    for (TocItem& item : items.list)
        DropBlankLines(item);
    DropEmptyItems(items.list);
    ASSERT_EQ(items.list.size(), 2u);
    EXPECT_EQ(items.list[0].lines, CpLines({"1. Общие"}));
    EXPECT_EQ(items.list[1].lines, std::vector<std::string>{"\t"});
}

TEST(ItemList, AdjustAppendixLinesMovesTheEntryToItsCaptionBlock)
{
    const std::string wide(66, 'x');
    const std::string prv = MarkerLine(Marker::Prv);
    const std::string end = MarkerLine(Marker::End);
    const std::string zag = MarkerLine(Marker::Zag);
    auto text = [&](std::vector<std::string> tail)
    {
        std::vector<std::string> lines(38, "text");
        lines.insert(lines.end(), tail.begin(), tail.end());
        return lines;
    };
    struct Case
    {
        const char* name;
        std::vector<std::string> lines;
        int itemLine;
        int expected;
    };
    const std::vector<Case> cases = {
        {"caption block right above",
         text({"", prv, Cp("Приложение 1"), Cp("к Правилам"), end, "", zag, "title", end, wide}), 44, 39},
        {"the first blank met going up decides",
         text({prv, Cp("Утверждено"), "", Cp("Приложение 1"), end, "", zag, "title", end, wide}), 44, 41},
        {"the topmost caption block before another block start",
         text({prv, "a", prv, Cp("Приложение 1"), end, "", zag, "title", end, wide}), 44, 38},
        {"a caption block still ahead leaves it",
         text({"", prv, Cp("Приложение 1"), Cp("к Правилам"), end, "", zag, "title", end, prv, wide}), 44,
         44},
        {"standing on a caption marker leaves it", text({"", prv, "a", end, "", wide}), 39, 39},
        {"a full-width line above stops the look", text({"", prv, "a", end, wide, zag, "t", end, wide}), 43,
         43},
        {"another block start ends the walk up", text({prv, zag, prv, "a", end, "", zag, "t", end, wide}), 44,
         40},
        {"no end marker within four lines", text({prv, "a", end, "b", "c", "d", "e", zag, wide}), 45, 45},
        {"an entry at the end of the text", text({"", prv, "a", end}), 42, 39},
    };
    for (const Case& c : cases)
    {
        Items items;
        items.Add(1, c.itemLine, {"Приложение 1"});
        items.Add(5, c.itemLine, {"1. Не приложение"});
        AdjustAppendixLines(items.list, c.lines);
        EXPECT_EQ(items.list[0].line, c.expected) << c.name;
        EXPECT_EQ(items.list[1].line, c.itemLine) << c.name;
    }
}

TEST(ItemList, DropKindTitleDuplicateErasesTheLongerRepeat)
{
    struct Case
    {
        const char* name;
        int firstKind;
        int secondLine;
        std::string second;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"title repeats the kind", 0, 20, "ПОЛОЖЕНИЕ о комиссии", {"ПОЛОЖЕНИЕ"}},
        {"more than 20 lines apart", 0, 21, "ПОЛОЖЕНИЕ о комиссии", {"ПОЛОЖЕНИЕ", "ПОЛОЖЕНИЕ о комиссии"}},
        {"first item of another kind", 4, 5, "ПОЛОЖЕНИЕ о комиссии", {"ПОЛОЖЕНИЕ", "ПОЛОЖЕНИЕ о комиссии"}},
        {"shorter second item that is the kind", 1, 5, "ПОЛОЖ", {"ПОЛОЖ"}},
        {"equal texts erase the first", 0, 5, "ПОЛОЖЕНИЕ", {"ПОЛОЖЕНИЕ"}},
        {"prefix that is no kind", 0, 5, "ПОЛО", {"ПОЛОЖЕНИЕ", "ПОЛО"}},
    };
    for (const Case& c : cases)
    {
        Items items;
        items.Add(c.firstKind, 0, {"ПОЛОЖЕНИЕ"});
        items.Add(1, c.secondLine, {c.second});
        DropKindTitleDuplicate(items.list, MakeKinds({"ПОЛОЖЕНИЕ", "ПОЛОЖ"}));
        EXPECT_EQ(items.FirstLines(), c.expected) << c.name;
    }
}

TEST(Collecting, IsDuplicateItemComparesNormalisedTextsNearby)
{
    Items items;
    items.Add(1, 10, {"1. Общие", "положения"});
    items.Add(9, 40, {});
    items.Add(9, 41, {"   "});
    CDuplicateItemIndex duplicates(items.list);
    struct Case
    {
        const char* name;
        int line;
        std::vector<std::string> text;
        bool duplicate;
    };
    const std::vector<Case> cases = {
        {"same text in capitals and other spacing", 29, {"1.  ОБЩИЕ ПОЛОЖЕНИЯ "}, true},
        {"20 lines away", 30, {"1. Общие положения"}, false},
        {"part of the text", 0, {"ОБЩИЕ"}, true},
        {"holds the text", 12, {"Раздел 1. Общие положения и цели"}, true},
        {"another heading", 11, {"2. Права"}, false},
        {"empty items make nothing a duplicate", 45, {"3. Обязанности"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(duplicates.IsDuplicateItem(TocItem{5, c.line, -1, CpLines(c.text)}), c.duplicate) << c.name;
}

TEST(Collecting, SplitMultiHeadingItemsGivesOneItemPerHeading)
{
    const std::vector<std::string> text =
        CpLines({"x", "ГЛАВА 1", "ОБЩИЕ", "", "1.1. Понятия", "y", "1.1. Понятия"});
    Items items;
    items.Add(1, 0, {"Один заголовок"});
    items.Add(4, 1, {"ГЛАВА 1", "ОБЩИЕ", "", "1.1. Понятия", "1.2. Нет в тексте"});
    items.Add(1, 5, {"Другой"});
    SplitMultiHeadingItems(text, items.list);
    const std::vector<TocItem> expected = {
        {1, 0, -1, CpLines({"Один заголовок"})},    {1, 5, -1, CpLines({"Другой"})},
        {4, 1, -1, CpLines({"ГЛАВА 1", "ОБЩИЕ"})},  {6, 4, -1, CpLines({"1.1. Понятия"})},
        {6, 1, -1, CpLines({"1.2. Нет в тексте"})},
    };
    EXPECT_EQ(items.list, expected);
}

TEST(Levels, AssignLevelsFollowsTheKinds)
{
    struct Case
    {
        std::vector<int> kinds;
        std::vector<int> presetLevels; // -1 unless an item arrives with its level
        std::vector<int> levels;
    };
    const std::vector<Case> cases = {
        {{0, 2, 4, 10, 10, 4, 10, 2, 4}, {}, {0, 1, 2, 3, 3, 2, 3, 1, 2}},
        // A higher kind returns to where it was last seen, the first item's kind included.
        {{4, 5, 6, 4}, {}, {0, 1, 2, 0}},
        {{0, 4, 10, 2}, {}, {0, 1, 2, 1}},
        {{0, 4, 1, 4, 10}, {-1, -1, 0, -1, -1}, {0, 1, 0, 1, 2}},
        {{5, 9, 1, 5}, {}, {0, 1, 0, 1}},
        {{3}, {}, {-1}},
    };
    for (const Case& c : cases)
    {
        Items items;
        for (std::size_t i = 0; i < c.kinds.size(); ++i)
            items.Add(c.kinds[i], static_cast<int>(i), {"x"},
                      c.presetLevels.empty() ? -1 : c.presetLevels[i]);
        AssignLevels(items.list);
        std::vector<int> levels;
        for (const TocItem& item : items.list)
            levels.push_back(item.level);
        EXPECT_EQ(levels, c.levels) << "first kind " << c.kinds.front() << ", " << c.kinds.size() << " items";
    }
}

TEST(Levels, FixEntryCaseComparesTheCapitalsShareExactly)
{
    // "**", "\n" and "  1.1. " are unchanged by upper-casing: 10 characters of the 90.
    auto entry = [](int capitals, int smalls)
    {
        return std::vector<std::string>{
            "**", "  1.1. " + std::string(static_cast<std::size_t>(capitals), Cp("П")[0]) +
                      std::string(static_cast<std::size_t>(smalls), Cp("п")[0])};
    };
    std::vector<TocItem> items = {
        TocItem{6, 0, 1, entry(53, 27)}, // 63 of 90: exactly seven tenths, not more
        TocItem{6, 1, 1, entry(54, 26)}, // 64 of 90
        TocItem{4, 2, 0, CpLines({"*", "Глава 1. Общие", "положения и цели"})},
        TocItem{2, 3, 1, CpLines({"**", "  Раздел 1. Общие"})},
        TocItem{4, 4, 0, {"*"}},
    };
    const CUpperCaseWordsDict words;
    FixEntryCase(items, &words);
    EXPECT_EQ(items[0].lines, entry(53, 27));
    EXPECT_NE(items[1].lines, entry(54, 26));
    EXPECT_EQ(Utf8Lines(items[2].lines),
              (std::vector<std::string>{"*", "Глава 1. ОБЩИЕ", "ПОЛОЖЕНИЯ И ЦЕЛИ"}));
    EXPECT_EQ(Utf8Lines(items[3].lines), (std::vector<std::string>{"**", "  Раздел 1. ОБЩИЕ"}));
    EXPECT_EQ(items[4].lines, std::vector<std::string>{"*"});
}

} // namespace
