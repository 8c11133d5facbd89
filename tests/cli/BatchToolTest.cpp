// tirvel-toc as a batch tool: the same output whatever the number of threads, recursive folders,
// --move-to, --check, the report, and documents that fail without harming the others.

#include "CliTestSupport.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace cli_test;

namespace
{
const char* const kSampleNames[] = {"law_sections_articles.rla", "decree_rules_appendix.rla",
                                    "old_style_toc.rla"};
// Every file below folder with its bytes, by path relative to folder.
std::map<std::string, std::string> Tree(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(folder).string()] = ReadBytes(entry.path());
    return files;
}

// A header and a text without anything that makes a heading: processing leaves the file as it is.
const std::string kPlainDocument =
    "$1  \x82\xA8\xA4\r\n\x87\xA0\xAA\xAE\xAD\r\n$18\r\n     text without headings\r\n";

class BatchTool : public CliToolTest
{
protected:
    RunResult Run(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--no-settings", "--keep-dates"});
        return RunTool(args);
    }

    // Every sample several times under different names, a document without headings and one that
    // cannot be read (a link to nothing).
    fs::path MakeArchive(const fs::path& folder) const
    {
        for (int copy = 0; copy < 4; ++copy)
            for (const char* name : kSampleNames)
            {
                // Appended piece by piece: GCC 12 takes "c" + std::string for an overlapping copy.
                std::string copyName = "c";
                copyName += std::to_string(copy);
                copyName += '-';
                copyName += name;
                WriteBytes(folder / copyName, ReadBytes(kSamples / name));
            }
        WriteBytes(folder / "plain.rla", kPlainDocument);
        fs::create_symlink(folder / "nowhere", folder / "unreadable.rla");
        return folder;
    }
};

