#include "core/document/CDocumentFile.h"

#include "core/base/FileIO.h"

#include "SaveMessages.h"
#include "support/FileSizeLimit.h"
#include "support/PermissionsEnforced.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const std::string kOld = "$1\r\n" + File866("$18  Текст документа") + "\r\nold text";

struct SavedFile
{
    mode_t mode;
    struct timespec modified;
};

SavedFile StatOf(const std::string& path)
{
    struct stat status
    {
    };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return {static_cast<mode_t>(status.st_mode & 07777), status.st_mtim};
}

} // namespace

TEST(DocumentSave, BackupNames)
{
    struct Case
    {
        std::string path;
        std::string backup;
    };
    const Case cases[] = {
        {"/d/A.rla", "/d/A.bak"},
        {"/d/A.RLA", "/d/A.RLA.bak"},
        {"/d/A.txt", "/d/A.txt.bak"},
        {"A.rla", "A.bak"},
        {"/d/a.rla/x.txt", "/d/a.rla/x.txt.bak"}, // a folder name does not count
        {"/d/x.rla.bak", "/d/x.rla.bak.bak"},     // never the document itself
        {"/d/x.rla.txt", "/d/x.rla.bak"},
        {"/d/noext", "/d/noext.bak"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDocumentFile::BackupPathFor(c.path), c.backup) << c.path;
}

TEST(DocumentSave, BackupIsACopyOfTheFileAsLoaded)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    const std::string path = folder / "A.rla";
    WriteBytes(path, kOld);
    ::chmod(path.c_str(), 0640);
    const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), past, 0);
    WriteBytes(folder / "A.bak", "an older backup");

    CDocumentFile document(reporter, FixedToday);
    document.Load(path);
    document.SetTextLines({"new text"});
    ASSERT_TRUE(document.Save(true));

    EXPECT_EQ(ReadBytes(folder / "A.bak"), kOld);
    EXPECT_EQ(StatOf(folder / "A.bak").mode, 0640u);
    EXPECT_EQ(StatOf(folder / "A.bak").modified.tv_sec, 1000000000);
    EXPECT_NE(ReadBytes(path).find("new text"), std::string::npos);
    EXPECT_EQ(StatOf(path).mode, 0640u); // the document keeps its permission bits

    // Later saves without a backup leave it alone.
    document.SetTextLines({"newer text"});
    ASSERT_TRUE(document.Save(false));
    EXPECT_EQ(ReadBytes(folder / "A.bak"), kOld);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"A.bak", "A.rla"}));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(DocumentSave, FailedBackupIsReportedAndTheSaveGoesOn)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    const std::string path = folder / "A.rla";
    WriteBytes(path, kOld);
    std::filesystem::create_directories(folder / "A.bak/inside"); // cannot be replaced by a file

    CDocumentFile document(reporter, FixedToday);
    document.Load(path);
    document.SetTextLines({"new text"});
    EXPECT_TRUE(document.Save(true));

    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, BackupFailed(folder / "A.bak").text);
    EXPECT_EQ(reporter.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(reporter.reasons, std::vector<std::string>{folder / "A.bak" + ": " + std::strerror(EISDIR)});
    EXPECT_NE(ReadBytes(path).find("new text"), std::string::npos);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"A.bak", "A.rla"}));
}

TEST(DocumentSave, FailedWriteLeavesTheOldFileIntact)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    const std::string path = folder / "A.rla";
    WriteBytes(path, kOld);
    CDocumentFile document(reporter, FixedToday);
    document.Load(path);
    document.SetTextLines({std::string(100000, 'x')});
    SaveResult saved;
    {
        const FileSizeLimit limit(1000);
        saved = document.Save(false);
    }
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"A.rla"}); // no temporary file left
    // What failed, where and why, in the one value the save returns and in the words it reports.
    EXPECT_EQ(saved.kind, SaveResult::Kind::Write);
    EXPECT_EQ(saved.error.path, path);
    EXPECT_EQ(saved.error.errorNumber, EFBIG);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, SaveFailed(path).text);
    EXPECT_EQ(reporter.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(reporter.reasons,
              std::vector<std::string>{path + ": cannot write the document: " + std::strerror(EFBIG)});
}

TEST(DocumentSave, SaveIntoAReadOnlyFolderLeavesTheOldFileIntact)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    const std::string path = folder / "A.rla";
    WriteBytes(path, kOld);
    CDocumentFile document(reporter, FixedToday);
    document.Load(path);
    document.SetTextLines({"new text"});
    ::chmod(folder.path().c_str(), 0555);
    {
        const PermissionsEnforced enforced;
        EXPECT_FALSE(document.Save(true));
    }
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"A.rla"});
    ASSERT_EQ(reporter.messages.size(), 2u); // the backup, then the save
    EXPECT_EQ(reporter.messages[1].text, SaveFailed(path).text);
}

