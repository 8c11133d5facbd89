// Whole-file reads and all-at-once writes: a new file looks like any file written under the user's
// umask, a failed or cancelled write leaves the old file and nothing else, and a read never blocks on
// something that is no regular file nor takes more than its limit.

#include "core/base/FileIO.h"
#include "core/base/CSaveFile.h"

#include "support/ReliabilitySupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <ctime>

namespace fs = std::filesystem;

namespace
{

mode_t ModeOf(const std::string& path)
{
    struct stat status
    {
    };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// Sets the process umask for a scope.
class Umask
{
public:
    explicit Umask(mode_t mask) : m_saved(::umask(mask)) {}
    ~Umask() { ::umask(m_saved); }

private:
    mode_t m_saved;
};

} // namespace

TEST(SaveFile, NewFileTakesTheUmaskAndTheProcessUmaskStays)
{
    for (const mode_t mask : {mode_t{022}, mode_t{027}, mode_t{077}, mode_t{0}})
    {
        ScratchFolder folder;
        const Umask umask(mask);
        ASSERT_TRUE(WriteFileAtomically(folder / "new", "content"));
        EXPECT_EQ(ModeOf(folder / "new"), 0666 & ~mask) << std::oct << mask;
        EXPECT_EQ(::umask(mask), mask) << "the process umask was changed";
        EXPECT_EQ(ReadBytes(folder / "new"), "content");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"new"});
    }
}

TEST(SaveFile, ReplacedFileTakesTheModeTheWriterGivesIt)
{
    ScratchFolder folder;
    const Umask umask(022);
    WriteBytes(folder / "doc", "old");
    CSaveFile file(folder / "doc");
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.SetMode(0604));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(folder / "doc"), "new");
    EXPECT_EQ(ModeOf(folder / "doc"), 0604u);
}

TEST(SaveFile, CancelledOrAbandonedWriteLeavesTheOldFileAlone)
{
    ScratchFolder folder;
    WriteBytes(folder / "doc", "old");
    {
        CSaveFile file(folder / "doc");
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("half of the new"));
        EXPECT_EQ(folder.Names().size(), 2u); // the temporary file sits beside the target
        file.Cancel();
        EXPECT_FALSE(file.Commit());
    }
    {
        CSaveFile file(folder / "doc");
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("never committed"));
    }
    EXPECT_EQ(ReadBytes(folder / "doc"), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc"});
}

TEST(SaveFile, FailedWriteLeavesTheOldFileAndNothingElse)
{
    const std::string content(100000, 'x');
    struct Case
    {
        const char* name;
        rlim_t sizeLimit;
        fs::perms folderPermissions;
    };
    const Case cases[] = {
        {"full disk", 1000, fs::perms::owner_all},
        {"read-only folder", RLIM_INFINITY, fs::perms::owner_read | fs::perms::owner_exec},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        WriteBytes(folder / "doc", "old");
        WriteBytes(folder / "large", content);
        fs::permissions(folder.path(), c.folderPermissions);
        {
            FileSizeLimit disk(c.sizeLimit);
            PermissionsEnforced asOperator;
            EXPECT_FALSE(WriteFileAtomically(folder / "doc", content));
            EXPECT_FALSE(CopyFileReplacing(folder / "large", folder / "doc"));
        }
        fs::permissions(folder.path(), fs::perms::owner_all);
        EXPECT_EQ(ReadBytes(folder / "doc"), "old");
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"doc", "large"}));
    }

    SmallFileSystem disk(64 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "no permission to mount a small file system";
    WriteBytes(disk / "doc", "old");
    EXPECT_FALSE(WriteFileAtomically(disk / "doc", std::string(128 * 1024, 'x')));
    EXPECT_EQ(ReadBytes(disk / "doc"), "old");
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"doc"});
}

TEST(SaveFile, CopyKeepsModeAndTimes)
{
    ScratchFolder folder;
    WriteBytes(folder / "from", "content");
    ::chmod((folder / "from").c_str(), 0640);
    const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, (folder / "from").c_str(), past, 0);
    WriteBytes(folder / "to", "older");

    ASSERT_TRUE(CopyFileReplacing(folder / "from", folder / "to"));
    struct stat status
    {
    };
    ASSERT_EQ(::stat((folder / "to").c_str(), &status), 0);
    EXPECT_EQ(ReadBytes(folder / "to"), "content");
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"from", "to"}));
}

