#include "core/workflow/CDesktopTrash.h"

#include "core/base/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// The path as a URL path: every byte but the unreserved ones and "/" as %XX.
std::string EscapedPath(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : path)
    {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.' || c == '~' ||
                           c == '/';
        if (plain)
            escaped += c;
        else
            escaped += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    return escaped;
}

std::string LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// A folder of this user's that is really a folder (no link to somewhere else), made when missing.
bool OwnFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid();
}

// The folder at which the file system holding path is mounted.
std::string MountPointOf(const fs::path& path, dev_t device)
{
    fs::path top = path.parent_path();
    while (top.has_relative_path())
    {
        struct stat status;
        if (::stat(top.parent_path().c_str(), &status) != 0 || status.st_dev != device)
            break;
        top = top.parent_path();
    }
    return top.string();
}

// The trash that an administrator prepared at a mount point: .Trash, a real folder with the sticky
// bit, holding one folder per user.
std::string SharedTrashAt(const std::string& top)
{
    const std::string shared = top + "/.Trash";
    struct stat status;
    if (::lstat(shared.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || (status.st_mode & S_ISVTX) == 0)
        return {};
    const std::string own = shared + "/" + std::to_string(::geteuid());
    return OwnFolder(own) ? own : std::string();
}
} // namespace

CDesktopTrash::CDesktopTrash(std::string homeTrash) : m_homeTrash(std::move(homeTrash)) {}

std::string CDesktopTrash::UserHomeTrash()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::string(data) + "/Trash";
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return std::string(home) + "/.local/share/Trash";
    return {};
}

bool CDesktopTrash::MoveToTrash(const std::string& path)
{
    m_trashedAs.clear();
    std::error_code error;
    const fs::path file = fs::absolute(path, error).lexically_normal();
    struct stat status;
    if (error || ::lstat(file.c_str(), &status) != 0)
        return false;

    if (!m_homeTrash.empty())
    {
        std::error_code ignored;
        fs::create_directories(m_homeTrash, ignored);
        struct stat home;
        if (::stat(m_homeTrash.c_str(), &home) == 0 && home.st_dev == status.st_dev)
            return MoveInto(m_homeTrash, file.string(), file.string());
    }

    // Another file system: its own trash, with the paths in it relative to its mount point.
    const std::string top = MountPointOf(file, status.st_dev);
    std::string trash = SharedTrashAt(top);
    if (trash.empty())
    {
        trash = (top == "/" ? std::string() : top) + "/.Trash-" + std::to_string(::geteuid());
        if (!OwnFolder(trash))
            return false;
    }
    const std::string relative = file.lexically_relative(top).string();
    return MoveInto(trash, file.string(), relative);
}

bool CDesktopTrash::MoveInto(const std::string& trash, const std::string& file, const std::string& infoPath)
{
    const std::string files = trash + "/files";
    const std::string info = trash + "/info";
    if (!OwnFolder(trash) || !OwnFolder(files) || !OwnFolder(info))
        return false;

    const std::string name = NameOf(file);
    const std::string content =
        "[Trash Info]\nPath=" + EscapedPath(infoPath) + "\nDeletionDate=" + LocalTimeNow() + "\n";
    // The info file is made first and exclusively: it reserves the name against another process
    // trashing a file of the same name at the same moment.
    for (int copy = 1; copy < 10000; ++copy)
    {
        const std::string trashedName = copy == 1 ? name : name + "." + std::to_string(copy);
        const std::string infoFile = info + "/" + trashedName + ".trashinfo";
        const int fd = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
        ::close(fd);
        const std::string placed = files + "/" + trashedName;
        struct stat taken;
        if (written && ::lstat(placed.c_str(), &taken) != 0 && errno == ENOENT &&
            ::rename(file.c_str(), placed.c_str()) == 0)
        {
            SyncFolder(info);
            SyncFolder(files);
            SyncFolder(FolderOf(file));
            m_trashedAs = placed;
            return true;
        }
        ::unlink(infoFile.c_str());
        // A file of that name without its info file: another name is tried.
        if (written && ::lstat(placed.c_str(), &taken) == 0)
            continue;
        return false;
    }
    return false;
}
