#pragma once
// The means to make file operations fail on purpose: a file-size limit (a disk that fills up), a small
// file system of its own, permission checks that hold even for root, and a guard against hangs.

#include "FileSizeLimit.h"
#include "PermissionsEnforced.h"
#include "TestSupport.h"

#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// Ends the process when a test hangs, so a blocked read fails the test instead of stalling the run.
class HangGuard
{
public:
    explicit HangGuard(unsigned seconds) { ::alarm(seconds); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

// A tmpfs of the given size mounted on a scratch folder, when this process may mount (root in CI);
// Mounted() is false otherwise.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(std::size_t bytes)
    {
        const std::string options = "size=" + std::to_string(bytes);
        m_mounted = ::mount("tirvel-test", m_folder.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                            options.c_str()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_folder.path().c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return m_mounted; }
    std::string operator/(const std::string& name) const { return m_folder / name; }
    std::vector<std::string> Names() const { return m_folder.Names(); }

private:
    ScratchFolder m_folder;
    bool m_mounted = false;
};
