#pragma once
// A full disk for tests, without mounting anything: works for root too.

#include <sys/resource.h>

#include <csignal>
#include <stdexcept>

// While alive, no file may grow beyond limit bytes: a write past it fails with EFBIG, as on a full
// disk. SIGXFSZ, which would otherwise end the process, is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{limit, m_saved.rlim_max};
        if (::setrlimit(RLIMIT_FSIZE, &lowered) != 0)
            throw std::runtime_error("setrlimit failed");
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = SIG_DFL;
};
