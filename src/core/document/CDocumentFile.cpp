#include "core/document/CDocumentFile.h"

#include "core/base/CSaveFile.h"
#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/base/FileLines.h"
#include "core/base/FileSystem.h"
#include "core/document/Markers.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace
{

const std::string& TextStartLine()
{
    static const std::string line = Utf8ToCp1251("$18  Текст документа");
    return line;
}

std::string FormatMessage(const char* format, const std::string& path)
{
    std::string text = format;
    const std::size_t at = text.find("%s");
    return text.replace(at, 2, path);
}

// Puts the lines of a file's content, in memory form, into the header lines up to the text start
// line and into the text lines after it.
void SplitIntoLines(std::string_view content, std::vector<std::string>& headerLines,
                    std::vector<std::string>& textLines)
{
    content = LineContent(content);
    // One line per line end, at most: the list never grows by reallocation (which would hold the old
    // and the new list at once for a large document).
    textLines.reserve(MaxLineCount(content));
    std::vector<std::string>* target = &headerLines;
    ForEachFileLine(content,
                    [&](std::string_view fileLine)
                    {
                        std::string& line = target->emplace_back(fileLine);
                        FileLineToMemory(line);
                        if (target == &headerLines && line == TextStartLine())
                            target = &textLines;
                    });
}

// A fingerprint of the lines outside their ОГЛ...КОН blocks: equal for two texts that differ in their
// tables of contents only. Each line goes in after its length, so no two lists of lines meet.
CByteFingerprint::Value TextFingerprint(const std::vector<std::string>& lines)
{
    CByteFingerprint fingerprint;
    ForEachLineOutsideTocBlocks(lines,
                                [&fingerprint](const std::string& line)
                                {
                                    const std::uint64_t size = line.size();
                                    fingerprint.Add(
                                        std::string_view(reinterpret_cast<const char*>(&size), sizeof size));
                                    fingerprint.Add(line);
                                    return true;
                                });
    return fingerprint.Finish();
}

// Calls write with the file form of the lines in pieces of about kWriteChunk bytes, so a save never
// holds a second copy of a large document; false as soon as a write fails.
constexpr std::size_t kWriteChunk = 1 << 16;

template <typename Write>
bool WriteFileForm(const std::vector<std::string>& headerLines, const std::vector<std::string>& textLines,
                   Write write)
{
    std::string chunk;
    chunk.reserve(2 * kWriteChunk);
    auto add = [&](const std::string& line, bool lineEnd)
    {
        AppendLineToFile(chunk, line);
        if (lineEnd)
            chunk += "\r\n";
        if (chunk.size() < kWriteChunk)
            return true;
        const bool written = write(std::string_view(chunk));
        chunk.clear();
        return written;
    };
    for (const std::string& line : headerLines)
        if (!add(line, true))
            return false;
    for (std::size_t i = 0; i < textLines.size(); ++i)
        if (!add(textLines[i], i + 1 < textLines.size()))
            return false;
    return chunk.empty() || write(std::string_view(chunk));
}

// The exact size of the file form of the lines (the conversions keep one byte per byte).
std::uint64_t FileFormSize(const std::vector<std::string>& headerLines,
                           const std::vector<std::string>& textLines)
{
    std::uint64_t size = 0;
    for (const std::string& line : headerLines)
        size += line.size() + 2;
    for (const std::string& line : textLines)
        size += line.size() + 2;
    return textLines.empty() ? size : size - 2;
}

// The bytes after the first 0x1A when any of them is content; a DOS end-of-file mark followed by
// nothing but line ends and further marks holds nothing that could be lost.
std::uint64_t ContentAfterEnd(std::string_view content)
{
    const std::size_t end = content.find('\x1A');
    if (end == std::string_view::npos)
        return 0;
    const std::string_view after = content.substr(end + 1);
    return after.find_first_not_of("\x1A\r\n") == std::string_view::npos ? 0 : after.size();
}

const char* FileTypeName(mode_t type)
{
    switch (type)
    {
    case S_IFIFO:
        return "a named pipe";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFSOCK:
        return "a socket";
    default:
        return "neither a file nor a folder";
    }
}

std::string ReasonText(int errorNumber, mode_t fileType)
{
    if (fileType != 0)
        return std::string("not a regular file (") + FileTypeName(fileType) + ")";
    return std::strerror(errorNumber);
}

// Makes room for size bytes in the open file fd before anything in it is overwritten, so a full disk
// is found while the file is still whole. Returns 0 or the error.
int ReserveSpace(int fd, std::uint64_t size, std::uint64_t currentSize)
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur)
        return EFBIG;
    if (size <= currentSize)
        return 0;
