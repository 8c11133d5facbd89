#include "core/base/CFileDescriptor.h"

#include <cerrno>

#include <unistd.h>

CFileDescriptor& CFileDescriptor::operator=(CFileDescriptor&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = other.Release();
    }
    return *this;
}

int CFileDescriptor::Release() noexcept
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

int CFileDescriptor::Close() noexcept
{
    if (m_fd < 0)
        return 0;
    // Linux frees the descriptor even when close fails (EINTR included): retrying could close a
    // descriptor another thread has just been given.
    const int result = ::close(Release());
    return result == 0 ? 0 : errno;
}
