// tirvel-toc never loses a document: what would destroy a file is refused, a document that writing
// would not change is left alone, a run killed at any point leaves every original whole somewhere
// expected and the rerun finishes the job, and two runs at once never process a document twice.

#include "CliTestSupport.h"

#include "core/base/CFileLock.h"
#include "support/InterruptedOverwrite.h"
#include "support/ReliabilitySupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace cli_test;

namespace
{
// The bytes of every file of a folder (not below it), by name.
std::map<std::string, std::string> Files(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file())
                files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

// Bytes, inode and modification time of every file: equal before and after a run that wrote nothing.
std::map<std::string, std::string> Snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
    {
        struct stat status;
        ::stat(entry.path().c_str(), &status);
        files[entry.path().filename().string()] =
            ReadBytes(entry.path()) + "|" + std::to_string(status.st_ino) + "|" +
            std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec);
    }
    return files;
}

std::vector<std::string> Temporaries(const fs::path& folder)
{
    std::vector<std::string> names;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().find(".tirvel-") != std::string::npos)
                names.push_back(entry.path().filename().string());
    return names;
}

const std::string kLaw = ReadBytes(kSamples / "law_sections_articles.rla");
const std::string kDecree = ReadBytes(kSamples / "decree_rules_appendix.rla");
// Nothing in it makes a heading, and it is written as it was read: processing changes nothing.
const std::string kPlain = File866("$1  Вид\r\nЗакон\r\n$100  Дата ввода/изменения\r\n01.02.2020\r\n"
                                   "$18  Текст документа\r\n     Текст без заголовков.");
// The documents of the runs that are killed on their way.
const std::map<std::string, std::string> kOriginals = {
    {"decree.rla", kDecree}, {"law.rla", kLaw}, {"plain.rla", kPlain}};

class DataSafety : public CliToolTest
{
protected:
    RunResult Run(std::vector<std::string> args, const std::vector<std::string>& environment = {}) const
    {
        args.insert(args.begin(), {"--no-settings", "--keep-dates", "-j", "1"});
        std::vector<std::string> settings = environment;
        // A replaced file goes into a trash of the test's own.
        settings.push_back("XDG_DATA_HOME=" + (m_dir / "data").string());
        return RunTool(args, settings);
    }

    // The processed form of a document, as its first save writes it.
    std::string Processed(const std::string& bytes) const
    {
        const fs::path file = m_dir / "processed-input.rla";
        WriteBytes(file, bytes);
        return Run({"--stdout", file.string()}).out;
    }

