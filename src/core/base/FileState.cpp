#include "core/base/FileState.h"

FileState FileStateOf(const struct stat& status)
{
    return {status.st_dev, status.st_ino, status.st_uid, static_cast<std::uint64_t>(status.st_size),
            status.st_mtim};
}

std::optional<FileState> CurrentFileState(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileStateOf(status);
}

std::optional<FileState> LinkState(const std::string& path)
{
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileStateOf(status);
}

bool IsStillFile(const std::string& path, const FileState& state)
{
    const std::optional<FileState> now = CurrentFileState(path);
    return now && now->IsUnchanged(state);
}

bool IsStillFile(int fd, const FileState& state)
{
    struct stat status;
    return ::fstat(fd, &status) == 0 && FileStateOf(status).IsUnchanged(state);
}
