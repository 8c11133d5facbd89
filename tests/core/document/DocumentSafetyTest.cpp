// What keeps a batch run from losing or mangling documents: knowing that a save would change nothing,
// telling about content after the end-of-text byte, a backup that must exist before the document is
// touched, read-only documents left alone, owners, groups and hard links kept, and a lock that keeps
// two runs off one document.

#include "core/base/CFileLock.h"
#include "core/document/CDocumentFile.h"

#include "SaveMessages.h"
#include "support/InterruptedOverwrite.h"
#include "support/ReliabilitySupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

using Lines = std::vector<std::string>;

const std::string kStart = File866("$18  Текст документа");
const std::string kDocument =
    File866("$100  Дата ввода/изменения") + "\r\n01.03.2003\r\n" + kStart + "\r\nold text";

struct stat StatOf(const std::string& path)
{
    struct stat status
    {
    };
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

// A document on disk and the object that loaded it.
struct Loaded
{
    Loaded(const std::string& path, const std::string& bytes) : document(reporter, FixedToday)
    {
        WriteBytes(path, bytes);
        document.Load(path);
    }
    RecordingReporter reporter;
    CDocumentFile document;
};

} // namespace

TEST(DocumentSafety, SaveWouldChangeFileComparesWithTheBytesAsLoaded)
{
    struct Case
    {
        const char* what;
        std::string file;
        bool wouldChange;
    };
    const Case cases[] = {
        {"written as it would be saved", kDocument, false},
        {"box characters", kStart + "\r\n\xDA\xC4\xBF", false},
        {"header only", "$1\r\n$2\r\n", false},
        {"empty file", "", false},
        {"final line end", kDocument + "\r\n", true},
        {"LF line ends", "$1\n" + kStart + "\nx", true},
        {"byte 0x10 written back as a box character", kStart + "\r\n\x10", true},
        {"content after 0x1A",
         kDocument + "\x1A"
                     "tail",
         true},
        {"a bare end-of-text byte", kDocument + "\x1A", true},
    };
    ScratchFolder folder;
    for (const Case& c : cases)
    {
        Loaded loaded(folder / "d.rla", c.file);
        EXPECT_EQ(loaded.document.SaveWouldChangeFile(), c.wouldChange) << c.what;
    }

    Loaded loaded(folder / "d.rla", kDocument);
    CTextLines& text = loaded.document.MutableTextLines();
    const std::string last(text.back());
    text.Set(text.size() - 1, last + " ");
    EXPECT_TRUE(loaded.document.SaveWouldChangeFile()) << "text changed";
    text.Set(text.size() - 1, last);
    std::vector<std::string> header = loaded.document.HeaderLines();
    header[1] = "02.03.2003";
    loaded.document.SetHeaderLines(header);
    EXPECT_TRUE(loaded.document.SaveWouldChangeFile()) << "header changed";
    header[1] = "01.03.2003";
    loaded.document.SetHeaderLines(header);
    EXPECT_FALSE(loaded.document.SaveWouldChangeFile()) << "changed back";

    loaded.document.Clear();
    EXPECT_TRUE(loaded.document.SaveWouldChangeFile()) << "nothing loaded";
    CDocumentFile fresh(loaded.reporter);
    EXPECT_TRUE(fresh.SaveWouldChangeFile()) << "never loaded";
}

