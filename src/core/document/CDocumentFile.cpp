#include "core/document/CDocumentFile.h"

#include "core/base/ByteBlocks.h"
#include "core/base/CRecoveryCopy.h"
#include "core/base/CSaveFile.h"
#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/base/FileSystem.h"
#include "core/document/Markers.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

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

// The header lines of a text in memory form, up to and including the text start line, and where the
// text after it begins (text.size() when there is no text start line).
std::size_t ReadHeaderLines(std::string_view text, std::vector<std::string>& headerLines)
{
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        else if (end > start && text[end - 1] == '\r')
            --end;
        const std::string& line = headerLines.emplace_back(text.substr(start, end - start));
        start = next;
        if (line == TextStartLine())
            return start;
    }
    return text.size();
}

// A fingerprint of the lines outside their ОГЛ...КОН blocks: equal for two texts that differ in their
// tables of contents only. Each line goes in after its length, so no two lists of lines meet.
CByteFingerprint::Value TextFingerprint(const CTextLines& lines)
{
    CByteFingerprint fingerprint;
    ForEachLineOutsideTocBlocks(lines,
                                [&fingerprint](std::string_view line)
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
bool WriteFileForm(const std::vector<std::string>& headerLines, const CTextLines& textLines, Write write)
{
    std::string chunk;
    chunk.reserve(2 * kWriteChunk);
    // The lines are gathered in memory form and a whole chunk converted at once, line ends included.
    auto flush = [&]
    {
        MemoryLineToFile(chunk);
        const bool written = write(std::string_view(chunk));
        chunk.clear();
        return written;
    };
    auto add = [&](std::string_view line, bool lineEnd)
    {
        chunk += line;
        if (lineEnd)
            chunk += "\r\n";
        return chunk.size() < kWriteChunk || flush();
    };
    for (const std::string& line : headerLines)
        if (!add(line, true))
            return false;
    for (std::size_t i = 0; i < textLines.size(); ++i)
        if (!add(textLines[i], i + 1 < textLines.size()))
            return false;
    return chunk.empty() || flush();
}

// The exact size of the file form of the lines (the conversions keep one byte per byte).
std::uint64_t FileFormSize(const std::vector<std::string>& headerLines, const CTextLines& textLines)
{
    std::uint64_t size = textLines.LineBytes() + 2 * textLines.size();
    for (const std::string& line : headerLines)
        size += line.size() + 2;
    return textLines.empty() ? size : size - 2;
}

// A file's bytes as they are read, piece by piece: their fingerprint, the content before the first
// 0x1A converted to memory form, and what follows that mark.
class CLoadedBytes
{
public:
    explicit CLoadedBytes(std::string& text) : m_text(text) {}

    void Expect(std::uint64_t size)
    {
        // The recognition appends the lines of the blocks it writes to the same buffer: room for them
        // is kept from the start (untouched, it takes no memory), so the text is not copied when it
        // grows.
        m_text.reserve(static_cast<std::size_t>(size + size / 2));
    }

    void Add(std::string_view piece)
    {
        m_fingerprint.Add(piece);
        m_size += piece.size();
        if (!m_ended)
        {
            const std::size_t end = piece.find('\x1A');
            const std::size_t at = m_text.size();
            const std::string_view content = piece.substr(0, end);
            m_lineEnds += byteblocks::CountByte(content, '\n');
            m_text += content;
            // The piece is converted while it is still in the processor's cache. Conversion keeps CR
            // and LF, so the bytes may be converted before they are cut into lines.
            FileLineToMemory(std::span<char>(m_text).subspan(at));
            if (end == std::string_view::npos)
                return;
            m_ended = true;
            piece.remove_prefix(end + 1);
        }
        m_afterEnd += piece.size();
        // A DOS end-of-file mark followed by nothing but line ends and further marks holds nothing
        // that could be lost.
        m_contentAfterEnd = m_contentAfterEnd || piece.find_first_not_of("\x1A\r\n") != std::string_view::npos;
    }

    CByteFingerprint::Value Fingerprint() const { return m_fingerprint.Finish(); }
    std::uint64_t Size() const { return m_size; }
    // The lines of the content, header lines included, at most.
    std::size_t MaxLines() const { return m_lineEnds + 1; }
    // The bytes after the first 0x1A when any of them is content, else 0.
    std::uint64_t ContentAfterEnd() const { return m_contentAfterEnd ? m_afterEnd : 0; }

private:
    std::string& m_text;
    CByteFingerprint m_fingerprint;
    std::uint64_t m_size = 0;
    std::uint64_t m_afterEnd = 0;
    std::size_t m_lineEnds = 0;
    bool m_ended = false;
    bool m_contentAfterEnd = false;
};

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

} // namespace

DocumentFileError::DocumentFileError(const std::string& path, int errorNumber, mode_t fileType)
    : DocumentFileError(path, errorNumber, ReasonText(errorNumber, fileType))
{
}

DocumentFileError::DocumentFileError(const std::string& path, int errorNumber, const std::string& reason)
    : DocumentFileError(FileError{FileAction::Open, path, errorNumber, reason})
{
}

DocumentFileError::DocumentFileError(FileError error)
    : std::runtime_error(FileErrorText(error)), m_error(std::move(error))
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
    m_textLines.Clear();
    m_loadedTextFingerprint.reset();
    m_path = path;
    m_changeDateDone = false;
    m_entryDateDone = false;
    m_loadedFingerprint.reset();
    m_contentAfterEnd = 0;
    m_fileState.reset();

    DealWithRecoveryCopy(ResolvedTarget(path));
    // Of the file, only its lines and fingerprints are kept: the text is the file's own bytes,
    // converted as they are read and cut into lines where they stand; no line is copied. What
    // follows a 0x1A is no part of it.
    std::string text;
    CLoadedBytes loaded(text);
    FileState state;
    const FileReadError error = ReadFileInPieces(
        path, kMaxDocumentBytes, &state, [&loaded](std::uint64_t size) { loaded.Expect(size); },
        [&loaded](std::string_view piece) { loaded.Add(piece); });
    if (error.errorNumber != 0)
        throw DocumentFileError(path, error.errorNumber, error.fileType);
    m_loadedFingerprint = loaded.Fingerprint();
    m_loadedSize = loaded.Size();
    m_contentAfterEnd = loaded.ContentAfterEnd();
    m_fileState = state;
    m_fileStatePath = ResolvedTarget(path);
    const std::size_t textStart = ReadHeaderLines(text, m_headerLines);
    m_textLines = CTextLines::FromFileBytes(std::move(text), textStart, loaded.MaxLines());
}