    // Run, killed with SIGKILL at the given point of its changes to the file system.
    RunResult RunKilledAt(int point, const std::vector<std::string>& args) const
    {
        return Run(args, {"LD_PRELOAD=" + std::string(TIRVEL_KILL_AT_STEP),
                          "TIRVEL_KILL_AT_POINT=" + std::to_string(point),
                          "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
    }

    // What a finished run leaves of kOriginals: each changed document processed beside the backup
    // of its original, the plain one as it was.
    std::map<std::string, std::string> FinishedOriginals() const
    {
        return {{"decree.bak", kDecree},
                {"decree.rla", Processed(kDecree)},
                {"law.bak", kLaw},
                {"law.rla", Processed(kLaw)},
                {"plain.rla", kPlain}};
    }

    fs::path Trash() const { return m_dir / "data" / "Trash" / "files"; }
};

TEST_F(DataSafety, MoveToRefusesADifferentDocumentInTheFolderUnlessToldToTrashIt)
{
    const fs::path in = m_dir / "in";
    const fs::path done = m_dir / "done";
    WriteBytes(in / "law.rla", kLaw);
    // From an earlier batch: another document of the same name, processed, with its backup.
    WriteBytes(done / "law.rla", Processed(kDecree));
    WriteBytes(done / "law.bak", kDecree);
    const auto before = Files(done);

    const RunResult checked = Run({"--check", "--move-to", done.string(), in.string()});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, (in / "law.rla").string() + ": failed\n");
    const RunResult refused = Run({"--move-to", done.string(), in.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find((in / "law.rla").string() + ": refused: " + (done / "law.rla").string()),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(ReadBytes(in / "law.rla"), kLaw);
    EXPECT_EQ(Files(done), before);

    const RunResult replaced = Run({"--replace", "--move-to", done.string(), in.string()});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_FALSE(fs::exists(in / "law.rla"));
    EXPECT_EQ(ReadBytes(done / "law.rla"), Processed(kLaw));
    EXPECT_EQ(ReadBytes(done / "law.bak"), kLaw);
    EXPECT_EQ(Files(Trash()), before);
}

TEST_F(DataSafety, OutputFolderNeverOverwritesTheDocumentOrAnotherFile)
{
    const fs::path in = m_dir / "in";
    const fs::path out = m_dir / "out";
    WriteBytes(in / "law.rla", kLaw);
    WriteBytes(in / "decree.rla", kDecree);

    // The source folder as the output: each document would be its own output.
    const RunResult self = Run({"-o", in.string(), in.string()});
    EXPECT_EQ(self.status, 1);
    EXPECT_NE(self.err.find((in / "law.rla").string() + ": refused: the output " + (in / "law.rla").string() +
                            " is the document itself"),
              std::string::npos)
        << self.err;
    EXPECT_EQ(Files(in), (std::map<std::string, std::string>{{"decree.rla", kDecree}, {"law.rla", kLaw}}));

    // A rerun finds its own output, even written on another day, and writes nothing; a different
    // file there is refused.
    ASSERT_EQ(Run({"-o", out.string(), in.string()}).status, 0);
    std::string earlierDay = ReadBytes(out / "law.rla");
    const std::size_t changeDate = earlierDay.find("\r\n", earlierDay.find("$100 ")) + 2;
    ASSERT_EQ(earlierDay.substr(changeDate, 12), "12.03.2021\r\n");
    earlierDay.replace(changeDate, 10, "11.03.2021");
    WriteBytes(out / "law.rla", earlierDay);
    WriteBytes(out / "decree.rla", "someone else's");
    const auto written = Snapshot(out);
    const RunResult again =
        Run({"--report", (m_dir / "report.json").string(), "-o", out.string(), in.string()});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find((in / "decree.rla").string() + ": refused: " + (out / "decree.rla").string() +
                             " already holds a different file"),
              std::string::npos)
        << again.err;
    EXPECT_EQ(Snapshot(out), written);
    EXPECT_NE(ReadBytes(m_dir / "report.json").find("\"unchanged\": 1,"), std::string::npos);

    ASSERT_EQ(Run({"--replace", "-o", out.string(), in.string()}).status, 0);
    EXPECT_EQ(ReadBytes(out / "decree.rla"), Processed(kDecree));
    EXPECT_EQ(ReadBytes(Trash() / "decree.rla"), "someone else's");
}

TEST_F(DataSafety, ContentAfterTheEndMarkIsReportedAndItsBackupSurvivesReruns)
{
    const fs::path doc = m_dir / "in" / "law.rla";
    const std::string withTail = kLaw + "\x1A" + "tail text";
    WriteBytes(doc, withTail);
    const fs::path report = m_dir / "report.json";

    const RunResult first = Run({"--report", report.string(), doc.string()});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find(doc.string() + ": warning: 9 bytes after the end-of-file mark (0x1A)"),
              std::string::npos)
        << first.err;
    EXPECT_NE(ReadBytes(report).find("\"bytes_after_end\": 9,"), std::string::npos);
    EXPECT_EQ(ReadBytes(m_dir / "in" / "law.bak"), withTail);
    EXPECT_EQ(ReadBytes(doc), Processed(kLaw));

    // What anyone does after an interruption: the same run again. The backup keeps the tail.
    const auto after = Snapshot(m_dir / "in");
    EXPECT_EQ(Run({doc.string()}).status, 0);
    EXPECT_EQ(Snapshot(m_dir / "in"), after);
}

TEST_F(DataSafety, ARerunOverAFinishedFolderWritesNothing)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "law.rla", kLaw);
    WriteBytes(in / "decree.rla", kDecree);
    WriteBytes(in / "plain.rla", kPlain);
    const fs::path report = m_dir / "report.json";

    // Dates brought up to date: a document that is written gets new ones, one that is not keeps them.
    const RunResult first = RunTool({"--no-settings", "--summary", "--report", report.string(), in.string()});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("3 processed (1 unchanged)"), std::string::npos) << first.err;
    EXPECT_NE(ReadBytes(report).find("\"status\": \"processed\", \"changed\": false"), std::string::npos);
    EXPECT_EQ(ReadBytes(in / "plain.rla"), kPlain);
    EXPECT_FALSE(fs::exists(in / "plain.bak"));
    EXPECT_EQ(ReadBytes(in / "law.bak"), kLaw);

    const auto finished = Snapshot(in);
    EXPECT_EQ(RunTool({"--no-settings", in.string()}).status, 0);
    EXPECT_EQ(Snapshot(in), finished);
}