#ifdef FALLOC_FL_KEEP_SIZE
    // Allocated beyond the end without moving it: a process killed now leaves the old size.
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0)
        return 0;
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
#endif
    struct statvfs space;
    if (::fstatvfs(fd, &space) != 0)
        return 0;
    const std::uint64_t available = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    return available < size - currentSize ? ENOSPC : 0;
}

// Writes the content of the file at source over the open file fd from its start and cuts fd to that
// length. Returns 0 or the error.
int OverwriteWithFile(int fd, const std::string& source)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    int error = ::lseek(fd, 0, SEEK_SET) == 0 ? 0 : errno;
    off_t size = 0;
    if (error == 0)
        error = CopyToEnd(in,
                          [fd, &size](std::string_view piece)
                          {
                              size += static_cast<off_t>(piece.size());
                              return WriteAll(fd, piece) ? 0 : errno;
                          });
    ::close(in);
    if (error == 0 && (::ftruncate(fd, size) != 0 || ::fsync(fd) != 0))
        error = errno;
    return error;
}

// The copy of a document's previous content that an overwrite in place keeps beside it while it
// writes: ".NAME.tirvel-copy", one name per document, so a load finds it with one look. The cleaner
// of temporary files never takes it.
std::string OverwriteCopyOf(const std::string& target)
{
    return FolderOf(target) + "/." + NameOf(target) + ".tirvel-copy";
}

} // namespace

DocumentFileError::DocumentFileError(const std::string& path, int errorNumber, mode_t fileType)
    : std::runtime_error(path + ": " + ReasonText(errorNumber, fileType)), m_path(path),
      m_systemError(ReasonText(errorNumber, fileType)), m_errorNumber(errorNumber)
{
}

CDocumentFile::CDocumentFile(IReporter& reporter, TodayFunction today)
    : m_reporter(reporter), m_today(std::move(today))
{
}

void CDocumentFile::Load(const std::string& path)
{
    LoadLines(path);
    m_loadedTextFingerprint = TextFingerprint(m_textLines);
}

void CDocumentFile::LoadKeepingDates(const std::string& path)
{
    LoadLines(path);
    KeepDates();
}

void CDocumentFile::LoadLines(const std::string& path)
{
    m_headerLines.clear();
    m_textLines.clear();
    m_loadedTextFingerprint.reset();
    m_path = path;
    m_changeDateDone = false;
    m_entryDateDone = false;
    m_loadedFingerprint.reset();
    m_contentAfterEnd = 0;

    RestoreInterruptedOverwrite(ResolvedTarget(path));
    // The content goes when the load ends: of the file, only its lines and fingerprints are kept.
    std::string content;
    const FileReadError error = ReadWholeFile(path, kMaxDocumentBytes, content);
    if (error.errorNumber != 0)
        throw DocumentFileError(path, error.errorNumber, error.fileType);
    SplitIntoLines(content, m_headerLines, m_textLines);
    CByteFingerprint fingerprint;
    fingerprint.Add(content);
    m_loadedFingerprint = fingerprint.Finish();
    m_contentAfterEnd = ContentAfterEnd(content);
}

bool CDocumentFile::Save(bool makeBackup)
{
    return Save(makeBackup ? BackupRule::Wanted : BackupRule::None);
}