void CDocumentFile::SetCopyRule(CopyRule rule, MoveAside moveAside)
{
    m_copyRule = rule;
    m_moveAside = std::move(moveAside);
}

FileError ReadOnlyDocument(const std::string& path)
{
    return {FileAction::Save, path, EACCES, "the document is read-only"};
}

SaveResult CDocumentFile::Save(bool makeBackup)
{
    return Save(makeBackup ? BackupRule::Wanted : BackupRule::None);
}

SaveResult CDocumentFile::Save(BackupRule backup)
{
    return SaveTo(m_path, backup);
}

SaveResult CDocumentFile::SaveTo(const std::string& path, BackupRule backup)
{
    const std::string target = path.empty() ? path : ResolvedTarget(path);
    const std::optional<FileState> current = target.empty() ? std::nullopt : CurrentFileState(target);
    const bool exists = current.has_value();
    if (exists && IsReadOnlyFile(target))
        return Fail(SaveResult::Kind::ReadOnly, ReadOnlyDocument(path));
    const FileState* const read = StateToKeep(target);
    if (exists && read != nullptr && !current->IsUnchanged(*read))
        return FailChanged(path);

    if (backup != BackupRule::None)
    {
        const std::string backupPath = BackupPathFor(path);
        if (!CopyFileReplacing(target, backupPath))
        {
            const FileError failure{FileAction::Backup, backupPath, errno, {}};
            m_reporter.ReportWithReason(FormatMessage("Ошибка создания резервного файла %s!", backupPath),
                                        FileErrorText(failure), MessageIcon::Error);
            if (backup == BackupRule::Required)
                return Fail(SaveResult::Kind::Backup,
                            {FileAction::Backup, path, failure.errorNumber,
                             "cannot make the backup " + backupPath + " (" + failure.Reason() +
                                 "); the document was not saved"});
        }
    }
    UpdateDates();
    CByteFingerprint::Value written{};
    std::string reason;
    const int error = target.empty() ? ENOENT : WriteFile(target, written, reason);
    if (error == 0)
    {
        m_path = path;
        RememberWrittenFile(target, written);
        return {};
    }
    if (error == ESTALE)
        return FailChanged(path);
    if (reason.empty())
        reason = std::string("cannot write the document: ") + std::strerror(error);
    return Fail(SaveResult::Kind::Write, {FileAction::Save, path, error, reason});
}

