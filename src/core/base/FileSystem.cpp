#include "core/base/FileSystem.h"

#include "core/base/CFileDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool IsSymbolicLink(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

bool IsReadOnlyFile(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if ((status.st_mode & 0222) == 0)
        return true;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS);
}

bool IsStickyFolder(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) != 0;
}

bool IsWritableFolder(const std::string& folder)
{
    struct stat status;
    return !folder.empty() && ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           ::access(folder.c_str(), W_OK) == 0;
}

bool MakeOwnFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
}

std::string MountPointOf(const std::string& path, dev_t device)
{
    std::string top = FolderOf(path);
    while (top != "/" && top != ".")
    {
        const std::string above = FolderOf(top);
        struct stat status;
        if (::stat(above.c_str(), &status) != 0 || status.st_dev != device)
            break;
        top = above;
    }
    return top;
}

int RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int RenameToNewName(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

void SyncFolder(const std::string& folder)
{
    const CFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen())
        ::fsync(fd.Get());
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string RandomName()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name(6, ' ');
    for (char& letter : name)
        letter = kLetters[pick(generator)];
    return name;
}

int CopyToEnd(int fd, const std::function<int(std::string_view)>& write)
{
    char buffer[65536];
    for (;;)
    {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        if (const int error = write(std::string_view(buffer, static_cast<std::size_t>(got))); error != 0)
            return error;
    }
}
