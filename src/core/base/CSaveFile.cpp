#include "core/base/CSaveFile.h"

#include "core/base/FileSystem.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{

constexpr std::string_view kTemporaryEnding = ".tirvel-tmp";

} // namespace

CSaveFile::CSaveFile(std::string target) : m_target(std::move(target)) {}

CSaveFile::~CSaveFile()
{
    Cancel();
}

bool CSaveFile::Open()
{
    const std::string stem = FolderOf(m_target) + "/." + NameOf(m_target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::string name = stem + RandomName() + std::string(kTemporaryEnding);
        // 0666 with O_CREAT lets the kernel apply the umask, as for any file written normally.
        m_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
        {
            // Held until the file is renamed or removed: a cleaner leaves a locked file alone. A file
            // system without locks still saves; only a cleaner could then not tell.
            ::flock(m_fd, LOCK_EX | LOCK_NB);
            m_temporary = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    return Fail(errno);
}

bool CSaveFile::Write(std::string_view bytes)
{
    if (m_fd < 0)
        return Fail(EBADF);
    return WriteAll(m_fd, bytes) || Fail(errno);
}

bool CSaveFile::SetMode(mode_t mode)
{
    if (m_fd < 0)
        return Fail(EBADF);
    return ::fchmod(m_fd, mode) == 0 || Fail(errno);
}

bool CSaveFile::SetOwner(uid_t owner, gid_t group)
{
    if (m_fd < 0)
        return Fail(EBADF);
    return ::fchown(m_fd, owner, group) == 0 || Fail(errno);
}

bool CSaveFile::SetTimes(const struct timespec& accessed, const struct timespec& modified)
{
    const struct timespec times[2] = {accessed, modified};
    if (m_fd < 0)
        return Fail(EBADF);
    return ::futimens(m_fd, times) == 0 || Fail(errno);
}

bool CSaveFile::Commit()
{
    if (m_fd < 0)
        return Fail(EBADF);
    bool ok = ::fsync(m_fd) == 0;
    ok = ok && ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (!ok)
    {
        const int error = errno;
        Cancel();
        return Fail(error);
    }
    const int fd = m_fd;
    m_fd = -1;
    m_temporary.clear();
    ::close(fd);
    SyncFolder(FolderOf(m_target));
    return true;
}

void CSaveFile::Cancel()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

bool CSaveFile::IsTemporaryName(std::string_view name)
{
    return name.size() > 1 + 1 + 6 + kTemporaryEnding.size() && name.front() == '.' &&
           name.ends_with(kTemporaryEnding);
}

bool CSaveFile::Fail(int error)
{
    m_error = error;
    return false;
}
