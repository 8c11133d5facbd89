#include "core/base/TextRules.h"
#include "core/base/CodePage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(TextRules, CasingOfCodePage1251)
{
    struct Case
    {
        std::string lower;
        std::string upper;
    };
    const Case cases[] = {
        {"статья ёжик", "СТАТЬЯ ЁЖИК"},
        {"abc xyz", "ABC XYZ"},
        {"їєў", "ЇЄЎ"},
        {"1. § 2", "1. § 2"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ToUpper(Utf8ToCp1251(c.lower)), Utf8ToCp1251(c.upper)) << c.lower;
        EXPECT_EQ(ToLower(Utf8ToCp1251(c.upper)), Utf8ToCp1251(c.lower)) << c.upper;
    }
}

TEST(TextRules, StandInBytesAreNeverLettersAndKeepTheirCase)
{
    for (int b = 0; b < 256; ++b)
    {
        const auto byte = static_cast<unsigned char>(b);
        const char c = static_cast<char>(b);
        if (IsStandInByte(byte))
        {
            EXPECT_FALSE(IsLetter(byte)) << b;
            EXPECT_EQ(ToUpperChar(c), c) << b;
            EXPECT_EQ(ToLowerChar(c), c) << b;
            EXPECT_FALSE(IsWhiteSpace(byte)) << b;
        }
        // Casing never turns an ordinary byte into a stand-in.
        EXPECT_EQ(IsStandInByte(static_cast<unsigned char>(ToUpperChar(c))), IsStandInByte(byte)) << b;
        EXPECT_EQ(IsStandInByte(static_cast<unsigned char>(ToLowerChar(c))), IsStandInByte(byte)) << b;
        EXPECT_EQ(IsLetter(byte), IsUpperLetter(byte) != IsLowerLetter(byte)) << b;
    }
    EXPECT_FALSE(IsLetter(0x1B)); // box code
    EXPECT_TRUE(IsLetter(0xA8));  // Ё
}

// Long texts change case sixteen bytes at a time where every byte allows it: each byte, at each place
// of a block of the limits of those ranges, comes out as it does alone.
TEST(TextRules, LongTextsChangeCaseAsEachByteAlone)
{
    const std::string limits("\x00\x7F\x40\x41\x5A\x5B\x60\x61\x7A\x7B\xC0\xDF\xE0\xFF\x20\xC5", 16);
    const std::string text = EveryByteAtEveryPlace(limits);
    for (const std::size_t from : {std::size_t{0}, std::size_t{3}})
    {
        const std::string part = text.substr(from);
        std::string upper, lower;
        for (const char c : part)
        {
            upper += ToUpperChar(c);
            lower += ToLowerChar(c);
        }
        EXPECT_EQ(ToUpper(part), upper) << from;
        EXPECT_EQ(ToLower(part), lower) << from;
    }
}

TEST(TextRules, WhiteSpaceAndTrimming)
{
    EXPECT_EQ(Trim(" \t\v\f\r\nx y\r\n "), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x \t"), "  x");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0"); // a no-break space is not white space
    EXPECT_EQ(Trim("   "), "");
}

TEST(TextRules, BlankRunsCollapseToOneBlank)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},         {" ", " "},           {"   ", " "},         {"a  b", "a b"},
        {"  a", " a"},    {"a   ", "a "},       {"a b  c   d", "a b c d"},
        {"a\t\tb", "a\t\tb"}, // blanks only, not tabs
    };
    for (const auto& [text, collapsed] : cases)
        EXPECT_EQ(CollapseBlankRuns(text), collapsed) << '"' << text << '"';
}

TEST(TextRules, PositionTests)
{
    struct Case
    {
        std::string line;
        std::string s;
        std::size_t pos;
        bool containsAt;
    };
    const Case cases[] = {
        {"abcabc", "abc", 0, true}, {"abcabc", "abc", 3, false}, // only the first occurrence counts
        {"xxabc", "abc", 2, true},  {"ab", "abc", 0, false},     {"", "", 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContainsAt(c.line, c.s, c.pos), c.containsAt) << c.line << " / " << c.s << " @" << c.pos;
    EXPECT_TRUE(BeginsWith("Статья", "Ст"));
    EXPECT_FALSE(BeginsWith("С", "Ст"));
    EXPECT_TRUE(BeginsWith("x", ""));
}