TEST(ReadWholeFile, ReadsRegularFilesUpToTheLimitAndRefusesTheRest)
{
    ScratchFolder folder;
    WriteBytes(folder / "ten", "0123456789");
    fs::create_directory(folder / "folder");
    ::mkfifo((folder / "pipe").c_str(), 0600);
    struct Case
    {
        std::string path;
        std::uint64_t limit;
        int error;
        mode_t type;
    };
    const Case cases[] = {
        {folder / "ten", 10, 0, 0},
        {folder / "ten", 9, EFBIG, 0},
        {folder / "missing", 10, ENOENT, 0},
        {folder / "folder", 10, EISDIR, 0},
        {folder / "pipe", 10, EINVAL, S_IFIFO},
        {"/dev/zero", 10, EINVAL, S_IFCHR},
        {"/dev/null", 10, EINVAL, S_IFCHR},
    };
    HangGuard guard(20);
    for (const Case& c : cases)
    {
        std::string bytes = "stale";
        const FileReadError error = ReadWholeFile(c.path, c.limit, bytes);
        EXPECT_EQ(error.errorNumber, c.error) << c.path;
        EXPECT_EQ(error.fileType, c.type) << c.path;
        EXPECT_EQ(bytes, c.error == 0 ? "0123456789" : "") << c.path;
    }
}

// The temporary file a writer of this program leaves when it is killed in the middle: written in a
// child process that is then killed. Its name.
std::string KilledWriterLeft(const ScratchFolder& folder, const std::string& target)
{
    const std::vector<std::string> before = folder.Names();
    const pid_t child = ::fork();
    if (child == 0)
    {
        CSaveFile file(folder / target);
        if (file.Open() && file.Write("half of it"))
            ::raise(SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    for (const std::string& name : folder.Names())
        if (std::find(before.begin(), before.end(), name) == before.end())
            return name;
    ADD_FAILURE() << "no temporary left for " << target;
    return {};
}

TEST(StaleTemporaries, OnlyWhatAKilledWriterOfThisProgramLeftIsRemoved)
{
    ScratchFolder folder;
    const struct timespec past = {std::time(nullptr) - 3600, 0};
    const struct timespec times[2] = {past, past};
    // The user's own files that merely look alike (old ones), and the copy of a document being
    // overwritten in place.
    for (const char* name : {".quarterly-notes.tirvel-tmp", ".d.rla.aB3dE9.tirvel-tmp", ".d.rla.aB3-E9.tirvel-tmp",
                             "d.rla.aB3dE9.tirvel-tmp", ".d.rla.Ab12Cd", ".d.rla.tirvel-copy"})
    {
        WriteBytes(folder / name, "someone's");
        ::utimensat(AT_FDCWD, (folder / name).c_str(), times, 0);
    }
    fs::create_symlink(folder / "d.rla", folder / ".e.rla.qQ1qQ1.tirvel-tmp");
    // Left by killed writers, but since given a second name, given to another user, or opened and
    // locked by a program that is still running.
    fs::create_hard_link(folder / KilledWriterLeft(folder, "a.rla"), folder / "second name");
    ASSERT_EQ(::chown((folder / KilledWriterLeft(folder, "b.rla")).c_str(), 12345, 12345), 0);
    const int holder = ::open((folder / KilledWriterLeft(folder, "c.rla")).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    // One being written by a run that is still alive, made to look old.
    CSaveFile writing(folder / "e.rla");
    ASSERT_TRUE(writing.Open());
    ASSERT_TRUE(writing.Write("half"));
    ASSERT_TRUE(writing.SetTimes(past, past));
    // Left by a writer killed a moment ago: in the same second, it is no less stale.
    const std::string killed = KilledWriterLeft(folder, "d.rla");
    const std::vector<std::string> before = folder.Names();

    EXPECT_EQ(RemoveStaleTemporaries(folder.path().string()), std::vector<std::string>{folder / killed});
    std::vector<std::string> expected = before;
    expected.erase(std::find(expected.begin(), expected.end(), killed));
    EXPECT_EQ(folder.Names(), expected);

    ::close(holder);
    ASSERT_TRUE(writing.Commit());
    EXPECT_EQ(ReadBytes(folder / "e.rla"), "half");
}

TEST(StaleTemporaries, AWriterKilledMidwayLeavesAFileTheNextRunRemoves)
{
    ScratchFolder folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        CSaveFile file(folder / "d.rla");
        const bool written = file.Open() && file.Write(std::string(1 << 20, 'x'));
        const char byte = written ? '1' : '0';
        if (::write(ready[1], &byte, 1) != 1)
            ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(byte, '1');
    // While the writer lives, its file is left alone.
    EXPECT_TRUE(RemoveStaleTemporaries(folder.path().string()).empty());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::vector<std::string> left = folder.Names();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(CSaveFile::IsTemporaryName(left[0])) << left[0];

    EXPECT_EQ(RemoveStaleTemporaries(folder.path().string()), std::vector<std::string>{folder / left[0]});
    EXPECT_TRUE(folder.Names().empty());
}
