// The settings file and the kinds files as found on disk: not files at all, unreadable, cut short,
// full of bytes no text holds. Reading never hangs or fails the program; writing never damages the
// file that was there.

#include "support/ReliabilitySupport.h"

#include <gtest/gtest.h>

#include "../../../fuzz/FuzzChecks.h"

#include "core/base/CodePage.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/toc/ProcessDocument.h"
#include "core/workflow/SettingsFile.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{

// Paths of things a file dialog or a damaged installation can hand over instead of a file.
struct NotAFile
{
    const char* name;
    std::string (*make)(const ScratchFolder& folder); // returns the path
};

const NotAFile kNotAFile[] = {
    {"missing", [](const ScratchFolder& folder) { return folder / "missing"; }},
    {"a folder",
     [](const ScratchFolder& folder)
     {
         fs::create_directory(folder / "folder");
         return folder / "folder";
     }},
    {"without read permission",
     [](const ScratchFolder& folder)
     {
         WriteBytes(folder / "locked", "\x01\0\0\0");
         fs::permissions(folder / "locked", fs::perms::none);
         return folder / "locked";
     }},
    {"a pipe nobody writes to",
     [](const ScratchFolder& folder)
     {
         ::mkfifo((folder / "pipe").c_str(), 0600);
         return folder / "pipe";
     }},
    {"an endless device", [](const ScratchFolder&) { return std::string("/dev/zero"); }},
};

struct Dictionaries
{
    WorkflowSettings settings;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
};

Dictionaries Stored()
{
    Dictionaries stored;
    RecordingReporter ignored;
    stored.settings = {1, 0, 1, std::string(300, 'p')};
    for (const char* word : {"Москва", "МВД", "Российской", "Санкт-Петербург"})
        stored.words.AddWord(Utf8ToCp1251(word), ignored);
    for (const char* kind : {"ЗАКОН", "ПОСТАНОВЛЕНИЕ ПРАВИТЕЛЬСТВА", "ПРИКАЗ"})
        stored.kinds.AddKind(Utf8ToCp1251(kind), ignored);
    return stored;
}

} // namespace

TEST(SettingsFileFaults, NoFileToReadGivesTheStartingValuesAtOnce)
{
    for (const NotAFile& c : kNotAFile)
    {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::string path = c.make(folder);
        Dictionaries read;
        read.settings.autoSaveOnNext = 1;
        read.settings.makeBak = 0;
        read.kinds = CDocKindsList({"KEPT"});
        {
            HangGuard guard(20);
            PermissionsEnforced asOperator;
            EXPECT_EQ(ReadSettingsFile({path}, read.settings, read.words, read.kinds),
                      SettingsReadResult::WorkflowIncomplete);
        }
        EXPECT_EQ(read.settings, (WorkflowSettings{0, 1, 0, ""}));
        EXPECT_TRUE(read.words.UserWords().empty());
        EXPECT_EQ(read.kinds.Kinds(), std::vector<std::string>{"KEPT"});
    }
}

TEST(SettingsFileFaults, FileCutAtEveryByteReadsLikeItsBytesAndWritesBackWhole)
{
    const Dictionaries stored = Stored();
    const std::string full = SettingsBytes(stored.settings, stored.words, stored.kinds);
    ScratchFolder folder;
    for (std::size_t cut = 0; cut <= full.size(); ++cut)
    {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const std::string bytes = full.substr(0, cut);
        WriteBytes(folder / "Kestrel.ini", bytes);
        Dictionaries fromFile, fromBytes;
        EXPECT_EQ(
            ReadSettingsFile({folder / "Kestrel.ini"}, fromFile.settings, fromFile.words, fromFile.kinds),
            ReadSettingsBytes(bytes, fromBytes.settings, fromBytes.words, fromBytes.kinds));
        EXPECT_EQ(fromFile.settings, fromBytes.settings);
        EXPECT_EQ(fromFile.words.UserWords(), fromBytes.words.UserWords());
        EXPECT_EQ(fromFile.kinds, fromBytes.kinds);
        // Whatever was read is written and read back unchanged.
        EXPECT_EQ(fuzzchecks::CheckSettings(bytes), "");
    }
}

