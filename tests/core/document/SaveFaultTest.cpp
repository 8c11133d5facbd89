// Saving when the file system works against it: a full disk, a folder that cannot be written, a
// document deleted or replaced behind the editor's back, a processed folder on another file system.
// Whatever happens, the operator is told which file failed, the editor can go on, and every byte of
// the document on disk is still in the document or in its backup.

#include "SaveMessages.h"
#include "support/ReliabilitySupport.h"

#include <gtest/gtest.h>

#include "core/base/FileIO.h"
#include "core/dictionaries/CDocKindsList.h"
#include "core/dictionaries/CUpperCaseWordsDict.h"
#include "core/document/CDocumentFile.h"
#include "core/toc/ProcessDocument.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{

// A sample document copied to path, loaded and processed as the editor does before a save; the
// processed text is longer than the file.
struct OpenDocument
{
    explicit OpenDocument(const std::string& path) : document(reporter, FixedToday)
    {
        WriteBytes(path, original);
        document.Load(path);
        const CUpperCaseWordsDict words;
        const CDocKindsList kinds;
        document.SetTextLines(ProcessDocument(document.TextLines(), words, kinds, reporter).lines);
    }

    const std::string original = ReadBytes(SamplePath("law_sections_articles.rla"));
    RecordingReporter reporter;
    CDocumentFile document;
};

} // namespace

TEST(SaveFaults, FullDiskKeepsTheDocumentAndTheNextSaveWorks)
{
    ScratchFolder folder;
    const std::string path = folder / "law.rla";
    OpenDocument open(path);
    ASSERT_GT(open.document.FileBytes().size(), open.original.size());
    {
        // Room for the backup, not for the longer new content.
        FileSizeLimit disk(open.original.size());
        EXPECT_FALSE(open.document.Save(true));
    }
    EXPECT_EQ(open.reporter.messages, std::vector<ReportedMessage>{SaveFailed(path)});
    EXPECT_EQ(ReadBytes(path), open.original);
    EXPECT_EQ(ReadBytes(folder / "law.bak"), open.original);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"law.bak", "law.rla"}));

    open.reporter.messages.clear();
    EXPECT_TRUE(open.document.Save(false));
    EXPECT_TRUE(open.reporter.messages.empty());
    EXPECT_EQ(ReadBytes(path), open.document.FileBytes());
    EXPECT_EQ(ReadBytes(folder / "law.bak"), open.original);
}

TEST(SaveFaults, FullFileSystemFailsBackupAndSaveButLosesNothing)
{
    SmallFileSystem disk(64 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP()
            << "no permission to mount a small file system; the file-size limit case covers a full disk";
    const std::string path = disk / "law.rla";
    OpenDocument open(path);
    // Fill the file system up to the last byte.
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush())
        {
        }
    }

    EXPECT_FALSE(open.document.Save(true));
    EXPECT_EQ(open.reporter.messages,
              (std::vector<ReportedMessage>{BackupFailed(disk / "law.bak"), SaveFailed(path)}));
    EXPECT_EQ(ReadBytes(path), open.original);
    EXPECT_EQ(disk.Names(), (std::vector<std::string>{"filler", "law.rla"}));

    fs::remove(disk / "filler");
    open.reporter.messages.clear();
    EXPECT_TRUE(open.document.Save(true));
    EXPECT_TRUE(open.reporter.messages.empty());
    EXPECT_EQ(ReadBytes(disk / "law.bak"), open.original);
    EXPECT_EQ(ReadBytes(path), open.document.FileBytes());
}

TEST(SaveFaults, FolderThatCannotBeWrittenAnyMore)
{
    struct Case
    {
        const char* name;
        // Makes the folder unwritable; returns where the original document now is.
        std::string (*spoil)(const ScratchFolder& parent, const std::string& folder);
        void (*restore)(const ScratchFolder& parent, const std::string& folder);
    };
    const Case cases[] = {
        {"made read-only",
         [](const ScratchFolder&, const std::string& folder)
         {
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
             return folder + "/doc.rla";
         },
         [](const ScratchFolder&, const std::string& folder)
         { fs::permissions(folder, fs::perms::owner_all); }},
        {"replaced by a file",
         [](const ScratchFolder& parent, const std::string& folder)
         {
             fs::rename(folder, parent / "moved-away");
             WriteBytes(folder, "not a folder");
             return parent / "moved-away/doc.rla";
         },
         [](const ScratchFolder& parent, const std::string& folder)
         {
             fs::remove(folder);
             fs::rename(parent / "moved-away", folder);
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScratchFolder parent;
        const std::string folder = parent / "docs";
        fs::create_directory(folder);
        const std::string path = folder + "/doc.rla";
        OpenDocument open(path);

        const std::string originalNow = c.spoil(parent, folder);
        {
            PermissionsEnforced asOperator;
            EXPECT_FALSE(open.document.Save(true));
        }
        EXPECT_EQ(open.reporter.messages,
                  (std::vector<ReportedMessage>{BackupFailed(folder + "/doc.bak"), SaveFailed(path)}));
        EXPECT_EQ(ReadBytes(originalNow), open.original);

        c.restore(parent, folder);
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"doc.rla"}) << "a temporary file was left";
        open.reporter.messages.clear();
        EXPECT_TRUE(open.document.Save(true));
        EXPECT_TRUE(open.reporter.messages.empty());
        EXPECT_EQ(ReadBytes(folder + "/doc.bak"), open.original);
    }
}

