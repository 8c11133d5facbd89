#include "core/workflow/SettingsFile.h"

#include "core/base/Reporter.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace
{

// What a run of the program might leave: every workflow value off its default, a 300-character
// folder (three-byte length), user words and kinds.
struct StoredState
{
    StoredState()
    {
        settings.autoSaveOnNext = 1;
        settings.makeBak = 0;
        settings.moveOnSave = 1;
        settings.processedFolder = "/home/" + std::string(294, 'x');
        RecordingReporter reporter;
        words.AddWord(Cp("ОВД"), reporter);
        words.AddWord(Cp("Минфин"), reporter);
        kinds.AddKind(Cp("закон"), reporter);
        kinds.AddKind(Cp("указ"), reporter);
    }
    WorkflowSettings settings;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
};

TEST(SettingsFile, WrittenFileReadsBackTheSame)
{
    const StoredState stored;
    ScratchFolder folder;
    const std::string path = folder / kSettingsFileName;
    RecordingReporter reporter;
    ASSERT_TRUE(WriteSettingsFile(path, stored.settings, stored.words, stored.kinds, reporter));
    EXPECT_TRUE(reporter.messages.empty());

    const std::string bytes = ReadBytes(path);
    ASSERT_EQ(stored.settings.processedFolder.size(), 300u);
    EXPECT_EQ(bytes.substr(0, 15), std::string("\x01\0\0\0\0\0\0\0\x01\0\0\0\xFF\x2C\x01", 15));

    WorkflowSettings settings;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    EXPECT_EQ(ReadSettingsFile({path}, settings, words, kinds), SettingsReadResult::Complete);
    EXPECT_EQ(settings, stored.settings);
    EXPECT_EQ(words.UserWords(), stored.words.UserWords());
    EXPECT_EQ(words.BuiltinWords().size(), 15u);
    EXPECT_EQ(kinds, stored.kinds);

    // Writing again replaces the file and leaves no temporary file behind.
    WorkflowSettings changed = settings;
    changed.processedFolder = "/srv/done";
    ASSERT_TRUE(WriteSettingsFile(path, changed, words, kinds, reporter));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadSettingsFile({path}, settings, words, kinds), SettingsReadResult::Complete);
    EXPECT_EQ(settings.processedFolder, "/srv/done");
}

TEST(SettingsFile, LayoutIsFieldsThenWordsThenKinds)
{
    WorkflowSettings settings;
    settings.processedFolder = "D:";
    CUpperCaseWordsDict words;
    RecordingReporter reporter;
    words.AddWord("NN", reporter);
    CDocKindsList kinds({"AB"});
    const std::string expected("\0\0\0\0"
                               "\x01\0\0\0"
                               "\0\0\0\0"
                               "\x02"
                               "D:"
                               "\x01\0\0\0"
                               "\x02"
                               "NN"
                               "\x02"
                               "NN"
                               "\x01\0\0\0"
                               "\x01\0\0\0"
                               "\x02"
                               "AB",
                               36);
    EXPECT_EQ(SettingsBytes(settings, words, kinds), expected);
}

TEST(SettingsFile, EveryTruncationPointFollowsTheReadingRules)
{
    const StoredState stored;
    const std::string full = SettingsBytes(stored.settings, stored.words, stored.kinds);

    // Where each stored piece ends.
    const std::size_t afterFolder = 12 + 3 + stored.settings.processedFolder.size();
    std::vector<std::size_t> afterWord;
    std::size_t offset = afterFolder + 4;
    for (const CUpperCaseWordsRec& rec : stored.words.UserWords())
    {
        offset += 1 + rec.Word().size() + 1 + rec.Stem().size() + 4;
        afterWord.push_back(offset);
    }
    ASSERT_LT(offset + 4, full.size());

    for (std::size_t cut = 0; cut <= full.size(); ++cut)
    {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        WorkflowSettings settings;
        CUpperCaseWordsDict words;
        CDocKindsList kinds({Cp("ПРЕЖНИЙ")});
        const SettingsReadResult result = ReadSettingsBytes(full.substr(0, cut), settings, words, kinds);

        if (cut < afterFolder)
        {
            // .bak forced on, auto-save off; move kept once read; the rest untouched.
            EXPECT_EQ(result, SettingsReadResult::WorkflowIncomplete);
            EXPECT_EQ(settings.autoSaveOnNext, 0);
            EXPECT_EQ(settings.makeBak, 1);
            EXPECT_EQ(settings.moveOnSave, cut >= 12 ? 1 : 0);
            EXPECT_EQ(settings.processedFolder, "");
            EXPECT_TRUE(words.UserWords().empty());
            EXPECT_EQ(kinds.Kinds(), std::vector<std::string>{Cp("ПРЕЖНИЙ")});
            continue;
        }
        EXPECT_EQ(settings, stored.settings);
        if (cut == full.size())
        {
            EXPECT_EQ(result, SettingsReadResult::Complete);
            EXPECT_EQ(kinds, stored.kinds);
            continue;
        }
        // Inside the dictionaries: the whole words read stay, the kinds are emptied.
        EXPECT_EQ(result, SettingsReadResult::DictionariesIncomplete);
        std::size_t wholeWords = 0;
        while (wholeWords < afterWord.size() && afterWord[wholeWords] <= cut)
            ++wholeWords;
        ASSERT_EQ(words.UserWords().size(), wholeWords);
        for (std::size_t i = 0; i < wholeWords; ++i)
            EXPECT_EQ(words.UserWords()[i], stored.words.UserWords()[i]);
        EXPECT_TRUE(kinds.Kinds().empty());
    }
}

