#include "core/base/CArchive.h"
#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

const std::string kKindsFile866 = std::string(TIRVEL_TEST_DATA_DIR) + "/dictionaries/kinds-cp866.txt";

TEST(DocKindsList, NormaliseForCompare)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"  постановление   правительства ", "ПОСТАНОВЛЕНИЕ ПРАВИТЕЛЬСТВА"},
        {"\tприказ ", "\tПРИКАЗ"}, // only blanks are trimmed
        {"ёлка  и  ель", "ЁЛКА И ЕЛЬ"},
        {"   ", ""},
        {"a", "A"},
    };
    for (const Case& c : cases)
    {
        std::string kind = Cp(c.in);
        CDocKindsList::NormaliseForCompare(kind);
        EXPECT_EQ(kind, Cp(c.out)) << c.in;
    }
}

TEST(DocKindsList, AddKindNormalisesAndRefusesEmptyAndRepeatedKinds)
{
    struct Case
    {
        const char* typed;
        bool added;
        const char* message; // empty when none
    };
    // One list through the whole table: each row sees the kinds the rows above added.
    const Case cases[] = {
        {"  постановление   правительства ", true, ""},
        {"ПРИКАЗ", true, ""},
        {"приказ", false, "Вид документа \"ПРИКАЗ\" уже находится в словаре!"},
        {" Постановление правительства", false,
         "Вид документа \"ПОСТАНОВЛЕНИЕ ПРАВИТЕЛЬСТВА\" уже находится в словаре!"},
        {"    ", false, "Введите вид документа!"},
        {"", false, "Введите вид документа!"},
    };
    CDocKindsList list;
    for (const Case& c : cases)
    {
        RecordingReporter reporter;
        const std::vector<std::string> before = list.Kinds();
        EXPECT_EQ(list.AddKind(Cp(c.typed), reporter), c.added) << c.typed;
        if (c.added)
        {
            EXPECT_TRUE(reporter.messages.empty());
            EXPECT_EQ(list.Kinds().size(), before.size() + 1);
        }
        else
        {
            ASSERT_EQ(reporter.messages.size(), 1u) << c.typed;
            EXPECT_EQ(reporter.messages[0], (ReportedMessage{c.message, MessageIcon::Error}));
            EXPECT_EQ(list.Kinds(), before);
        }
    }
    EXPECT_EQ(Utf8Lines(list.Kinds()), (std::vector<std::string>{"ПОСТАНОВЛЕНИЕ ПРАВИТЕЛЬСТВА", "ПРИКАЗ"}));
}

TEST(DocKindsList, ImportAddsEachNewLineOnceAsItStands)
{
    CDocKindsList list({Cp("ЗАКОН")});
    RecordingReporter reporter;
    ASSERT_TRUE(list.ImportKinds(kKindsFile866, KindsFileCodePage::Dos866, reporter));
    EXPECT_TRUE(reporter.messages.empty());
    // Repeated lines once, one empty kind, no upper-casing or blank collapsing, nothing after 0x1A.
    EXPECT_EQ(Utf8Lines(list.Kinds()),
              (std::vector<std::string>{"ЗАКОН", "УКАЗ", "", "Закон", "ПОСТАНОВЛЕНИЕ  ПРАВИТЕЛЬСТВА"}));

    // Read again: everything is there already.
    ASSERT_TRUE(list.ImportKinds(kKindsFile866, KindsFileCodePage::Dos866, reporter));
    EXPECT_EQ(list.Kinds().size(), 5u);
}

TEST(DocKindsList, ImportAsWindowsFileKeepsTheBytesUnconverted)
{
    CDocKindsList list({Cp("ЗАКОН")});
    RecordingReporter reporter;
    ASSERT_TRUE(list.ImportKinds(kKindsFile866, KindsFileCodePage::Windows1251, reporter));
    const std::vector<std::string> expected = {
        Cp("ЗАКОН"), Cp1251ToCp866(Cp("ЗАКОН")), Cp1251ToCp866(Cp("УКАЗ")),
        "",          Cp1251ToCp866(Cp("Закон")), Cp1251ToCp866(Cp("ПОСТАНОВЛЕНИЕ  ПРАВИТЕЛЬСТВА")),
    };
    EXPECT_EQ(list.Kinds(), expected);
}

TEST(DocKindsList, ImportLineEnds)
{
    struct Case
    {
        std::string content;
        std::vector<std::string> kinds;
    };
    const Case cases[] = {
        {"A\nB", {"A", "B"}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\rB\n", {"A\rB"}},
        {"\n", {""}},
        {"", {}},
        {"\x1A"
         "A\n",
         {}},
    };
    const std::filesystem::path file = std::filesystem::path(testing::TempDir()) / "kinds-line-ends.txt";
    for (const Case& c : cases)
    {
        std::ofstream(file, std::ios::binary) << c.content;
        CDocKindsList list;
        RecordingReporter reporter;
        ASSERT_TRUE(list.ImportKinds(file.string(), KindsFileCodePage::Windows1251, reporter));
        EXPECT_EQ(list.Kinds(), c.kinds) << c.content;
    }
    std::filesystem::remove(file);
}

TEST(DocKindsList, ImportOfAnUnreadableFileReportsAndAddsNothing)
{
    for (const std::string& path : {std::string(TIRVEL_TEST_DATA_DIR) + "/dictionaries/no-such-file.txt",
                                    std::string(TIRVEL_TEST_DATA_DIR) + "/dictionaries"})
    {
        CDocKindsList list({Cp("ЗАКОН")});
        RecordingReporter reporter;
        EXPECT_FALSE(list.ImportKinds(path, KindsFileCodePage::Dos866, reporter)) << path;
        EXPECT_EQ(reporter.messages,
                  (std::vector<ReportedMessage>{{"Ошибка чтения файла!", MessageIcon::Error}}));
        EXPECT_EQ(list.Kinds(), std::vector<std::string>{Cp("ЗАКОН")});
    }
}

TEST(DocKindsList, SortKindsUsesUnsignedByteOrder)
{
    CDocKindsList list({Cp("указ"), Cp("УКАЗ"), Cp("Ёлка"), Cp("АКТ"), Cp("z"), Cp("Z"), ""});
    list.SortKinds();
    EXPECT_EQ(Utf8Lines(list.Kinds()),
              (std::vector<std::string>{"", "Z", "z", "Ёлка", "АКТ", "УКАЗ", "указ"}));
}

TEST(DocKindsList, StoredFormRoundTripsAndLoadingReplacesTheList)
{
    CDocKindsList list({Cp("ЗАКОН"), "", std::string(300, 'x')});
    CArchive out;
    list.Serialize(out);
    const std::string& bytes = out.Bytes();
    ASSERT_EQ(bytes.substr(0, 10), std::string("\x03\x00\x00\x00\x05\xC7\xC0\xCA\xCE\xCD", 10));

    CDocKindsList loaded({Cp("СТАРОЕ")});
    CArchive in(bytes);
    loaded.Serialize(in);
    EXPECT_EQ(loaded, list);
    EXPECT_EQ(in.Remaining(), 0u);

    CArchive cut(bytes.substr(0, bytes.size() - 1));
    EXPECT_THROW(loaded.Serialize(cut), CArchiveException);
}

} // namespace
