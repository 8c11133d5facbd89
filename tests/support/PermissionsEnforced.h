#pragma once
// Permission checks that hold even for root, so tests of unreadable files and read-only folders fail
// for real when the suite runs as root (as it does in CI).

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <stdexcept>

// While alive, file permissions bind this process even when it runs as root: the capabilities
// that override them, and the one that lets root give files away, are taken out of the effective set
// (and put back at the end).
class PermissionsEnforced
{
public:
    PermissionsEnforced()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            throw std::runtime_error("capget failed");
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER, CAP_CHOWN})
            reduced[capability / 32].effective &= ~(1u << (capability % 32));
        if (::syscall(SYS_capset, &m_header, reduced) != 0)
            throw std::runtime_error("capset failed");
    }
    ~PermissionsEnforced() { ::syscall(SYS_capset, &m_header, m_saved); }
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
};