TEST(DocumentSafety, ContentAfterTheEndOfTextIsToldAndTheFirstBackupKeepsIt)
{
    struct Case
    {
        std::string after;
        std::uint64_t contentBytes;
    };
    const Case cases[] = {
        {"", 0},
        {"\x1A", 0},
        {"\x1A\r\n", 0},
        {"\x1A\x1A\x1A", 0},
        {"\x1A"
         "cd",
         2},
        {"\x1A\r\n"
         "more text\r\n",
         13},
        {"\x1A\x1A"
         "x",
         2},
        {std::string("\x1A\0", 2), 1},
    };
    ScratchFolder folder;
    for (const Case& c : cases)
    {
        Loaded loaded(folder / "d.rla", kDocument + c.after);
        EXPECT_EQ(loaded.document.ContentAfterEndBytes(), c.contentBytes) << c.after.size();
    }

    const std::string withTail = kDocument + "\x1A"
                                             "the rest of an older document";
    Loaded loaded(folder / "d.rla", withTail);
    ASSERT_TRUE(loaded.document.Save(BackupRule::Required));
    EXPECT_EQ(ReadBytes(folder / "d.bak"), withTail);
    EXPECT_EQ(ReadBytes(folder / "d.rla").find("older"), std::string::npos);
}

TEST(DocumentSafety, RequiredBackupThatCannotBeMadeStopsTheSave)
{
    struct Case
    {
        const char* what;
        void (*spoil)(const ScratchFolder& folder);
        rlim_t sizeLimit;
    };
    const Case cases[] = {
        {"a folder where the backup goes",
         [](const ScratchFolder& folder) { fs::create_directory(folder / "d.bak"); }, RLIM_INFINITY},
        {"a full disk", [](const ScratchFolder&) {}, 10},
        {"the document deleted", [](const ScratchFolder& folder) { fs::remove(folder / "d.rla"); },
         RLIM_INFINITY},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::string path = folder / "d.rla";
        Loaded loaded(path, kDocument);
        loaded.document.SetTextLines({"new text"});
        c.spoil(folder);
        const Lines namesBefore = folder.Names();
        SaveResult saved;
        {
            FileSizeLimit disk(c.sizeLimit);
            saved = loaded.document.Save(BackupRule::Required);
            EXPECT_FALSE(saved);
        }
        EXPECT_EQ(loaded.reporter.Texts(),
                  (Lines{BackupFailed(folder / "d.bak").text, SaveFailed(path).text}));
        EXPECT_EQ(saved.kind, SaveResult::Kind::Backup);
        EXPECT_NE(saved.error.reason.find(folder / "d.bak"), std::string::npos);
        EXPECT_EQ(folder.Names(), namesBefore);
        if (fs::exists(path))
        {
            EXPECT_EQ(ReadBytes(path), kDocument);
        }
        EXPECT_EQ(loaded.document.HeaderLines()[1], "01.03.2003") << "the dates of an unsaved document stay";
    }
}

