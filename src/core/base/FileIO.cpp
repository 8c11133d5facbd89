#include "core/base/FileIO.h"

#include "core/base/CSaveFile.h"
#include "core/base/FileSystem.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileReadError ReadWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes)
{
    bytes.clear();
    // Without O_NONBLOCK a pipe nobody writes to would block the open forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno, 0};
    FileReadError error;
    struct stat status;
    if (::fstat(fd, &status) != 0)
        error.errorNumber = errno;
    else if (S_ISDIR(status.st_mode))
        error.errorNumber = EISDIR;
    else if (!S_ISREG(status.st_mode))
        error = {EINVAL, static_cast<mode_t>(status.st_mode & S_IFMT)};
    else if (static_cast<std::uint64_t>(status.st_size) > maxBytes)
        error.errorNumber = EFBIG;
    // Read straight into the string, sized from the file, so the content is copied once; a file that
    // grows meanwhile is still read to its end, up to the limit.
    std::size_t size = 0;
    if (error.errorNumber == 0)
        bytes.resize(static_cast<std::size_t>(status.st_size) + 1);
    while (error.errorNumber == 0)
    {
        if (size == bytes.size())
        {
            if (size > maxBytes)
            {
                error.errorNumber = EFBIG;
                break;
            }
            bytes.resize(std::min<std::uint64_t>(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error.errorNumber = errno;
        else if (got == 0)
            break;
        else
            size += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (error.errorNumber != 0)
        bytes.clear();
    else
        bytes.resize(size);
    return error;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    CSaveFile file(path);
    return file.Open() && file.Write(bytes) && file.Commit();
}

bool CopyFileReplacing(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat status;
    bool ok = ::fstat(in, &status) == 0 && S_ISREG(status.st_mode);
    CSaveFile out(to);
    ok = ok && out.Open();
    char buffer[65536];
    while (ok)
    {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
        {
            ok = got == 0;
            break;
        }
        ok = out.Write(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
    ::close(in);
    // Only root may give a file away; for anyone else the copy keeps its new owner.
    ok = ok && out.SetMode(status.st_mode & 07777) &&
         (out.SetOwner(status.st_uid, status.st_gid) || out.Error() == EPERM) &&
         out.SetTimes(status.st_atim, status.st_mtim);
    return ok && out.Commit();
}

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) == 0)
    {
        SyncFolder(FolderOf(to));
        return true;
    }
    if (errno != EXDEV)
        return false;
    return CopyFileReplacing(from, to) && ::unlink(from.c_str()) == 0;
}
