#pragma once
// Messages of the engine and the document file, one line each, naming the document. Each document
// has its own, so documents processed at the same time never mix their messages.

#include "core/base/Reporter.h"

#include <string>
#include <string_view>
#include <vector>

// text as it may go to a terminal: control characters (a newline in a file name, an escape sequence)
// and the backslash itself written as C escapes (\n, \x1b, \\), so no name can forge or hide a line.
std::string PrintableText(std::string_view text);

class DocumentReporter : public IReporter
{
public:
    DocumentReporter(const std::string& path, std::vector<std::string>& messages)
        : m_path(path), m_messages(messages)
    {
    }
    // The text on one line: its line breaks become blanks.
    void Report(std::string_view text, MessageIcon) override;
    void Add(const std::string& line);

private:
    const std::string& m_path;
    std::vector<std::string>& m_messages;
};
