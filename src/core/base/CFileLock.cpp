#include "core/base/CFileLock.h"

#include <cerrno>
#include <utility>

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
        CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!file.IsOpen())
        {
            m_error = errno;
            return;
        }
        if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0)
        {
            const int error = errno;
            m_heldElsewhere = error == EWOULDBLOCK;
            m_error = m_heldElsewhere ? 0 : error;
            return;
        }
        struct stat locked;
        if (::fstat(file.Get(), &locked) == 0 && ::stat(path.c_str(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino)
        {
            m_file = std::move(file);
            return;
        }
    }
    m_error = EAGAIN;
}
