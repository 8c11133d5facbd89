#pragma once
// Writing a file all at once: the content goes into a temporary file in the target's folder, which
// is flushed to disk and renamed over the target only when it is complete, so the target holds either
// its old content or all of the new one. Nothing is left behind when the write is cancelled or fails.
//
// The temporary file is named ".NAME.XXXXXX.tirvel-tmp" beside NAME and holds an exclusive flock while
// it exists, so a process killed while writing leaves a file that RemoveStaleTemporaries recognises
// and can tell from one still being written.

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
    // Removes the temporary file; the target is untouched.
    void Cancel();

    // Whether a file name (without folder) is that of a temporary file of this class.
    static bool IsTemporaryName(std::string_view name);

    // The system error of the last failure (0 when none).
    int Error() const { return m_error; }
    const std::string& Target() const { return m_target; }

private:
    // Records error and returns false.
    bool Fail(int error);

    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
    int m_error = 0;
};
