#pragma once
// What the core tests share: texts written in UTF-8 and used in the core's code page 1251, and
// reporters that record or swallow the messages meant for the operator.

#include "core/base/CodePage.h"
#include "core/base/Reporter.h"

#include <string>
#include <string_view>
#include <vector>

inline std::string Cp(std::string_view utf8)
{
    return Utf8ToCp1251(utf8);
}

inline std::vector<std::string> CpLines(const std::vector<std::string>& utf8)
{
    std::vector<std::string> lines;
    for (const std::string& line : utf8)
        lines.push_back(Cp(line));
    return lines;
}

struct RecordingReporter : IReporter
{
    void Report(std::string_view text, MessageIcon icon) override
    {
        messages.emplace_back(text);
        icons.push_back(icon);
    }
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
};

struct SilentReporter : IReporter
{
    void Report(std::string_view, MessageIcon) override {}
};