TEST(SettingsFileFaults, FailedWriteKeepsTheOldFile)
{
    const Dictionaries stored = Stored();
    const std::string old = "an older settings file";
    struct Case
    {
        const char* name;
        rlim_t sizeLimit;
        fs::perms folderPermissions;
    };
    const Case cases[] = {
        {"full disk", 10, fs::perms::owner_all},
        {"read-only folder", RLIM_INFINITY, fs::perms::owner_read | fs::perms::owner_exec},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::string path = folder / "Kestrel.ini";
        WriteBytes(path, old);
        fs::permissions(folder.path(), c.folderPermissions);
        RecordingReporter reporter;
        {
            FileSizeLimit disk(c.sizeLimit);
            PermissionsEnforced asOperator;
            EXPECT_FALSE(WriteSettingsFile(path, stored.settings, stored.words, stored.kinds, reporter));
        }
        fs::permissions(folder.path(), fs::perms::owner_all);
        EXPECT_EQ(reporter.messages,
                  (std::vector<ReportedMessage>{{"Ошибка сохранения служебных данных", MessageIcon::Error}}));
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"Kestrel.ini"});
    }
}

TEST(KindsFileFaults, NoFileToImportIsReportedAndAddsNothing)
{
    for (const NotAFile& c : kNotAFile)
    {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::string path = c.make(folder);
        CDocKindsList kinds({"KEPT"});
        RecordingReporter reporter;
        {
            HangGuard guard(20);
            PermissionsEnforced asOperator;
            EXPECT_FALSE(kinds.ImportKinds(path, KindsFileCodePage::Dos866, reporter));
        }
        EXPECT_EQ(reporter.messages,
                  (std::vector<ReportedMessage>{{"Ошибка чтения файла!", MessageIcon::Error}}));
        EXPECT_EQ(kinds.Kinds(), std::vector<std::string>{"KEPT"});
    }
}

TEST(KindsFileFaults, InvalidBytesImportAsTheyAreAndSurviveStorageAndRecognition)
{
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        if (b != '\n' && b != '\r' && b != 0x1A)
            everyByte += static_cast<char>(b);
    struct Case
    {
        const char* name;
        std::string content;
        std::vector<std::string> expected1251; // imported from a 1251 file, when the lines are known
    };
    const Case cases[] = {
        {"every byte in one line", everyByte, {everyByte}},
        {"NUL bytes", std::string("A\0B\r\n\0\r\n", 8), {std::string("A\0B", 3), std::string(1, '\0')}},
        {"byte 0x98, unused in 1251", "\x98\x98\r\n\xFF", {"\x98\x98", "\xFF"}},
        {"lone CRs and a blank line", "\r\rX\r\n\r\n\r\n", {"\r\rX", ""}},
        {"end-of-text byte in the middle", "ONE\r\nTW\x1AO\r\nTHREE", {"ONE", "TW"}},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBFЗАКОН\n", {"\xEF\xBB\xBFЗАКОН"}},
        {"a line of one megabyte", std::string(1 << 20, '\xE0'), {std::string(1 << 20, '\xE0')}},
    };
    const std::string sample = ReadBytes(SamplePath("decree_rules_appendix.rla"));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        WriteBytes(folder / "kinds.txt", c.content);
        for (KindsFileCodePage codePage : {KindsFileCodePage::Windows1251, KindsFileCodePage::Dos866})
        {
            RecordingReporter reporter;
            CDocKindsList kinds;
            ASSERT_TRUE(kinds.ImportKinds(folder / "kinds.txt", codePage, reporter));
            EXPECT_TRUE(reporter.messages.empty());
            if (codePage == KindsFileCodePage::Windows1251)
                EXPECT_EQ(kinds.Kinds(), c.expected1251);
            else
                EXPECT_EQ(kinds.Kinds().size(), c.expected1251.size());

            WorkflowSettings settings;
            const CUpperCaseWordsDict words;
            const std::string stored = SettingsBytes(settings, words, kinds);
            CUpperCaseWordsDict wordsBack;
            CDocKindsList kindsBack;
            EXPECT_EQ(ReadSettingsBytes(stored, settings, wordsBack, kindsBack),
                      SettingsReadResult::Complete);
            EXPECT_EQ(kindsBack, kinds);

            fuzzchecks::MemoryFile document(sample);
            CDocumentFile file(reporter);
            file.Load(document.Path());
            const ProcessResult result = ProcessDocument(file.TextLines(), words, kinds, reporter);
            EXPECT_FALSE(result.refused);
            EXPECT_GT(result.entries, 0u);
        }
    }
}
