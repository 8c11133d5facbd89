#pragma once
// What every test shares: texts written in UTF-8 and used in the core's code page 1251, small
// documents, reporters that record or swallow the messages meant for the operator, a scratch folder
// per test and whole-file helpers.

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"
#include "core/document/Markers.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// ---- texts ----

// UTF-8 text in memory form (code page 1251).
inline std::string Cp(std::string_view utf8)
{
    return Utf8ToCp1251(utf8);
}

// Blocks of sixteen bytes for the conversions that go a block at a time: block as given, with each of
// the 256 byte values put at each of its places in turn, one after the other.
inline std::string EveryByteAtEveryPlace(const std::string& block)
{
    std::string text;
    for (int b = 0; b < 256; ++b)
        for (std::size_t at = 0; at < block.size(); ++at)
        {
            std::string changed = block;
            changed[at] = static_cast<char>(b);
            text += changed;
        }
    return text;
}

inline std::vector<std::string> CpLines(const std::vector<std::string>& utf8)
{
    std::vector<std::string> lines;
    for (const std::string& line : utf8)
        lines.push_back(Cp(line));
    return lines;
}

// Lines in memory form (code page 1251) as UTF-8, for comparing with expectations written in UTF-8.
inline std::vector<std::string> Utf8Lines(const std::vector<std::string>& cp1251)
{
    std::vector<std::string> lines;
    for (const std::string& line : cp1251)
        lines.push_back(Cp1251ToUtf8(line));
    return lines;
}

// Editor lines written in UTF-8: "<ОГЛ>" and "<КОН>" stand for the marker lines; every other line
// is converted to 1251.
inline std::vector<std::string> Doc(std::initializer_list<std::string_view> utf8Lines)
{
    std::vector<std::string> lines;
    for (std::string_view line : utf8Lines)
    {
        if (line == "<ОГЛ>")
            lines.push_back(MarkerLine(Marker::Ogl));
        else if (line == "<КОН>")
            lines.push_back(MarkerLine(Marker::Kon));
        else
            lines.push_back(Cp(line));
    }
    return lines;
}

// UTF-8 text as a document file holds it (code page 866, box characters as themselves).
inline std::string File866(std::string_view utf8)
{
    std::string file = Cp1251ToCp866(Cp(utf8));
    CodesToBoxChars(file);
    return file;
}

// ---- reporters ----

struct ReportedMessage
{
    std::string text; // UTF-8
    MessageIcon icon;

    bool operator==(const ReportedMessage&) const = default;
};

inline void PrintTo(const ReportedMessage& message, std::ostream* out)
{
    *out << '"' << message.text << "\" (icon " << static_cast<int>(message.icon) << ')';
}

struct RecordingReporter : IReporter
{
    void Report(std::string_view text, MessageIcon icon) override
    {
        messages.push_back({std::string(text), icon});
    }
    // The message as Report records it; the reason goes to reasons.
    void ReportWithReason(std::string_view text, std::string_view reason, MessageIcon icon) override
    {
        Report(text, icon);
        reasons.emplace_back(reason);
    }

    // The texts alone, in order.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const ReportedMessage& message : messages)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<ReportedMessage> messages;
    std::vector<std::string> reasons; // given with reports, in order
};

struct SilentReporter : IReporter
{
    void Report(std::string_view, MessageIcon) override {}
};

// ---- files ----

inline std::vector<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An empty folder of its own for a test, removed with everything in it (even what a test made
// unwritable) when the test ends.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
    {
        std::string pattern = (parent / "tirvel-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed in " + parent.string());
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }
    // The names in the folder, sorted: shows that no temporary file was left behind.
    std::vector<std::string> Names() const { return NamesIn(m_path); }

private:
    std::filesystem::path m_path;
};

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes bytes to path, making the folders on the way; throws when that fails.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

#ifdef TIRVEL_SOURCE_DIR
// A document of samples/.
inline std::string SamplePath(const std::string& name)
{
    return std::string(TIRVEL_SOURCE_DIR) + "/samples/" + name;
}
#endif
