#include "core/toc/EntryLayout.h"

#include "core/toc/CTocItemList.h"
#include "core/toc/HeadingTests.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::string Blanks(std::size_t count)
{
    return std::string(count, ' ');
}

std::string Stars(std::size_t count)
{
    return std::string(count, '*');
}

TocItem Item(int kind, int level, const std::vector<std::string>& utf8Lines, int line = 0)
{
    return TocItem{kind, line, level, CpLines(utf8Lines)};
}

std::vector<TocItem> LaidOut(std::vector<TocItem> items)
{
    CTocItemList list;
    list.SetItems(std::move(items));
    list.LayoutEntries();
    return list.Items();
}

// At level 25 the first text line is 16 characters wide and the later ones 14, which keeps the
// wrapping cases short; the indentation is then 50 and 52 blanks.
TEST(EntryLayout, FormatEntryWrapsJustifiesAndIndents)
{
    struct Case
    {
        const char* name;
        int level;
        std::vector<std::string> text;
        std::vector<std::string> expected;
    };
    const std::string longWord(70, 'w');
    const Case cases[] = {
        {"one short line", 0, {"Общие положения"}, {"*", "Общие положения"}},
        {"lines are joined and re-indented",
         1,
         {"  Общие положения", "    о правах"},
         {"**", "  Общие положения о правах"}},
        {"the number keeps one blank after it, the rest is widened",
         25,
         {"Глава 1. аа бб вв гг дд"},
         {Stars(26), Blanks(50) + "Глава 1. аа   бб", Blanks(52) + "вв гг дд"}},
        {"a number of digits only is widened like any word",
         25,
         {"12. аа бб вв гг дд"},
         {Stars(26), Blanks(50) + "12.  аа бб вв гг", Blanks(52) + "дд"}},
        {"the prefix rule holds on the second line, not on the third",
         25,
         {"аа бб вв гг дд ее. жж зз ии кк. лл мм нн оооо"},
         {Stars(26), Blanks(50) + "аа  бб  вв гг дд", Blanks(52) + "ее. жж  зз  ии",
          Blanks(52) + "кк.  лл  мм нн", Blanks(52) + "оооо"}},
        {"a word wider than the page stands alone after an empty first line",
         0,
         {longWord + " ст"},
         {"*", "", "  " + longWord, "  ст"}},
        {"no words leave only the level line", 2, {"   "}, {"***"}},
        {"no lines leave only the level line", 0, {}, {"*"}},
        {"a level not yet assigned is laid out as the top level", -1, {"Текст"}, {"*", "Текст"}},
    };
    for (const Case& c : cases)
    {
        TocItem item = Item(5, c.level, c.text, 7);
        FormatEntry(item);
        EXPECT_EQ(item.lines, CpLines(c.expected)) << c.name;
        EXPECT_EQ(item.kind, 5) << c.name;
        EXPECT_EQ(item.line, 7) << c.name;
        EXPECT_EQ(item.level, c.level) << c.name;
    }
}

TEST(EntryLayout, LongEntryFillsThePageAndLaysOutAgainUnchanged)
{
    const std::string words[] = {Cp("слово"), Cp("и"), Cp("правило")};
    std::string text;
    for (std::size_t i = 0; text.size() < 200; ++i)
        text += words[i % 3] + ' ';
    text.pop_back();
    TocItem item{9, 0, 2, {text}};
    FormatEntry(item);

    const std::vector<std::string>& lines = item.lines;
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "***");
    EXPECT_EQ(lines[1].size(), 66u);
    EXPECT_EQ(lines[1].find_first_not_of(' '), 4u);
    for (std::size_t i = 2; i + 1 < lines.size(); ++i)
    {
        EXPECT_EQ(lines[i].size(), 66u) << i;
        EXPECT_EQ(lines[i].find_first_not_of(' '), 6u) << i;
    }
    const std::string& last = lines.back();
    EXPECT_LT(last.size(), 66u);
    EXPECT_EQ(last.find_first_not_of(' '), 6u);
    EXPECT_EQ(last.find("  ", 6), std::string::npos);
    std::string wordsBack;
    for (std::size_t i = 1; i < lines.size(); ++i)
        wordsBack += lines[i] + ' ';
    EXPECT_EQ(NormaliseSpaces(wordsBack), text);

    // The level command lays out entries taken from the editor again: the result must not drift.
    TocItem again = item;
    again.lines.erase(again.lines.begin());
    FormatEntry(again);
    EXPECT_EQ(again.lines, item.lines);
}