TEST_F(DataSafety, ABackupThatCannotBeMadeStopsTheSave)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "law.rla", kLaw);
    fs::create_directories(in / "law.bak");
    const RunResult run = Run({in.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(
        run.err.find((in / "law.rla").string() + ": cannot make the backup " + (in / "law.bak").string()),
        std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(in / "law.rla"), kLaw);

    // A full disk: the backup does not fit beside the document, in place or in the move-to folder.
    SmallFileSystem disk(96 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    std::string large = kLaw;
    while (large.size() < 56 * 1024)
        large += "\r\n" + kLaw.substr(kLaw.find("$18"));
    const fs::path full = disk / "full.rla";
    WriteBytes(full, large);
    EXPECT_EQ(Run({full.string()}).status, 1);
    EXPECT_EQ(ReadBytes(full), large);
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"full.rla"});

    WriteBytes(in / "big.rla", large);
    EXPECT_EQ(Run({"--move-to", (disk / "done"), (in / "big.rla").string()}).status, 1);
    EXPECT_EQ(ReadBytes(in / "big.rla"), large);
}

// The tool is killed just before and just after each rename and removal it makes, in turn; after
// each kill every original is whole in the document or its backup, and a rerun finishes the job
// and removes what the killed run left.
TEST_F(DataSafety, AKillAtAnyPointOfAnInPlaceRunIsFinishedByTheRerun)
{
    const std::map<std::string, std::string> finished = FinishedOriginals();
    const fs::path in = m_dir / "in";
    int point = 1;
    for (;; ++point)
    {
        fs::remove_all(in);
        for (const auto& [name, bytes] : kOriginals)
            WriteBytes(in / name, bytes);
        const RunResult killed = RunKilledAt(point, {in.string()});
        if (!killed.killed)
        {
            EXPECT_EQ(killed.status, 0) << killed.err;
            break;
        }
        const auto left = Files(in);
        for (const auto& [name, bytes] : kOriginals)
        {
            const std::string backup = name.substr(0, name.size() - 3) + "bak";
            const bool kept = (left.contains(name) && left.at(name) == bytes) ||
                              (left.contains(backup) && left.at(backup) == bytes);
            EXPECT_TRUE(kept) << name << " lost at point " << point;
        }
        // Run again at once: what the killed run left is stale in the very second it was left.
        const RunResult rerun = Run({in.string()});
        EXPECT_EQ(rerun.status, 0) << "point " << point << ": " << rerun.err;
        EXPECT_EQ(Files(in), finished) << "point " << point;
        EXPECT_EQ(Temporaries(in), std::vector<std::string>{}) << "point " << point;
    }
    EXPECT_GE(point, 9) << "the backups and the documents are renamed into place";
}

