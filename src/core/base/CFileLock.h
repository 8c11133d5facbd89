#pragma once
// An advisory lock on a document being processed: taken at once or refused, never waited for, and
// given up when the object goes. Two runs over one folder lock each document before they load it,
// so the second one skips a document the first is working on instead of processing it twice. Every
// holder is refused while another holds it, threads of one process included.

#include "core/base/CFileDescriptor.h"

#include <string>

class CFileLock
{
public:
    // Tries to lock the regular file at path.
    explicit CFileLock(const std::string& path);

    bool Held() const { return m_file.IsOpen(); }
    // Refused because another holder has the file locked.
    bool HeldElsewhere() const { return m_heldElsewhere; }
    // Why the lock is not held when no other holder has it: the system error (EINVAL for a path that
    // names no regular file).
    int Error() const { return m_error; }

private:
    CFileDescriptor m_file;
    bool m_heldElsewhere = false;
    int m_error = 0;
};
