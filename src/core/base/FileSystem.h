#pragma once
// The system-call level under CSaveFile and the whole-file functions: paths, writing a buffer out,
// making a rename durable.

#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

// The folder part of path ("." for a bare name, "/" at the root) and the name part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The file that writing to path replaces: the target of a symbolic link, so the link itself stays.
std::string ResolvedTarget(const std::string& path);

// Whether path itself is a symbolic link (which is not followed).
bool IsSymbolicLink(const std::string& path);

// Whether this process may not change the regular file at path: it may not write it, or the file
// has no write permission at all (which root could override, but a file made read-only says it is
// not to be changed). False for anything that is no regular file, or is not there.
bool IsReadOnlyFile(const std::string& path);

// Whether path itself (not followed) is a folder with the sticky bit, in which only the owner of a
// file may remove or rename it.
bool IsStickyFolder(const std::string& path);

// Whether folder names a folder (links followed) that this process may create files in.
bool IsWritableFolder(const std::string& folder);

// A folder of this user's at path that is really a folder (no link to somewhere else), made (for
// its owner alone) when missing.
bool MakeOwnFolder(const std::string& path);

// The folder at which the file system holding path (on device) is mounted: the highest folder above
// path on the same device.
std::string MountPointOf(const std::string& path, dev_t device);

// Removes the name path (a file, or a link itself); 0 or the error.
int RemoveFile(const std::string& path);

// Gives the file at from the name to, which must be free: a rename that refuses to replace, or where
// the file system has none, a hard link followed by removing from. Returns 0, EEXIST when to is
// taken, or another error; from is then where it was.
int RenameToNewName(const std::string& from, const std::string& to);

// Makes a rename in folder durable; a file system that cannot sync folders loses nothing by it.
void SyncFolder(const std::string& folder);

// Writes all of bytes to fd; false (errno set) on a failed write.
bool WriteAll(int fd, std::string_view bytes);

// Reads fd from where it stands to its end in pieces and hands each to write, which returns 0 or
// the error that stops the copy. Returns 0, the read error or write's error.
int CopyToEnd(int fd, const std::function<int(std::string_view)>& write);

// Six random letters or digits, for names that must not meet those of another process.
std::string RandomName();
