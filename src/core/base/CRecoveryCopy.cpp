#include "core/base/CRecoveryCopy.h"

#include "core/base/CSaveFile.h"
#include "core/base/FileSystem.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{

// The record at the end of a copy: one line of this many bytes, padded with blanks.
constexpr std::size_t kRecordBytes = 160;
constexpr std::string_view kRecordTag = "tirvel-copy 1";

struct CopyRecord
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    CByteFingerprint::Value copy = {};
    CByteFingerprint::Value written = {};
};

std::string FormatRecord(const CopyRecord& record)
{
    // Appended piece by piece: GCC 12 takes «"literal" + std::string» for an overlapping copy at -O2.
    std::string line = "\n";
    line += kRecordTag;
    for (const std::uint64_t value :
         {record.device, record.inode, record.size, static_cast<std::uint64_t>(record.modifiedSeconds),
          static_cast<std::uint64_t>(record.modifiedNanoseconds), record.copy.size, record.copy.hash,
          record.written.size, record.written.hash})
    {
        line += ' ';
        line += std::to_string(value);
    }
    line.resize(kRecordBytes - 1, ' ');
    return line + "\n";
}

bool ParseRecord(std::string_view line, CopyRecord& record)
{
    if (line.size() != kRecordBytes || line.front() != '\n' || line.back() != '\n' ||
        !line.substr(1).starts_with(kRecordTag))
        return false;
    line = line.substr(1 + kRecordTag.size(), kRecordBytes - 2 - kRecordTag.size());
    std::uint64_t values[9];
    for (std::uint64_t& value : values)
    {
        if (line.empty() || line.front() != ' ')
            return false;
        line.remove_prefix(1);
        const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
        if (error != std::errc())
            return false;
        line.remove_prefix(static_cast<std::size_t>(end - line.data()));
    }
    if (line.find_first_not_of(' ') != std::string_view::npos)
        return false;
    record = {values[0],
              values[1],
              values[2],
              static_cast<std::int64_t>(values[3]),
              static_cast<std::int64_t>(values[4]),
              {values[5], values[6]},
              {values[7], values[8]}};
    return true;
}

// The fingerprint of the first size bytes of fd (or of all of it, when size is -1); nullopt on a read
// error or when the file holds fewer bytes.
std::optional<CByteFingerprint::Value> FingerprintOf(int fd, std::uint64_t size)
{
    CByteFingerprint fingerprint;
    std::vector<char> buffer(1 << 16);
    std::uint64_t offset = 0;
    while (offset < size)
    {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
        const ssize_t got = ::pread(fd, buffer.data(), wanted, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        fingerprint.Add(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        offset += static_cast<std::uint64_t>(got);
    }
    if (size != static_cast<std::uint64_t>(-1) && offset != size)
        return std::nullopt;
    return fingerprint.Finish();
}

bool Later(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

} // namespace

CRecoveryCopy::CRecoveryCopy() = default;

CRecoveryCopy::~CRecoveryCopy() = default;

int CRecoveryCopy::CopyFd() const
{
    return m_written ? m_written->Descriptor() : m_examined.Get();
}

std::string CRecoveryCopy::PathFor(const std::string& target)
{
    return FolderOf(target) + "/." + NameOf(target) + ".tirvel-copy";
}

int CRecoveryCopy::Keep(const std::string& target, int documentFd, const FileState& document,
                        const CByteFingerprint::Value& newContent)
{
    m_path = PathFor(target);
    struct stat status;
    // Whatever has the name, another save's copy or a planted file, is left as it is.
    if (::lstat(m_path.c_str(), &status) == 0)
        return EEXIST;
    m_written = std::make_unique<CSaveFile>(m_path);
    CSaveFile& file = *m_written;
    // The copy is readable by no one but its owner, whatever the document allows.
    if (!file.Open() || !file.SetMode(0600))
        return file.Error();
    if (::geteuid() == 0 && !file.SetOwner(document.owner, static_cast<gid_t>(-1)))
        return file.Error();
    CByteFingerprint copied;
    if (::lseek(documentFd, 0, SEEK_SET) != 0)
        return errno;
    if (const int error = CopyToEnd(documentFd,
                                    [&](std::string_view piece)
                                    {
                                        copied.Add(piece);
                                        return file.Write(piece) ? 0 : file.Error();
                                    });
        error != 0)
        return error;
    CopyRecord record{document.device,           document.inode,  document.size, document.modified.tv_sec,
                      document.modified.tv_nsec, copied.Finish(), newContent};
    if (record.copy.size != document.size)
        return EAGAIN;
    if (!file.Write(FormatRecord(record)) || !file.CommitNewKeepingLock())
        return file.Error();
    m_contentSize = record.copy.size;
    CoverNextWrites();
    return 0;
}

void CRecoveryCopy::CoverNextWrites()
{
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    // A second ahead, renewed when less than half of it is left: one change of time per half second
    // of writing at most.
    if (m_deadline.tv_sec != 0 &&
        (m_deadline.tv_sec - now.tv_sec) * 1000000000L + (m_deadline.tv_nsec - now.tv_nsec) > 500000000L)
        return;
    m_deadline = {now.tv_sec + 1, now.tv_nsec};
    const struct timespec times[2] = {{0, UTIME_OMIT}, m_deadline};
    ::futimens(CopyFd(), times);
    ::fsync(CopyFd());
}

int CRecoveryCopy::PutBackInto(int fd) const
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return errno;
    std::vector<char> buffer(1 << 16);
    std::uint64_t offset = 0;
    while (offset < m_contentSize)
    {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), m_contentSize - offset));
        const ssize_t got = ::pread(CopyFd(), buffer.data(), wanted, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0 ? EIO : errno;
        if (!WriteAll(fd, std::string_view(buffer.data(), static_cast<std::size_t>(got))))
            return errno;
        offset += static_cast<std::uint64_t>(got);
    }
    if (::ftruncate(fd, static_cast<off_t>(m_contentSize)) != 0 || ::fsync(fd) != 0)
        return errno;
    return 0;
}

