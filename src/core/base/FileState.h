#pragma once
// What a file is at one moment: which file (device and inode), whose, how long and when it last
// changed. A save compares the state it read with the state it is about to replace, so an edit made
// by another program meanwhile is never written over.

#include <cstdint>
#include <optional>
#include <string>

#include <sys/stat.h>
#include <sys/types.h>

struct FileState
{
    dev_t device = 0;
    ino_t inode = 0;
    uid_t owner = 0;
    std::uint64_t size = 0;
    struct timespec modified = {};

    bool IsSameFile(const FileState& other) const { return device == other.device && inode == other.inode; }
    // The same file, not written since: same size and modification time to the nanosecond.
    bool IsUnchanged(const FileState& other) const
    {
        return IsSameFile(other) && size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileState FileStateOf(const struct stat& status);

// The state of the file path names (links followed); nullopt, with errno set, when there is none.
std::optional<FileState> CurrentFileState(const std::string& path);

// The state of path itself, a symbolic link not followed; nullopt, with errno set, when there is none.
std::optional<FileState> LinkState(const std::string& path);

// Whether the file path names now is the one in state, unwritten since.
bool IsStillFile(const std::string& path, const FileState& state);
// The same for a file held open as fd.
bool IsStillFile(int fd, const FileState& state);
