#pragma once
// How the core tells the operator something: the editor shows a message box captioned "Тирвель",
// the command-line tool writes to stderr, tests record the messages.

#include <string_view>

enum class MessageIcon
{
    Error,
    Question,
    Information,
    Exclamation,
};

class IReporter
{
public:
    virtual ~IReporter() = default;
    // text is UTF-8; "\n" is a line break.
    virtual void Report(std::string_view text, MessageIcon icon) = 0;
    // text, and why it happened: reason in the words the batch tool prints for the same failure
    // (MessageWithReason puts them together). A reporter that has no room for the reason, or tells
    // it its own way, shows text alone.
    virtual void ReportWithReason(std::string_view text, std::string_view reason, MessageIcon icon)
    {
        static_cast<void>(reason);
        Report(text, icon);
    }
};
