#pragma once
// Writing a file all at once: the content goes into a temporary file in the target's folder, which
// is flushed to disk and renamed over the target only when it is complete, so the target holds either
// its old content or all of the new one. Nothing is left behind when the write is cancelled or fails.
//
// The temporary file is named ".NAME.XXXXXX.tirvel-tmp" beside NAME and holds an exclusive flock while
// it exists. Once locked it is marked as this program's own (an extended attribute naming the user,
// the device and the inode), so RemoveStaleTemporaries can prove a file left by a killed process is
// one of ours and tell it from one still being written. A file system without extended attributes
// or locks still saves; what a kill leaves there is then never removed, since it cannot be proved ours.

#include "core/base/CFileDescriptor.h"
#include "core/base/FileState.h"

#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

class CSaveFile
{
public:
    explicit CSaveFile(std::string target);
    ~CSaveFile();
    CSaveFile(const CSaveFile&) = delete;
    CSaveFile& operator=(const CSaveFile&) = delete;

    // Creates the temporary file beside the target, with the mode the umask gives a new file (the
    // process umask is never changed: other threads may be creating files meanwhile).
    bool Open();
    // Appends bytes; false on a failed write.
    bool Write(std::string_view bytes);
    // The attributes the file gets instead of those of a new file.
    bool SetMode(mode_t mode);
    bool SetOwner(uid_t owner, gid_t group);
    bool SetTimes(const struct timespec& accessed, const struct timespec& modified);
    // Flushes the content to disk and renames the temporary file over the target, then makes the
    // rename durable. On failure the temporary file is removed and the target is untouched.
    bool Commit();
    // Commit to a target that must not exist: fails with EEXIST, leaving what is there untouched, when
    // a file took the name meanwhile. The name is taken in one step (a rename that refuses to replace,
    // or a hard link where the file system has no such rename), so of two writers only one gets it.
    bool CommitNew();
    // Commit over a target that must still be the file in expected: the two files swap names in one
    // step, and the file that had the target's name is looked at once more before it is removed, so
    // an edit another program made up to that moment is never lost: the names swap back, nothing is
    // written, and the commit fails with ESTALE. The file being replaced is marked as a temporary of
    // this program while it is away, so a kill before its removal leaves one the cleaner can prove.
    // Where the file system cannot swap names, the target is looked at just before the rename.
    bool CommitOver(const FileState& expected);
    // CommitNew that keeps the file open and locked under its new name until the object goes.
    bool CommitNewKeepingLock();
    // The open file (after CommitNewKeepingLock), -1 when none.
    int Descriptor() const { return m_file.Get(); }
    // Removes the temporary file; the target is untouched.
    void Cancel();

    // Whether a file name (without folder) is exactly of the form this class gives its temporary
    // files: "." + a name + "." + six letters or digits + ".tirvel-tmp".
    static bool IsTemporaryName(std::string_view name);
    // Whether the open file (of the given status) carries the mark of a temporary file of this class
    // made by this user for this very file.
    static bool CarriesOwnMark(int fd, const struct stat& status);

    // The system error of the last failure (0 when none).
    int Error() const { return m_error; }
    const std::string& Target() const { return m_target; }

private:
    enum class CommitRule
    {
        Replace,
        NewOnly,
        NewKeepingLock,
    };
    bool Commit(CommitRule rule);
    // Locks the open file and marks it as this program's temporary.
    void Mark();
    // Records error and returns false.
    bool Fail(int error);

    std::string m_target;
    std::string m_temporary;
    CFileDescriptor m_file;
    int m_error = 0;
};
