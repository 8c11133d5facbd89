#pragma once
// An open file descriptor with one owner: it is closed exactly once, when its owner goes, unless it
// was handed on (moved) or given up (Release). Closing on every path of a function that opens files
// is then the compiler's work, not a line to remember before each return.

class CFileDescriptor
{
public:
    CFileDescriptor() = default;
    // Takes over fd (a negative value holds nothing).
    explicit CFileDescriptor(int fd) noexcept : m_fd(fd < 0 ? -1 : fd) {}
    ~CFileDescriptor() { Close(); }
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept;
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    // The descriptor, -1 when none is held; it stays owned here.
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Gives up ownership without closing: the caller closes what is returned.
    int Release() noexcept;
    // Closes what is held now (the owner no longer needs it); 0 or the system error of the close,
    // which a file just written reports when its content could not be kept.
    int Close() noexcept;

private:
    int m_fd = -1;
};
