#include "cli/DocumentWriting.h"

#include "core/base/CByteFingerprint.h"
#include "core/base/FileIO.h"
#include "core/base/FileSystem.h"
#include "core/document/CDocumentFile.h"
#include "core/workflow/CDesktopTrash.h"
#include "core/workflow/ProcessedFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
// Save, with the reason of a failure told beside the operator's message.
bool SaveDocument(CDocumentFile& document, BackupRule backup, DocumentReporter& reporter)
{
    if (document.Save(backup))
        return true;
    reporter.Add(document.LastSaveFailure().text);
    return false;
}

// The document written as a new file at path in a folder others may write into too: a file that
// took the name meanwhile is left alone and the document is not written.
bool SaveAsNewFile(CDocumentFile& document, const std::string& path, DocumentReporter& reporter)
{
    if (document.SaveAsNewFile(path))
        return true;
    reporter.Add("refused: " + document.LastSaveFailure().text);
    return false;
}

bool CreateFolderOf(const std::string& file, DocumentReporter& reporter)
{
    const fs::path folder = fs::path(file).parent_path();
    std::error_code error;
    if (folder.empty() || fs::is_directory(folder, error))
        return true;
    fs::create_directories(folder, error);
    if (!error)
        return true;
    reporter.Add("cannot create the folder " + folder.string() + ": " + error.message());
    return false;
}

std::string SystemError(int errorNumber)
{
    return std::strerror(errorNumber);
}

// Whether the files at a and b hold the same bytes; false when either cannot be read.
bool SameContent(const std::string& a, const std::string& b)
{
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second)
        return false;
    std::vector<char> bufferA(1 << 16);
    std::vector<char> bufferB(1 << 16);
    while (true)
    {
        first.read(bufferA.data(), static_cast<std::streamsize>(bufferA.size()));
        second.read(bufferB.data(), static_cast<std::streamsize>(bufferB.size()));
        const std::streamsize readA = first.gcount();
        if (readA != second.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + readA, bufferB.begin()))
            return false;
        if (readA == 0 || first.eof() || second.eof())
            return first.eof() == second.eof() && !first.bad() && !second.bad();
    }
}

// A fingerprint of a document file's bytes without the values of its $100 and $101 date fields, fed
// in pieces: two files that differ in those dates alone hold the same document.
class DatelessFingerprint
{
public:
    void Add(std::string_view bytes)
    {
        while (!bytes.empty())
        {
            if (!m_inHeader)
            {
                m_fingerprint.Add(bytes);
                return;
            }
            // Header lines are short: each is gathered whole before it is judged.
            const std::size_t end = bytes.find('\n');
            const std::size_t taken = end == std::string_view::npos ? bytes.size() : end + 1;
            m_line.append(bytes.substr(0, taken));
            bytes.remove_prefix(taken);
            if (end != std::string_view::npos)
                EndLine();
        }
    }
    CByteFingerprint::Value Finish()
    {
        if (m_inHeader && !m_line.empty())
            EndLine();
        return m_fingerprint.Finish();
    }

private:
    void EndLine()
    {
        if (!m_skipValue)
            m_fingerprint.Add(m_line);
        m_skipValue = !m_skipValue && (m_line.starts_with("$100 ") || m_line.starts_with("$101 "));
        m_inHeader = !m_line.starts_with("$18 ");
        m_line.clear();
    }

    CByteFingerprint m_fingerprint;
    std::string m_line;
    bool m_inHeader = true;
    bool m_skipValue = false;
};

// Whether the file at path holds the document as it would be written now, its dates aside. Both are
// read in pieces: neither a large file nor the document's bytes are held a second time.
bool HoldsDocument(const std::string& path, const CDocumentFile& document)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    DatelessFingerprint held;
    std::vector<char> buffer(1 << 16);
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0)
        held.Add(std::string_view(buffer.data(), static_cast<std::size_t>(file.gcount())));
    if (file.bad())
        return false;
    DatelessFingerprint written;
    document.ForEachFileChunk([&written](std::string_view chunk) { written.Add(chunk); });
    return held.Finish() == written.Finish();
}

