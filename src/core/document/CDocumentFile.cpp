#include "core/document/CDocumentFile.h"

#include "core/base/CodePage.h"
#include "core/base/FileLines.h"
#include "core/base/TextRules.h"
#include "core/document/Markers.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const std::string& TextStartLine()
{
    static const std::string line = Utf8ToCp1251("$18  Текст документа");
    return line;
}

const std::string& ChangeDateField()
{
    static const std::string field = Utf8ToCp1251("$100  Дата ввода/изменения");
    return field;
}

const std::string& EntryDateField()
{
    static const std::string field = Utf8ToCp1251("$101  Дата ввода текста");
    return field;
}

std::string FormatMessage(const char* format, const std::string& path)
{
    std::string text = format;
    const std::size_t at = text.find("%s");
    return text.replace(at, 2, path);
}

// ---- dates ----

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int month, int year)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// A value line "dd.mm.yyyy" that names a real calendar day.
std::optional<CalendarDate> ParseDate(const std::string& value)
{
    if (value.size() != 10 || value[2] != '.' || value[5] != '.')
        return std::nullopt;
    for (const std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!IsDigit(static_cast<unsigned char>(value[i])))
            return std::nullopt;
    const CalendarDate date{std::atoi(value.substr(0, 2).c_str()), std::atoi(value.substr(3, 2).c_str()),
                            std::atoi(value.substr(6, 4).c_str())};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.month, date.year))
        return std::nullopt;
    return date;
}

bool IsEarlier(const CalendarDate& a, const CalendarDate& b)
{
    if (a.year != b.year)
        return a.year < b.year;
    if (a.month != b.month)
        return a.month < b.month;
    return a.day < b.day;
}

