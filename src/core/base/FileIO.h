#pragma once
// Reading whole files and replacing files without ever leaving a part of one: every file the core
// reads or writes goes through these functions and CSaveFile.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

// The largest settings or kinds file that is read.
inline constexpr std::uint64_t kMaxSmallFileBytes = std::uint64_t{1} << 30;

// A whole-file read that failed: the system error, and for a path that names something other than
// a regular file, what it names (S_IFIFO, S_IFCHR, ...; 0 otherwise).
struct FileReadError
{
    int errorNumber = 0;
    mode_t fileType = 0;
};

// Reads the whole regular file at path into bytes, without blocking on a pipe or a device: a folder
// fails with EISDIR, anything else that is no regular file with EINVAL, a file over maxBytes with
// EFBIG before anything is read. errorNumber is 0 on success; bytes is then the content.
FileReadError ReadWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes);

// Writes bytes to path all at once (CSaveFile); a new file gets the mode the umask gives.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Copies a regular file over to all at once, with from's permission bits and times (and owner, for
// root). False, with to untouched and errno telling why, when the copy cannot be completed.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Moves a file over another one: a rename, or across file systems a complete copy (as
// CopyFileReplacing) followed by removing the source. False when the move did not happen (or the
// source could not be removed).
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Removes the temporary files that CSaveFile left in folder when a process writing them was killed:
// those last changed before startedAt (the start of the run that asks) and not locked by a process
// still writing them. Returns the paths removed.
std::vector<std::string> RemoveStaleTemporaries(const std::string& folder, std::time_t startedAt);