TEST(DocumentSafety, ReadOnlyDocumentIsRefusedAndLeftAlone)
{
    struct Case
    {
        const char* what;
        mode_t mode;
        uid_t owner;
        bool asOperator;
    };
    const Case cases[] = {
        {"no write permission at all, even for root", 0444, 0, false},
        {"no write permission for the operator", 0444, 0, true},
        {"someone else's document", 0644, 12345, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::string path = folder / "d.rla";
        Loaded loaded(path, kDocument);
        loaded.document.SetTextLines({"new text"});
        ASSERT_EQ(::chown(path.c_str(), c.owner, 0), 0);
        ::chmod(path.c_str(), c.mode);
        SaveResult saved;
        if (c.asOperator)
        {
            PermissionsEnforced asOperator;
            saved = loaded.document.Save(true);
        }
        else
            saved = loaded.document.Save(true);
        EXPECT_FALSE(saved);
        EXPECT_EQ(loaded.reporter.Texts(), Lines{SaveFailed(path).text});
        EXPECT_EQ(saved.kind, SaveResult::Kind::ReadOnly);
        EXPECT_NE(saved.error.reason.find("read-only"), std::string::npos);
        EXPECT_EQ(ReadBytes(path), kDocument);
        EXPECT_EQ(StatOf(path).st_mode & 07777, c.mode);
        EXPECT_EQ(folder.Names(), Lines{"d.rla"}) << "no backup of a document that is not saved";
    }
}

TEST(DocumentSafety, OwnerGroupModeAndOtherNamesKeptThroughTheSave)
{
    struct Case
    {
        const char* what;
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool hardLink;
        bool asOperator; // cannot give a file away
        BackupRule backup;
    };
    const Case cases[] = {
        {"root keeps someone else's owner and group", 12345, 23456, 0640, false, false, BackupRule::Wanted},
        {"a group member keeps the owner", 12345, 0, 0664, false, true, BackupRule::Required},
        {"a group member without backup", 12345, 0, 0664, false, true, BackupRule::None},
        {"two names, with backup", 0, 0, 0600, true, false, BackupRule::Wanted},
        {"two names, without backup", 0, 0, 0600, true, false, BackupRule::None},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::string path = folder / "d.rla";
        Loaded loaded(path, kDocument);
        loaded.document.SetTextLines({"new text"});
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0);
        ::chmod(path.c_str(), c.mode);
        if (c.hardLink)
            fs::create_hard_link(path, folder / "other name.rla");
        const struct stat before = StatOf(path);
        if (c.asOperator)
        {
            PermissionsEnforced asOperator;
            EXPECT_TRUE(loaded.document.Save(c.backup));
        }
        else
            EXPECT_TRUE(loaded.document.Save(c.backup));
        EXPECT_TRUE(loaded.reporter.messages.empty());

        const struct stat after = StatOf(path);
        EXPECT_EQ(after.st_uid, c.owner);
        EXPECT_EQ(after.st_gid, c.group);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(ReadBytes(path), loaded.document.FileBytes());
        Lines names{"d.rla"};
        if (c.backup != BackupRule::None)
        {
            names.insert(names.begin(), "d.bak");
            EXPECT_EQ(ReadBytes(folder / "d.bak"), kDocument);
        }
        if (c.hardLink)
        {
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(ReadBytes(folder / "other name.rla"), loaded.document.FileBytes());
            names.push_back("other name.rla");
        }
        EXPECT_EQ(folder.Names(), names) << "the copy kept while writing in place is gone";
    }
}

TEST(DocumentSafety, DocumentWrittenInPlaceStaysWholeWhenTheDiskIsFull)
{
    ScratchFolder folder;
    const std::string path = folder / "d.rla";
    Loaded loaded(path, kDocument);
    fs::create_hard_link(path, folder / "link.rla");
    loaded.document.SetTextLines({std::string(100000, 'x')});
    for (const BackupRule backup : {BackupRule::None, BackupRule::Wanted})
    {
        loaded.reporter.messages.clear();
        SaveResult saved;
        {
            FileSizeLimit disk(kDocument.size() + 100);
            saved = loaded.document.Save(backup);
            EXPECT_FALSE(saved);
        }
        EXPECT_EQ(loaded.reporter.Texts().back(), SaveFailed(path).text);
        EXPECT_EQ(saved.kind, SaveResult::Kind::Write);
        EXPECT_EQ(ReadBytes(path), kDocument);
        EXPECT_EQ(ReadBytes(folder / "link.rla"), kDocument);
        EXPECT_EQ(StatOf(path).st_nlink, 2u);
        fs::remove(folder / "d.bak");
        EXPECT_EQ(folder.Names(), (Lines{"d.rla", "link.rla"}));
    }
}