TEST(EntryLayout, AlignEntryStartsTheTextAtTheColumn)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> lines;
        int column;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"one line", {"**", "  1. Права"}, 6, {"**", "  1.  Права"}},
        {"a wrapped first line ends at the page edge, later lines start at the column",
         {"*", "1. аа бб вв"},
         60,
         {"*", "1." + Blanks(58) + "аа  бб", Blanks(60) + "вв"}},
        {"a first line narrower than the width still ends at the page edge",
         {"*", "1. абв абвгдеж"},
         60,
         {"*", "1." + Blanks(61) + "абв", Blanks(60) + "абвгдеж"}},
        {"a full stop right after the number keeps its single blank, digits or not",
         {"*", "1. 5. аа бб вв"},
         56,
         {"*", "1." + Blanks(54) + "5. аа   бб", Blanks(56) + "вв"}},
        {"a number alone stays as it is", {"*", "  12."}, 5, {"*", "  12."}},
        {"an entry without text is left alone", {"*"}, 5, {"*"}},
    };
    for (const Case& c : cases)
    {
        TocItem item = Item(5, 0, c.lines);
        AlignEntry(item, c.column);
        EXPECT_EQ(item.lines, CpLines(c.expected)) << c.name;
    }
}

TEST(EntryLayout, LayoutEntriesAlignsGroupsOfOneLevelAndKind)
{
    struct Case
    {
        const char* name;
        std::vector<TocItem> items;
        std::vector<std::vector<std::string>> expected;
    };
    const Case cases[] = {
        {"titles start after the longest number",
         {Item(5, 1, {"1. Права"}), Item(5, 1, {"10. Обязанности"})},
         {{"**", "  1.  Права"}, {"**", "  10. Обязанности"}}},
        {"an appendix ends the group and is not aligned itself",
         {Item(5, 1, {"1. Аа"}), Item(5, 1, {"2. Бб"}), Item(1, 0, {"ПРИЛОЖЕНИЕ 1. Форма"}),
          Item(5, 1, {"10. Вв"})},
         {{"**", "  1. Аа"}, {"**", "  2. Бб"}, {"*", "Приложение 1. Форма"}, {"**", "  10. Вв"}}},
        {"numbered kind-1 entries are never aligned",
         {Item(1, 0, {"1. Общие"}), Item(1, 0, {"10. Права"})},
         {{"*", "1. Общие"}, {"*", "10. Права"}}},
        {"other levels and other kinds form groups of their own",
         {Item(5, 1, {"1. Аа"}), Item(5, 2, {"10. Бб"}), Item(6, 1, {"1.10. Вв"}), Item(5, 1, {"2. Гг"})},
         {{"**", "  1. Аа"}, {"***", "    10. Бб"}, {"**", "  1.10. Вв"}, {"**", "  2. Гг"}}},
        {"articles align after their numbers; the heading word is lowered",
         {Item(10, 2, {"Статья 5. Права"}), Item(10, 2, {"Статья 12. Обязанности"}),
          Item(10, 2, {"СТАТЬЯ 7. ПРАВО"})},
         {{"***", "    Статья 5.  Права"},
          {"***", "    Статья 12. Обязанности"},
          {"***", "    Статья 7.  ПРАВО"}}},
        {"a group without any full stop keeps its layout",
         {Item(4, 1, {"Глава 1 Общие"}), Item(4, 1, {"Глава 2 Права"}),
          Item(2, 1,
               {"РАЗДЕЛ ПЕРВЫЙ ОБЩИЕ ПОЛОЖЕНИЯ О ПОРЯДКЕ ПРИМЕНЕНИЯ НАСТОЯЩЕГО ЗАКОНА И ЕГО ДЕЙСТВИИ"})},
         {{"**", "  Глава 1 Общие"},
          {"**", "  Глава 2 Права"},
          {"**", "  РАЗДЕЛ  ПЕРВЫЙ  ОБЩИЕ  ПОЛОЖЕНИЯ О ПОРЯДКЕ ПРИМЕНЕНИЯ НАСТОЯЩЕГО",
           "    ЗАКОНА И ЕГО ДЕЙСТВИИ"}}},
    };
    for (const Case& c : cases)
    {
        const std::vector<TocItem> items = LaidOut(c.items);
        ASSERT_EQ(items.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < items.size(); ++i)
        {
            EXPECT_EQ(items[i].lines, CpLines(c.expected[i])) << c.name << ", item " << i;
            EXPECT_EQ(items[i].kind, c.items[i].kind) << c.name << ", item " << i;
            EXPECT_EQ(items[i].level, c.items[i].level) << c.name << ", item " << i;
        }
    }
    EXPECT_TRUE(LaidOut({}).empty());
}

