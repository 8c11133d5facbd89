#include "cli/DocumentReporter.h"

#include <algorithm>

void DocumentReporter::Report(std::string_view text, MessageIcon)
{
    std::string line(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    Add(line);
}

void DocumentReporter::Add(const std::string& line)
{
    m_messages.push_back("tirvel-toc: " + m_path + ": " + line);
}