// An overwrite in place keeps the previous content beside the document until it is done; a load
// that finds that copy left behind (the writer was killed) puts it back first, but only a copy that
// is provably this program's copy of this document as it stands.
TEST(DocumentSafety, LoadPutsBackWhatAnInterruptedOverwriteInPlaceLeft)
{
    ScratchFolder folder;
    const std::string path = folder / "d.rla";
    const std::string copy = folder / ".d.rla.tirvel-copy";
    WriteBytes(path, kDocument);
    InterruptOverwrite(path, "NEW TEXT");
    const std::string damaged = ReadBytes(path);
    ASSERT_NE(damaged, kDocument);

    // A copy still held belongs to a save that is writing right now: the document is read as it is.
    {
        const int writer = ::open(copy.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(writer, LOCK_EX), 0);
        RecordingReporter reporter;
        CDocumentFile document(reporter, FixedToday);
        document.Load(path);
        EXPECT_EQ(document.FileBytes(), damaged);
        EXPECT_EQ(folder.Names(), (Lines{".d.rla.tirvel-copy", "d.rla"}));
        ::close(writer);
    }

    // A load that may not write says what it found and changes nothing.
    {
        RecordingReporter reporter;
        CDocumentFile document(reporter, FixedToday);
        document.SetCopyRule(CopyRule::ReportOnly);
        try
        {
            document.Load(path);
            ADD_FAILURE() << "a damaged document loaded";
        }
        catch (const DocumentFileError& error)
        {
            EXPECT_NE(std::string(error.what()).find(copy), std::string::npos) << error.what();
        }
        EXPECT_EQ(ReadBytes(path), damaged);
        EXPECT_EQ(folder.Names(), (Lines{".d.rla.tirvel-copy", "d.rla"}));
    }

    RecordingReporter reporter;
    CDocumentFile document(reporter, FixedToday);
    document.Load(path);
    EXPECT_EQ(ReadBytes(path), kDocument);
    EXPECT_EQ(document.FileBytes(), kDocument);
    EXPECT_EQ(folder.Names(), (Lines{"d.rla"}));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].icon, MessageIcon::Information);
    EXPECT_NE(reporter.messages[0].text.find(path), std::string::npos);

    // A save that meets a file with the copy's name (left after this document was loaded) overwrites
    // nothing.
    fs::create_hard_link(path, folder / "link.rla");
    WriteBytes(copy, kDocument);
    document.SetTextLines({"changed"});
    const SaveResult saved = document.Save(BackupRule::None);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.error.reason.find(copy), std::string::npos);
    EXPECT_EQ(ReadBytes(path), kDocument);
    EXPECT_EQ(ReadBytes(copy), kDocument);
}