// A document with a second name is overwritten in place: a kill anywhere in that leaves its previous
// content in a copy beside it, which the rerun puts back before it backs the document up again.
TEST_F(DataSafety, AKillDuringAnOverwriteInPlaceIsPutRightByTheRerun)
{
    const fs::path in = m_dir / "in";
    const std::map<std::string, std::string> finished = {{"law.bak", kLaw}, {"law.rla", Processed(kLaw)}};
    int point = 1;
    for (;; ++point)
    {
        fs::remove_all(in);
        fs::remove(m_dir / "second-name.txt");
        WriteBytes(in / "law.rla", kLaw);
        fs::create_hard_link(in / "law.rla", m_dir / "second-name.txt");
        const RunResult killed = RunKilledAt(point, {in.string()});
        if (!killed.killed)
        {
            EXPECT_EQ(killed.status, 0) << killed.err;
            break;
        }
        // Run again at once: what the killed run left is stale in the very second it was left.
        const RunResult rerun = Run({in.string()});
        EXPECT_EQ(rerun.status, 0) << "point " << point << ": " << rerun.err;
        EXPECT_EQ(Files(in), finished) << "point " << point;
        EXPECT_EQ(ReadBytes(m_dir / "second-name.txt"), Processed(kLaw)) << "point " << point;
    }
    EXPECT_GE(point, 5) << "the backup, the copy and the cut of the overwrite";

    // Killed in the middle of the overwrite, after the backup was made: the document holds part of
    // the new text over the old. The rerun must not take that for the original.
    fs::remove_all(in);
    WriteBytes(in / "law.rla", kLaw);
    fs::create_hard_link(in / "law.rla", in / "law.txt");
    WriteBytes(in / "law.bak", kLaw);
    InterruptOverwrite(in / "law.rla", Processed(kLaw).substr(0, kLaw.size() / 2));
    const RunResult rerun = Run({(in / "law.rla").string()});
    EXPECT_EQ(rerun.status, 0) << rerun.err;
    EXPECT_NE(rerun.err.find("law.rla"), std::string::npos) << "the operator is told";
    EXPECT_EQ(Files(in), (std::map<std::string, std::string>{
                             {"law.bak", kLaw}, {"law.rla", Processed(kLaw)}, {"law.txt", Processed(kLaw)}}));
}

TEST_F(DataSafety, AKillAtAnyPointOfAMoveToRunIsFinishedByTheRerun)
{
    const std::map<std::string, std::string> finished = FinishedOriginals();
    const fs::path in = m_dir / "in";
    const fs::path done = m_dir / "done";
    int point = 1;
    for (;; ++point)
    {
        fs::remove_all(in);
        fs::remove_all(done);
        for (const auto& [name, bytes] : kOriginals)
            WriteBytes(in / name, bytes);
        const RunResult killed = RunKilledAt(point, {"--move-to", done.string(), in.string()});
        if (!killed.killed)
        {
            EXPECT_EQ(killed.status, 0) << killed.err;
            break;
        }
        // Each document is untouched at its source, or its original is in the folder.
        const auto source = Files(in);
        const auto moved = Files(done);
        for (const auto& [name, bytes] : kOriginals)
        {
            const std::string backup = name.substr(0, name.size() - 3) + "bak";
            const bool kept = (source.contains(name) && source.at(name) == bytes) ||
                              (moved.contains(backup) && moved.at(backup) == bytes) ||
                              (moved.contains(name) && moved.at(name) == bytes);
            EXPECT_TRUE(kept) << name << " lost at point " << point;
            if (!source.contains(name))
            {
                EXPECT_EQ(moved.at(name), finished.at(name)) << name << " incomplete at point " << point;
            }
        }
        const RunResult rerun = Run({"--move-to", done.string(), in.string()});
        EXPECT_EQ(rerun.status, 0) << "point " << point << ": " << rerun.err;
        EXPECT_EQ(Files(in), (std::map<std::string, std::string>{})) << "point " << point;
        EXPECT_EQ(Files(done), finished) << "point " << point;
        EXPECT_EQ(Temporaries(in), std::vector<std::string>{}) << "point " << point;
        EXPECT_EQ(Temporaries(done), std::vector<std::string>{}) << "point " << point;
    }
    EXPECT_GE(point, 15) << "backups, documents and sources: three changes for each changed document";
}

