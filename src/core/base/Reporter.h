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
};
