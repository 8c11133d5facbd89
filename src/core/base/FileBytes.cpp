#include "core/base/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

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

} // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    // Without O_NONBLOCK a pipe nobody writes to would block the open forever; only regular files
    // are read, so a device such as /dev/zero cannot fill the memory either.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    {
        ::close(fd);
        return false;
    }
    bytes.clear();
    char buffer[65536];
    bool ok = true;
    for (;;)
    {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ok;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    const std::filesystem::path target(path);
    std::string pattern = (target.parent_path() / (target.filename().string() + ".XXXXXX")).string();
    if (target.parent_path().empty())
        pattern = target.filename().string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    // mkstemp creates the file private to the user; the result should look like any file written
    // normally, under the user's umask.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0;
    ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.data(), path.c_str()) == 0;
    if (!ok)
        ::unlink(name.data());
    return ok;
}