// A file with the copy's name is put back only when it proves to be this program's copy of this very
// document, cut off in the middle; anything else is left where it is and named, and the document is
// read as it stands. A link to a file only root may read must not expose it; a pipe must not block;
// a huge sparse file must not fill the disk.
TEST(DocumentSafety, APlantedOrStaleCopyIsNeverPutBack)
{
    struct Case
    {
        const char* what;
        // Puts something at the copy's name of folder/d.rla, which holds kDocument.
        void (*plant)(const ScratchFolder& folder);
        const char* reason;
    };
    const Case cases[] = {
        {"a link to a file only root may read",
         [](const ScratchFolder& folder)
         {
             WriteBytes(folder / "secret", "root's secret");
             ::chmod((folder / "secret").c_str(), 0600);
             fs::create_symlink(folder / "secret", folder / ".d.rla.tirvel-copy");
         },
         "символическая ссылка"},
        {"a link to an endless device",
         [](const ScratchFolder& folder) { fs::create_symlink("/dev/zero", folder / ".d.rla.tirvel-copy"); },
         "символическая ссылка"},
        {"a named pipe", [](const ScratchFolder& folder) { ::mkfifo((folder / ".d.rla.tirvel-copy").c_str(), 0600); },
         "не обычный файл"},
        {"a second name of an unrelated file",
         [](const ScratchFolder& folder)
         {
             WriteBytes(folder / "unrelated", "unrelated");
             fs::create_hard_link(folder / "unrelated", folder / ".d.rla.tirvel-copy");
         },
         "другие имена"},
        {"a genuine copy given to another user",
         [](const ScratchFolder& folder)
         {
             InterruptOverwrite(folder / "d.rla", "NEW TEXT");
             ::chown((folder / ".d.rla.tirvel-copy").c_str(), 12345, 12345);
         },
         "другой пользователь"},
        {"a huge sparse file",
         [](const ScratchFolder& folder)
         {
             WriteBytes(folder / ".d.rla.tirvel-copy", "");
             fs::resize_file(folder / ".d.rla.tirvel-copy", std::uintmax_t{1} << 40);
         },
         "нет записи"},
        {"a genuine copy blown up to a huge sparse file, its record kept at the end",
         [](const ScratchFolder& folder)
         {
             InterruptOverwrite(folder / "d.rla", "NEW TEXT");
             const std::string copy = folder / ".d.rla.tirvel-copy";
             const std::string bytes = ReadBytes(copy);
             const std::string record = bytes.substr(bytes.size() - 160);
             const int fd = ::open(copy.c_str(), O_WRONLY);
             ::pwrite(fd, record.data(), record.size(), (off_t{1} << 40) - 160);
             ::close(fd);
         },
         "больше документа"},
        {"an old copy without a record",
         [](const ScratchFolder& folder) { WriteBytes(folder / ".d.rla.tirvel-copy", "old text"); },
         "нет записи"},
        {"a genuine copy changed afterwards",
         [](const ScratchFolder& folder)
         {
             InterruptOverwrite(folder / "d.rla", "NEW TEXT");
             const int fd = ::open((folder / ".d.rla.tirvel-copy").c_str(), O_WRONLY);
             ::pwrite(fd, "X", 1, 0);
             ::close(fd);
         },
         "не совпадает"},
        {"a genuine copy, the document edited after the writer stopped",
         [](const ScratchFolder& folder)
         {
             InterruptOverwrite(folder / "d.rla", "NEW TEXT");
             EditLater(folder / "d.rla", kDocument + " edited");
         },
         "изменён после прерванного сохранения"},
        {"a genuine copy, the document replaced since",
         [](const ScratchFolder& folder)
         {
             InterruptOverwrite(folder / "d.rla", "NEW TEXT");
             WriteBytes(folder / "restored", kDocument);
             fs::rename(folder / "restored", folder / "d.rla");
         },
         "заменён другим файлом"},
    };
    HangGuard guard(60);
    for (const Case& c : cases)
    {
        for (const CopyRule rule : {CopyRule::ReportOnly, CopyRule::PutBack})
        {
            SCOPED_TRACE(std::string(c.what) + (rule == CopyRule::PutBack ? ", a load that writes" : ", read only"));
            ScratchFolder folder;
            const std::string path = folder / "d.rla";
            WriteBytes(path, kDocument);
            c.plant(folder);
            const std::string before = ReadBytes(path);
            std::vector<std::string> movedAside;
            RecordingReporter reporter;
            CDocumentFile document(reporter, FixedToday);
            document.SetCopyRule(rule,
                                 [&movedAside](const std::string& copy)
                                 {
                                     movedAside.push_back(copy);
                                     return true;
                                 });
            document.Load(path);
            EXPECT_EQ(ReadBytes(path), before) << "never put back";
            EXPECT_EQ(document.FileBytes(), before);
            ASSERT_EQ(reporter.messages.size(), 1u);
            EXPECT_NE(reporter.messages[0].text.find(folder / ".d.rla.tirvel-copy"), std::string::npos)
                << reporter.messages[0].text;
            EXPECT_NE(reporter.messages[0].text.find(c.reason), std::string::npos) << reporter.messages[0].text;
            // Only a stale copy of this program's own goes aside, and only when the load may write.
            const bool stale = std::string(c.what).starts_with("a genuine copy, the document");
            EXPECT_EQ(movedAside.size(), stale && rule == CopyRule::PutBack ? 1u : 0u);
            EXPECT_TRUE(fs::exists(fs::symlink_status(folder / ".d.rla.tirvel-copy"))) << "left where it is";
        }
    }
}

