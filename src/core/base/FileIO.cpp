#include "core/base/FileIO.h"

#include "core/base/CSaveFile.h"
#include "core/base/FileSystem.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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
    int error = 0;
    struct stat status;
    if (::fstat(in, &status) != 0)
        error = errno;
    else if (!S_ISREG(status.st_mode))
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    CSaveFile out(to);
    if (error == 0 && !out.Open())
        error = out.Error();
    if (error == 0)
        error = CopyToEnd(in, [&out](std::string_view piece) { return out.Write(piece) ? 0 : out.Error(); });
    ::close(in);
    // Only root may give a file away; for anyone else the copy keeps its new owner.
    if (error == 0 && !(out.SetMode(status.st_mode & 07777) &&
                        (out.SetOwner(status.st_uid, status.st_gid) || out.Error() == EPERM) &&
                        out.SetTimes(status.st_atim, status.st_mtim) && out.Commit()))
        error = out.Error();
    if (error == 0)
        return true;
    out.Cancel();
    errno = error;
    return false;
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

std::vector<std::string> RemoveStaleTemporaries(const std::string& folder, std::time_t startedAt)
{
    std::vector<std::string> removed;
    DIR* entries = ::opendir(folder.c_str());
    if (entries == nullptr)
        return removed;
    while (const dirent* entry = ::readdir(entries))
    {
        if (!CSaveFile::IsTemporaryName(entry->d_name))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat named;
        if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_mtime >= startedAt)
            continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        // The lock is held by whoever still writes the file; holding it here, the name cannot come
        // to stand for a file being written before it is removed.
        struct stat locked;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0 &&
            ::lstat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
            locked.st_ino == named.st_ino && ::unlink(path.c_str()) == 0)
            removed.push_back(path);
        ::close(fd);
    }
    ::closedir(entries);
    return removed;
}
