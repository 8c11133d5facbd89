#include "core/base/CArchive.h"
#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(UpperCaseWordsRec, StemAndFlagFollowTheWordLength)
{
    struct Case
    {
        const char* word;
        const char* stem;
        int allCaps;
    };
    const Case cases[] = {
        {"Федерация", "ФЕДЕРАЦ", 0}, {"Россия", "РОСС", 0}, {"РСФСР", "РСФ", 1},
        {"РОВД", "РОВ", 1},          {"N", "N", 1},         {"Овд", "ОВД", 0},
    };
    for (const Case& c : cases)
    {
        const CUpperCaseWordsRec rec(Cp(c.word));
        EXPECT_EQ(Cp1251ToUtf8(rec.Stem()), c.stem) << c.word;
        EXPECT_EQ(rec.AllCaps(), c.allCaps) << c.word;
    }
}

TEST(UpperCaseWordsRec, MatchesByStemAndLengthWithinTwo)
{
    struct Case
    {
        const char* entry;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"Федерация", "ФЕДЕРАЦИИ", true},
        {"Федерация", "Федерацией", true},
        {"Федеральный", "ФЕДЕРАЛЬНОГО", true},
        {"Федеральный", "ФЕДЕРАЛЬНЫМИ", true},
        {"N", "N", true},
        {"N", "N1", true},
        {"N", "N12", true},
        {"N", "n5", true},
        {"N", "N123", false},
        {"N", "N1234", false},
        {"РСФСР", "(РСФСР)", false},
        {"РОВД", "РОВДЫ", true},
        {"Федерация", "ФЕДЕРАЛЬНЫЙ", false},
        {"Россия", "РОССИЙСКОЙ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CUpperCaseWordsRec(Cp(c.entry)).Matches(Cp(c.text)), c.matches)
            << c.entry << " / " << c.text;
}

TEST(UpperCaseWordsDict, FindWordSearchesBuiltinWordsFirst)
{
    RecordingReporter reporter;
    CUpperCaseWordsDict dict;
    ASSERT_EQ(dict.BuiltinWords().size(), 15u);
    EXPECT_EQ(Cp1251ToUtf8(dict.BuiltinWords().front().Word()), "N");
    EXPECT_EQ(Cp1251ToUtf8(dict.BuiltinWords().back().Word()), "УВД");

    ASSERT_TRUE(dict.AddWord(Cp("РОССИЯ"), reporter));
    ASSERT_TRUE(dict.AddWord(Cp("ОВД"), reporter));

    const auto russia = dict.FindWord(Cp("РОССИИ"));
    ASSERT_TRUE(russia);
    EXPECT_EQ(Cp1251ToUtf8(russia->Word()), "Россия");
    EXPECT_EQ(russia->AllCaps(), 0);

    const auto ovd = dict.FindWord(Cp("овд"));
    ASSERT_TRUE(ovd);
    EXPECT_EQ(ovd->AllCaps(), 1);

    EXPECT_FALSE(dict.FindWord(Cp("ГРАЖДАН")));
}

TEST(UpperCaseWordsDict, AddWordTrimsAndRefusesEmptyAndRepeatedWords)
{
    struct Case
    {
        const char* typed;
        bool added;
        const char* message; // empty when none
    };
    // One dictionary through the whole table: each row sees the words the rows above added.
    const Case cases[] = {
        {"  МВД  ", true, ""},
        {"МВД", false, "Слово \"МВД\" уже находится в словаре!"},
        {"\tМВД\n", false, "Слово \"МВД\" уже находится в словаре!"},
        {"   ", false, "Введите слово!"},
        {"", false, "Введите слово!"},
        {"Россия", true, ""}, // a built-in word may also be a user word
        {"россия", true, ""}, // other bytes, another word
    };
    CUpperCaseWordsDict dict;
    std::size_t expectedSize = 0;
    for (const Case& c : cases)
    {
        RecordingReporter reporter;
        EXPECT_EQ(dict.AddWord(Cp(c.typed), reporter), c.added) << c.typed;
        if (c.added)
        {
            ++expectedSize;
            EXPECT_TRUE(reporter.messages.empty());
        }
        else
        {
            ASSERT_EQ(reporter.messages.size(), 1u) << c.typed;
            EXPECT_EQ(reporter.messages[0], (ReportedMessage{c.message, MessageIcon::Error}));
        }
        EXPECT_EQ(dict.UserWords().size(), expectedSize) << c.typed;
    }
    EXPECT_EQ(Cp1251ToUtf8(dict.UserWords()[0].Word()), "МВД");
    EXPECT_EQ(dict.BuiltinWords().size(), 15u);
}

TEST(UpperCaseWordsDict, SortUserWordsUsesUnsignedByteOrder)
{
    RecordingReporter reporter;
    CUpperCaseWordsDict dict;
    for (const char* word : {"овд", "Z", "ОВД", "Ёж", "z"})
        ASSERT_TRUE(dict.AddWord(Cp(word), reporter));
    dict.SortUserWords();
    std::vector<std::string> words;
    for (const CUpperCaseWordsRec& rec : dict.UserWords())
        words.push_back(Cp1251ToUtf8(rec.Word()));
    EXPECT_EQ(words, (std::vector<std::string>{"Z", "z", "Ёж", "ОВД", "овд"}));
}

TEST(UpperCaseWordsDict, LoadingTakesStemAndFlagAsStoredAndReplacesUserWords)
{
    CArchive out;
    out.WriteInt32(2);
    out.WriteString(Cp("Минфин"));
    out.WriteString(Cp("МИ")); // not what the word would give: must be kept
    out.WriteInt32(1);
    out.WriteString(Cp("ОВД"));
    out.WriteString(Cp("ОВД"));
    out.WriteInt32(1);

    RecordingReporter reporter;
    CUpperCaseWordsDict dict;
    ASSERT_TRUE(dict.AddWord(Cp("Старое"), reporter));
    CArchive in(out.Bytes());
    dict.Serialize(in);
    ASSERT_EQ(dict.UserWords().size(), 2u);
    EXPECT_EQ(Cp1251ToUtf8(dict.UserWords()[0].Stem()), "МИ");
    EXPECT_EQ(dict.UserWords()[0].AllCaps(), 1);
    EXPECT_EQ(in.Remaining(), 0u);

    CArchive again;
    dict.Serialize(again);
    EXPECT_EQ(again.Bytes(), out.Bytes());
}

TEST(UpperCaseWordsDict, LoadingCutShortKeepsTheEntriesReadSoFar)
{
    CArchive out;
    out.WriteInt32(3);
    CUpperCaseWordsRec(Cp("ОВД")).Serialize(out);
    CUpperCaseWordsRec(Cp("Минфин")).Serialize(out);
    const std::string bytes = out.Bytes().substr(0, out.Bytes().size() - 2);

    CUpperCaseWordsDict dict;
    CArchive in(bytes);
    EXPECT_THROW(dict.Serialize(in), CArchiveException);
    ASSERT_EQ(dict.UserWords().size(), 1u);
    EXPECT_EQ(Cp1251ToUtf8(dict.UserWords()[0].Word()), "ОВД");
}

TEST(UpperCaseWordsDict, NegativeCountReadsAsNoEntries)
{
    CArchive out;
    out.WriteInt32(-5);
    CUpperCaseWordsDict dict;
    RecordingReporter reporter;
    ASSERT_TRUE(dict.AddWord(Cp("ОВД"), reporter));
    CArchive in(out.Bytes());
    dict.Serialize(in);
    EXPECT_TRUE(dict.UserWords().empty());
}

} // namespace