bool CDocumentFile::Save(BackupRule backup)
{
    m_saveFailure = {};
    const std::string target = m_path.empty() ? m_path : ResolvedTarget(m_path);
    struct stat status;
    const bool exists = !target.empty() && ::stat(target.c_str(), &status) == 0;
    if (exists && IsReadOnlyFile(target))
        return Fail(SaveFailure::Kind::ReadOnly, "the document is read-only");

    if (backup != BackupRule::None)
    {
        const std::string backupPath = BackupPathFor(m_path);
        if (!CopyFileReplacing(target, backupPath))
        {
            const std::string reason = std::strerror(errno);
            m_reporter.Report(FormatMessage("Ошибка создания резервного файла %s!", backupPath),
                              MessageIcon::Error);
            if (backup == BackupRule::Required)
                return Fail(SaveFailure::Kind::Backup, "cannot make the backup " + backupPath + " (" +
                                                           reason + "); the document was not saved");
        }
    }
    UpdateDates();
    const int error = WriteFile(exists ? &status : nullptr);
    if (error == 0)
        return true;
    if (m_saveFailure.kind != SaveFailure::Kind::None)
        return Fail(m_saveFailure.kind, m_saveFailure.text);
    return Fail(SaveFailure::Kind::Write, std::string("cannot write the document: ") + std::strerror(error));
}

bool CDocumentFile::Fail(SaveFailure::Kind kind, std::string text)
{
    m_saveFailure = {kind, std::move(text)};
    m_reporter.Report(FormatMessage("Ошибка сохранения файла %s!", m_path), MessageIcon::Error);
    return false;
}

void CDocumentFile::Clear()
{
    m_headerLines.clear();
    m_textLines.clear();
    m_loadedTextFingerprint.reset();
    m_path.clear();
    m_loadedFingerprint.reset();
    m_contentAfterEnd = 0;
    KeepDates();
}

void CDocumentFile::KeepDates()
{
    m_changeDateDone = true;
    m_entryDateDone = true;
}

std::string CDocumentFile::FileBytes() const
{
    std::string bytes;
    bytes.reserve(FileFormSize(m_headerLines, m_textLines));
    WriteFileForm(m_headerLines, m_textLines,
                  [&bytes](std::string_view chunk)
                  {
                      bytes += chunk;
                      return true;
                  });
    return bytes;
}

void CDocumentFile::ForEachFileChunk(const std::function<void(std::string_view)>& consume) const
{
    WriteFileForm(m_headerLines, m_textLines,
                  [&consume](std::string_view chunk)
                  {
                      consume(chunk);
                      return true;
                  });
}

bool CDocumentFile::SaveWouldChangeFile() const
{
    if (!m_loadedFingerprint)
        return true;
    CByteFingerprint written;
    WriteFileForm(m_headerLines, m_textLines,
                  [&written](std::string_view chunk)
                  {
                      written.Add(chunk);
                      return true;
                  });
    return written.Finish() != *m_loadedFingerprint;
}

std::string CDocumentFile::BackupPathFor(const std::string& path)
{
    std::string backup = NameOf(path).find(".rla") != std::string::npos
                             ? path.substr(0, path.size() - 3) + "bak"
                             : path + ".bak";
    if (backup == path)
        backup += ".bak";
    return backup;
}

void CDocumentFile::UpdateDates()
{
    UpdateDateFields(
        m_headerLines, m_changeDateDone, m_entryDateDone,
        [this]
        { return !m_loadedTextFingerprint || TextFingerprint(m_textLines) != *m_loadedTextFingerprint; },
        m_today);
}

