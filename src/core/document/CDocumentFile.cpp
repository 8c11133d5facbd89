#include "core/document/CDocumentFile.h"

#include "core/base/CSaveFile.h"
#include "core/base/CodePage.h"
#include "core/base/FileIO.h"
#include "core/base/FileLines.h"
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
    ForEachFileLine(content, [&](std::string_view fileLine) {
        std::string& line = target->emplace_back(fileLine);
        FileLineToMemory(line);
        if (target == &headerLines && line == TextStartLine())
            target = &textLines;
    });
}

// Whether RemoveTocBlocks(lines) equals kept, without making that copy of a large text.
bool EqualWithoutTocBlocks(const std::vector<std::string>& lines, const std::vector<std::string>& kept)
{
    std::size_t next = 0;
    const bool allMatch = ForEachLineOutsideTocBlocks(
        lines, [&](const std::string& line) { return next < kept.size() && kept[next++] == line; });
    return allMatch && next == kept.size();
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

} // namespace

DocumentFileError::DocumentFileError(const std::string& path, int errorNumber)
    : std::runtime_error(path + ": " + std::strerror(errorNumber)), m_path(path),
      m_systemError(std::strerror(errorNumber)), m_errorNumber(errorNumber)
{
}

CDocumentFile::CDocumentFile(IReporter& reporter, TodayFunction today)
    : m_reporter(reporter), m_today(std::move(today))
{
}

void CDocumentFile::Load(const std::string& path)
{
    LoadLines(path);
    m_loadedText = RemoveTocBlocks(m_textLines);
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
    m_loadedText.clear();
    m_path = path;
    m_changeDateDone = false;
    m_entryDateDone = false;

    // The file's content is gone before Load makes the loaded-text copy, so the two never add up.
    std::string content;
    const FileReadError error = ReadWholeFile(path, kMaxDocumentBytes, content);
    if (error.errorNumber != 0)
        throw DocumentFileError(path, error.errorNumber);
    SplitIntoLines(content, m_headerLines, m_textLines);
}

bool CDocumentFile::Save(bool makeBackup)
{
    if (makeBackup)
    {
        const std::string backupPath = BackupPathFor(m_path);
        if (!CopyFileReplacing(ResolvedTarget(m_path), backupPath))
            m_reporter.Report(FormatMessage("Ошибка создания резервного файла %s!", backupPath), MessageIcon::Error);
    }
    UpdateDates();
    if (WriteFile())
        return true;
    m_reporter.Report(FormatMessage("Ошибка сохранения файла %s!", m_path), MessageIcon::Error);
    return false;
}

void CDocumentFile::Clear()
{
    m_headerLines.clear();
    m_textLines.clear();
    m_loadedText.clear();
    m_path.clear();
    KeepDates();
}

void CDocumentFile::KeepDates()
{
    m_changeDateDone = true;
    m_entryDateDone = true;
}

std::string CDocumentFile::FileBytes() const
{
    std::size_t size = 0;
    for (const std::string& line : m_headerLines)
        size += line.size() + 2;
    for (const std::string& line : m_textLines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    WriteFileForm(m_headerLines, m_textLines, [&bytes](std::string_view chunk) {
        bytes += chunk;
        return true;
    });
    return bytes;
}

bool CDocumentFile::MoveFileReplacing(const std::string& from, const std::string& to)
{
    return ::MoveFileReplacing(from, to);
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
        [this] { return !EqualWithoutTocBlocks(m_textLines, m_loadedText); }, m_today);
}

bool CDocumentFile::WriteFile()
{
    if (m_path.empty())
        return false;
    const std::string target = ResolvedTarget(m_path);
    CSaveFile file(target);
    if (!file.Open())
        return false;
    struct stat status;
    if (::stat(target.c_str(), &status) == 0)
    {
        // The replaced file's permission bits, and its owner where this process may give it away.
        if (!file.SetMode(status.st_mode & 07777) ||
            (!file.SetOwner(status.st_uid, status.st_gid) && file.Error() != EPERM))
            return false;
    }
    return WriteFileForm(m_headerLines, m_textLines,
                         [&file](std::string_view chunk) { return file.Write(chunk); }) &&
           file.Commit();
}
