#pragma once
// Reading whole files and replacing files without ever leaving a part of one: every file the core
// reads or writes goes through these functions and CSaveFile.

#include "core/base/CByteFingerprint.h"
#include "core/base/FileState.h"

#include <cstdint>
#include <functional>
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
// EFBIG before anything is read. errorNumber is 0 on success; bytes is then the content, and state
// (when given) the file it was read from, as it was when the read began.
FileReadError ReadWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                            FileState* state = nullptr);

// Reads the regular file at path as ReadWholeFile does, handing its bytes to piece in order, a
// piece at a time, so a caller that converts or hashes them never holds them twice. opened is told the
// file's size (when given) before the first piece; state is as ReadWholeFile leaves it. On an error
// after some pieces, what they held is to be dropped.
FileReadError ReadFileInPieces(const std::string& path, std::uint64_t maxBytes, FileState* state,
                               const std::function<void(std::uint64_t size)>& opened,
                               const std::function<void(std::string_view piece)>& piece);

// Writes bytes to path all at once (CSaveFile); a new file gets the mode the umask gives. False, with
// errno telling why, when the write failed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Copies a regular file over to all at once, with from's permission bits and times (and owner, for
// root). False, with to untouched and errno telling why, when the copy cannot be completed.
bool CopyFileReplacing(const std::string& from, const std::string& to);
// CopyFileReplacing to a name that must be free: fails with EEXIST, and leaves what is there, when a
// file has (or takes meanwhile) the name to.
bool CopyFileToNewName(const std::string& from, const std::string& to);

// Whether the files at a and b hold the same bytes; false when either cannot be read.
bool SameFileContent(const std::string& a, const std::string& b);

// Gives the file at to the owner and group of the file at from, as far as this process may (only
// root gives a file away, only a member gives it a group), then from's permission bits, which a
// change of owner would clear in part. False when from cannot be read.
bool CopyOwnerAndMode(const std::string& from, const std::string& to);

// Moves a file over another one: a rename, or across file systems a complete copy (as
// CopyFileReplacing) followed by removing the source. False when the move did not happen (or the
// source could not be removed). errno tells the cause of the step that failed: across file systems
// that of the copy (a full disk, say), not the refused rename.
bool MoveFileReplacing(const std::string& from, const std::string& to);
// Moves a file to a name that must be free, as MoveFileReplacing; 0, EEXIST when the name is taken
// (nothing moved), or the error of the step that failed.
int MoveFileToNewName(const std::string& from, const std::string& to);

// Removes the file at path when it is still the file in expected. The file is held open while its
// name goes, so an edit another program makes up to that moment is not lost: a file that turns out
// changed afterwards is written back under its name as it now is. Returns 0, ESTALE when the file
// changed (it is then at path, as edited), or the error (the file is then where it was).
int RemoveFileIfUnchanged(const std::string& path, const FileState& expected);

// Hands out a file's new content in pieces to write, which returns false when a piece could not be
// written; returns false as soon as write does.
using ContentProducer = std::function<bool(const std::function<bool(std::string_view)>& write)>;

// Overwrites the regular file at target, which must still be the file in expected, with the size
// bytes that produce hands out (content is their fingerprint), keeping every other name of the file.
// Room is made before anything is overwritten, and while the file is written a copy of its previous
// content stands beside it (CRecoveryCopy), so a process killed meanwhile leaves a copy the next load
// can prove and put back; a failed write puts the previous content back itself. Returns 0 or the
// error: ESTALE when the file is no longer as expected (nothing written), EEXIST when something has
// the copy's name (nothing written). When a failed write could not be undone, copyLeft names the
// file that holds the previous content.
int OverwriteInPlace(const std::string& target, const FileState& expected, std::uint64_t size,
                     const CByteFingerprint::Value& content, const ContentProducer& produce, std::string& copyLeft);

// How ReplaceFileContent went: error is 0 or the error (ESTALE when the file was no longer the one
// expected; nothing was written then). inPlace tells that the file was overwritten in place, where
// EEXIST means something had the name of the copy kept meanwhile; copyLeft is as OverwriteInPlace
// leaves it.
struct ReplaceResult
{
    int error = 0;
    bool inPlace = false;
    std::string copyLeft;
};

// Replaces the content of the file at target (a path with no link left to follow) by the bytes
// produce hands out, keeping what the file is to the rest of the system: a new file takes its name
// with its permission bits, owner and group; where a new file would cut the others off from the
// content (the file has other names) or could not have its owner or group, the file is overwritten
// in place instead (OverwriteInPlace). With expected, the file replaced must still be that one. A
// target that is not there is made with the mode the umask gives.
ReplaceResult ReplaceFileContent(const std::string& target, const FileState* expected,
                                 const ContentProducer& produce);

// Makes a new file at path, readable by its owner alone, holding content on disk. Returns 0, EEXIST
// when the name is taken (what has it stays), or the error; a file that could not be completed is
// removed.
int WriteNewFile(const std::string& path, std::string_view content);

// Removes the temporary files that CSaveFile left in folder when a process writing them was killed,
// and nothing else: a file is removed only when its name is exactly of CSaveFile's form, it is a
// regular file of this user with one name, it carries CSaveFile's mark for this very file, it last
// changed before the scan began and no process holds its lock (a writer holds it from before the
// mark is made until the file is renamed or removed). Returns the paths removed.
std::vector<std::string> RemoveStaleTemporaries(const std::string& folder);