int CDocumentFile::WriteFile(const struct stat* existing)
{
    if (m_path.empty())
        return ENOENT;
    const std::string target = ResolvedTarget(m_path);
    const bool regular = existing != nullptr && S_ISREG(existing->st_mode);
    // A new file would take the place of one name only: the other names would keep the old text.
    if (regular && existing->st_nlink > 1)
        return WriteInPlace(target, *existing);
    CSaveFile file(target);
    if (!file.Open())
        return file.Error();
    if (existing != nullptr)
    {
        if (!file.SetMode(existing->st_mode & 07777))
            return file.Error();
        // Only root may give a file away, and only members of a group may give it that group: a
        // document whose owner or group this process cannot give a new file keeps them by being
        // overwritten instead.
        if (!file.SetOwner(existing->st_uid, existing->st_gid))
        {
            if (file.Error() != EPERM || !regular)
                return file.Error();
            file.Cancel();
            return WriteInPlace(target, *existing);
        }
    }
    if (!WriteFileForm(m_headerLines, m_textLines,
                       [&file](std::string_view chunk) { return file.Write(chunk); }) ||
        !file.Commit())
        return file.Error();
    return 0;
}

int CDocumentFile::WriteInPlace(const std::string& target, const struct stat& existing)
{
    // Overwriting destroys the old content: a complete copy of it is on disk before the first byte
    // is written. It stays beside the document, locked, until the new content is on disk, so a run
    // killed meanwhile leaves the copy for the next load to put back (by then the backup may hold
    // what the killed write left).
    const std::string copy = OverwriteCopyOf(target);
    struct stat status;
    if (::lstat(copy.c_str(), &status) == 0)
    {
        // Another save is overwriting the document right now, or one was cut short after this
        // document was loaded: its copy is the only whole content there may be.
        m_saveFailure = {SaveFailure::Kind::Write, "an earlier overwrite in place left " + copy +
                                                       "; open the document again to put it back"};
        return EEXIST;
    }
    if (!CopyFileReplacing(target, copy))
    {
        const int error = errno;
        m_saveFailure = {SaveFailure::Kind::Write,
                         std::string("cannot keep a copy of the document while writing it in place: ") +
                             std::strerror(error)};
        return error;
    }
    const int copyLock = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
    if (copyLock < 0 || ::flock(copyLock, LOCK_EX | LOCK_NB) != 0)
    {
        // Taken away by a load that found it unlocked: nothing was overwritten yet.
        const int error = errno;
        if (copyLock >= 0)
            ::close(copyLock);
        return error;
    }
    const auto dropCopy = [&]
    {
        ::unlink(copy.c_str());
        ::close(copyLock);
    };

    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    const std::uint64_t size = FileFormSize(m_headerLines, m_textLines);
    if (error == 0)
        error = ReserveSpace(fd, size, static_cast<std::uint64_t>(existing.st_size));
    if (error != 0)
    {
        // Nothing was overwritten yet.
        if (fd >= 0)
            ::close(fd);
        dropCopy();
        return error;
    }

    const bool written = WriteFileForm(m_headerLines, m_textLines,
                                       [fd](std::string_view chunk) { return WriteAll(fd, chunk); }) &&
                         ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
    if (!written)
    {
        error = errno;
        // The document is damaged now: the previous content goes back in.
        if (OverwriteWithFile(fd, copy) != 0)
        {
            ::close(fd);
            ::close(copyLock);
            m_saveFailure = {SaveFailure::Kind::Write, std::string("writing the document in place failed (") +
                                                           std::strerror(error) +
                                                           "); its previous content is in " + copy};
            return error;
        }
    }
    ::close(fd);
    dropCopy();
    return error;
}

void CDocumentFile::RestoreInterruptedOverwrite(const std::string& target)
{
    const std::string copy = OverwriteCopyOf(target);
    const int lock = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
    if (lock < 0)
        return;
    // A copy that is held belongs to a save that is writing right now and puts it back itself if it
    // fails; the document is read as it stands.
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0)
    {
        ::close(lock);
        return;
    }
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    const int error = fd < 0 ? errno : OverwriteWithFile(fd, copy);
    if (fd >= 0)
        ::close(fd);
    if (error != 0)
    {
        ::close(lock);
        throw DocumentFileError(target, error);
    }
    ::unlink(copy.c_str());
    ::close(lock);
    m_reporter.Report(
        FormatMessage("Файл %s восстановлен из копии, оставшейся после прерванного сохранения.", target),
        MessageIcon::Information);
}