TEST(EntryLayout, SortByLineKeepsTheOrderOfEqualLines)
{
    // Enough items that an unstable sort would show.
    CTocItemList list;
    for (int i = 0; i < 60; ++i)
        list.Append(TocItem{5, (i * 7) % 5, -1, {std::to_string(i)}});
    list.SortByLine();
    for (std::size_t i = 1; i < list.Items().size(); ++i)
    {
        const TocItem& before = list.Items()[i - 1];
        const TocItem& after = list.Items()[i];
        ASSERT_LE(before.line, after.line);
        if (before.line == after.line)
        {
            EXPECT_LT(std::stoi(before.lines.front()), std::stoi(after.lines.front())) << i;
        }
    }
}

TEST(EntryLayout, JustifyLineWidensGapsInTurn)
{
    struct Case
    {
        const char* text;
        int width;
        const char* expected;
    };
    const Case cases[] = {
        {"a b c", 8, "a   b  c"}, {"a b c d", 10, "a  b  c  d"},
        {"  a  b", 5, "a   b"},   {"a b", 2, "a b"},
        {"abc", 10, "abc"},       {"", 10, ""},
        {"a b ", 6, "a  b  "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JustifyLine(c.text, c.width), c.expected) << '"' << c.text << "\" " << c.width;
}

TEST(EntryLayout, NumberEndAndNumberWord)
{
    struct Case
    {
        const char* text;
        std::size_t numberEnd;
        bool hasNumberWord;
    };
    const Case cases[] = {
        {"  1.2. Текст", 6, true},   {"Текст", 0, false},
        {"  1.", 4, false},          {"", 0, false},
        {"Глава 1. Общие", 8, true}, {"Раздел IV. Текст", 10, true},
        {"Глава 2 Права", 0, false}, {"ЧАСТЬ ПЕРВАЯ", 0, false},
        {"т.е. текст", 4, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(NumberEnd(Cp(c.text)), c.numberEnd) << c.text;
        EXPECT_EQ(HasNumberWord(Cp(c.text)), c.hasNumberWord) << c.text;
    }
}

TEST(EntryLayout, IsAlignableEntry)
{
    struct Case
    {
        std::vector<std::string> lines;
        bool expected;
    };
    const Case cases[] = {
        {{"**", "  1. Права"}, true},
        {{"**", "  Глава 1 Общие"}, true},
        {{"**", "  Статья 5. Права"}, true},
        {{"**", "  Статья 5 Права"}, false},
        {{"*", "ПРИЛОЖЕНИЕ 1. Форма"}, false},
        {{"*", "Общие положения"}, false},
        {{"*"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAlignableEntry(Item(5, 0, c.lines)), c.expected) << c.lines.back();
}

TEST(EntryLayout, LowerHeadingWordBeforeTheNumber)
{
    struct Case
    {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {"  ГЛАВА 2. ПРАВА", "  Глава 2. ПРАВА"},     {"  СТАТЬЯ 5. Права", "  Статья 5. Права"},
        {"  ГЛАВА XII. Текст", "  Глава XII. Текст"}, {"ПРИЛОЖЕНИЕ 1. Форма", "Приложение 1. Форма"},
        {"  ГЛАВА.А 2. Текст", "  Глава.А 2. Текст"}, {"  IV. ПОРЯДОК", "  IV. ПОРЯДОК"},
        {"  TAXES 1. Text", "  TAXES 1. Text"},       {"  12. Текст", "  12. Текст"},
        {"  ЧАСТЬ ПЕРВАЯ", "  ЧАСТЬ ПЕРВАЯ"},         {"  . ТЕКСТ", "  . ТЕКСТ"},
    };
    for (const Case& c : cases)
    {
        TocItem item = Item(4, 1, {"**", c.line, "  ГЛАВА"});
        LowerHeadingWord(item);
        EXPECT_EQ(item.lines, CpLines({"**", c.expected, "  ГЛАВА"})) << c.line;
    }
    TocItem levelOnly = Item(4, 0, {"*"});
    LowerHeadingWord(levelOnly);
    EXPECT_EQ(levelOnly.lines, CpLines({"*"}));
}

} // namespace
