#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/toc/CHeadingCaseConverter.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct EntryCase
{
    std::vector<std::string> in;
    std::vector<std::string> out;
};

// The built-in words plus a user word typed in capitals («ОВД») and one typed in mixed case.
CUpperCaseWordsDict TestDictionary()
{
    CUpperCaseWordsDict dict;
    SilentReporter reporter;
    dict.AddWord(Utf8ToCp1251("ОВД"), reporter);
    dict.AddWord(Utf8ToCp1251("Минфин"), reporter);
    return dict;
}

TEST(HeadingCaseConverter, ToSentenceCase)
{
    const EntryCase cases[] = {
        // The heading line keeps its number, its text becomes sentence case, dictionary words keep
        // their capitals, the continuation is lower-cased.
        {{"**", "СТАТЬЯ 5. ПРАВА ГРАЖДАН РОССИЙСКОЙ ФЕДЕРАЦИИ", "ГЛАВЫ АДМИНИСТРАЦИИ РФ"},
         {"**", "СТАТЬЯ 5. Права граждан Российской Федерации", "главы администрации РФ"}},
        {{"*", "ГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ", "ФЕДЕРАЛЬНОГО ЗАКОНА"},
         {"*", "ГЛАВА 1. Общие положения", "Федерального закона"}},
        {{"*", "  1.2. ПОРЯДОК"}, {"*", "  1.2. Порядок"}},
        // No "." after the word: an ordinary line; «N» is re-cased by the dictionary.
        {{"*", "ПРИЛОЖЕНИЕ N 1"}, {"*", "Приложение N 1"}},
        // Never a numbered heading; the word after a long word ending in "." is capitalised.
        {{"*", "ПРИЛОЖЕНИЕ. ТАБЛИЦА"}, {"*", "Приложение. Таблица"}},
        // "Приложение" as written counts like a number: kept up to the first ".", rest re-cased.
        {{"*", "Приложение N 2. К ПРИКАЗУ МИНФИНА"}, {"*", "Приложение N 2. К приказу Минфина"}},
        // An article heading without a "." stays as written, apart from dictionary words.
        {{"*", "  Статья 7 ЗАКОНА РСФСР"}, {"*", "  Статья 7 ЗАКОНА РСФСР"}},
        {{"*", "  ОБЩИЕ ПОЛОЖЕНИЯ ОВД"}, {"*", "  Общие положения ОВД"}},
        // Continuation lines: «N 12» stays, «N1234» is too long for "N", «ст.» is too short to
        // capitalise the next word, «положения.» is long enough.
        {{"*", "РАЗДЕЛ I. ОБЩЕЕ", "В РЕД. N 12 И N1234 СТ. 5", "ПОЛОЖЕНИЯ. ИНЫЕ"},
         {"*", "РАЗДЕЛ I. Общее", "в ред. N 12 и n1234 ст. 5", "положения. Иные"}},
        // Quoted words: a two-character one keeps its second character up, a longer one is capitalised.
        {{"*", "1. О \"ВЫМПЕЛ\" И \"А\"", "\"ЗАРЯ\" \"Б\""},
         {"*", "1. О \"Вымпел\" и \"А\"", "\"Заря\" \"Б\""}},
        // The level line is changed only by the word pass.
        {{"рф ссср", "ТЕКСТ"}, {"РФ ссср", "Текст"}},
        // Fewer than two lines: nothing to convert.
        {{"ГЛАВА 1. ОБЩИЕ"}, {"ГЛАВА 1. ОБЩИЕ"}},
        {{}, {}},
    };
    const CUpperCaseWordsDict dict = TestDictionary();
    const CHeadingCaseConverter converter(&dict);
    for (const EntryCase& c : cases)
    {
        std::vector<std::string> lines = CpLines(c.in);
        converter.ToSentenceCase(lines);
        EXPECT_EQ(Utf8Lines(lines), c.out) << (c.in.size() > 1 ? c.in[1] : "");
    }
}

TEST(HeadingCaseConverter, ToCapitals)
{
    const EntryCase cases[] = {
        {{"**", "1. Общие положения", "о правах Граждан"}, {"**", "1. ОБЩИЕ ПОЛОЖЕНИЯ", "О ПРАВАХ ГРАЖДАН"}},
        {{"*", "Глава 2. права"}, {"*", "Глава 2. ПРАВА"}},
        {{"*", "Приложение N 1. к приказу"}, {"*", "Приложение N 1. К ПРИКАЗУ"}},
        {{"*", "Приложение к приказу"}, {"*", "ПРИЛОЖЕНИЕ К ПРИКАЗУ"}},
        {{"*", "Статья 7 закона", "текст"}, {"*", "Статья 7 закона", "ТЕКСТ"}},
        {{"*", "Статья 7. закона"}, {"*", "Статья 7. ЗАКОНА"}},
        {{"* уровень", "общие положения"}, {"* уровень", "ОБЩИЕ ПОЛОЖЕНИЯ"}},
        {{"общие"}, {"общие"}},
    };
    const CHeadingCaseConverter converter(nullptr);
    for (const EntryCase& c : cases)
    {
        std::vector<std::string> lines = CpLines(c.in);
        converter.ToCapitals(lines);
        EXPECT_EQ(Utf8Lines(lines), c.out) << (c.in.size() > 1 ? c.in[1] : "");
    }
}

TEST(HeadingCaseConverter, TextFormSplitsAtLineBreaks)
{
    struct Case
    {
        const char* in;
        const char* sentence;
        const char* capitals;
    };
    const Case cases[] = {
        {"*\nГЛАВА 1. ОБЩИЕ\nПОЛОЖЕНИЯ РФ", "*\nГЛАВА 1. Общие\nположения РФ",
         "*\nГЛАВА 1. ОБЩИЕ\nПОЛОЖЕНИЯ РФ"},
        {"*\nобщие положения\n", "*\nОбщие положения", "*\nОБЩИЕ ПОЛОЖЕНИЯ"},
        {"\nОБЩИЕ\n\nТЕКСТ", "\nОбщие\n\nтекст", "\nОБЩИЕ\n\nТЕКСТ"},
        {"*", "*", "*"},
        {"*\n", "*\n", "*\n"},
        {"", "", ""},
    };
    const CUpperCaseWordsDict dict;
    const CHeadingCaseConverter converter(&dict);
    for (const Case& c : cases)
    {
        EXPECT_EQ(Cp1251ToUtf8(converter.ToSentenceCase(Utf8ToCp1251(c.in))), c.sentence) << c.in;
        EXPECT_EQ(Cp1251ToUtf8(converter.ToCapitals(Utf8ToCp1251(c.in))), c.capitals) << c.in;
    }
}

TEST(HeadingCaseConverter, IsNumberedHeadingLine)
{
    struct Case
    {
        const char* line;
        bool expected;
    };
    const Case cases[] = {
        {"1. Общие", true},
        {"  iv. текст", true},
        {"2.1.3 Текст", true},
        {"1 Общие", false},
        {"Глава 2", true},
        {"раздел", true},
        {"§ 3. Права", true},
        {"Разделы", false},
        {"ТАБЛИЦА 1", true},
        {"таблица 2", true},
        {"таблицы", false},
        {"Статья 5. Права", true},
        {"Статья 5 права", false},
        {"СТАТЬЯ5.", false},
        {"ПРИЛОЖЕНИЕ. ТАБЛИЦА", false},
        {"Приложение. 1. Текст", false},
        {"ПРИЛОЖЕНИЕ N 1", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CHeadingCaseConverter::IsNumberedHeadingLine(Utf8ToCp1251(c.line)), c.expected) << c.line;
}

} // namespace