TEST(SaveFaults, DocumentDeletedOrReplacedBeforeTheSave)
{
    ScratchFolder folder;
    const std::string path = folder / "doc.rla";

    // Deleted: nothing to back up; the document in memory is written again.
    {
        OpenDocument open(path);
        fs::remove(path);
        EXPECT_TRUE(open.document.Save(true));
        EXPECT_EQ(open.reporter.messages, std::vector<ReportedMessage>{BackupFailed(folder / "doc.bak")});
        EXPECT_EQ(ReadBytes(path), open.document.FileBytes());
        fs::remove(path);
    }
    // Replaced by another program's version: that version stays, and nothing is written.
    {
        OpenDocument open(path);
        WriteBytes(path, "written meanwhile by someone else\r\n");
        const SaveResult saved = open.document.Save(true);
        EXPECT_FALSE(saved);
        EXPECT_EQ(saved.kind, SaveResult::Kind::Changed);
        EXPECT_EQ(ReadBytes(path), "written meanwhile by someone else\r\n");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.rla"});
        fs::remove(path);
    }
    // Replaced by a folder: it is left as it is.
    {
        OpenDocument open(path);
        fs::remove(path);
        fs::create_directory(path);
        WriteBytes(path + "/inside.rla", "kept");
        const SaveResult saved = open.document.Save(true);
        EXPECT_FALSE(saved);
        EXPECT_EQ(saved.kind, SaveResult::Kind::Changed);
        EXPECT_EQ(open.reporter.messages.back(), SaveFailed(path));
        EXPECT_EQ(ReadBytes(path + "/inside.rla"), "kept");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.rla"});
    }
}

TEST(SaveFaults, ProcessedFolderOnAnotherFileSystem)
{
    ScratchFolder here;
    if (!fs::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    ScratchFolder there("/dev/shm");
    struct stat hereStatus
    {
    }, thereStatus{};
    ::stat(here.path().c_str(), &hereStatus);
    ::stat(there.path().c_str(), &thereStatus);
    if (hereStatus.st_dev == thereStatus.st_dev)
        GTEST_SKIP() << "/dev/shm is on the same file system as " << here.path();

    const std::string path = here / "doc.rla";
    OpenDocument open(path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteBytes(there / "doc.rla", "an older processed version");

    // A copy that cannot be completed replaces nothing and keeps the source.
    {
        FileSizeLimit disk(100);
        EXPECT_FALSE(MoveFileReplacing(path, there / "doc.rla"));
    }
    EXPECT_EQ(ReadBytes(path), open.original);
    EXPECT_EQ(ReadBytes(there / "doc.rla"), "an older processed version");
    EXPECT_EQ(there.Names(), std::vector<std::string>{"doc.rla"});
    // Into a folder that does not exist: nothing moves.
    EXPECT_FALSE(MoveFileReplacing(path, there / "missing/doc.rla"));
    EXPECT_EQ(ReadBytes(path), open.original);

    // The move the workflow makes at the first save, then the save at the new place.
    ASSERT_TRUE(MoveFileReplacing(path, there / "doc.rla"));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ReadBytes(there / "doc.rla"), open.original);
    EXPECT_EQ(fs::status(there / "doc.rla").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    open.document.FileMoved(there / "doc.rla");
    EXPECT_TRUE(open.document.Save(true));
    EXPECT_TRUE(open.reporter.messages.empty());
    EXPECT_EQ(ReadBytes(there / "doc.bak"), open.original);
    EXPECT_EQ(ReadBytes(there / "doc.rla"), open.document.FileBytes());
}
