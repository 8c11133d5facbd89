#pragma once
// The open document: header lines and text lines in memory form (code page 1251, single-line box
// characters as the codes 0x10-0x1C), read from and written to a .rla file (code page 866, CR LF).
// Saving never loses the document: the new content goes to a temporary file in the same folder that
// is renamed over the document only once it is complete and on disk. A document that a new file would
// cut off from its other names (hard links) or from its owner or group is instead overwritten in
// place, and only while a complete copy of it is on disk.

#include "core/base/CByteFingerprint.h"
#include "core/base/CTextLines.h"
#include "core/base/FileError.h"
#include "core/base/FileState.h"
#include "core/base/Reporter.h"
#include "core/document/DocumentDates.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/stat.h>

// The largest document Load accepts. A document is held in about its own size and sixteen bytes a
// line; a larger file is refused as too large (EFBIG) before anything is read.
inline constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t{1} << 30;

// A document that cannot be loaded: a folder, a missing or an unreadable file, one too large, a pipe
// or a device. what() is UTF-8 text naming the path and the reason.
class DocumentFileError : public std::runtime_error
{
public:
    // fileType is what the path names when that is no regular file (S_IFIFO, ...), else 0.
    DocumentFileError(const std::string& path, int errorNumber, mode_t fileType = 0);
    // A load refused for a reason of its own (UTF-8), with the error that stands for it.
    DocumentFileError(const std::string& path, int errorNumber, const std::string& reason);
    explicit DocumentFileError(FileError error);
    // The failed open as the editor and the tool word it (FileErrorText is what()). Its reason is the
    // system's error text, or for something that is no regular file what it is, such as "not a
    // regular file (a named pipe)".
    const FileError& Error() const { return m_error; }

private:
    FileError m_error;
};

// Whether a save first makes the backup (BackupPathFor) of the file it replaces.
enum class BackupRule
{
    None,
    // A backup that cannot be made is reported and the save goes on.
    Wanted,
    // A backup that cannot be made is reported and the document is not saved.
    Required,
};

// How a save ended: saved, or why not. A failure carries what failed as a FileError: the document's
// path, the system's error number and the reason in English, worded by FileErrorText as the batch
// tool prints it and as the editor shows it below its message.
struct [[nodiscard]] SaveResult
{
    enum class Kind
    {
        Saved,
        // The document may not be written by this process; nothing was done.
        ReadOnly,
        // The backup the save required could not be made; nothing was written.
        Backup,
        // Writing failed; the document on disk is as it was, or, when an overwrite in place could
        // not be undone, the reason names the file that holds its previous content.
        Write,
        // The file on disk is no longer the one that was read (another program wrote or replaced
        // it): nothing was written, and both the file and the text in memory are kept.
        Changed,
    };
    Kind kind = Kind::Saved;
    FileError error;

    explicit operator bool() const { return kind == Kind::Saved; }
};

// Why a document at path that this process may not write is not saved.
FileError ReadOnlyDocument(const std::string& path);

// What a load does with the copy an interrupted overwrite in place left beside the document.
enum class CopyRule
{
    // A copy proved to be this program's for the document as it stands is put back, one that is no
    // longer needed is removed, a stale one is handed to the mover (the trash).
    PutBack,
    // Nothing is changed: what was found is reported, and a document whose overwrite was cut off
    // is not loaded (it is damaged; a load that may write puts it back).
    ReportOnly,
};

class CDocumentFile
{
public:
    using TodayFunction = std::function<CalendarDate()>;
    // Moves a file aside (to the trash); false when it could not.
    using MoveAside = std::function<bool(const std::string& path)>;

    explicit CDocumentFile(IReporter& reporter, TodayFunction today = SystemToday);