bool CRecoveryCopy::Judge(Verdict verdict, std::string reason)
{
    m_verdict = verdict;
    m_reason = std::move(reason);
    return false;
}

void CRecoveryCopy::Examine(const std::string& target)
{
    m_path = PathFor(target);
    m_verdict = Verdict::None;
    // Never a link (which could name a file only root may read), and never waiting on a pipe.
    m_examined =
        CFileDescriptor(::open(m_path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!m_examined.IsOpen())
    {
        if (errno == ENOENT)
            return;
        Judge(Verdict::Untrusted, errno == ELOOP ? "это символическая ссылка" : std::strerror(errno));
        return;
    }
    struct stat copy;
    if (::fstat(m_examined.Get(), &copy) != 0 || !S_ISREG(copy.st_mode))
    {
        Judge(Verdict::Untrusted, "это не обычный файл");
        return;
    }
    if (::flock(m_examined.Get(), LOCK_EX | LOCK_NB) != 0)
    {
        Judge(Verdict::Busy);
        return;
    }
    const std::optional<FileState> document = CurrentFileState(target);
    if (!document)
    {
        Judge(Verdict::Stale, "документа больше нет");
        return;
    }
    m_document = *document;
    if (copy.st_uid != document->owner && copy.st_uid != ::geteuid())
    {
        Judge(Verdict::Untrusted, "её владелец - другой пользователь");
        return;
    }
    if (copy.st_nlink != 1)
    {
        Judge(Verdict::Untrusted, "у неё есть другие имена");
        return;
    }
    const std::uint64_t copySize = static_cast<std::uint64_t>(copy.st_size);
    std::string line(kRecordBytes, '\0');
    CopyRecord record;
    if (copySize < kRecordBytes ||
        ::pread(m_examined.Get(), line.data(), kRecordBytes, static_cast<off_t>(copySize - kRecordBytes)) !=
            static_cast<ssize_t>(kRecordBytes) ||
        !ParseRecord(line, record))
    {
        Judge(Verdict::Untrusted, "в ней нет записи этой программы");
        return;
    }
    if (record.device != document->device || record.inode != document->inode)
    {
        Judge(Verdict::Stale, "документ заменён другим файлом после прерванного сохранения");
        return;
    }
    const bool changedSince = Later(document->modified, copy.st_mtim);
    m_contentSize = copySize - kRecordBytes;
    // An overwrite never leaves the document shorter than what it overwrote (it is cut to the new
    // length only once all of it is written): a larger copy is no copy of the document as the writer
    // left it, and is not even read.
    if (m_contentSize > document->size)
    {
        if (changedSince)
            Judge(Verdict::Stale, "документ изменён после прерванного сохранения");
        else
            Judge(Verdict::Untrusted, "она больше документа");
        return;
    }
    if (record.copy.size != m_contentSize || FingerprintOf(m_examined.Get(), m_contentSize) != record.copy)
    {
        Judge(Verdict::Untrusted, "её содержимое не совпадает с её записью");
        return;
    }
    const std::optional<CByteFingerprint::Value> held = [&target]() -> std::optional<CByteFingerprint::Value>
    {
        const CFileDescriptor document(::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!document.IsOpen())
            return std::nullopt;
        return FingerprintOf(document.Get(), static_cast<std::uint64_t>(-1));
    }();
    if (!held)
    {
        Judge(Verdict::Untrusted, "документ не читается");
        return;
    }
    if (*held == record.copy || *held == record.written)
    {
        Judge(Verdict::Unneeded);
        return;
    }
    if (changedSince)
    {
        Judge(Verdict::Stale, "документ изменён после прерванного сохранения");
        return;
    }
    Judge(Verdict::Interrupted);
}

int CRecoveryCopy::Restore(const std::string& target)
{
    if (m_verdict != Verdict::Interrupted)
        return EINVAL;
    const CFileDescriptor document(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!document.IsOpen())
        return errno;
    const int error = IsStillFile(document.Get(), m_document) ? PutBackInto(document.Get()) : EAGAIN;
    if (error == 0)
        Remove();
    return error;
}

void CRecoveryCopy::Remove()
{
    if (m_written)
    {
        ::unlink(m_path.c_str());
        m_written.reset();
        return;
    }
    if (!m_examined.IsOpen())
        return;
    struct stat held;
    struct stat named;
    if (::fstat(m_examined.Get(), &held) == 0 && ::lstat(m_path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        ::unlink(m_path.c_str());
    m_examined.Close();
}