// A file another program wrote or replaced after it was read is never written over: the save writes
// nothing (no backup either), keeps the other program's content and says so.
TEST(DocumentSafety, ASaveNeverWritesOverAnEditMadeSinceTheLoad)
{
    struct Case
    {
        const char* what;
        BackupRule backup;
        bool hardLink;
        bool replace; // the other program saved by renaming a new file over the document
    };
    const Case cases[] = {
        {"without backup", BackupRule::None, false, false},
        {"with backup", BackupRule::Required, false, false},
        {"overwritten in place", BackupRule::Wanted, true, false},
        {"replaced by a new file", BackupRule::None, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::string path = folder / "d.rla";
        Loaded loaded(path, kDocument);
        if (c.hardLink)
            fs::create_hard_link(path, folder / "link.rla");
        loaded.document.SetTextLines({"processed text"});
        const std::string edited = kDocument + " and the other program's edit";
        if (c.replace)
        {
            WriteBytes(folder / "new", edited);
            fs::rename(folder / "new", path);
        }
        else
        {
            std::ofstream(path, std::ios::binary | std::ios::app) << " and the other program's edit";
        }
        const Lines names = folder.Names();
        const SaveResult saved = loaded.document.Save(c.backup);
        EXPECT_FALSE(saved);
        EXPECT_EQ(saved.kind, SaveResult::Kind::Changed);
        EXPECT_EQ(ReadBytes(path), edited);
        EXPECT_EQ(folder.Names(), names) << "no backup, no copy";
        EXPECT_EQ(loaded.document.TextLines(), Lines{"processed text"}) << "the text in memory stays";
        ASSERT_FALSE(loaded.reporter.messages.empty());
        EXPECT_NE(loaded.reporter.messages[0].text.find("изменён другой программой"), std::string::npos);
    }

    // A second save of the same load checks against what the first one wrote, whether it wrote a new
    // file or, for a file with another name, overwrote it in place; a text of the size written that
    // differs from it still differs.
    for (const bool otherName : {false, true})
    {
        SCOPED_TRACE(otherName ? "overwritten in place" : "a new file");
        ScratchFolder folder;
        Loaded loaded(folder / "d.rla", kDocument);
        if (otherName)
            fs::create_hard_link(folder / "d.rla", folder / "link.rla");
        loaded.document.SetTextLines({"first"});
        ASSERT_TRUE(loaded.document.Save(BackupRule::None));
        loaded.document.SetTextLines({"second"});
        EXPECT_TRUE(loaded.document.Save(BackupRule::None));
        EXPECT_FALSE(loaded.document.SaveWouldChangeFile()) << "compared with what the last save wrote";
        loaded.document.SetTextLines({"secont"});
        EXPECT_TRUE(loaded.document.SaveWouldChangeFile()) << "the same size, other bytes";
    }
}

TEST(DocumentLock, ASecondHolderIsRefusedAtOnce)
{
    ScratchFolder folder;
    WriteBytes(folder / "d.rla", kDocument);
    ::mkfifo((folder / "pipe.rla").c_str(), 0600);
    HangGuard guard(20);
    {
        const CFileLock first(folder / "d.rla");
        ASSERT_TRUE(first.Held());
        const CFileLock second(folder / "d.rla");
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.HeldElsewhere());
        EXPECT_EQ(second.Error(), 0);
    }
    const CFileLock again(folder / "d.rla");
    EXPECT_TRUE(again.Held()) << "released with its holder";

    struct Case
    {
        std::string path;
        int error;
    };
    for (const Case& c : {Case{folder / "missing.rla", ENOENT}, Case{folder / "pipe.rla", EINVAL},
                          Case{folder.path().string(), EINVAL}})
    {
        const CFileLock lock(c.path);
        EXPECT_FALSE(lock.Held()) << c.path;
        EXPECT_FALSE(lock.HeldElsewhere()) << c.path;
        EXPECT_EQ(lock.Error(), c.error) << c.path;
    }
}
