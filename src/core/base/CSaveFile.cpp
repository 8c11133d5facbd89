#include "core/base/CSaveFile.h"

#include "core/base/FileSystem.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace
{

// Six letters or digits that make the temporary file's name unique in practice; O_EXCL makes sure.
std::string RandomSuffix()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(6, ' ');
    for (char& letter : suffix)
        letter = kLetters[pick(generator)];
    return suffix;
}

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
        std::string name = stem + RandomSuffix();
        // 0666 with O_CREAT lets the kernel apply the umask, as for any file written normally.
        m_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
        {
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

bool CSaveFile::Fail(int error)
{
    m_error = error;
    return false;
}
