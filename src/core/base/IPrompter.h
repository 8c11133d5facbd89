#pragma once
// Every message box and question of the editor goes through one prompter, so tests can script the
// operator's answers. Reports come from IReporter (an OK box with an icon); questions add buttons.

#include "core/base/Reporter.h"

#include <string_view>

enum class PromptButtons
{
    YesNo,
    YesNoCancel,
};

enum class PromptAnswer
{
    Yes,
    No,
    Cancel,
};

class IPrompter : public IReporter
{
public:
    // Asks text (UTF-8) with the question icon, brought to the foreground; closing the box without
    // a button counts as No for YesNo and as Cancel for YesNoCancel.
    virtual PromptAnswer Ask(std::string_view text, PromptButtons buttons) = 0;
};
