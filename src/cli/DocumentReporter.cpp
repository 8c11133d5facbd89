#include "cli/DocumentReporter.h"

#include <algorithm>
#include <cstdio>

std::string PrintableText(std::string_view text)
{
    std::string printable;
    printable.reserve(text.size());
    for (const char c : text)
    {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\')
            printable += "\\\\";
        else if (c == '\n')
            printable += "\\n";
        else if (c == '\t')
            printable += "\\t";
        else if (c == '\r')
            printable += "\\r";
        else if (byte < 0x20 || byte == 0x7F)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            printable += escaped;
        }
        else
            printable += c;
    }
    return printable;
}

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
