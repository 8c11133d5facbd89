#pragma once
// A scratch folder per test, file helpers and a reporter that records what the operator would see.

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

struct RecordingReporter : IReporter
{
    void Report(std::string_view text, MessageIcon icon) override { messages.emplace_back(text, icon); }
    std::vector<std::pair<std::string, MessageIcon>> messages;
};

class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tirvel-doc-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }
    // The names in the folder, to see that no temporary file was left behind.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-8 text as a document file would hold it (code page 866).
inline std::string File866(std::string_view utf8)
{
    std::string file = Cp1251ToCp866(Utf8ToCp1251(utf8));
    CodesToBoxChars(file);
    return file;
}

// UTF-8 text in memory form (code page 1251).
inline std::string Mem(std::string_view utf8)
{
    return Utf8ToCp1251(utf8);
}
