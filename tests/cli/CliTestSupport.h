#pragma once
// What the tests of tirvel-toc share: the tool run as a user runs it, and a fixture with a folder of
// its own for each test.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace cli_test
{
namespace fs = std::filesystem;

inline const fs::path kSamples = fs::path(TIRVEL_SOURCE_DIR) / "samples";
// The sample documents, in the order of their names.
inline std::vector<fs::path> SampleDocuments()
{
    std::vector<fs::path> documents;
    for (const auto& entry : fs::directory_iterator(kSamples))
        if (entry.path().extension() == ".rla")
            documents.push_back(entry.path());
    std::sort(documents.begin(), documents.end());
    return documents;
}

// The ОГЛ marker as it stands in a file (code page 866).
inline const std::string kOglInFile = std::string("\x04\x04\x8E\x83\x8B") + std::string(61, '-');

// How many times what stands in text (overlaps count).
inline std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

struct RunResult
{
    int status = -1; // -1 when the tool did not exit by itself
    bool killed = false;
    std::string out;
    std::string err;
};

// Each test gets an empty folder m_dir of its own, removed afterwards, and runs the tool with its
// output caught there.
class CliToolTest : public testing::Test
{
protected:
    // Runs tirvel-toc with args and no input, with the NAME=VALUE settings of environment added to
    // its environment; its exit status and what it wrote to stdout and stderr.
    RunResult RunTool(const std::vector<std::string>& args,
                      const std::vector<std::string>& environment = {}) const
    {
        // Appended piece by piece: GCC 12 takes "'" + std::string for an overlapping copy.
        std::string command;
        const auto quoted = [&command](std::string_view piece)
        {
            command += '\'';
            command += piece;
            command += '\'';
        };
        if (!environment.empty())
        {
            command += "env";
            for (const std::string& setting : environment)
            {
                command += ' ';
                quoted(setting);
            }
            command += ' ';
        }
        quoted(TIRVEL_TOC_EXE);
        for (const std::string& arg : args)
        {
            command += ' ';
            quoted(arg);
        }
        const fs::path out = m_dir / "stdout";
        const fs::path err = m_dir / "stderr";
        command += " >";
        quoted(out.string());
        command += " 2>";
        quoted(err.string());
        command += " </dev/null";
        const int raw = std::system(command.c_str());
        RunResult result;
        // The shell reports a child killed by a signal as the status 128 + the signal.
        result.killed = (WIFSIGNALED(raw) && WTERMSIG(raw) == SIGKILL) ||
                        (WIFEXITED(raw) && WEXITSTATUS(raw) == 128 + SIGKILL);
        result.status = WIFEXITED(raw) && !result.killed ? WEXITSTATUS(raw) : -1;
        result.out = ReadBytes(out);
        result.err = ReadBytes(err);
        return result;
    }

    ScratchFolder m_scratch;
    const fs::path m_dir = m_scratch.path();
};
} // namespace cli_test