TEST_F(BatchTool, OutputIsTheSameWhateverTheNumberOfThreads)
{
    const fs::path archive = MakeArchive(m_dir / "archive");
    const RunResult oneThread = Run({"-j", "1", "--stdout", archive.string()});
    const RunResult fourThreads = Run({"-j", "4", "--stdout", archive.string()});
    EXPECT_EQ(oneThread.status, 1); // the unreadable one
    EXPECT_EQ(fourThreads.status, oneThread.status);
    EXPECT_EQ(fourThreads.out, oneThread.out);
    EXPECT_EQ(fourThreads.err, oneThread.err);
    std::size_t sampleEntries = 0;
    for (const char* name : kSampleNames)
        sampleEntries += Count(Run({"--stdout", (kSamples / name).string()}).out, kOglInFile);
    EXPECT_EQ(Count(oneThread.out, kOglInFile), 4 * sampleEntries);

    // In place, with backups: both archives end up the same.
    fs::copy(archive, m_dir / "again", fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    EXPECT_EQ(Run({"-j", "1", archive.string()}).status, 1);
    EXPECT_EQ(Run({"-j", "3", (m_dir / "again").string()}).status, 1);
    EXPECT_EQ(Tree(m_dir / "again"), Tree(archive));
    EXPECT_TRUE(fs::exists(archive / "c3-old_style_toc.bak"));
}

TEST_F(BatchTool, RecursiveFoldersKeepTheirShapeUnderTheOutputFolder)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "top.rla", ReadBytes(kSamples / kSampleNames[0]));
    WriteBytes(in / "sub" / "a.rla", ReadBytes(kSamples / kSampleNames[1]));
    WriteBytes(in / "sub" / "deeper" / "a.rla", ReadBytes(kSamples / kSampleNames[2]));
    WriteBytes(in / "sub" / "notes.txt", "not a document");
    fs::create_directory_symlink(in, in / "sub" / "loop");

    ASSERT_EQ(Run({"-o", (m_dir / "flat").string(), in.string()}).status, 0);
    EXPECT_EQ(Tree(m_dir / "flat").size(), 1u);

    const RunResult run = Run({"-r", "-o", (m_dir / "out").string(), in.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto out = Tree(m_dir / "out");
    ASSERT_EQ(out.size(), 3u);
    for (const char* name : {"top.rla", "sub/a.rla", "sub/deeper/a.rla"})
    {
        ASSERT_TRUE(out.contains(name)) << name;
        EXPECT_EQ(out.at(name), Run({"--stdout", (in / name).string()}).out) << name;
    }
}

TEST_F(BatchTool, MoveToSavesInTheFolderWithTheBackupThereAndRefusesWhatCannotMove)
{
    const fs::path in = m_dir / "in";
    const fs::path done = m_dir / "done";
    WriteBytes(in / "law.rla", ReadBytes(kSamples / kSampleNames[0]));
    const std::string expected = Run({"--stdout", (in / "law.rla").string()}).out;
    WriteBytes(in / "target.rla", expected); // already in the target format: refused, so stays

    const RunResult run = Run({"--move-to", done.string(), in.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(fs::exists(in / "law.rla"));
    EXPECT_EQ(ReadBytes(done / "law.rla"), expected);
    EXPECT_EQ(ReadBytes(done / "law.bak"), ReadBytes(kSamples / kSampleNames[0]));
    EXPECT_EQ(ReadBytes(in / "target.rla"), expected);
    EXPECT_FALSE(fs::exists(done / "target.rla"));

    // A document already in the folder is neither moved nor saved, and that is an error naming it.
    WriteBytes(done / "again.rla", ReadBytes(kSamples / kSampleNames[1]));
    const RunResult refused = Run({"--move-to", done.string(), (done / "again.rla").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find((done / "again.rla").string()), std::string::npos) << refused.err;
    EXPECT_EQ(ReadBytes(done / "again.rla"), ReadBytes(kSamples / kSampleNames[1]));
    EXPECT_FALSE(fs::exists(done / "again.bak"));

    // --check foresees that refusal.
    const RunResult checked = Run({"--check", "--move-to", done.string(), (done / "again.rla").string()});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, (done / "again.rla").string() + ": failed\n");
}

TEST_F(BatchTool, CheckWritesNothingAndListsWhatWouldChange)
{
    const fs::path archive = MakeArchive(m_dir / "archive");
    WriteBytes(archive / "target.rla", Run({"--stdout", (kSamples / kSampleNames[0]).string()}).out);
    const auto before = Tree(archive);
    struct stat statBefore
    {
    };
    ::stat((archive / "plain.rla").c_str(), &statBefore);

    const RunResult run = Run({"--check", "-j", "2", archive.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Tree(archive), before);
    struct stat statAfter
    {
    };
    ::stat((archive / "plain.rla").c_str(), &statAfter);
    EXPECT_EQ(statAfter.st_mtim.tv_nsec, statBefore.st_mtim.tv_nsec);

    EXPECT_NE(run.out.find((archive / "c0-law_sections_articles.rla").string() + ": would change\n"),
              std::string::npos);
    EXPECT_NE(run.out.find((archive / "target.rla").string() + ": refused\n"), std::string::npos);
    EXPECT_NE(run.out.find((archive / "unreadable.rla").string() + ": failed\n"), std::string::npos);
    EXPECT_EQ(run.out.find("plain.rla"), std::string::npos) << "an unchanged document is not listed";
    EXPECT_EQ(Count(run.out, "\n"), 14u);
}

TEST_F(BatchTool, ReportGivesEveryDocumentWithItsEntriesAndErrors)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "a.rla", ReadBytes(kSamples / kSampleNames[0]));
    WriteBytes(in / "b.rla", kPlainDocument);
    fs::create_symlink(in / "nowhere", in / "c.rla");
    const fs::path report = m_dir / "report.json";

    const RunResult run = Run({"--stdout", "-j", "2", "--report", report.string(), in.string()});
    EXPECT_EQ(run.status, 1);
    const std::string json = ReadBytes(report);

    // One object per document in the order named, with entries that add up to the blocks written.
    const std::regex document(
        "\\{\"path\": \"([^\"]*)\", \"status\": \"(\\w+)\", \"changed\": (\\w+), "
        "\"bytes_after_end\": 0, \"entries\": (\\d+), \"entries_per_level\": \\{([^}]*)\\}, "
        "\"remarks\": \\[[^\\]]*\\], \"error\": \"([^\"]*)\", \"milliseconds\": [0-9.]+\\}");
    std::vector<std::smatch> found;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), document); it != std::sregex_iterator();
         ++it)
        found.push_back(*it);
    ASSERT_EQ(found.size(), 3u) << json;

    EXPECT_EQ(found[0][1], (in / "a.rla").string());
    EXPECT_EQ(found[0][2], "processed");
    EXPECT_EQ(found[0][3], "true");
    const std::size_t entries = std::stoul(found[0][4]);
    EXPECT_EQ(entries, Count(Run({"--stdout", (in / "a.rla").string()}).out, kOglInFile));
    std::size_t perLevel = 0;
    const std::string levels = found[0][5];
    const std::regex level("\"(\\d+)\": (\\d+)");
    for (auto it = std::sregex_iterator(levels.begin(), levels.end(), level); it != std::sregex_iterator();
         ++it)
        perLevel += std::stoul((*it)[2]);
    EXPECT_EQ(perLevel, entries);
    EXPECT_NE(levels.find("\"1\": "), std::string::npos);
    EXPECT_EQ(found[0][6], "");

    EXPECT_EQ(found[1][2], "processed");
    EXPECT_EQ(found[1][3], "false");
    EXPECT_EQ(found[1][4], "0");

    EXPECT_EQ(found[2][2], "failed");
    EXPECT_NE(found[2][6].str().find((in / "c.rla").string()), std::string::npos);

    EXPECT_NE(json.find("\"summary\": {\"named\": 3, \"documents\": 3, \"processed\": 2, \"unchanged\": 1, "
                        "\"refused\": 0, \"failed\": 1, \"skipped\": 0, \"entries\": " +
                        std::to_string(entries) + ", \"without_entries\": 1, \"with_remarks\": 0}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"extended\": false,"), std::string::npos) << json;
}