TEST(SettingsFile, MissingFileGivesTheStartingValues)
{
    ScratchFolder folder;
    WorkflowSettings settings;
    settings.autoSaveOnNext = 1;
    settings.makeBak = 0;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    EXPECT_EQ(ReadSettingsFile({folder / "a.ini", folder / "b.ini"}, settings, words, kinds),
              SettingsReadResult::WorkflowIncomplete);
    EXPECT_EQ(settings.autoSaveOnNext, 0);
    EXPECT_EQ(settings.makeBak, 1);
    EXPECT_TRUE(words.UserWords().empty());
    EXPECT_TRUE(kinds.Kinds().empty());
}

TEST(SettingsFile, ReadingTakesTheFirstReadablePlace)
{
    ScratchFolder folder;
    WorkflowSettings second;
    second.processedFolder = "second";
    RecordingReporter reporter;
    ASSERT_TRUE(
        WriteSettingsFile(folder / "second.ini", second, CUpperCaseWordsDict(), CDocKindsList(), reporter));
    WorkflowSettings third;
    third.processedFolder = "third";
    ASSERT_TRUE(
        WriteSettingsFile(folder / "third.ini", third, CUpperCaseWordsDict(), CDocKindsList(), reporter));

    WorkflowSettings settings;
    CUpperCaseWordsDict words;
    CDocKindsList kinds;
    const std::vector<std::string> paths = {folder / "first.ini", folder / "second.ini",
                                            folder / "third.ini"};
    EXPECT_EQ(ReadSettingsFile(paths, settings, words, kinds), SettingsReadResult::Complete);
    EXPECT_EQ(settings.processedFolder, "second");
}

TEST(SettingsFile, FailedWriteReportsAndKeepsTheOldFile)
{
    ScratchFolder folder;
    const StoredState stored;
    // A folder where the file should be: the final rename cannot replace it.
    fs::create_directories(folder.path() / kSettingsFileName / "inside");
    // A regular file where a folder of the path should be.
    WriteBytes(folder / "plain", "x");

    const std::pair<std::string, int> cases[] = {{folder / kSettingsFileName, EISDIR},
                                                  {folder / "plain" + "/sub/" + kSettingsFileName, ENOTDIR}};
    for (const auto& [path, error] : cases)
    {
        RecordingReporter reporter;
        EXPECT_FALSE(WriteSettingsFile(path, stored.settings, stored.words, stored.kinds, reporter)) << path;
        EXPECT_EQ(reporter.messages,
                  (std::vector<ReportedMessage>{{"Ошибка сохранения служебных данных", MessageIcon::Error}}));
        EXPECT_EQ(reporter.reasons, std::vector<std::string>{path + ": " + std::strerror(error)});
    }
    EXPECT_TRUE(fs::is_directory(folder.path() / kSettingsFileName / "inside"));
    EXPECT_EQ(ReadBytes(folder / "plain"), "x");
    // Nothing half-written is left next to them.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(SettingsFile, LivesBesideTheExecutableWhenThatFolderIsWritable)
{
    ScratchFolder folder;
    const std::string exeDir = (folder.path() / "bin").string();
    const std::string configDir = (folder.path() / "config" / "Tirvel").string();
    const std::string besideExe = (fs::path(exeDir) / kSettingsFileName).string();
    const std::string inConfig = (fs::path(configDir) / kSettingsFileName).string();

    // The executable's folder does not exist (stands for one that cannot be written).
    EXPECT_EQ(SettingsWritePath(exeDir, configDir), inConfig);
    EXPECT_EQ(SettingsReadPaths(exeDir, configDir), (std::vector<std::string>{inConfig, besideExe}));

    // Writing there creates the configuration folder.
    RecordingReporter reporter;
    ASSERT_TRUE(
        WriteSettingsFile(inConfig, WorkflowSettings(), CUpperCaseWordsDict(), CDocKindsList(), reporter));
    EXPECT_TRUE(fs::exists(inConfig));

    fs::create_directories(exeDir);
    EXPECT_EQ(SettingsWritePath(exeDir, configDir), besideExe);
    EXPECT_EQ(SettingsReadPaths(exeDir, configDir), (std::vector<std::string>{besideExe, inConfig}));
}

} // namespace
