// tirvel-toc run as a user runs it: exit status, what is written where, and the samples end to end.

#include "CliTestSupport.h"

#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace cli_test;

namespace
{
class TocTool : public CliToolTest
{
protected:
    RunResult Run(const std::vector<std::string>& args) const { return RunTool(args); }

    // A sample processed to standard output with the samples' own dictionaries.
    RunResult ProcessSample(const fs::path& sample) const
    {
        return Run({"--stdout", "--keep-dates", "--no-settings", "--kinds", (kSamples / "kinds.txt").string(),
                    "--words", (kSamples / "words.txt").string(), sample.string()});
    }

    fs::path CopySample(const std::string& name, const fs::path& into) const
    {
        fs::create_directories(into);
        fs::copy_file(kSamples / name, into / name, fs::copy_options::overwrite_existing);
        return into / name;
    }
};

TEST_F(TocTool, EverySampleGetsATableOfContentsThatIsStable)
{
    const std::vector<fs::path> samples = SampleDocuments();
    for (const fs::path& sample : samples)
    {
        const std::string name = sample.filename().string();
        const RunResult first = ProcessSample(sample);
        ASSERT_EQ(first.status, 0) << name << ": " << first.err;
        EXPECT_EQ(first.err, "") << name;
        EXPECT_GE(Count(first.out, kOglInFile), 2u) << name;

        // The output is a document in the target format: processing it again is refused and
        // writes it out unchanged.
        const fs::path processed = m_dir / name;
        WriteBytes(processed, first.out);
        const RunResult second = Run({"--stdout", "--keep-dates", "--no-settings", processed.string()});
        EXPECT_EQ(second.status, 0) << name;
        EXPECT_EQ(second.out, first.out) << name;
        EXPECT_NE(second.err.find(processed.string()), std::string::npos) << second.err;
        EXPECT_NE(second.err.find("Лантрис 9.0"), std::string::npos) << second.err;
        EXPECT_EQ(ReadBytes(processed), first.out) << name;
    }
    EXPECT_GE(samples.size(), 3u);
}

// Without --extended every sample comes out byte for byte as the standard passes made it before
// the extended recognition existed (tests/data/samples-processed holds that output).
TEST_F(TocTool, WithoutTheOptionEverySampleKeepsItsOutput)
{
    const fs::path expected = fs::path(TIRVEL_TEST_DATA_DIR) / "samples-processed";
    const std::vector<fs::path> samples = SampleDocuments();
    for (const fs::path& sample : samples)
    {
        const std::string name = sample.filename().string();
        const RunResult run = ProcessSample(sample);
        ASSERT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_EQ(run.out, ReadBytes(expected / name)) << name;
    }
    EXPECT_GE(samples.size(), 3u);
}

TEST_F(TocTool, SavesInPlaceWithABackupAndTakesAFolderWithoutItsSubfolders)
{
    const fs::path folder = m_dir / "docs";
    const fs::path law = CopySample("law_sections_articles.rla", folder);
    const fs::path nested = CopySample("old_style_toc.rla", folder / "sub.rla");
    WriteBytes(folder / "notes.txt", "not a document");
    const std::string original = ReadBytes(law);

    const RunResult run = Run({"--no-settings", "--keep-dates", folder.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadBytes(folder / "law_sections_articles.bak"), original);
    EXPECT_GE(Count(ReadBytes(law), kOglInFile), 2u);
    EXPECT_EQ(ReadBytes(nested), ReadBytes(kSamples / "old_style_toc.rla"));
    EXPECT_FALSE(fs::exists(folder / "sub.rla" / "old_style_toc.bak"));
    EXPECT_EQ(ReadBytes(folder / "notes.txt"), "not a document");

    // --no-backup on a second document; the dates are brought up to date without --keep-dates.
    const fs::path decree = CopySample("decree_rules_appendix.rla", m_dir / "other");
    ASSERT_EQ(Run({"--no-settings", "--no-backup", decree.string()}).status, 0);
    EXPECT_FALSE(fs::exists(m_dir / "other" / "decree_rules_appendix.bak"));
    EXPECT_NE(ReadBytes(decree).substr(0, 200),
              ReadBytes(kSamples / "decree_rules_appendix.rla").substr(0, 200));
}

TEST_F(TocTool, OutputFolderReceivesTheDocumentsAndTheSourcesStay)
{
    const fs::path source = CopySample("law_sections_articles.rla", m_dir / "in");
    const std::string original = ReadBytes(source);
    const RunResult toStdout = Run({"--stdout", "--no-settings", "--keep-dates", source.string()});
    const RunResult run =
        Run({"-o", (m_dir / "out").string(), "--no-settings", "--keep-dates", source.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(source), original);
    EXPECT_EQ(ReadBytes(m_dir / "out" / "law_sections_articles.rla"), toStdout.out);
    EXPECT_FALSE(fs::exists(m_dir / "in" / "law_sections_articles.bak"));
    EXPECT_FALSE(fs::exists(m_dir / "out" / "law_sections_articles.bak"));
}

TEST_F(TocTool, FailuresNameTheFileAndTheOthersAreStillProcessed)
{
    const fs::path good = CopySample("law_sections_articles.rla", m_dir);
    const fs::path missing = m_dir / "missing.rla";
    const RunResult run = Run({"--stdout", "--no-settings", "--keep-dates", missing.string(), good.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(missing.string()), std::string::npos) << run.err;
    EXPECT_GE(Count(run.out, kOglInFile), 2u);

    const fs::path missingKinds = m_dir / "kinds-missing.txt";
    const RunResult kinds =
        Run({"--stdout", "--no-settings", "--kinds", missingKinds.string(), good.string()});
    EXPECT_EQ(kinds.status, 1);
    EXPECT_NE(kinds.err.find(missingKinds.string()), std::string::npos) << kinds.err;
    EXPECT_EQ(kinds.out, "");

    const fs::path badSettings = m_dir / "Kestrel.ini";
    WriteBytes(badSettings, "\x01");
    const RunResult settings = Run({"--stdout", "--settings", badSettings.string(), good.string()});
    EXPECT_EQ(settings.status, 1);
    EXPECT_NE(settings.err.find(badSettings.string()), std::string::npos) << settings.err;
}

TEST_F(TocTool, WrongUsageExitsWithTwo)
{
    const std::string doc = (kSamples / "law_sections_articles.rla").string();
    const std::vector<std::vector<std::string>> usages = {
        {},
        {"--stdout", "-o", m_dir.string(), doc},
        {"--settings", "x.ini", "--no-settings", doc},
        {"--unknown", doc},
    };
    for (const auto& args : usages)
    {
        const RunResult run = Run(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "no arguments" : args.front());
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Run({"--help"}).status, 0);
}

TEST_F(TocTool, DictionariesFromFilesChangeTheResult)
{
    // The decree's title names its kind only when the kinds list holds it: the kind entry appears.
    const std::string doc = (kSamples / "decree_rules_appendix.rla").string();
    const RunResult without = Run({"--stdout", "--keep-dates", "--no-settings", doc});
    const RunResult with =
        Run({"--stdout", "--keep-dates", "--no-settings", "--kinds", (kSamples / "kinds.txt").string(), doc});
    ASSERT_EQ(without.status, 0);
    ASSERT_EQ(with.status, 0);
    EXPECT_EQ(Count(with.out, kOglInFile), Count(without.out, kOglInFile) + 1);
}
} // namespace