SaveResult CDocumentFile::FailChanged(const std::string& path)
{
    m_reporter.Report(FormatMessage("Файл %s изменён другой программой после открытия. Он не перезаписан: "
                                    "изменения на диске и текст в редакторе сохранены.",
                                    path),
                      MessageIcon::Error);
    return Fail(SaveResult::Kind::Changed,
                {FileAction::Save, path, ESTALE,
                 "the document changed on disk since it was read (another program wrote or replaced it); "
                 "nothing was written"});
}

SaveResult CDocumentFile::SaveAsNewFile(const std::string& path)
{
    UpdateDates();
    CSaveFile file(path);
    if (file.Open() &&
        WriteFileForm(m_headerLines, m_textLines,
                      [&file](std::string_view chunk) { return file.Write(chunk); }) &&
        file.CommitNew())
        return {};
    const int error = file.Error();
    return Fail(SaveResult::Kind::Write,
                {FileAction::Save, path, error,
                 error == EEXIST
                     ? path + " was taken meanwhile by another run or program; nothing was written there"
                     : std::string("cannot write the document: ") + std::strerror(error)});
}

void CDocumentFile::RememberWrittenFile(const std::string& target, CByteFingerprint::Value written)
{
    // What a later save compares with: the file as this save left it.
    m_fileState = CurrentFileState(target);
    m_fileStatePath = target;
    m_loadedFingerprint = written;
    m_loadedSize = FileFormSize(m_headerLines, m_textLines);
}

void CDocumentFile::AdoptNewFile(const std::string& path)
{
    m_path = path;
    CByteFingerprint written;
    ForEachFileChunk([&written](std::string_view chunk) { written.Add(chunk); });
    RememberWrittenFile(ResolvedTarget(path), written.Finish());
}

bool CDocumentFile::IsUnchangedOnDisk(const std::string& path) const
{
    return !m_fileState || IsStillFile(path, *m_fileState);
}

const FileState* CDocumentFile::StateToKeep(const std::string& target) const
{
    return m_fileState && target == m_fileStatePath ? &*m_fileState : nullptr;
}

int CDocumentFile::RemoveIfUnchangedOnDisk(const std::string& path) const
{
    if (!m_fileState)
        return ESTALE;
    return RemoveFileIfUnchanged(path, *m_fileState);
}

void CDocumentFile::FileMoved(const std::string& newPath)
{
    m_path = newPath;
    m_fileStatePath = ResolvedTarget(newPath);
    if (!m_fileState)
        return;
    // A move across file systems makes a new file with the size and time of the old one.
    const std::optional<FileState> moved = CurrentFileState(ResolvedTarget(newPath));
    if (moved && moved->size == m_fileState->size && moved->modified.tv_sec == m_fileState->modified.tv_sec &&
        moved->modified.tv_nsec == m_fileState->modified.tv_nsec)
        m_fileState = moved;
}