    // Replaces the content with the file at path. Throws DocumentFileError; the lists are then
    // empty and Path() is path. Any bytes load; 0x1A ends the content. What decides on the entry
    // date is a fingerprint of the loaded text outside its tables of contents, not a copy of it: a
    // large document is held once. A copy of the document's previous content left beside it by an
    // interrupted overwrite in place is dealt with first, as SetCopyRule says; the reporter is told
    // of every copy that is not simply gone.
    void Load(const std::string& path);
    // How the next loads deal with a copy left by an interrupted overwrite (PutBack by default);
    // moveAside takes stale copies away under PutBack.
    void SetCopyRule(CopyRule rule, MoveAside moveAside = {});
    // Load for a caller whose saves leave the dates alone: KeepDates follows.
    void LoadKeepingDates(const std::string& path);
    // Writes the document to Path(), first bringing the $100/$101 dates up to date; with makeBackup
    // the previous file is copied to BackupPathFor(Path()) first (a failed backup is reported and
    // the save goes on). On failure reports "Ошибка сохранения файла %s!" with the failure's words,
    // leaves the file at Path() as it was and returns why. A read-only document is such a failure.
    SaveResult Save(bool makeBackup);
    // Save with the given backup rule. The file at Path() must
    // still be the one loaded (or last saved): one that another program has written or replaced
    // since is left as it is, and the save fails as Changed.
    SaveResult Save(BackupRule backup);
    // Save to another place: the document is written to path as Save writes, and from then on it is
    // the document at path (Path() and what later saves check follow it). A failed save leaves the
    // document where it was.
    SaveResult SaveTo(const std::string& path, BackupRule backup);
    // Writes the document, with its dates brought up to date, as a new file at path, which must be
    // free: when a file is there (or takes the name meanwhile) nothing is written and the save fails.
    // The document stays the one at Path(): a copy of it now stands at path.
    SaveResult SaveAsNewFile(const std::string& path);
    // The document has moved to the file at path that SaveAsNewFile wrote (its source is gone):
    // Path() follows, and later saves replace that file, compare with it and see whether they
    // would change it.
    void AdoptNewFile(const std::string& path);
    // Whether the file at path is still the one that was loaded (or last saved), unwritten since;
    // true when nothing was loaded from a file.
    bool IsUnchangedOnDisk(const std::string& path) const;
    // Removes the file at path when it is still the one that was loaded (RemoveFileIfUnchanged): 0,
    // ESTALE when another program wrote or replaced it (it stays), or the error.
    int RemoveIfUnchangedOnDisk(const std::string& path) const;
    // The loaded file has been moved to newPath: Path() follows it, and so does what the next save
    // checks, as long as the file there has the size and time of the one loaded.
    void FileMoved(const std::string& newPath);
    // Whether Save would write other bytes than the loaded file held (or the last save wrote), the
    // dates it brings up to date aside: asked before the save, while the date values are as loaded.
    // True when nothing was loaded.
    // A file with content after a 0x1A byte always differs, since a save leaves that content out.
    bool SaveWouldChangeFile() const;
    // The number of bytes after the first 0x1A of the loaded file when any of them is content (other
    // than 0x1A, CR or LF), else 0. They are no part of the document and a save leaves them out.
    std::uint64_t ContentAfterEndBytes() const { return m_contentAfterEnd; }
    // Empties lists and path; no date is updated until the next Load.
    void Clear();
    // The next saves leave $100 and $101 alone.
    void KeepDates();
    // Brings $100/$101 up to date as a save does (at most once per load each).
    void UpdateDates();
    // Exactly the bytes Save writes now (without updating the dates).
    std::string FileBytes() const;
    // The same bytes handed to consume in pieces, so no second copy of a large document is held.
    void ForEachFileChunk(const std::function<void(std::string_view)>& consume) const;

    // A.rla -> A.bak when the file's own name contains ".rla", else A.txt -> A.txt.bak; never the
    // path itself (x.rla.bak -> x.rla.bak.bak).
    static std::string BackupPathFor(const std::string& path);

    // The file the document was loaded from (or last saved to with SaveTo); empty when none.
    const std::string& Path() const { return m_path; }
    // The lines up to and including "$18  Текст документа", and the text after it, in memory form.
    const std::vector<std::string>& HeaderLines() const { return m_headerLines; }
    const CTextLines& TextLines() const { return m_textLines; }
    // The text to change where it stands (a large document is never copied for it); the dates
    // follow the change at the next save.
    CTextLines& MutableTextLines() { return m_textLines; }
    void SetTextLines(CTextLines lines) { m_textLines = std::move(lines); }
    // The header of a document made in memory, or one edited by hand.
    void SetHeaderLines(std::vector<std::string> lines) { m_headerLines = std::move(lines); }
    // Whether $100 (the change date) and $101 (the entry date) are past deciding for this load:
    // brought up to date, found unchanged by a save, or kept (KeepDates).
    bool ChangeDateDone() const { return m_changeDateDone; }
    bool EntryDateDone() const { return m_entryDateDone; }

private:
    // Load without the loaded-text fingerprint.
    void LoadLines(const std::string& path);
    // Writes the file form of the lists to the file at target (links resolved), as ReplaceFileContent
    // does. Returns 0 or the system error, with reason set when an overwrite in place failed in a way
    // the system's text does not tell; written is the fingerprint of what was written, taken as it was
    // written.
    int WriteFile(const std::string& target, CByteFingerprint::Value& written, std::string& reason);
    // Deals with the copy an interrupted overwrite in place may have left beside the document at
    // target, as m_copyRule says. Throws DocumentFileError when the document is damaged and cannot be
    // put back (or may not be, under ReportOnly).
    void DealWithRecoveryCopy(const std::string& target);
    // Reports a save that failed ("Ошибка сохранения файла %s!" with the failure's words) and returns
    // it.
    SaveResult Fail(SaveResult::Kind kind, FileError error);
    // What a later save compares with: the file at target as a save just left it.
    void RememberWrittenFile(const std::string& target, CByteFingerprint::Value written);
    // The state the file at target must still have for a save to replace it; null when the document
    // was not read from (or last saved to) target.
    const FileState* StateToKeep(const std::string& target) const;
    // Tells the operator that the file at path changed since it was read, and fails the save as
    // Changed.
    SaveResult FailChanged(const std::string& path);

    std::vector<std::string> m_headerLines;
    // Over the loaded file's own bytes, converted where they were read.
    CTextLines m_textLines;
    std::string m_path;
    bool m_changeDateDone = true;
    bool m_entryDateDone = true;
    IReporter& m_reporter;
    TodayFunction m_today;
    // Of the loaded file's bytes, and of its text outside the tables of contents.
    std::optional<CByteFingerprint::Value> m_loadedFingerprint;
    std::optional<CByteFingerprint::Value> m_loadedTextFingerprint;
    // The size of the bytes m_loadedFingerprint was taken of: a text of another size differs from
    // them without being encoded.
    std::uint64_t m_loadedSize = 0;
    std::uint64_t m_contentAfterEnd = 0;
    // The file as it was read, or as the last save left it, and where it is: what a save to that
    // place may replace. A save to another place (SaveTo) writes as a new save does.
    std::optional<FileState> m_fileState;
    std::string m_fileStatePath;
    CopyRule m_copyRule = CopyRule::PutBack;
    MoveAside m_moveAside;
};
