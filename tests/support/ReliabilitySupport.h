#pragma once
// Scratch folders, file helpers, a recording reporter and the means to make file operations fail on
// purpose: a file-size limit (a disk that fills up), a small file system of its own, and permission
// checks that hold even for root.

#include "core/base/Reporter.h"
#include "FileSizeLimit.h"
#include "PermissionsEnforced.h"


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

namespace reliability
{

namespace fs = std::filesystem;
using ::FileSizeLimit;
using ::PermissionsEnforced;

struct Message
{
    std::string text;
    MessageIcon icon;
    bool operator==(const Message&) const = default;
};

inline void PrintTo(const Message& message, std::ostream* out)
{
    *out << '"' << message.text << '"';
}

struct RecordingReporter : IReporter
{
    void Report(std::string_view text, MessageIcon icon) override { messages.push_back({std::string(text), icon}); }
    std::vector<Message> messages;
};

inline std::vector<std::string> NamesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ScratchFolder
{
public:
    explicit ScratchFolder(const fs::path& parent = fs::temp_directory_path())
    {
        std::string pattern = (parent / "tirvel-rel-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed in " + parent.string());
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    const fs::path& path() const { return m_path; }
    std::vector<std::string> Names() const { return NamesIn(m_path); }

private:
    fs::path m_path;
};

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

inline std::string SamplePath(const std::string& name)
{
    return std::string(TIRVEL_SOURCE_DIR) + "/samples/" + name;
}

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
        m_mounted = ::mount("tirvel-test", m_folder.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
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

} // namespace reliability