// A plain document (only its title is marked) gets entries only from the extended recognition; the
// summary says which documents got none and points to it, and the report records the mode.
TEST_F(BatchTool, ExtendedRecognitionFindsThePlainHeadingsAndIsReported)
{
    const fs::path in = m_dir / "in" / "code.rla";
    WriteBytes(in,
               File866("$18  Текст документа\r\n\x04\x04ЗАГ" + std::string(61, '-') +
                       "\r\nУголовный кодекс\r\n\x04\x04!!!" + std::string(61, '-') +
                       "\r\n\r\nГЛАВА 1. ОБЩИЕ ПОЛОЖЕНИЯ\r\n\r\nСтатья 1. Задачи\r\n\r\nТекст статьи.\r\n\r\n"
                       "Статья 2. Принципы\r\n\r\nТекст статьи."));
    const fs::path report = m_dir / "report.json";

    const RunResult plain = Run({"--stdout", "--summary", in.string()});
    EXPECT_EQ(Count(plain.out, kOglInFile), 0u);
    EXPECT_NE(plain.err.find("1 without entries (try --extended)"), std::string::npos) << plain.err;

    const RunResult extended =
        Run({"--stdout", "--summary", "--extended", "--report", report.string(), in.string()});
    EXPECT_EQ(extended.status, 0) << extended.err;
    EXPECT_EQ(Count(extended.out, kOglInFile), 3u);
    EXPECT_NE(extended.err.find("; 3 entries;"), std::string::npos) << extended.err;
    EXPECT_EQ(extended.err.find("without entries"), std::string::npos) << extended.err;
    const std::string json = ReadBytes(report);
    EXPECT_NE(json.find("\"extended\": true,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"entries\": 3, \"without_entries\": 0, \"with_remarks\": 0}"), std::string::npos) << json;
}

