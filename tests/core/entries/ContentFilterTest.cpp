#include "core/base/CArchive.h"
#include "core/entries/CContentFilter.h"

#include <gtest/gtest.h>

#include <string>

TEST(ContentFilter, ShowsEveryLevelWhenConstructed)
{
    const CContentFilter filter;
    for (int level = 0; level <= 12; ++level)
        EXPECT_TRUE(filter.IsLevelShown(level)) << level;
}

TEST(ContentFilter, DeeperLevelsFollowLevelEight)
{
    CContentFilter filter;
    filter.SetLevelShown(8, false);
    filter.SetLevelShown(9, true); // not a level of its own: ignored
    filter.SetLevelShown(0, false);
    EXPECT_TRUE(filter.IsLevelShown(1));
    EXPECT_TRUE(filter.IsLevelShown(7));
    EXPECT_FALSE(filter.IsLevelShown(8));
    EXPECT_FALSE(filter.IsLevelShown(9));
    EXPECT_FALSE(filter.IsLevelShown(40));
}

TEST(ContentFilter, StoresEightLittleEndianIntegersAndReadsThemBack)
{
    CContentFilter filter;
    filter.SetLevelShown(2, false);
    filter.SetLevelShown(8, false);
    CArchive out;
    filter.Serialize(out);
    const std::string expected("\1\0\0\0"
                               "\0\0\0\0"
                               "\1\0\0\0"
                               "\1\0\0\0"
                               "\1\0\0\0"
                               "\1\0\0\0"
                               "\1\0\0\0"
                               "\0\0\0\0",
                               32);
    EXPECT_EQ(out.Bytes(), expected);

    CContentFilter loaded;
    CArchive in(out.Bytes());
    loaded.Serialize(in);
    EXPECT_EQ(loaded, filter);
}

TEST(ContentFilter, TruncatedDataLeavesTheFilterAsItWas)
{
    CContentFilter filter;
    filter.SetLevelShown(3, false);
    const CContentFilter before = filter;
    CArchive in(std::string(31, '\0'));
    EXPECT_THROW(filter.Serialize(in), CArchiveException);
    EXPECT_EQ(filter, before);
}
