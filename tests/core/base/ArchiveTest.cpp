#include "core/base/CArchive.h"
#include "core/base/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(Archive, IntegersAreLittleEndian)
{
    CArchive out;
    out.WriteInt32(0x01020304);
    out.WriteInt32(-2);
    EXPECT_EQ(out.Bytes(), Bytes({0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF}));

    CArchive in(out.Bytes());
    EXPECT_EQ(in.ReadInt32(), 0x01020304);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_THROW(in.ReadInt32(), CArchiveException);
}

TEST(Archive, StringLengthTakesTheShortestForm)
{
    struct Case
    {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {300, Bytes({0xFF, 0x2C, 0x01})},
        {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
        {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases)
    {
        const std::string text(c.length, '\xC0');
        CArchive out;
        out.WriteString(text);
        EXPECT_EQ(out.Bytes().substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(out.Bytes().size(), c.prefix.size() + c.length) << c.length;

        CArchive in(out.Bytes());
        EXPECT_EQ(in.ReadString(), text) << c.length;
        EXPECT_EQ(in.Remaining(), 0u) << c.length;
    }
}

TEST(Archive, WideStringsAreReadAsCodePage1251)
{
    struct Case
    {
        std::string stored;
        const char* text; // UTF-8
    };
    const Case cases[] = {
        // "Пр" with a one-byte unit count.
        {Bytes({0xFF, 0xFE, 0xFF, 0x02, 0x1F, 0x04, 0x40, 0x04}), "Пр"},
        // "Ab" with a 16-bit unit count.
        {Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 'A', 0x00, 'b', 0x00}), "Ab"},
        {Bytes({0xFF, 0xFE, 0xFF, 0x00}), ""},
    };
    for (const Case& c : cases)
    {
        CArchive in(c.stored + "tail");
        EXPECT_EQ(in.ReadString(), Utf8ToCp1251(c.text));
        EXPECT_EQ(in.Remaining(), 4u);
    }

    // A character 1251 lacks (here one outside the basic plane) still gives one byte, not garbage
    // or a crash.
    CArchive outside(Bytes({0xFF, 0xFE, 0xFF, 0x02, 0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_EQ(outside.ReadString().size(), 1u);
}

TEST(Archive, DamagedDataIsAnErrorNotACrash)
{
    const std::string cases[] = {
        Bytes({}),
        Bytes({0x05, 'a', 'b'}),
        Bytes({0xFF}),
        Bytes({0xFF, 0x00}),
        Bytes({0xFF, 0x2C, 0x01, 'a'}),
        // 4 GiB announced: refused before anything is allocated.
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}),
        Bytes({0xFF, 0xFF, 0xFF, 0x01, 0x00}),
        Bytes({0xFF, 0xFE, 0xFF, 0x02, 0x1F, 0x04, 0x40}),
        Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
        // A wide prefix inside a wide prefix.
        Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00}),
    };
    for (const std::string& bytes : cases)
    {
        CArchive in(bytes);
        EXPECT_THROW(in.ReadString(), CArchiveException) << testing::PrintToString(bytes);
    }
}

} // namespace