SaveResult CDocumentFile::Fail(SaveResult::Kind kind, FileError error)
{
    m_reporter.ReportWithReason(FormatMessage("Ошибка сохранения файла %s!", error.path), FileErrorText(error),
                                MessageIcon::Error);
    return {kind, std::move(error)};
}

void CDocumentFile::Clear()
{
    m_headerLines.clear();
    m_textLines.Clear();
    m_loadedTextFingerprint.reset();
    m_path.clear();
    m_loadedFingerprint.reset();
    m_loadedSize = 0;
    m_contentAfterEnd = 0;
    m_fileState.reset();
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
    // The file form has a byte for each byte of the text: a text of another size is not encoded.
    if (FileFormSize(m_headerLines, m_textLines) != m_loadedSize)
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

int CDocumentFile::WriteFile(const std::string& target, CByteFingerprint::Value& written, std::string& reason)
{
    // Each run of the producer hands out the whole content (an overwrite in place runs it twice), so
    // the fingerprint of the last run is that of what was written.
    CByteFingerprint fingerprint;
    const ReplaceResult result =
        ReplaceFileContent(target, StateToKeep(target),
                           [this, &fingerprint](const std::function<bool(std::string_view)>& write)
                           {
                               fingerprint = CByteFingerprint();
                               return WriteFileForm(m_headerLines, m_textLines,
                                                    [&fingerprint, &write](std::string_view chunk)
                                                    {
                                                        fingerprint.Add(chunk);
                                                        return write(chunk);
                                                    });
                           });
    written = fingerprint.Finish();
    if (result.inPlace && result.error == EEXIST)
        reason = CRecoveryCopy::PathFor(target) +
                 " is in the way of the copy an overwrite in place keeps; nothing was written";
    else if (!result.copyLeft.empty())
        reason = std::string("writing the document in place failed (") + std::strerror(result.error) +
                 "); its previous content is in " + result.copyLeft;
    return result.error;
}

void CDocumentFile::DealWithRecoveryCopy(const std::string& target)
{
    CRecoveryCopy copy;
    copy.Examine(target);
    const bool putBack = m_copyRule == CopyRule::PutBack;
    std::string text = "Копия " + copy.Path() + " ";
    switch (copy.GetVerdict())
    {
    case CRecoveryCopy::Verdict::None:
    case CRecoveryCopy::Verdict::Busy:
        // A copy that is held belongs to a save that is writing right now and puts it back itself if
        // it fails; the document is read as it stands.
        return;
    case CRecoveryCopy::Verdict::Unneeded:
        if (putBack)
            copy.Remove();
        return;
    case CRecoveryCopy::Verdict::Untrusted:
        m_reporter.Report(text + "не восстановлена: " + copy.Reason() + ". Она оставлена на месте.",
                          MessageIcon::Exclamation);
        return;
    case CRecoveryCopy::Verdict::Stale:
        text += "не восстановлена: " + copy.Reason() + ".";
        if (!putBack || !m_moveAside)
            text += " Она оставлена на месте.";
        else if (m_moveAside(copy.Path()))
            text += " Она перенесена в корзину.";
        else
            text += " Перенести её в корзину не удалось; она оставлена на месте.";
        m_reporter.Report(text, MessageIcon::Exclamation);
        return;
    case CRecoveryCopy::Verdict::Interrupted:
        break;
    }
    if (!putBack)
        throw DocumentFileError(target, EAGAIN,
                                "an interrupted save left the document damaged; its previous content is in " +
                                    copy.Path() + ", which a run that writes puts back first");
    if (const int error = copy.Restore(target); error != 0)
        throw DocumentFileError(target, error);
    m_reporter.Report(
        FormatMessage("Файл %s восстановлен из копии, оставшейся после прерванного сохранения.", target),
        MessageIcon::Information);
}
