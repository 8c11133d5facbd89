#include "core/workflow/CDesktopTrash.h"

#include "core/base/FileIO.h"
#include "core/base/FileState.h"
#include "core/base/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

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

// The trash that an administrator prepared at a mount point: .Trash, a real folder with the sticky
// bit, holding one folder per user.
std::string SharedTrashAt(const std::string& top)
{
    const std::string shared = top + "/.Trash";
    if (!IsStickyFolder(shared))
        return {};
    const std::string own = shared + "/" + std::to_string(::geteuid());
    return MakeOwnFolder(own) ? own : std::string();
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
    const std::optional<FileState> status = error ? std::nullopt : LinkState(file.string());
    if (!status)
        return false;

    if (!m_homeTrash.empty())
    {
        std::error_code ignored;
        fs::create_directories(m_homeTrash, ignored);
        const std::optional<FileState> home = CurrentFileState(m_homeTrash);
        if (home && home->device == status->device)
            return MoveInto(m_homeTrash, file.string(), file.string());
    }

    // Another file system: its own trash, with the paths in it relative to its mount point.
    const std::string top = MountPointOf(file.string(), status->device);
    std::string trash = SharedTrashAt(top);
    if (trash.empty())
    {
        trash = (top == "/" ? std::string() : top) + "/.Trash-" + std::to_string(::geteuid());
        if (!MakeOwnFolder(trash))
            return false;
    }
    const std::string relative = file.lexically_relative(top).string();
    return MoveInto(trash, file.string(), relative);
}

bool CDesktopTrash::MoveInto(const std::string& trash, const std::string& file, const std::string& infoPath)
{
    const std::string files = trash + "/files";
    const std::string info = trash + "/info";
    if (!MakeOwnFolder(trash) || !MakeOwnFolder(files) || !MakeOwnFolder(info))
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
        if (const int made = WriteNewFile(infoFile, content); made != 0)
        {
            if (made == EEXIST)
                continue;
            return false;
        }
        const std::string placed = files + "/" + trashedName;
        const int moved = RenameToNewName(file, placed);
        if (moved == 0)
        {
            SyncFolder(info);
            SyncFolder(files);
            SyncFolder(FolderOf(file));
            m_trashedAs = placed;
            return true;
        }
        RemoveFile(infoFile);
        // A file of that name without its info file: another name is tried.
        if (moved == EEXIST)
            continue;
        return false;
    }
    return false;
}
