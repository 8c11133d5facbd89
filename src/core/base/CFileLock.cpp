#include "core/base/CFileLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CFileLock::CFileLock(const std::string& path)
{
    // A save may replace the file by a new one between the open and the lock; the lock then guards a
    // file nobody will open again, so it is taken anew on the file the path names now.
    for (int attempt = 0; attempt < 10; ++attempt)
    {
        struct stat named;
        if (::stat(path.c_str(), &named) != 0)
        {
            m_error = errno;
            return;
        }
        // Opening a device or a pipe could block or act on it: only regular files are locked.
        if (!S_ISREG(named.st_mode))
        {
            m_error = EINVAL;
            return;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
        {
            m_error = errno;
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        {
            const int error = errno;
            ::close(fd);
            m_heldElsewhere = error == EWOULDBLOCK;
            m_error = m_heldElsewhere ? 0 : error;
            return;
        }
        struct stat locked;
        if (::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
            locked.st_ino == named.st_ino)
        {
            m_fd = fd;
            return;
        }
        ::close(fd);
    }
    m_error = EAGAIN;
}

CFileLock::~CFileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
