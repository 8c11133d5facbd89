#include "core/base/CodePage.h"

#include "core/base/ByteBlocks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>

namespace
{

// The character the system's iconv gives for one byte of a code page, or nothing when it has none.
std::optional<char32_t> IconvChar(const char* codePage, unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-32LE", codePage);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[8] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || outLeft != 4)
        return std::nullopt;
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

std::string Byte(int b)
{
    return std::string(1, static_cast<char>(b));
}

} // namespace

TEST(CodePage, EveryCharacterBothCodePagesHoldMapsAsIconvDoes)
{
    ASSERT_TRUE(IconvChar("CP866", 0x80).has_value()) << "iconv lacks CP866";
    ASSERT_TRUE(IconvChar("CP1251", 0xC0).has_value()) << "iconv lacks CP1251";
    int shared = 0;
    for (int b866 = 0; b866 < 256; ++b866)
    {
        const auto ch = IconvChar("CP866", static_cast<unsigned char>(b866));
        ASSERT_TRUE(ch.has_value()) << b866;
        for (int b1251 = 0; b1251 < 256; ++b1251)
        {
            if (IconvChar("CP1251", static_cast<unsigned char>(b1251)) != ch)
                continue;
            ++shared;
            EXPECT_EQ(Cp866ToCp1251(Byte(b866)), Byte(b1251)) << "866 byte " << b866;
            EXPECT_EQ(Cp1251ToCp866(Byte(b1251)), Byte(b866)) << "1251 byte " << b1251;
        }
    }
    EXPECT_EQ(shared, 256 - 51); // all but the 48 box and block characters, ∙, √ and ■
}

TEST(CodePage, TheConversionIsLosslessBothWays)
{
    std::set<unsigned char> images;
    for (int b = 0; b < 256; ++b)
    {
        std::string line = Byte(b);
        BoxCharsToCodes(line);
        const std::string memory = Cp866ToCp1251(line);
        images.insert(static_cast<unsigned char>(memory[0]));
        std::string back = Cp1251ToCp866(memory);
        CodesToBoxChars(back);
        const bool boxCode = b >= 0x10 && b <= 0x1C && b != 0x14 && b != 0x15;
        if (!boxCode)
        {
            EXPECT_EQ(back, Byte(b)) << "866 byte " << b;
        }
    }
    // The control codes 0x10-0x1C take the eleven box characters' place, so 245 distinct bytes.
    EXPECT_EQ(images.size(), 245u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsStorableByte(static_cast<unsigned char>(b)),
                  images.count(static_cast<unsigned char>(b)) == 1)
            << b;
}

TEST(CodePage, StandInsAreTheFortyCharactersCodePage1251Lacks)
{
    int standIns = 0;
    for (int b = 0; b < 256; ++b)
    {
        if (!IsStandInByte(static_cast<unsigned char>(b)))
            continue;
        ++standIns;
        EXPECT_FALSE(IconvChar("CP866", static_cast<unsigned char>(Cp1251ToCp866(Byte(b))[0])) ==
                     IconvChar("CP1251", static_cast<unsigned char>(b)))
            << b;
    }
    EXPECT_EQ(standIns, 40);
    EXPECT_FALSE(IsStandInByte(0xA7)); // § keeps its meaning
    EXPECT_TRUE(IsStandInByte(0x98));
}

TEST(CodePage, BoxMapping)
{
    struct Case
    {
        std::string file;
        std::string memory;
    };
    const Case cases[] = {
        {"\xDA\xC4\xC2\xBF", "\x1B\x16\x18\x1A"}, // ┌─┬┐
        {"\xB3\xC3\xC5\xB4", "\x12\x10\x13\x11"}, // │├┼┤
        {"\xC0\xC1\xD9", "\x1C\x19\x17"},         // └┴┘
        {"\x04\x04\x8E\x83\x8B", "\x04\x04\xCE\xC3\xCB"},
        {"\x14\x15", "\x14\x15"},
    };
    for (const Case& c : cases)
    {
        std::string line = c.file;
        BoxCharsToCodes(line);
        EXPECT_EQ(Cp866ToCp1251(line), c.memory);
        std::string back = Cp1251ToCp866(c.memory);
        CodesToBoxChars(back);
        EXPECT_EQ(back, c.file);
    }
    // A file byte 0x10 is read as the code of ├ and written back as ├.
    std::string line = "\x10";
    BoxCharsToCodes(line);
    std::string back = Cp1251ToCp866(Cp866ToCp1251(line));
    CodesToBoxChars(back);
    EXPECT_EQ(back, "\xC3");
}

TEST(CodePage, OnePassConversionsEqualTheirTwoSteps)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);

    std::string twoSteps = all;
    BoxCharsToCodes(twoSteps);
    twoSteps = Cp866ToCp1251(twoSteps);
    std::string onePass = all;
    FileLineToMemory(onePass);
    EXPECT_EQ(onePass, twoSteps);
    // A whole file is converted before it is cut into lines: no byte may become a line end.
    for (int b = 0; b < 256; ++b)
    {
        const bool lineEnd = onePass[b] == '\r' || onePass[b] == '\n';
        EXPECT_EQ(lineEnd, b == '\r' || b == '\n') << b;
    }
    EXPECT_EQ(onePass['\r'], '\r');
    EXPECT_EQ(onePass['\n'], '\n');

    std::string back = Cp1251ToCp866(all);
    CodesToBoxChars(back);
    std::string onePassBack = all;
    MemoryLineToFile(onePassBack);
    EXPECT_EQ(onePassBack, back);
}