CalendarDate NextDay(CalendarDate date)
{
    if (++date.day > DaysInMonth(date.month, date.year))
    {
        date.day = 1;
        if (++date.month > 12)
        {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

std::string FormatDate(const CalendarDate& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
    return text;
}

// ---- files ----

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0)
    {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void SyncFolder(const std::string& folder)
{
    // Makes the rename durable; a file system that cannot sync folders loses nothing by it.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        ::fsync(fd);
        ::close(fd);
    }
}

mode_t NewFileMode()
{
    // The mask is read, not set and set back: the batch tool saves from several threads, and a file
    // created by another thread in between would get the mask 0.
    if (std::FILE* status = std::fopen("/proc/self/status", "re"))
    {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return 0666 & ~static_cast<mode_t>(mask);
    }
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

struct FileAttributes
{
    mode_t mode;
    std::optional<struct stat> from; // owner and times to keep, when there was a file
};

// Puts a complete new file at target: written into a temporary file of target's folder, synced,
// given its attributes and renamed over target. On any failure the temporary file is removed and
// target is untouched.
template <typename WriteContent>
bool ReplaceFile(const std::string& target, const FileAttributes& attributes, bool keepTimes, WriteContent write)
{
    std::string temp = FolderOf(target) + "/." + NameOf(target) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = write(fd) && ::fchmod(fd, attributes.mode) == 0;
    if (ok && attributes.from)
    {
        // Only root may give a file away; for anyone else the file keeps its new owner.
        ok = ::fchown(fd, attributes.from->st_uid, attributes.from->st_gid) == 0 || errno == EPERM;
        if (ok && keepTimes)
        {
            const struct timespec times[2] = {attributes.from->st_atim, attributes.from->st_mtim};
            ok = ::futimens(fd, times) == 0;
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
    {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

// Copies a regular file over target with the source's permission bits and modification time.
bool CopyFileReplacing(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat status;
    if (::fstat(in, &status) != 0 || !S_ISREG(status.st_mode))
    {
        ::close(in);
        return false;
    }
    const FileAttributes attributes{static_cast<mode_t>(status.st_mode & 07777), status};
    const bool ok = ReplaceFile(to, attributes, true, [in](int out) {
        char buffer[65536];
        for (;;)
        {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            if (!WriteAll(out, buffer, static_cast<std::size_t>(got)))
                return false;
        }
    });
    ::close(in);
    return ok;
}

// The file that a save replaces: the target of a symbolic link, so the link itself stays.
std::string ResolvedTarget(const std::string& path)
{
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return path;
    return resolved;
}

std::string ReadWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw DocumentFileError(path, errno);
    struct stat status;
    int error = 0;
    if (::fstat(fd, &status) != 0)
        error = errno;
    else if (S_ISDIR(status.st_mode))
        error = EISDIR;
    else if (!S_ISREG(status.st_mode))
        error = EINVAL;
    else if (static_cast<std::uint64_t>(status.st_size) > kMaxDocumentBytes)
        error = EFBIG;
    // Read straight into the string, sized from the file, so the content is copied once; a file that
    // grows meanwhile is still read to its end.
    std::string content;
    if (error == 0)
        content.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t size = 0;
    while (error == 0)
    {
        if (size == content.size())
            content.resize(content.size() * 2);
        const ssize_t got = ::read(fd, content.data() + size, content.size() - size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error = errno;
        else if (got == 0)
            break;
        else
            size += static_cast<std::size_t>(got);
    }
    content.resize(size);
    ::close(fd);
    if (error != 0)
        throw DocumentFileError(path, error);
    return content;
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

CalendarDate SystemToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

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
    SplitIntoLines(ReadWholeFile(path), m_headerLines, m_textLines);
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
    if (::rename(from.c_str(), to.c_str()) == 0)
    {
        SyncFolder(FolderOf(to));
        return true;
    }
    if (errno != EXDEV)
        return false;
    // Another file system: the destination is replaced only by a complete copy.
    return CopyFileReplacing(from, to) && ::unlink(from.c_str()) == 0;
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
    int fieldsMet = 0;
    for (std::size_t i = 0; i < m_headerLines.size() && fieldsMet < 2; ++i)
    {
        const std::string& line = m_headerLines[i];
        if (BeginsWith(line, ChangeDateField()))
        {
            ++fieldsMet;
            if (m_changeDateDone)
                continue;
            m_changeDateDone = true;
            if (!UpdateDateValue(i))
                return;
        }
        else if (BeginsWith(line, EntryDateField()))
        {
            ++fieldsMet;
            if (m_entryDateDone || EqualWithoutTocBlocks(m_textLines, m_loadedText))
                continue;
            m_entryDateDone = true;
            if (!UpdateDateValue(i))
                return;
        }
    }
}

bool CDocumentFile::UpdateDateValue(std::size_t fieldIndex)
{
    // A field line without a value line, a value that is no date: leave it and end the scan.
    if (fieldIndex + 1 >= m_headerLines.size())
        return false;
    std::string& value = m_headerLines[fieldIndex + 1];
    const std::optional<CalendarDate> stored = ParseDate(value);
    if (!stored)
        return false;
    const CalendarDate today = m_today();
    const CalendarDate updated = IsEarlier(*stored, today) ? today : NextDay(*stored);
    // The day after 31.12.9999 does not fit the field: the value stays.
    if (updated.year <= 9999)
        value = FormatDate(updated);
    return true;
}

bool CDocumentFile::WriteFile()
{
    if (m_path.empty())
        return false;
    const std::string target = ResolvedTarget(m_path);
    FileAttributes attributes{NewFileMode(), std::nullopt};
    struct stat status;
    if (::stat(target.c_str(), &status) == 0)
    {
        attributes.mode = status.st_mode & 07777;
        attributes.from = status;
    }
    return ReplaceFile(target, attributes, false, [this](int fd) {
        return WriteFileForm(m_headerLines, m_textLines,
                             [fd](std::string_view chunk) { return WriteAll(fd, chunk.data(), chunk.size()); });
    });
}