// The remarks on a table of contents name the heading's line in the file as it is written, in the
// listing, on the summary line and in the report, and never change the exit status.
TEST_F(BatchTool, RemarksNameTheHeadingsLineEverywhereAndLeaveTheExitStatus)
{
    const fs::path in = m_dir / "in";
    const std::string title = "$18  Текст документа\r\n\x04\x04ЗАГ" + std::string(61, '-') +
                              "\r\nЗакон о порядке\r\n\x04\x04!!!" + std::string(61, '-') + "\r\n\r\n";
    WriteBytes(in / "a.rla", File866(title + "Статья 1. Предмет\r\n\r\nТекст.\r\n\r\nСтатья 2. Права\r\n\r\n"
                                              "Текст.\r\n\r\nСтатья 4. Суд\r\n\r\nТекст."));
    WriteBytes(in / "b.rla", File866(title + "Статья 1. Предмет\r\n\r\nТекст.\r\n\r\nСтатья 2. Права\r\n\r\n"
                                              "Текст."));
    const std::string a = (in / "a.rla").string();
    const std::string b = (in / "b.rla").string();
    const fs::path report = m_dir / "report.json";

    // The line named is the heading's line in the document as it would be written.
    const RunResult written = Run({"--stdout", "--extended", a});
    std::vector<std::string> lines;
    for (std::size_t at = 0; at <= written.out.size();)
    {
        const std::size_t end = std::min(written.out.find("\r\n", at), written.out.size());
        lines.push_back(written.out.substr(at, end - at));
        at = end + 2;
    }
    // The heading in the text, not its entry in the block in front of it.
    const auto heading = std::find(lines.rbegin(), lines.rend(), File866("Статья 4. Суд"));
    ASSERT_NE(heading, lines.rend());
    const std::size_t line = static_cast<std::size_t>(lines.rend() - heading);
    const std::string remark = a + ":" + std::to_string(line) + ": После статьи 2 идёт статья 4: нет статьи 3\n";

    const RunResult checked = Run({"--check", "--extended", "--summary", "--report", report.string(), a, b});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out, a + ": would change\n" + remark + b + ": would change\n");
    EXPECT_NE(checked.err.find("; 1 with remarks"), std::string::npos) << checked.err;
    const std::string json = ReadBytes(report);
    EXPECT_NE(json.find("\"remarks\": [{\"line\": " + std::to_string(line) +
                        ", \"kind\": \"gap\", \"text\": \"После статьи 2 идёт статья 4: нет статьи 3\"}]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"with_remarks\": 1}"), std::string::npos) << json;

    // Only the documents with remarks; beside the documents on standard output, on standard error.
    EXPECT_EQ(Run({"--check", "--extended", "--remarks", a, b}).out, remark);
    const RunResult verbose = Run({"--stdout", "--extended", "-v", a});
    EXPECT_EQ(verbose.out, written.out);
    EXPECT_EQ(verbose.err, remark);
    EXPECT_EQ(Run({"--stdout", "--extended", a}).err, "");
}

TEST_F(BatchTool, AFailingDocumentLeavesTheOthersWrittenAndNothingHalfWritten)
{
    const fs::path in = m_dir / "in";
    const fs::path out = m_dir / "out";
    WriteBytes(in / "a.rla", ReadBytes(kSamples / kSampleNames[0]));
    WriteBytes(in / "b.rla", ReadBytes(kSamples / kSampleNames[1]));
    WriteBytes(in / "c.rla", ReadBytes(kSamples / kSampleNames[2]));
    // b cannot be written: its place in the output folder is taken by a folder.
    fs::create_directories(out / "b.rla" / "inside");
    // Another document of the same name would land where a already goes.
    WriteBytes(m_dir / "other" / "a.rla", ReadBytes(kSamples / kSampleNames[2]));

    const RunResult run =
        Run({"-j", "2", "-o", out.string(), in.string(), (m_dir / "other" / "a.rla").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadBytes(out / "a.rla"), Run({"--stdout", (in / "a.rla").string()}).out);
    EXPECT_EQ(ReadBytes(out / "c.rla"), Run({"--stdout", (in / "c.rla").string()}).out);
    EXPECT_TRUE(fs::is_directory(out / "b.rla" / "inside"));
    EXPECT_NE(run.err.find((in / "b.rla").string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find((m_dir / "other" / "a.rla").string()), std::string::npos) << run.err;
    // No temporary file is left anywhere.
    EXPECT_EQ(Tree(out).size(), 2u);

    // The same file named twice is processed once.
    const RunResult twice = Run({"--stdout", (in / "c.rla").string(), in.string()});
    EXPECT_EQ(Count(twice.out, "$18"), 3u);
}

TEST_F(BatchTool, QuietWhenNotOnATerminalUnlessTheSummaryIsAsked)
{
    const std::string doc = (kSamples / kSampleNames[0]).string();
    EXPECT_EQ(Run({"--check", doc}).err, "");
    const RunResult summary = Run({"--check", "--summary", doc, (m_dir / "missing.rla").string()});
    EXPECT_NE(
        summary.err.find("tirvel-toc: 2 documents: 1 would be processed (0 unchanged), 0 refused, 1 failed;"),
        std::string::npos)
        << summary.err;
    EXPECT_EQ(Run({"--check", "--summary", "-q", doc}).err, "");

    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("tirvel-toc ")) << version.out;
    for (const std::vector<std::string>& usage :
         std::vector<std::vector<std::string>>{{"-j", "0", doc},
                                               {"--check", "--stdout", doc},
                                               {"--move-to", m_dir.string(), "-o", m_dir.string(), doc}})
        EXPECT_EQ(Run(usage).status, 2) << usage[0] << " " << usage[1];
}
} // namespace
