#include "core/toc/HeadingTests.h"
#include "core/base/TextRules.h"

#include "core/document/Markers.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct LineCase
{
    const char* line;
    bool expected;
};

TEST(HeadingTests, BlankLineHoldsOnlyBlanks)
{
    const LineCase cases[] = {{"", true}, {"   ", true}, {" \t ", false}, {" a", false}};
    for (const LineCase& c : cases)
        EXPECT_EQ(IsBlankLine(Cp(c.line)), c.expected) << '"' << c.line << '"';
}

TEST(HeadingTests, NumberedLineNeedsDottedNumberBeforeABlank)
{
    const LineCase cases[] = {
        {"1. Общие", true}, {"1.2.3 Текст", true},  {"IV. Текст", true},
        {"2.1. ", true},    {"   3. Отступ", true}, {"1. ", true},
        {"1 Общие", false}, {"12)", false},         {"IV Текст", false},
        {"1.", false},      {"iv. текст", false},   {"1.а Текст", false},
        {"", false},        {"   ", false},         {"\t1.\tТекст", false},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(IsNumberedLine(Cp(c.line)), c.expected) << c.line;
}

TEST(HeadingTests, SectionHeadingIsNumberedOrOpensWithSectionWord)
{
    const LineCase cases[] = {
        {"iv. текст", true},        {"РАЗДЕЛ", true},    {"  Раздел 1", true}, {"глава 5. Права", true},
        {"Часть первая", true},     {"§ 3 Сроки", true}, {"РАЗДЕЛЫ", false},   {"Главная часть", false},
        {"Общие положения", false}, {"", false},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(IsSectionHeading(Cp(c.line)), c.expected) << c.line;
}

TEST(HeadingTests, ArticleHeading)
{
    const LineCase cases[] = {
        {"Статья 5", true},
        {"Статья 5.", true},
        {"Статья 12а.", true},
        {"   Статья 12а. Права", true},
        {"Статья 15. Права", true},
        {"Статья ", true},
        {"Статья    ", true},
        // A single token after the word is accepted whatever it holds.
        {"Статья 5-1.", true},
        {"Статья", false},
        {"СТАТЬЯ 15. Права", false},
        {"Статья 5 Название", false},
        {"Статья 5-1. Название", false},
        {"Статья . Название", false},
        {"Статьями 5. Права", false},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(IsArticleHeading(Cp(c.line)), c.expected) << c.line;
}

TEST(HeadingTests, ActDocumentIsNamedInTheFirstFortyLines)
{
    struct Case
    {
        std::size_t index;
        const char* line;
        bool expected;
    };
    const Case cases[] = {
        {29, "ФЕДЕРАЛЬНЫЙ ЗАКОН", true},
        {39, "ФЕДЕРАЛЬНЫЙ ЗАКОН", true},
        {40, "ФЕДЕРАЛЬНЫЙ ЗАКОН", false},
        {0, "  УКАЗ  ", true},
        {0, "ДОГОВОР N 5", true},
        {0, "О ЗАКОНАХ", true}, // a blank followed by the word, whatever comes after it
        {0, "ЗАКОНОДАТЕЛЬСТВО", false},
        {0, "Федеральный закон", false},
        {0, "УКАЗАНИЕ", false},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> lines(41, Cp("Текст документа"));
        lines[c.index] = Cp(c.line);
        EXPECT_EQ(IsActDocument(lines), c.expected) << c.index << ' ' << c.line;
    }
    EXPECT_FALSE(IsActDocument({}));
    EXPECT_TRUE(IsActDocument(CpLines({"", "РЕГЛАМЕНТ"})));
}

TEST(HeadingTests, StandardKindOf)
{
    struct Case
    {
        const char* line;
        int kind;
    };
    const Case cases[] = {
        {"Глава 2. Права", 4},
        {"  РАЗДЕЛ II", 2},
        {"Статья 5. Права", 10},
        {"ПРИЛОЖЕНИЕ N 1", 1},
        {"Таблица 3", 1},
        {"Общая часть", 2},
        {"ОСОБЕННАЯ ЧАСТЬ", 2},
        {"ОБЩАЯ ЧАСТЬ ПЕРВАЯ", 1},
        {"IV. ПОРЯДОК", 3},
        {"iv. текст", 3},
        {"1. Общие положения", 5},
        {"1.1. Понятия", 6},
        {"2.1.1. Текст", 7},
        {"1.1.1.1.1.1. Текст", 9},
        {"X.1. Текст", 6},
        {"ЧАСТЬ ПЕРВАЯ", 1},
        {"Раздел", 1}, // the section words count only with their blank
        {"ПРИЛОЖЕНИЯ", 1},
        {"  Приложения", 9},
        {"   продолжение текста", 9},
        {"\tТекст", 9},
        {"1 Общие", 1},
        {"", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StandardKindOf(Cp(c.line)), c.kind) << c.line;
}

TEST(HeadingTests, StandardKindOfBlockSkipsLeadingMarkerLinesOnly)
{
    const std::string centred = MarkerLine(Marker::Cnt);
    EXPECT_EQ(StandardKindOfBlock({centred}), 9);
    EXPECT_EQ(StandardKindOfBlock({}), 9);
    EXPECT_EQ(StandardKindOfBlock({centred, MarkerLine(Marker::Zag), Cp("Глава 1. Текст")}), 4);
    EXPECT_EQ(StandardKindOfBlock({centred, "", Cp("Глава 1. Текст")}), 1);
}

TEST(HeadingTests, FirstContentLineSkipsBlankAndMarkerLines)
{
    const std::string title = MarkerLine(Marker::Zag);
    EXPECT_EQ(FirstContentLine({title, "   ", Cp("Текст"), Cp("Ещё")}), Cp("Текст"));
    EXPECT_EQ(FirstContentLine({title, "", "\t"}), "\t");
    EXPECT_EQ(FirstContentLine({title, " "}), "");
    EXPECT_EQ(FirstContentLine({}), "");
}

TEST(HeadingTests, NormalisingSpaces)
{
    struct Case
    {
        const char* text;
        const char* spaces;
        const char* compare;
    };
    const Case cases[] = {
        {"  Общие   положения  ", "Общие положения", "ОБЩИЕ ПОЛОЖЕНИЯ"},
        {"\tа  б\t", "а б", "\tА Б\t"},
        {"а\t\tб", "а\t\tб", "А\t\tБ"},
        {" а  б   в    г ", "а б в г", "А Б В Г"},
        {"   ", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(NormaliseSpaces(Cp(c.text)), Cp(c.spaces)) << c.text;
        EXPECT_EQ(NormaliseForCompare(Cp(c.text)), Cp(c.compare)) << c.text;
    }
}

TEST(HeadingTests, JoinLinesPutsLineBreaksBetween)
{
    EXPECT_EQ(JoinLines({}), "");
    EXPECT_EQ(JoinLines({"a"}), "a");
    EXPECT_EQ(JoinLines({"", "a", "", "b"}), "\na\n\nb");
}

TEST(HeadingTests, SplitWordsWithPositions)
{
    struct Case
    {
        const char* line;
        std::vector<Word> words;
    };
    const Case cases[] = {
        {"", {{"", 0, 0}}},
        {"abc", {{"abc", 0, 3}}},
        {"a\tb", {{"a\tb", 0, 3}}},
        {"a b", {{"a", 0, 1}, {"b", 2, 3}}},
        {"  a  bc ", {{"a", 2, 3}, {"bc", 5, 7}, {"", 8, 8}}},
        {"   ", {{"", 3, 3}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitWords(c.line), c.words) << '"' << c.line << '"';
}

} // namespace