TEST_F(DataSafety, ReadOnlyLinkedAndOwnedDocumentsKeepWhatTheyAre)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "readonly.rla", kLaw);
    fs::permissions(in / "readonly.rla",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {(in / "readonly.rla").string()},
             {"--move-to", (m_dir / "done").string(), (in / "readonly.rla").string()}})
    {
        const RunResult run = Run(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("read-only"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Files(in), (std::map<std::string, std::string>{{"readonly.rla", kLaw}}));
    EXPECT_FALSE(fs::exists(m_dir / "done" / "readonly.rla"));

    // Every name of a document with several keeps the processed text, the backup the original.
    WriteBytes(in / "linked.rla", kLaw);
    fs::create_hard_link(in / "linked.rla", m_dir / "other-name.txt");
    ASSERT_EQ(Run({(in / "linked.rla").string()}).status, 0);
    EXPECT_EQ(ReadBytes(in / "linked.rla"), Processed(kLaw));
    EXPECT_EQ(ReadBytes(m_dir / "other-name.txt"), Processed(kLaw));
    EXPECT_EQ(ReadBytes(in / "linked.bak"), kLaw);

    // Mode, and owner and group where the run may give them, stay the document's, moved or not.
    for (const bool move : {false, true})
    {
        const fs::path doc = m_dir / (move ? "owned-moved" : "owned") / "doc.rla";
        WriteBytes(doc, kDecree);
        ::chmod(doc.c_str(), 0640);
        const bool root = ::geteuid() == 0;
        if (root)
        {
            ASSERT_EQ(::chown(doc.c_str(), 4321, 4322), 0);
        }
        const fs::path result = move ? m_dir / "done" / "doc.rla" : doc;
        ASSERT_EQ(Run(move ? std::vector<std::string>{"--move-to", (m_dir / "done").string(), doc.string()}
                           : std::vector<std::string>{doc.string()})
                      .status,
                  0);
        struct stat status;
        ASSERT_EQ(::stat(result.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0640u) << result;
        if (root)
        {
            EXPECT_EQ(status.st_uid, 4321u) << result;
            EXPECT_EQ(status.st_gid, 4322u) << result;
        }
    }
}

TEST_F(DataSafety, ADocumentAnotherRunHoldsIsSkippedAndTwoRunsProcessEachDocumentOnce)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "law.rla", kLaw);
    WriteBytes(in / "decree.rla", kDecree);
    {
        CFileLock held((in / "law.rla").string());
        ASSERT_TRUE(held.Held());
        const RunResult run = Run({"--summary", in.string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(
            run.err.find((in / "law.rla").string() + ": skipped: another run is processing the document"),
            std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("0 failed, 1 skipped;"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(in / "law.rla"), kLaw);
        EXPECT_FALSE(fs::exists(in / "law.bak"));
        EXPECT_EQ(ReadBytes(in / "decree.rla"), Processed(kDecree));
    }

    // Two runs over one folder at once: each document ends processed once, its backup the original.
    const fs::path many = m_dir / "many";
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 30; ++i)
    {
        // Built in two steps: GCC 12 at -O3 reports the one-expression form as an overlapping copy.
        std::string name = "d";
        name += std::to_string(i);
        WriteBytes(many / (name + ".rla"), i % 2 ? kLaw : kDecree);
        expected[name + ".rla"] = i % 2 ? Processed(kLaw) : Processed(kDecree);
        expected[name + ".bak"] = i % 2 ? kLaw : kDecree;
    }
    const std::string tool =
        std::string("'") + TIRVEL_TOC_EXE + "' --no-settings --keep-dates -q '" + many.string() + "'";
    ASSERT_EQ(std::system((tool + " & " + tool + " & wait").c_str()), 0);
    EXPECT_EQ(Files(many), expected);
}

TEST_F(DataSafety, DocumentsWhoseBackupsWouldMeetAreRefused)
{
    const fs::path in = m_dir / "in";
    WriteBytes(in / "law.rla1", kLaw);
    WriteBytes(in / "law.rla2", kDecree);
    const auto before = Files(in);

    const RunResult both = Run({(in / "law.rla1").string(), (in / "law.rla2").string()});
    EXPECT_EQ(both.status, 1);
    EXPECT_NE(both.err.find((in / "law.rla1").string() + ": refused: its backup " +
                            (in / "law.rbak").string() + " would also be the backup of " +
                            (in / "law.rla2").string()),
              std::string::npos)
        << both.err;
    EXPECT_NE(both.err.find((in / "law.rla2").string() + ": refused: its backup"), std::string::npos)
        << both.err;
    // One of them alone: the other still lies beside it.
    EXPECT_EQ(Run({(in / "law.rla2").string()}).status, 1);
    const RunResult checked = Run({"--check", (in / "law.rla1").string()});
    EXPECT_EQ(checked.out, (in / "law.rla1").string() + ": failed\n");
    EXPECT_EQ(Files(in), before);

    // Without backups nothing is at stake.
    EXPECT_EQ(Run({"--no-backup", in.string() + "/law.rla1", in.string() + "/law.rla2"}).status, 0);
}

TEST_F(DataSafety, PathsThatAreNoDocumentsGetClearMessages)
{
    const fs::path fifo = m_dir / "pipe.rla";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    HangGuard guard(60);
    for (const std::string& path : {fifo.string(), std::string("/dev/null")})
    {
        const RunResult run = Run({path});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(path + ": not a regular file"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("Invalid argument"), std::string::npos) << run.err;
    }

    // A document whose name begins with "-" is named after "--"; without it the tool says so.
    WriteBytes(m_dir / "-x.rla", kLaw);
    const std::string cwd = fs::current_path().string();
    fs::current_path(m_dir);
    const RunResult option = Run({"-x.rla"});
    const RunResult path = Run({"--", "-x.rla"});
    fs::current_path(cwd);
    EXPECT_EQ(option.status, 2);
    EXPECT_NE(option.err.find("-x.rla: no such option; a path that begins with \"-\" goes after --"),
              std::string::npos)
        << option.err;
    EXPECT_EQ(path.status, 0) << path.err;
    EXPECT_EQ(ReadBytes(m_dir / "-x.rla"), Processed(kLaw));
}

// A copy an interrupted overwrite left is put back only by a run that writes, and only when it is
// provably this program's copy of the document as it stands. A copy whose document was edited (or
// restored by the operator) afterwards is stale: the reading runs leave it and say so, the next
// writing run moves it to the trash; a planted one stays where it is and exposes nothing.
TEST_F(DataSafety, ACopyLeftBesideADocumentIsJudgedBeforeAnythingIsPutBack)
{
    const fs::path in = m_dir / "in";
    const fs::path copy = in / ".law.rla.tirvel-copy";
    WriteBytes(in / "law.rla", kLaw);
    fs::create_hard_link(in / "law.rla", m_dir / "second-name.txt");
    InterruptOverwrite(in / "law.rla", "NEW TEXT");
    EditLater(in / "law.rla", kDecree);
    // Files of the user's own that merely look like the program's temporaries.
    WriteBytes(in / ".quarterly-notes.tirvel-tmp", "notes");
    WriteBytes(in / ".law.rla.aB3dE9.tirvel-tmp", "someone's");
    const auto before = Snapshot(in);

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--check", in.string()}, {"--stdout", in.string()}, {"-o", (m_dir / "out").string(), in.string()}})
    {
        const RunResult run = Run(args);
        EXPECT_NE(run.err.find(copy.string()), std::string::npos) << args[0] << ": " << run.err;
        EXPECT_NE(run.err.find("изменён после прерванного сохранения"), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(in), before) << args[0] << " changed nothing";
    }
    const RunResult run = Run({in.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(copy.string() + " не восстановлена"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(Trash() / ".law.rla.tirvel-copy").substr(0, kLaw.size()), kLaw);
    EXPECT_EQ(Files(in), (std::map<std::string, std::string>{{".law.rla.aB3dE9.tirvel-tmp", "someone's"},
                                                             {".quarterly-notes.tirvel-tmp", "notes"},
                                                             {"law.bak", kDecree},
                                                             {"law.rla", Processed(kDecree)}}));

    // A link planted in the copy's place, to a file only root may read: never put back, never read.
    fs::remove_all(in);
    WriteBytes(in / "law.rla", kLaw);
    fs::create_hard_link(in / "law.rla", m_dir / "third-name.txt");
    WriteBytes(m_dir / "secret", "root's secret");
    ::chmod((m_dir / "secret").c_str(), 0600);
    fs::create_symlink(m_dir / "secret", copy);
    const RunResult planted = Run({in.string()});
    EXPECT_NE(planted.err.find(copy.string() + " не восстановлена: это символическая ссылка"), std::string::npos)
        << planted.err;
    EXPECT_EQ(ReadBytes(in / "law.rla"), kLaw) << "not written in place past a file in the copy's way";
    EXPECT_EQ(Files(in).count("law.rla"), 1u);
    EXPECT_TRUE(fs::is_symlink(copy));

    // A genuine copy of a document cut off in the middle: a reading run names it and fails the
    // document; the writing run puts it back and finishes the job.
    fs::remove_all(in);
    WriteBytes(in / "law.rla", kLaw);
    fs::create_hard_link(in / "law.rla", m_dir / "fourth-name.txt");
    InterruptOverwrite(in / "law.rla", "NEW TEXT");
    const auto damaged = Snapshot(in);
    const RunResult checked = Run({"--check", in.string()});
    EXPECT_EQ(checked.out, (in / "law.rla").string() + ": failed\n");
    EXPECT_NE(checked.err.find("its previous content is in " + copy.string()), std::string::npos) << checked.err;
    EXPECT_EQ(Snapshot(in), damaged);
    EXPECT_EQ(Run({in.string()}).status, 0);
    EXPECT_EQ(Files(in), (std::map<std::string, std::string>{{"law.bak", kLaw}, {"law.rla", Processed(kLaw)}}));
}

// Two or three runs into one folder at once, from sources whose documents have the same names: a
// name goes to exactly one of them, and every other run names the document it left where it was.
TEST_F(DataSafety, ConcurrentRunsIntoOneFolderLoseNothingAndNameWhatTheySkipped)
{
    constexpr int kDocuments = 40;
    for (const std::string mode : {"--move-to", "-o"})
    {
        for (const int runs : {2, 3})
        {
            SCOPED_TRACE(mode + " with " + std::to_string(runs) + " runs");
            const fs::path into = m_dir / ("into" + std::to_string(runs) + mode);
            std::map<std::string, std::string> originals; // source path -> bytes
            std::string command;
            for (int run = 0; run < runs; ++run)
            {
                const fs::path source = m_dir / (mode + "source" + std::to_string(runs) + std::to_string(run));
                for (int i = 0; i < kDocuments; ++i)
                {
                    std::string name = "d";
                    name += std::to_string(i) + ".rla";
                    std::string bytes = i % 2 ? kLaw : kDecree;
                    bytes += "\r\nsource " + std::to_string(run);
                    WriteBytes(source / name, bytes);
                    originals[(source / name).string()] = bytes;
                }
                command += "'" + std::string(TIRVEL_TOC_EXE) + "' --no-settings --keep-dates -q -j 2 " + mode +
                           " '" + into.string() + "' '" + source.string() + "' 2>'" + source.string() +
                           ".err' & ";
            }
            std::system((command + "wait").c_str());

            std::map<std::string, int> taken; // name -> how many sources it was taken from
            for (const auto& [path, bytes] : originals)
            {
                const std::string name = fs::path(path).filename().string();
                const std::string errors = ReadBytes(fs::path(path).parent_path().string() + ".err");
                const bool named = errors.find(path + ": refused") != std::string::npos;
                const std::string runMark = bytes.substr(bytes.rfind("source "));
                const bool mine = Count(ReadBytes(into / name), runMark) == 1;
                if (mode == "-o")
                {
                    EXPECT_EQ(ReadBytes(path), bytes) << path;
                    EXPECT_NE(mine, named) << path << " written or named: " << errors;
                    taken[name] += mine ? 1 : 0;
                    continue;
                }
                const std::string backup = name.substr(0, name.size() - 3) + "bak";
                if (fs::exists(path))
                {
                    EXPECT_EQ(ReadBytes(path), bytes) << path;
                    EXPECT_TRUE(named) << path << " left without a word: " << errors;
                }
                else
                {
                    EXPECT_EQ(ReadBytes(into / backup), bytes) << path << " lost";
                    EXPECT_TRUE(mine) << path;
                    ++taken[name];
                }
            }
            for (const auto& [name, count] : taken)
                EXPECT_EQ(count, 1) << name;
        }
    }
}

// Another program edits the document at each moment of a run's changes in turn: the edit is never
// written over or removed with the document, and where it came before the run would have replaced or
// removed the document, the run says so and leaves it.
TEST_F(DataSafety, AnEditMadeWhileARunWorksIsNeverLost)
{
    const std::string edit = "\r\nan edit made by another program";
    const fs::path in = m_dir / "in";
    const fs::path witness = m_dir / "edited";
    for (const std::vector<std::string>& mode : std::vector<std::vector<std::string>>{
             {}, {"--no-backup"}, {"--move-to", (m_dir / "done").string()},
             {"--no-backup", "--move-to", (m_dir / "done").string()}})
    {
        SCOPED_TRACE(mode.empty() ? "in place" : mode.front() + (mode.size() > 2 ? " --move-to" : ""));
        bool told = false;
        for (int point = 1;; ++point)
        {
            fs::remove_all(in);
            fs::remove_all(m_dir / "done");
            fs::remove(witness);
            WriteBytes(in / "law.rla", kLaw);
            std::vector<std::string> args = mode;
            args.push_back((in / "law.rla").string());
            const RunResult run = Run(
                args, {"LD_PRELOAD=" + std::string(TIRVEL_KILL_AT_STEP), "TIRVEL_EDIT_AT_POINT=" + std::to_string(point),
                       "TIRVEL_EDIT_PATH=" + (in / "law.rla").string(), "TIRVEL_EDIT_TEXT=" + edit,
                       "TIRVEL_EDIT_WITNESS=" + witness.string(), "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
            if (!fs::exists(witness))
                break;
            // The edit is in the document, where the other program left it.
            EXPECT_TRUE(fs::exists(in / "law.rla")) << "point " << point << ": " << run.err;
            if (fs::exists(in / "law.rla"))
            {
                EXPECT_TRUE(ReadBytes(in / "law.rla").ends_with(edit)) << "point " << point;
            }
            if (run.err.find("changed on disk") != std::string::npos)
            {
                told = true;
                EXPECT_EQ(run.status, 1);
                EXPECT_EQ(ReadBytes(in / "law.rla"), kLaw + edit) << "point " << point;
            }
        }
        EXPECT_TRUE(told);
    }
}

// --move-to takes documents, not links to them: a link would be left dangling in the folder, away
// from its document.
TEST_F(DataSafety, MoveToRefusesASymbolicLink)
{
    const fs::path in = m_dir / "in";
    const fs::path done = m_dir / "done";
    WriteBytes(m_dir / "elsewhere" / "plain.rla", kPlain);
    WriteBytes(m_dir / "elsewhere" / "law.rla", kLaw);
    fs::create_directories(in);
    fs::create_symlink(m_dir / "elsewhere" / "plain.rla", in / "plain.rla");
    fs::create_symlink(m_dir / "elsewhere" / "law.rla", in / "law.rla");
    const RunResult run = Run({"--move-to", done.string(), in.string()});
    EXPECT_EQ(run.status, 1);
    for (const char* name : {"plain.rla", "law.rla"})
    {
        EXPECT_NE(run.err.find((in / name).string() + ": refused: the document is a symbolic link"), std::string::npos)
            << run.err;
        EXPECT_TRUE(fs::is_symlink(in / name));
    }
    EXPECT_EQ(ReadBytes(m_dir / "elsewhere" / "plain.rla"), kPlain);
    EXPECT_EQ(ReadBytes(m_dir / "elsewhere" / "law.rla"), kLaw);
    EXPECT_FALSE(fs::exists(done / "plain.rla") || fs::is_symlink(done / "plain.rla"));
}

TEST_F(DataSafety, MessagesTellTheRealCauseAndEscapeNames)
{
    // A name with a line break would otherwise forge a line of its own.
    const fs::path forged = m_dir / "in" / "a\ntirvel-toc: b.rla: processed\x1b[2K.rla";
    WriteBytes(forged, kLaw);
    const RunResult checked = Run({"--check", (m_dir / "in").string()});
    EXPECT_EQ(checked.out, (m_dir / "in").string() + "/a\\ntirvel-toc: b.rla: processed\\x1b[2K.rla: would change\n");
    fs::permissions(forged, fs::perms::owner_read);
    const RunResult refused = Run({(m_dir / "in").string()});
    EXPECT_EQ(Count(refused.err, "\n"), 1u) << refused.err;
    EXPECT_NE(refused.err.find("/a\\ntirvel-toc: b.rla: processed\\x1b[2K.rla: refused: the document is read-only"),
              std::string::npos)
        << refused.err;

    // A move onto another, full file system falls back to a copy: the copy's failure is the cause.
    SmallFileSystem disk(64 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a file system needs root";
    fs::create_directories(disk / "done");
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            ;
    }
    WriteBytes(m_dir / "plain" / "plain.rla", kPlain);
    const RunResult full = Run({"--move-to", disk / "done", (m_dir / "plain" / "plain.rla").string()});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    EXPECT_EQ(full.err.find("cross-device"), std::string::npos) << full.err;
    EXPECT_EQ(ReadBytes(m_dir / "plain" / "plain.rla"), kPlain);
}
} // namespace