bool IsRegularFile(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

// Where a document goes in a folder, and what to do about a file already there.
class FolderPlace
{
public:
    FolderPlace(const TocToolOptions& options, DocumentReporter& reporter)
        : m_options(options), m_reporter(reporter)
    {
    }

    // A file at path that is not this document's: refused, unless --replace sends it to the trash.
    // False when the document must not go there.
    bool Clear(const std::string& path)
    {
        if (!Exists(path))
            return true;
        if (!m_options.replace)
        {
            m_reporter.Add("refused: " + path +
                           " already holds a different file (--replace moves it to the trash)");
            return false;
        }
        if (m_options.check)
        {
            m_reporter.Add("would move " + path + " to the trash");
            return true;
        }
        CDesktopTrash trash;
        if (!trash.MoveToTrash(path))
        {
            m_reporter.Add("refused: " + path +
                           " already holds a different file, and it cannot be moved to the trash");
            return false;
        }
        m_reporter.Add("replaced " + path + "; the previous file is in the trash as " + trash.TrashedAs());
        return true;
    }

private:
    const TocToolOptions& m_options;
    DocumentReporter& m_reporter;
};

// Gives the new file at path the owner and group of the document it stands for, as far as this
// process may (only root gives a file away, only a member gives it a group), then its permission
// bits, which a change of owner would clear in part.
void KeepAttributes(const std::string& path, const struct stat& of)
{
    [[maybe_unused]] const bool owned = ::chown(path.c_str(), of.st_uid, of.st_gid) == 0 ||
                                        ::chown(path.c_str(), static_cast<uid_t>(-1), of.st_gid) == 0;
    ::chmod(path.c_str(), of.st_mode & 07777);
}

// Removes the source once its document is complete in the folder, unless another program wrote or
// replaced it since it was read (up to the moment its name goes): then both stay.
bool RemoveSource(const CDocumentFile& document, const std::string& source, const std::string& destination,
                  DocumentReporter& reporter)
{
    const int error = document.RemoveIfUnchangedOnDisk(source);
    if (error == ESTALE)
        reporter.Add("the document changed on disk while it was processed (another program wrote or replaced "
                     "it); it stays where it is, and " +
                     destination + " holds what was processed from the version read");
    else if (error != 0)
        reporter.Add("complete in " + destination + ", but the document cannot be removed: " + SystemError(error));
    return error == 0;
}
} // namespace

// -o: the document written under the output folder; the source stays as it is.
bool WriteIntoOutputFolder(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                           DocumentReporter& reporter, DocumentResult& result)
{
    const std::string destination = DestinationOf(job, options);
    if (IsSameFile(job.path, destination))
    {
        reporter.Add("refused: the output " + destination + " is the document itself");
        return false;
    }
    if (Exists(destination))
    {
        if (!IsRegularFile(destination))
        {
            reporter.Add("refused: " + destination + " is no regular file");
            return false;
        }
        // A rerun finds what the run before it wrote: nothing to do.
        if (HoldsDocument(destination, document))
        {
            result.changed = false;
            return true;
        }
        if (!FolderPlace(options, reporter).Clear(destination))
            return false;
    }
    if (options.check)
        return true;
    if (!CreateFolderOf(destination, reporter))
        return false;
    return SaveAsNewFile(document, destination, reporter);
}

