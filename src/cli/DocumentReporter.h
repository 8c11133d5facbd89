#pragma once
// Messages of the engine and the document file, one line each, naming the document. Each document
// has its own, so documents processed at the same time never mix their messages.

#include "core/base/Reporter.h"

#include <string>
#include <string_view>
#include <vector>

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