TEST(DocumentSave, SaveToAPlaceThatCannotHoldTheFile)
{
    ScratchFolder folder;
    WriteBytes(folder / "plain", "a file, not a folder");
    std::filesystem::create_directories(folder / "dir.rla/inside");
    struct Case
    {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"vanished folder", folder / "gone/A.rla"},
        {"parent is a file", folder / "plain/A.rla"},
        {"a folder stands at the path", folder / "dir.rla"},
        {"empty path", ""},
    };
    for (const Case& c : cases)
    {
        RecordingReporter reporter;
        CDocumentFile document(reporter, FixedToday);
        document.SetHeaderLines({"$1"});
        document.SetTextLines({"text"});
        EXPECT_FALSE(document.SaveTo(c.path, BackupRule::None)) << c.what;
        ASSERT_EQ(reporter.messages.size(), 1u) << c.what;
        EXPECT_EQ(reporter.messages[0].text, SaveFailed(c.path).text) << c.what;
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dir.rla", "plain"}));
    EXPECT_TRUE(std::filesystem::exists(folder / "dir.rla/inside"));
}

// A copy written elsewhere leaves the document where it is; a save to another place moves it there,
// and only when it succeeds.
TEST(DocumentSave, SavingElsewhereMovesTheDocumentOnlyWhenItSucceeds)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    WriteBytes(folder / "a.rla", kOld);
    CDocumentFile document(reporter, FixedToday);
    document.Load(folder / "a.rla");
    document.SetTextLines({"new text"});

    ASSERT_TRUE(document.SaveAsNewFile(folder / "copy.rla"));
    EXPECT_FALSE(document.SaveAsNewFile(folder / "copy.rla")) << "the name is taken now";
    EXPECT_EQ(document.Path(), folder / "a.rla");

    EXPECT_FALSE(document.SaveTo(folder / "gone/b.rla", BackupRule::None));
    EXPECT_EQ(document.Path(), folder / "a.rla");
    ASSERT_TRUE(document.SaveTo(folder / "b.rla", BackupRule::None));
    EXPECT_EQ(document.Path(), folder / "b.rla");
    document.SetTextLines({"newer text"});
    ASSERT_TRUE(document.Save(false));

    EXPECT_EQ(ReadBytes(folder / "a.rla"), kOld);
    EXPECT_NE(ReadBytes(folder / "copy.rla").find("new text"), std::string::npos);
    EXPECT_NE(ReadBytes(folder / "b.rla").find("newer text"), std::string::npos);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.rla", "b.rla", "copy.rla"}));
}

TEST(DocumentSave, SaveThroughASymbolicLinkKeepsTheLink)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    WriteBytes(folder / "real.rla", kOld);
    std::filesystem::create_symlink(folder / "real.rla", folder / "link.rla");
    CDocumentFile document(reporter, FixedToday);
    document.Load(folder / "link.rla");
    document.SetTextLines({"new text"});
    ASSERT_TRUE(document.Save(false));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.rla"));
    EXPECT_NE(ReadBytes(folder / "real.rla").find("new text"), std::string::npos);
}

TEST(DocumentSave, NewFileGetsTheUsualPermissions)
{
    ScratchFolder folder;
    RecordingReporter reporter;
    CDocumentFile document(reporter, FixedToday);
    document.SetHeaderLines({"$1"});
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(document.SaveTo(folder / "new.rla", BackupRule::None));
    ::umask(mask);
    EXPECT_EQ(StatOf(folder / "new.rla").mode, 0644u);
}

TEST(DocumentSave, MoveFileReplacing)
{
    ScratchFolder folder;
    WriteBytes(folder / "a.rla", "A");
    WriteBytes(folder / "b.rla", "B");
    EXPECT_TRUE(MoveFileReplacing(folder / "a.rla", folder / "b.rla"));
    EXPECT_EQ(ReadBytes(folder / "b.rla"), "A");
    EXPECT_FALSE(std::filesystem::exists(folder / "a.rla"));

    // A missing source moves nothing and leaves the destination alone.
    EXPECT_FALSE(MoveFileReplacing(folder / "a.rla", folder / "b.rla"));
    EXPECT_EQ(ReadBytes(folder / "b.rla"), "A");

    EXPECT_TRUE(MoveFileReplacing(folder / "b.rla", folder / "c.rla"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"c.rla"});
}

TEST(DocumentSave, MoveFileReplacingAcrossFileSystems)
{
    ScratchFolder folder;
    const std::filesystem::path other = "/dev/shm";
    struct stat here
    {
    };
    struct stat there
    {
    };
    if (::stat(other.c_str(), &there) != 0 || ::stat(folder.path().c_str(), &here) != 0 ||
        here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    const ScratchFolder otherFolder(other);

    const std::string from = otherFolder / "a.rla";
    WriteBytes(from, "content");
    ::chmod(from.c_str(), 0600);
    const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, from.c_str(), past, 0);
    WriteBytes(folder / "b.rla", "older");

    EXPECT_TRUE(MoveFileReplacing(from, folder / "b.rla"));
    EXPECT_EQ(ReadBytes(folder / "b.rla"), "content");
    EXPECT_EQ(StatOf(folder / "b.rla").mode, 0600u);
    EXPECT_EQ(StatOf(folder / "b.rla").modified.tv_sec, 1000000000);
    EXPECT_FALSE(std::filesystem::exists(from));

    // A copy that fails leaves the destination as it was.
    WriteBytes(from, std::string(100000, 'x'));
    {
        const FileSizeLimit limit(1000);
        EXPECT_FALSE(MoveFileReplacing(from, folder / "b.rla"));
    }
    EXPECT_EQ(ReadBytes(folder / "b.rla"), "content");
    EXPECT_TRUE(std::filesystem::exists(from));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"b.rla"});
}