// --move-to: the processed document and its backup are written into the folder first and the source
// is removed last, so at every moment the document is whole at its source or complete in the folder.
// A run that finds the source's bytes already in the backup there (or, without backups, the
// document already written there) finishes what an interrupted run began.
bool MoveIntoFolder(CDocumentFile& document, const DocumentJob& job, const TocToolOptions& options,
                    const TocToolSetup& setup, DocumentReporter& reporter, DocumentResult& result)
{
    const std::string& source = job.path;
    const std::string destination = DestinationOf(job, options);
    if (IsSameFile(source, destination))
    {
        reporter.Add("already in the folder for processed documents; not moved and not saved");
        return false;
    }
    // Moving the link would leave it dangling in the folder, and the document where it was.
    if (IsSymbolicLink(source))
    {
        reporter.Add("refused: the document is a symbolic link to " + ResolvedTarget(source) +
                     "; --move-to moves documents, not links (name the document itself); not moved and not "
                     "saved");
        return false;
    }
    if (IsReadOnlyFile(source))
    {
        reporter.Add("refused: the document is read-only; not moved and not saved");
        return false;
    }
    struct stat sourceStatus;
    if (::stat(source.c_str(), &sourceStatus) != 0)
    {
        reporter.Add("cannot read the document's attributes: " + SystemError(errno));
        return false;
    }
    const std::string backup = CDocumentFile::BackupPathFor(destination);
    const bool destinationExists = Exists(destination);

    if (!result.changed)
    {
        // Nothing to write: the document moves as it is, and needs no backup.
        if (destinationExists && SameContent(destination, source))
            return options.check || RemoveSource(document, source, destination, reporter);
        if (destinationExists && !FolderPlace(options, reporter).Clear(destination))
            return false;
        if (options.check || !CreateFolderOf(destination, reporter))
            return options.check;
        if (!document.IsUnchangedOnDisk(source))
        {
            reporter.Add("the document changed on disk while it was processed (another program wrote or "
                         "replaced it); not moved");
            return false;
        }
        const int error = MoveFileToNewName(source, destination);
        if (error == EEXIST)
            reporter.Add("refused: " + destination +
                         " was taken meanwhile by another run or program; the document stays where it is");
        else if (error != 0)
            reporter.Add("cannot move the document to " + destination + ": " + SystemError(error));
        return error == 0;
    }

    const bool sourceInBackup = IsRegularFile(backup) && SameContent(backup, source);
    if (sourceInBackup && destinationExists)
    {
        if (options.check)
            return true;
        KeepAttributes(destination, sourceStatus);
        return RemoveSource(document, source, destination, reporter);
    }
    if (!sourceInBackup)
    {
        if (destinationExists && !setup.makeBackup && HoldsDocument(destination, document))
            return options.check || RemoveSource(document, source, destination, reporter);
        FolderPlace place(options, reporter);
        if (destinationExists && !place.Clear(destination))
            return false;
        if (setup.makeBackup && Exists(backup) && !place.Clear(backup))
            return false;
    }
    if (options.check)
        return true;
    if (!CreateFolderOf(destination, reporter))
        return false;
    // The backup is never written over a file: one that appeared since the look above belongs to
    // another run (or program) and is left alone.
    if (setup.makeBackup && !sourceInBackup && !CopyFileToNewName(source, backup))
    {
        if (errno == EEXIST)
            reporter.Add("refused: " + backup +
                         " was taken meanwhile by another run or program; not moved and not saved");
        else
            reporter.Add("cannot make the backup " + backup + " (" + SystemError(errno) +
                         "); not moved and not saved");
        return false;
    }
    if (!SaveAsNewFile(document, destination, reporter))
        return false;
    KeepAttributes(destination, sourceStatus);
    return RemoveSource(document, source, destination, reporter);
}

// In place: the document replaced by its processed form after its backup is made.
bool SaveInPlace(CDocumentFile& document, const TocToolOptions& options, const TocToolSetup& setup,
                 DocumentReporter& reporter)
{
    if (IsReadOnlyFile(document.Path()))
    {
        reporter.Add("refused: the document is read-only; not saved");
        return false;
    }
    if (options.check)
        return true;
    return SaveDocument(document, setup.makeBackup ? BackupRule::Required : BackupRule::None, reporter);
}