// Long texts are converted sixteen bytes at a time, by arithmetic where every byte of the sixteen
// allows it: each byte, at each place of such a block of the range limits, converts as it does alone.
TEST(CodePage, LongTextsConvertAsEachByteAlone)
{
    const auto alone = [](char c, bool toMemory)
    {
        std::string one(1, c);
        if (toMemory)
            FileLineToMemory(one);
        else
            MemoryLineToFile(one);
        return one[0];
    };
    const std::string limits866("\x00\x7F\x80\xAF\xE0\xEF \x41\x8F\x90\x9F\xA0\r\n1\xE5", 16);
    const std::string limits1251("\x00\x0F\x1D\x7F\xC0\xEF\xF0\xFF \x41\xCF\xD0\r\n1\xE5", 16);
    for (const bool toMemory : {true, false})
    {
        const std::string& limits = toMemory ? limits866 : limits1251;
        const std::string text = EveryByteAtEveryPlace(limits);
        std::string expected;
        for (const char c : text)
            expected += alone(c, toMemory);
        // Starting off a block's border too, with a tail shorter than a block.
        for (const std::size_t from : {std::size_t{0}, std::size_t{5}})
        {
            std::string converted = text.substr(from);
            if (toMemory)
                FileLineToMemory(converted);
            else
                MemoryLineToFile(converted);
            EXPECT_EQ(converted, expected.substr(from)) << toMemory << " " << from;
        }
    }
}

TEST(CodePage, BytesAFileCannotHold)
{
    EXPECT_EQ(Cp1251ToCp866("\xA7"), "\x15"); // the DOS section sign
    EXPECT_EQ(Cp1251ToCp866("\xA5\xAD\xB5"), "???");
}

TEST(CodePage, DisplayTable)
{
    struct Case
    {
        unsigned char byte;
        char32_t shown;
    };
    const Case cases[] = {
        {0x1B, U'┌'}, {0x16, U'─'}, {0x10, U'├'}, {0x04, U'♦'}, {0x01, U'☺'}, {0x14, U'¶'},
        {0x15, U'§'}, {0xA7, U'§'}, {0x7F, U'⌂'}, {0x98, U'░'}, {0xC0, U'А'}, {0xFF, U'я'},
        {0xA8, U'Ё'}, {0xB9, U'№'}, {'A', U'A'},  {0xA5, U'?'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayCharOf(c.byte), c.shown) << int(c.byte);

    std::set<char32_t> shown;
    for (int b = 0; b < 256; ++b)
    {
        if (!IsStorableByte(static_cast<unsigned char>(b)))
            continue;
        const char32_t ch = DisplayCharOf(static_cast<unsigned char>(b));
        EXPECT_TRUE(shown.insert(ch).second) << "two bytes show " << int(ch);
        if (ch >= 0x20 && ch != 0x7F)
        {
            EXPECT_EQ(ByteOfDisplayChar(ch), b);
        }
    }
    EXPECT_EQ(ByteOfDisplayChar(U'\t'), '\t');
    EXPECT_EQ(ByteOfDisplayChar(U'«'), -1);
}

TEST(CodePage, Utf8Conversions)
{
    struct Case
    {
        std::string utf8;
        std::string memory;
    };
    const Case cases[] = {
        {"Статья 1.", "\xD1\xF2\xE0\xF2\xFC\xFF 1."},
        {"ЁёЯя№", "\xA8\xB8\xDF\xFF\xB9"},
        {"╔═╗", "\x99\xAB\x91"},
        {"┌─┐", "\x1B\x16\x1A"},
        {"a\tb\nc", "a\tb\nc"},
        {"«x»", "?x?"},
        {"\xFF\xC3", "??"}, // malformed UTF-8
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToCp1251(c.utf8), c.memory) << c.utf8;

    std::string everyStorable;
    for (int b = 0; b < 256; ++b)
        if (IsStorableByte(static_cast<unsigned char>(b)))
            everyStorable += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(everyStorable)), everyStorable);
}

// Line ends are counted a block at a time, the counts of each place in the block added up every 255
// blocks: long runs, a tail shorter than a block and every byte value all count exactly.
TEST(ByteBlocks, CountByteCountsEveryOccurrence)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += static_cast<char>(i % 7 == 0 ? '\n' : i % 256);
    for (const std::size_t size : {std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{4081}, text.size()})
    {
        const std::string_view part = std::string_view(text).substr(0, size);
        EXPECT_EQ(byteblocks::CountByte(part, '\n'), static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n')))
            << size;
    }
    EXPECT_EQ(byteblocks::CountByte(std::string(5000, '\xFF'), 0xFF), 5000u);
}
